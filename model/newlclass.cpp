#include "model/newlclass.h"

#include "core/postbox.h"
#include "model/model.h"
#include "ui_newlclass.h"

NewLclass::NewLclass(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::NewLclass), m_setText(tr("SET")), m_unsetText(tr("UNSET"))
{
    SetUpClassDialog(this, m_ui, GetLogoIcon());
}

NewLclass::~NewLclass()
{
    delete m_ui;
}

QString NewLclass::Message() const
{
    return m_ui->MSG->text();
}

// The last message stays: it tells the user why the previous attempt was refused.
void NewLclass::InitDisplay()
{
    m_ui->LEDIT->clear();
    m_ui->ECBX->clear();
    m_ui->ECBX->setReadOnly(false);
    m_ui->SET->setText(m_setText);
    m_toggle = 0;
    m_ui->LEDIT->setFocus();
}

void NewLclass::onSet()
{
    m_toggle = ToggleElement(m_ui->ECBX, m_ui->SET, m_toggle, GetStrVar(RegSlot::StrLabelArbitary), m_setText,
                             m_unsetText);
}

void NewLclass::onAccept()
{
    if (m_ui->LEDIT->text().isEmpty())
        return m_ui->MSG->setText(tr("lclass name is not set"));
    if (m_ui->ECBX->text().isEmpty())
        return m_ui->MSG->setText(tr("element name is not set"));
    SetStrVar(RegSlot::StrNewLclassFirst, m_ui->LEDIT->text());
    SetStrVar(RegSlot::StrNewClassElement, m_ui->ECBX->text());
    const QString refusal =
        PostNewClass(GetObj<model>(RegSlot::ObjModel), &model::CheckNewLclass, MsgCode::AddLclass);
    if (!refusal.isEmpty())
        return m_ui->MSG->setText(refusal);
    InitDisplay();
    accept();
}

void NewLclass::onReject()
{
    InitDisplay();
    reject();
}

QString NewLclass::PostNewClass(model *editor, int (model::*check)(), int code)
{
    if (editor && !editor->IdsLeft(1))
        return model::NoIdMessage();
    const int clash = editor ? (editor->*check)() : 0;
    if (clash != 0)
        return ClashText(clash);
    PostBox::Post(code);
    if (editor) {
        editor->ModelChanged();
        editor->IsUpdateLocked();
    }
    return QString();
}

QString NewLclass::ClashText(int clash)
{
    if (clash == 1)
        return tr("the arbitary element is already exist");
    if (clash == 3)
        return tr("the arbitary element is not set already lclass exist");
    return tr("the same class found");
}

int NewLclass::ToggleElement(QLineEdit *element, QPushButton *button, int toggle, const QString &arbitrary,
                             const QString &setText, const QString &unsetText)
{
    const bool toArbitrary = toggle == 0;
    element->setText(toArbitrary ? arbitrary : QString());
    element->setReadOnly(toArbitrary);
    button->setText(toArbitrary ? unsetText : setText);
    return toArbitrary ? 1 : 0;
}
