#include "comm/mailtest.h"

#include "comm/qasmtp.h"
#include "core/optionsmodel.h"
#include "shell/optfont.h"
#include "ui_mailtest.h"

MailTest::MailTest(QWidget *parent) : QDialog(parent), m_ui(new Ui::MailTest)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_ui->SECURITY->addItems({tr("none"), QStringLiteral("STARTTLS"), QStringLiteral("SSL/TLS")});
    m_ui->AUTH->addItem(tr("Auto"));
    connect(m_ui->SEND, &QPushButton::clicked, this, &MailTest::SendProc);
    connect(m_ui->END, &QPushButton::clicked, this, &MailTest::EndProc);
    connect(m_ui->SECURITY, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MailTest::SecChanged);
}

MailTest::~MailTest()
{
    delete m_ui;
}

void MailTest::SetServer(const QString &server)
{
    m_server = server;
    m_ui->SERVER->setText(server);
}
void MailTest::SetPort(int port)
{
    m_port = port;
    m_ui->PORT->setValue(port);
}
void MailTest::SetSecurity(int security)
{
    m_security = security;
    m_ui->SECURITY->setCurrentIndex(security);
}
void MailTest::SetAuth(int auth)
{
    m_auth = auth;
    m_ui->AUTH->setCurrentIndex(auth);
}
void MailTest::SetSender(const QString &sender)
{
    m_sender = sender;
    m_ui->SND_ADDR->setText(sender);
}
void MailTest::SetPassword(const QString &password)
{
    m_password = password;
    m_ui->PWD->setText(password);
}

void MailTest::ClearResult()
{
    m_ui->RESULT->clear();
    m_lastResult = -1;
}

QString MailTest::ResultText(int result)
{
    switch (result) {
    case QaSmtp::Sent:
        return tr("send is complete");
    case QaSmtp::NoAnswer:
        return tr("check connect");
    case QaSmtp::NoConnection:
        return tr("check connect, server, port");
    case QaSmtp::NoChallenge:
    case QaSmtp::AuthRefused:
        return tr("check password");
    case QaSmtp::SenderRefused:
        return tr("check sender address");
    case QaSmtp::RecipientRefused:
        return tr("check recipent addr");
    case QaSmtp::DataRefused:
        return tr("not send data, retry");
    default:
        return QString();
    }
}

void MailTest::SecChanged(int index)
{
    if (GetBoolVar(RegSlot::FlagUpdating))
        return;
    m_ui->PORT->setValue(OptionsModel::DefaultPort(index));
}

// The test runs on this thread: the dialog waits for the server's last word.
void MailTest::SendProc()
{
    delete m_client;
    m_client = new QaSmtp(this);
    m_server = m_ui->SERVER->text();
    m_port = m_ui->PORT->value();
    m_security = m_ui->SECURITY->currentIndex();
    m_auth = m_ui->AUTH->currentIndex();
    m_sender = m_ui->SND_ADDR->text();
    m_password = m_ui->PWD->text();
    m_client->SetServer(m_server);
    m_client->SetPort(m_port);
    m_client->SetSecurity(m_security);
    m_client->SetAuth(m_auth);
    m_client->SetSender(GetStrVar(RegSlot::StrUserName), m_sender);
    m_client->SetPassword(m_password);
    m_client->AddRecipient(QString(), m_ui->RCV_ADDR->text());
    m_client->SetSubject(tr("[Pelmorine]:mail confimariton test"));
    m_client->SetBody(tr("this mail is test for Pelmorine."));
    m_lastResult = m_client->Send();
    m_ui->RESULT->setStyleSheet(m_lastResult == QaSmtp::Sent ? QStringLiteral("color:blue")
                                                             : QStringLiteral("color:red"));
    m_ui->RESULT->setText(ResultText(m_lastResult));
}

// Settings go back to the page only when the last test mail went out; they are read from the
// fields again, so a field changed after the test goes back as it stands.
void MailTest::EndProc()
{
    if (m_lastResult == QaSmtp::Sent && m_owner) {
        SetBoolVar(RegSlot::FlagUpdating, true);
        m_owner->SetServer(m_ui->SERVER->text());
        m_owner->SetPort(m_ui->PORT->value());
        m_owner->SetSecurity(m_ui->SECURITY->currentIndex());
        m_owner->SetAuth(m_ui->AUTH->currentIndex());
        m_owner->SetAddress(m_ui->SND_ADDR->text());
        m_owner->SetPassword(m_ui->PWD->text());
        m_owner->SetConnect(QStringLiteral("1"));
        SetBoolVar(RegSlot::FlagUpdating, false);
    }
    accept();
}
