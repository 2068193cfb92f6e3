#include "shell/optfont.h"

#include "comm/mailtest.h"
#include "core/optionsmodel.h"
#include "shell/editfont.h"
#include "ui_optfont.h"

OptFont::OptFont(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::OptFont), m_editFont(new EditFont), m_mailTest(new MailTest(this))
{
    m_ui->setupUi(this);
    m_ui->SAVETIME->addItem(tr("none"), 0);
    m_ui->SAVETIME->addItem(tr("one minitues"), 1);
    m_ui->SAVETIME->addItem(tr("three minitues"), 3);
    m_ui->SAVETIME->addItem(tr("five minitues"), 5);
    m_ui->SAVETIME->addItem(tr("ten minitues"), 10);
    m_mailTest->SetOwner(this);
    // The page lives in the modal Options dialog: a window of no parent would be blocked by it and
    // take no input. As a window of the page, modal to it, it is the one that answers.
    m_mailTest->setWindowModality(Qt::WindowModal);
    connect(m_ui->CHANGE, &QPushButton::clicked, this, &OptFont::ChangeProc);
    connect(m_ui->TEST, &QPushButton::clicked, this, &OptFont::TestProc);
    connect(m_ui->SECURITY, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &OptFont::SecChanged);
    connect(m_ui->SERVER, &QLineEdit::textChanged, this, &OptFont::ResetConnect);
    connect(m_ui->PORT, QOverload<int>::of(&QSpinBox::valueChanged), this, &OptFont::ResetConnect);
    connect(m_ui->ADRESS, &QLineEdit::textChanged, this, &OptFont::ResetConnect);
    connect(m_ui->PWD, &QLineEdit::textChanged, this, &OptFont::ResetConnect);
}

OptFont::~OptFont()
{
    delete m_editFont;
    delete m_mailTest;
    delete m_ui;
}

QString OptFont::GetFontName() const
{
    return m_ui->FONT->text();
}
int OptFont::GetFontSize() const
{
    return m_ui->SIZE->value();
}
int OptFont::GetAutoSave() const
{
    return m_ui->SAVETIME->currentData().toInt();
}
QString OptFont::GetServer() const
{
    return m_ui->SERVER->text();
}
QString OptFont::GetPort() const
{
    return QString::number(m_ui->PORT->value());
}
int OptFont::GetSecurity() const
{
    return m_ui->SECURITY->currentIndex();
}
int OptFont::GetAuth() const
{
    return m_ui->AUTH->currentIndex();
}
QString OptFont::GetAddress() const
{
    return m_ui->ADRESS->text();
}
QString OptFont::GetPassword() const
{
    return m_ui->PWD->text();
}
QString OptFont::GetSend() const
{
    return m_ui->CHECK_SEND->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}
QString OptFont::GetConnect() const
{
    return m_connected ? QStringLiteral("1") : QStringLiteral("0");
}

void OptFont::SetFontName(const QString &name)
{
    m_ui->FONT->setText(name);
}
void OptFont::SetFontSize(int size)
{
    m_ui->SIZE->setValue(size);
}
void OptFont::SetAutoSave(int minutes)
{
    const int index = m_ui->SAVETIME->findData(minutes);
    m_ui->SAVETIME->setCurrentIndex(index < 0 ? 0 : index);
}
void OptFont::SetServer(const QString &server)
{
    m_ui->SERVER->setText(server);
}
void OptFont::SetPort(int port)
{
    ShowDefaultPort(m_ui->SECURITY->currentIndex());
    m_ui->PORT->setValue(port);
}
void OptFont::SetSecurity(int index)
{
    m_ui->SECURITY->setCurrentIndex(index);
}
void OptFont::SetAuth(int index)
{
    m_ui->AUTH->setCurrentIndex(index);
}
void OptFont::SetAddress(const QString &address)
{
    m_ui->ADRESS->setText(address);
}
void OptFont::SetPassword(const QString &password)
{
    m_ui->PWD->setText(password);
}
void OptFont::SetSend(const QString &send)
{
    m_send = send.toInt() == 1;
}

void OptFont::SetConnect(const QString &connect)
{
    m_connected = connect.toInt() == 1;
    m_ui->CONNECT->setText(m_connected ? tr("connect") : tr("unknown"));
    m_ui->CHECK_SEND->setEnabled(m_connected);
    m_ui->CHECK_SEND->setChecked(m_connected && m_send);
}

void OptFont::ShowDefaultPort(int security)
{
    m_ui->DEFAULT->setText(QStringLiteral("(default:%1)").arg(OptionsModel::DefaultPort(security)));
}

// Any edit of the server settings withdraws the confirmation a test mail gave.
void OptFont::ResetConnect()
{
    if (GetBoolVar(RegSlot::FlagUpdating) || !m_connected)
        return;
    m_connected = false;
    m_send = false;
    m_ui->CONNECT->setText(tr("unknown"));
    m_ui->CHECK_SEND->setChecked(false);
    m_ui->CHECK_SEND->setEnabled(false);
}

void OptFont::ChangeProc()
{
    m_editFont->ShowFor(m_ui->FONT);
}

void OptFont::TestProc()
{
    SetBoolVar(RegSlot::FlagUpdating, true);
    m_mailTest->ClearResult();
    m_mailTest->SetServer(m_ui->SERVER->text());
    m_mailTest->SetPort(m_ui->PORT->value());
    m_mailTest->SetSecurity(m_ui->SECURITY->currentIndex());
    m_mailTest->SetAuth(m_ui->AUTH->currentIndex());
    m_mailTest->SetSender(m_ui->ADRESS->text());
    m_mailTest->SetPassword(m_ui->PWD->text());
    SetBoolVar(RegSlot::FlagUpdating, false);
    m_mailTest->show();
}

void OptFont::SecChanged(int index)
{
    if (GetBoolVar(RegSlot::FlagUpdating))
        return;
    m_ui->PORT->setValue(OptionsModel::DefaultPort(index));
    ShowDefaultPort(index);
    ResetConnect();
}
