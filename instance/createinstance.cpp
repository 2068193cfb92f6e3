#include "instance/createinstance.h"

#include "core/defvar.h"
#include "instance/deftab.h"
#include "ui_createinstance.h"

#include <QMessageBox>
#include <QPushButton>

CreateInstance::CreateInstance(QWidget *parent) : QDialog(parent), m_ui(new Ui::CreateInstance)
{
    m_ui->setupUi(this);
    setModal(true);
    resize(850, 149);
    setFixedHeight(149);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    for (QLabel *label : {m_ui->L_Class, m_ui->L_Name, m_ui->L_El, m_ui->L_Scope, m_ui->S_Class, m_ui->S_Name,
                          m_ui->S_El, m_ui->S_Scope})
        label->setStyleSheet(QStringLiteral("background-color: #666666;color: #FFFFFF"));
    for (QComboBox *box : {m_ui->L_Scope_Cbx, m_ui->S_Scope_Cbx}) {
        for (int slot : {RegSlot::StrColFirst + 1, RegSlot::StrColFirst + 2, RegSlot::StrColFirst + 3})
            box->addItem(QIcon(), GetStrVar(slot));
    }
    m_ui->L_Name_Edit->setReadOnly(true);
    m_ui->S_Name_Edit->setReadOnly(true);
    m_ui->MSG->hide();
    connect(m_ui->OK, &QPushButton::clicked, this, &CreateInstance::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &CreateInstance::CancelProc);
}

CreateInstance::~CreateInstance()
{
    delete m_ui;
}

void CreateInstance::SetMode(bool sclass, bool del)
{
    m_sclass = sclass;
    m_delete = del;
    for (QWidget *widget : {static_cast<QWidget *>(m_ui->S_Class), static_cast<QWidget *>(m_ui->S_Name),
                            static_cast<QWidget *>(m_ui->S_Name_Edit), static_cast<QWidget *>(m_ui->S_El),
                            static_cast<QWidget *>(m_ui->S_El_Edit), static_cast<QWidget *>(m_ui->S_Scope),
                            static_cast<QWidget *>(m_ui->S_Scope_Cbx)})
        widget->setVisible(sclass);
    if (sclass)
        setWindowTitle(del ? tr("Delete Sclass Instance") : tr("Add Sclass Instance"));
    else
        setWindowTitle(del ? tr("Delete Lclass Instance") : tr("Add Lclass Instance"));
}

// An arbitrary model element leaves the element to the member.
void CreateInstance::setElement(QLineEdit *edit, const QString &element)
{
    if (element == GetStrVar(RegSlot::StrLabelArbitary)) {
        edit->clear();
        edit->setReadOnly(false);
        edit->setAttribute(Qt::WA_InputMethodEnabled, true);
    } else {
        edit->setText(element);
        edit->setReadOnly(true);
    }
}

void CreateInstance::setScope(QComboBox *box, int scope, bool plain, bool enabled)
{
    box->setItemIcon(0, plain ? QIcon() : SharedIcon::Get(SharedIcon::Double));
    box->setCurrentIndex(scope >= 0 && scope < 3 ? scope : 2);
    box->setEnabled(enabled);
}

void CreateInstance::SetLclass(const QString &name, const QString &element, int scope, bool plain)
{
    m_lname = name;
    m_lelement = element;
    m_ui->L_Name_Edit->setText(name);
    setElement(m_ui->L_El_Edit, element);
    m_ui->OK->setText(m_delete ? tr("del") : tr("add"));
    setScope(m_ui->L_Scope_Cbx, scope, plain, !m_delete);
    m_ui->MSG->hide();
}

void CreateInstance::SetSclass(const QString &lname, const QString &lelement, int lscope, bool lplain,
                               const QString &sname, const QString &selement, int sscope, bool splain)
{
    m_lname = lname;
    m_lelement = lelement;
    m_sname = sname;
    m_selement = selement;
    m_ui->L_Name_Edit->setText(lname);
    m_ui->L_El_Edit->setText(lelement);
    m_ui->L_El_Edit->setReadOnly(true);
    setScope(m_ui->L_Scope_Cbx, lscope, lplain, false);
    m_ui->S_Name_Edit->setText(sname);
    setElement(m_ui->S_El_Edit, selement);
    m_ui->OK->setText(m_delete ? tr("del") : tr("add"));
    setScope(m_ui->S_Scope_Cbx, sscope, splain, !m_delete);
    m_ui->MSG->hide();
}

QString CreateInstance::Message() const
{
    return m_ui->MSG->isHidden() ? QString() : m_ui->MSG->text();
}

void CreateInstance::showMessage(const QString &text)
{
    m_ui->MSG->setText(text);
    m_ui->MSG->show();
}

bool CreateInstance::confirmDelete()
{
    QMessageBox box(this);
    box.setWindowTitle(m_sclass ? tr("Delete Sclass") : tr("Delete Lclass"));
    box.setWindowIcon(GetLogoIcon());
    box.setIcon(QMessageBox::Information);
    box.setInformativeText(m_sclass ? tr("Do you want to delete current Sclass?")
                                    : tr("Do you want to delete current Lclass?"));
    QPushButton *yes = box.addButton(tr("yes"), QMessageBox::AcceptRole);
    yes->setObjectName(QStringLiteral("yes"));
    QPushButton *no = box.addButton(tr("no"), QMessageBox::RejectRole);
    no->setObjectName(QStringLiteral("no"));
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void CreateInstance::OkProc()
{
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    if (m_delete) {
        if (confirmDelete() && tab) {
            if (m_sclass)
                tab->DeleteCurrentSclass();
            else
                tab->DeleteLclassItem();
            tab->UserColumnAdjustment(QModelIndex());
        }
        m_ui->MSG->hide();
        accept();
        return;
    }
    QLineEdit *element = m_sclass ? m_ui->S_El_Edit : m_ui->L_El_Edit;
    if (element->text().isEmpty()) {
        SetStrVar(RegSlot::StrLastError, m_sclass ? tr("Element name of Sclass is not set")
                                                  : tr("Element name of Lclass is not set"));
        showMessage(GetStrVar(RegSlot::StrLastError));
        return;
    }
    if (!tab)
        return;
    const bool done = m_sclass ? tab->CreateSclassInstance(element->text(), m_ui->S_Scope_Cbx->currentIndex())
                               : tab->CreateLclassInstance(m_ui->L_Name_Edit->text(), element->text(),
                                                           m_ui->L_Scope_Cbx->currentIndex());
    tab->UserColumnAdjustment(QModelIndex());
    if (!done) {
        showMessage(GetStrVar(RegSlot::StrLastError));
        return;
    }
    m_ui->MSG->hide();
    accept();
}

void CreateInstance::CancelProc()
{
    m_ui->MSG->clear();
    reject();
}
