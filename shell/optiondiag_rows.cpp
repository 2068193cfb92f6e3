#include "docs/addreference.h"
#include "members/addgroup.h"
#include "shell/optiondiag.h"
#include "ui_optiondiag.h"

#include <QMessageBox>
#include <QPushButton>

void OptionDiag::showRefusal(const QString &text)
{
    QMessageBox box(this);
    box.setWindowIcon(GetLogoIcon());
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(tr("Options"));
    box.setText(text);
    box.addButton(QMessageBox::Ok)->setObjectName(QStringLiteral("ok"));
    box.exec();
}

void OptionDiag::AddGroupProc()
{
    m_addGroup->SetCaller(this);
    m_addGroup->SetParentWidget(m_ui->GROUPTREE);
    m_addGroup->SetMode(0);
    m_addGroup->SetRedmine(GetBoolVar(RegSlot::FlagRedmineActive));
    m_addGroup->ShowDiag();
}

void OptionDiag::ModGroupProc()
{
    if (!m_ui->GROUPTREE->currentItem())
        return;
    m_addGroup->SetCaller(this);
    m_addGroup->SetParentWidget(m_ui->GROUPTREE);
    m_addGroup->SetMode(1);
    m_addGroup->SetRedmine(GetBoolVar(RegSlot::FlagRedmineActive));
    m_addGroup->ShowDiag();
}

bool OptionDiag::askDelete(const QString &title, const QString &text)
{
    QMessageBox box(this);
    box.setWindowIcon(GetLogoIcon());
    box.setIcon(QMessageBox::Information);
    box.setWindowTitle(title);
    box.setInformativeText(text);
    QPushButton *yes = box.addButton(tr("yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(tr("no"), QMessageBox::NoRole);
    yes->setObjectName(QStringLiteral("yes"));
    no->setObjectName(QStringLiteral("no"));
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void OptionDiag::DelGroupProc()
{
    QTreeWidgetItem *item = m_ui->GROUPTREE->currentItem();
    if (!item || !askDelete(tr("delete group"), tr("Do you want to delete current user?")))
        return;
    delete item;
    TreeColumnAdjustment(m_ui->GROUPTREE);
}

void OptionDiag::AddRefProc()
{
    m_addRef->SetTree(m_ui->EXTTREE);
    m_addRef->SetData(-1, QString(), QString());
    m_addRef->SetCaller(this);
    m_addRef->show();
}

void OptionDiag::ModRefProc()
{
    if (QTreeWidgetItem *item = m_ui->EXTTREE->currentItem())
        ModRefProc(item, 0);
}

void OptionDiag::ModRefProc(QTreeWidgetItem *item, int)
{
    if (!item)
        return;
    m_addRef->SetTree(m_ui->EXTTREE);
    m_addRef->SetData(m_ui->EXTTREE->indexOfTopLevelItem(item), item->text(0), item->text(1));
    m_addRef->SetCaller(this);
    m_addRef->show();
}

void OptionDiag::DelRefProc()
{
    QTreeWidgetItem *item = m_ui->EXTTREE->currentItem();
    if (!item || !askDelete(tr("delete application"), tr("Do you want to delete current application?")))
        return;
    delete item;
    TreeColumnAdjustment(m_ui->EXTTREE);
}

void OptionDiag::RefChanged()
{
    m_ui->REFDELBTN->setEnabled(true);
}

void OptionDiag::GroupChanged()
{
    m_ui->DELGRPBTN->setEnabled(true);
}
