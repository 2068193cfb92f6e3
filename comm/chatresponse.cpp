#include "comm/chatresponse.h"

#include "comm/chat.h"
#include "ui_chatresponse.h"

ChatResponse::ChatResponse(QWidget *parent) : QDialog(parent), m_ui(new Ui::ChatResponse)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(m_ui->NONE, &QRadioButton::clicked, this, &ChatResponse::NoneProc);
    connect(m_ui->AGREE, &QRadioButton::clicked, this, &ChatResponse::AgreeProc);
    connect(m_ui->OPPO, &QRadioButton::clicked, this, &ChatResponse::OppoProc);
    connect(m_ui->NUTRAL, &QRadioButton::clicked, this, &ChatResponse::NutralProc);
    connect(m_ui->MINF, &QRadioButton::clicked, this, &ChatResponse::MinfProc);
    connect(m_ui->GOOD, &QRadioButton::clicked, this, &ChatResponse::GoodProc);
    connect(m_ui->SET, &QPushButton::clicked, this, &ChatResponse::SetProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &ChatResponse::CancelProc);
}

ChatResponse::~ChatResponse()
{
    delete m_ui;
}

void ChatResponse::SetUserTime(const QString &author, const QString &time)
{
    m_ui->USER->setText(author);
    m_ui->TIME->setText(time);
}

void ChatResponse::SetKind(int kind)
{
    m_ui->MSG->clear();
    m_initialKind = m_kind = kind;
    QRadioButton *const buttons[] = {m_ui->NONE,   m_ui->AGREE, m_ui->OPPO,
                                     m_ui->NUTRAL, m_ui->MINF,  m_ui->GOOD};
    // An exclusive group keeps one button checked: it is lifted to clear them all.
    for (QRadioButton *button : buttons)
        button->setAutoExclusive(false);
    for (int i = 0; i < 6; ++i)
        buttons[i]->setChecked(i == kind);
    for (QRadioButton *button : buttons)
        button->setAutoExclusive(true);
}

void ChatResponse::SetProc()
{
    if (m_kind == m_initialKind) {
        m_ui->MSG->setText(tr("same type"));
        return;
    }
    if (m_chat)
        m_chat->SetResponse(m_kind, m_seq);
    accept();
}

void ChatResponse::CancelProc()
{
    reject();
}
