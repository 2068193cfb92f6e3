#include "comm/mailtest.h"

#include "comm/qasmtp.h"
#include "core/optionsmodel.h"
#include "shell/optfont.h"
#include "ui_mailtest.h"

#include <QEventLoop>
#include <QThread>

MailTest::MailTest(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::MailTest), m_replyTimeoutMs(QaSmtp::ReplyTimeoutMs)
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

// The dialogue runs on a thread of its own while this one keeps the window painted and answering:
// a slow or silent server must not freeze the program.
void MailTest::SendProc()
{
    if (m_running)
        return;
    m_server = m_ui->SERVER->text();
    m_port = m_ui->PORT->value();
    m_security = m_ui->SECURITY->currentIndex();
    m_auth = m_ui->AUTH->currentIndex();
    m_sender = m_ui->SND_ADDR->text();
    m_password = m_ui->PWD->text();
    // The thread works on copies: nothing it reads may change under it.
    const QString server = m_server;
    const int port = m_port;
    const int security = m_security;
    const int auth = m_auth;
    const QString sender = m_sender;
    const QString password = m_password;
    const int replyTimeout = m_replyTimeoutMs;
    const QString name = GetStrVar(RegSlot::StrUserName);
    const QString recipient = m_ui->RCV_ADDR->text();
    const QString subject = tr("[Pelmorine]:mail confimariton test");
    const QString body = tr("this mail is test for Pelmorine.");
    int result = QaSmtp::NoAnswer;
    QThread *thread = QThread::create([&] {
        QaSmtp client;
        client.SetServer(server);
        client.SetPort(port);
        client.SetSecurity(security);
        client.SetAuth(auth);
        client.SetSender(name, sender);
        client.SetPassword(password);
        client.AddRecipient(QString(), recipient);
        client.SetSubject(subject);
        client.SetBody(body);
        client.SetReplyTimeout(replyTimeout);
        result = client.Send();
    });
    m_running = true;
    m_ui->SEND->setEnabled(false);
    m_ui->END->setEnabled(false);
    m_ui->RESULT->clear();
    QEventLoop loop;
    connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;
    m_running = false;
    m_ui->SEND->setEnabled(true);
    m_ui->END->setEnabled(true);
    m_lastResult = result;
    m_ui->RESULT->setStyleSheet(m_lastResult == QaSmtp::Sent ? QStringLiteral("color:blue")
                                                             : QStringLiteral("color:red"));
    m_ui->RESULT->setText(ResultText(m_lastResult));
}

// Closing while a test runs would leave its result to a hidden window: the close waits for it.
void MailTest::reject()
{
    if (!m_running)
        QDialog::reject();
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
