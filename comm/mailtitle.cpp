#include "comm/mailtitle.h"

#include "comm/membermail.h"
#include "ui_mailtitle.h"

MailTitle::MailTitle(MemberMail *panel) : QDialog(panel), m_ui(new Ui::MailTitle), m_panel(panel)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(m_ui->SET, &QPushButton::clicked, this, &MailTitle::SetProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &QDialog::reject);
}

MailTitle::~MailTitle()
{
    delete m_ui;
}

void MailTitle::SetMode(int mode)
{
    m_mode = mode;
    m_ui->SET->setText(mode == 0 ? tr("NEW") : tr("MOD"));
    setWindowTitle(mode == 0 ? tr("NEW MAIL") : tr("MOD TITLE"));
    m_ui->TITLE->clear();
    m_ui->TITLE->setFocus();
}

void MailTitle::SetTitle(const QString &text)
{
    m_ui->TITLE->setText(text);
}

void MailTitle::SetProc()
{
    const QString text = m_ui->TITLE->text();
    if (m_mode == 1)
        m_panel->SetTitleText(text);
    else
        m_panel->NewMail(text);
    accept();
}
