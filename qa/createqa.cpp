#include "qa/createqa.h"

#include "qa/qanda.h"
#include "ui_createqa.h"

CreateQA::CreateQA(QandA *panel, QWidget *parent) : QDialog(parent), m_ui(new Ui::CreateQA), m_panel(panel)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    m_ui->MSG->setText(QString());
    m_ui->MSG->setStyleSheet(QStringLiteral("color: #FF0000"));
    connect(m_ui->OK, &QPushButton::clicked, this, &CreateQA::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &CreateQA::CancelProc);
    connect(m_ui->OWNERCBX, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CreateQA::OwnerChanged);
}

CreateQA::~CreateQA()
{
    delete m_ui;
}

void CreateQA::SetMode(int mode)
{
    m_mode = mode;
    m_ui->TITLE->clear();
    m_ui->ID->clear();
    m_ui->INSTID->clear();
    m_ui->TYPECBX->clear();
    m_ui->MSG->clear();
    const bool create = mode == AddQuestion;
    m_ui->TITLE->setReadOnly(!create);
    m_ui->TITLE->setAttribute(Qt::WA_InputMethodEnabled, create);
    m_ui->TYPECBX->setEnabled(true);
    m_ui->OWNER->setVisible(create);
    m_ui->OWNERCBX->setVisible(create);
    m_ui->OK->setText(mode == AddQuestion || mode == AddAnswer ? tr("add_ok") : tr("del_ok"));
}

void CreateQA::SetTitle(const QString &title)
{
    m_ui->TITLE->setText(title);
}

void CreateQA::SetTypes(const QStringList &types, const QString &current)
{
    m_ui->TYPECBX->addItems(types);
    const int index = current.isEmpty() ? 0 : m_ui->TYPECBX->findText(current);
    if (index >= 0)
        m_ui->TYPECBX->setCurrentIndex(index);
}

void CreateQA::AddType(const QString &type)
{
    if (type.isEmpty())
        return;
    m_ui->TYPECBX->addItem(type);
    m_ui->TYPECBX->setCurrentIndex(m_ui->TYPECBX->count() - 1);
}

void CreateQA::SetOwners(const QStringList &names, const QStringList &ids)
{
    m_filling = true;
    m_ui->OWNERCBX->clear();
    for (int i = 0; i < names.size(); ++i)
        m_ui->OWNERCBX->addItem(names.at(i), ids.value(i));
    m_ui->ID->setText(ids.value(0));
    m_ui->OWNERCBX->setCurrentIndex(names.isEmpty() ? -1 : 0);
    m_filling = false;
}

void CreateQA::SetId(const QString &id)
{
    m_ui->ID->setText(id);
}

void CreateQA::SetInstId(const QString &id)
{
    m_ui->INSTID->setText(id);
}

void CreateQA::SetMessage(const QString &text)
{
    m_ui->MSG->setText(text);
}

QString CreateQA::Message() const
{
    return m_ui->MSG->text();
}

void CreateQA::OwnerChanged(int index)
{
    if (m_filling || index < 0)
        return;
    m_ui->ID->setText(m_ui->OWNERCBX->itemData(index).toString());
}

void CreateQA::OkProc()
{
    switch (m_mode) {
    case AddQuestion:
        if (m_ui->TITLE->text().isEmpty()) {
            m_ui->MSG->setText(tr("title is not set"));
            return;
        }
        m_panel->AddQuestion(m_ui->TITLE->text(), m_ui->TYPECBX->currentText(),
                             m_ui->OWNERCBX->currentText());
        break;
    case DelQuestion:
        m_panel->RemoveQuestion();
        break;
    case AddAnswer:
        m_panel->AddAnswer(m_item, m_ui->TITLE->text(), m_ui->TYPECBX->currentText());
        break;
    case DelAnswer:
        m_panel->RemoveAnswer();
        break;
    default:
        break;
    }
    m_panel->SetModify();
    accept();
}

void CreateQA::CancelProc()
{
    reject();
}
