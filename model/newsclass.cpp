#include "model/newsclass.h"

#include "core/postbox.h"
#include "model/model.h"
#include "model/newlclass.h"
#include "ui_newsclass.h"

#include <QTreeWidgetItem>

NewSclass::NewSclass(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::NewSclass), m_setText(tr("SET")), m_unsetText(tr("UNSET"))
{
    SetUpClassDialog(this, m_ui, GetLogoIcon());
}

NewSclass::~NewSclass()
{
    delete m_ui;
}

QString NewSclass::Message() const
{
    return m_ui->MSG->text();
}

void NewSclass::InitDisplay()
{
    QTreeWidgetItem *item = nullptr;
    if (auto *editor = GetObj<model>(RegSlot::ObjModel))
        item = editor->GetCurrentItem();
    while (item && item->parent())
        item = item->parent();
    m_ui->LCLASSNAME->setText(item ? item->text(model::ColLclass) : QString());
    m_ui->ECBX->clear();
    m_ui->ECBX->setReadOnly(false);
    m_ui->SET->setText(m_setText);
    m_toggle = 0;
    m_ui->SEDIT->clear();
    m_ui->SEDIT->setFocus();
}

void NewSclass::onSet()
{
    m_toggle = NewLclass::ToggleElement(m_ui->ECBX, m_ui->SET, m_toggle, GetStrVar(RegSlot::StrLabelArbitary),
                                        m_setText, m_unsetText);
}

void NewSclass::onAccept()
{
    if (m_ui->SEDIT->text().isEmpty())
        return m_ui->MSG->setText(tr("lclass name is not set"));
    if (m_ui->ECBX->text().isEmpty())
        return m_ui->MSG->setText(tr("Element name is not set"));
    SetStrVar(RegSlot::StrNewSclassName, m_ui->SEDIT->text());
    SetStrVar(RegSlot::StrNewClassElement, m_ui->ECBX->text());
    const QString refusal =
        NewLclass::PostNewClass(GetObj<model>(RegSlot::ObjModel), &model::CheckNewSclass, MsgCode::AddSclass);
    if (!refusal.isEmpty())
        return m_ui->MSG->setText(refusal);
    clearFields();
    accept();
}

void NewSclass::onReject()
{
    clearFields();
    reject();
}

void NewSclass::clearFields()
{
    m_ui->MSG->clear();
    m_toggle = 0;
    m_ui->LCLASSNAME->clear();
    m_ui->ECBX->setReadOnly(false);
    m_ui->ECBX->clear();
    m_ui->SET->setText(m_setText);
    m_ui->SEDIT->clear();
}
