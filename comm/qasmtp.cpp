#include "comm/qasmtp.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMessageAuthenticationCode>
#include <QSslSocket>
#include <QThread>
#include <QTimer>

namespace
{
// Waits are cut into slices this long so that a worker thread asked to stop leaves at once.
constexpr int SliceMs = 100;
// No SMTP reply comes near this; a peer that keeps sending more is not an SMTP server.
constexpr qint64 MaxReplyBytes = 64 * 1024;

QByteArray encodedWord(const QString &text)
{
    return "=?utf-8?B?" + text.toUtf8().toBase64() + "?=";
}

QByteArray mailbox(const QString &name, const QString &address)
{
    return encodedWord(name) + '<' + address.toUtf8() + '>';
}
} // namespace

QaSmtp::QaSmtp(QObject *parent) : QObject(parent) {}

QaSmtp::~QaSmtp() = default;

void QaSmtp::SetServer(const QString &host)
{
    m_server = host;
    m_recipients.clear();
}

void QaSmtp::SetSender(const QString &name, const QString &address)
{
    m_senderName = name;
    m_senderAddress = address;
}

void QaSmtp::SmtpError(QAbstractSocket::SocketError error)
{
    m_lastError = int(error);
}

// Addresses reach the envelope and the headers as they stand, and recipients come from member
// files other programs write: a line break or an angle bracket there would let the address
// add commands or headers of its own.
bool QaSmtp::IsSafeAddress(const QString &address)
{
    for (const QChar c : address) {
        // C1 controls (U+0080-U+009F) include NEL, which some software takes for a line end.
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f) || c == QLatin1Char('<') ||
            c == QLatin1Char('>'))
            return false;
    }
    return true;
}

int QaSmtp::Send()
{
    m_cramOffered = false;
    m_authOffered = false;
    if (!IsSafeAddress(m_senderAddress))
        return SenderRefused;
    for (const auto &recipient : qAsConst(m_recipients)) {
        if (!IsSafeAddress(recipient.second))
            return RecipientRefused;
    }
    delete m_socket;
    m_socket = m_security == SecurityNone ? new QTcpSocket(this) : new QSslSocket(this);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &QaSmtp::SmtpError);
    const int result = dialogue();
    m_socket->abort();
    return result;
}

int QaSmtp::dialogue()
{
    if (!connectAndGreet() || SendEhlo() != 0)
        return NoConnection;
    if (m_security == SecurityStartTls && !startTls())
        return NoConnection;
    const int auth = authenticate();
    if (auth != Sent)
        return auth;
    const int result = SendMail();
    if (result == Sent && SendCommand("QUIT") == 0)
        ReadReply();
    return result;
}

bool QaSmtp::connectAndGreet()
{
    if (m_port < 1 || m_port > 65535)
        return false;
    if (m_security == SecurityTls)
        static_cast<QSslSocket *>(m_socket)->connectToHostEncrypted(m_server, quint16(m_port));
    else
        m_socket->connectToHost(m_server, quint16(m_port));
    if (!waitConnected())
        return false;
    if (m_security == SecurityTls && !waitEncrypted())
        return false;
    return ReadReply() == 0;
}

bool QaSmtp::startTls()
{
    if (writeAndRead("STARTTLS") != 0)
        return false;
    static_cast<QSslSocket *>(m_socket)->startClientEncryption();
    return waitEncrypted() && SendEhlo() == 0;
}

int QaSmtp::authenticate()
{
    int result = 0;
    switch (m_auth) {
    case AuthByAuto:
        result = authAuto();
        break;
    case AuthByPlain:
        result = AuthPlain();
        break;
    case AuthByLogin:
        result = AuthLogin();
        break;
    case AuthByCramMd5:
        result = AuthCramMd5();
        break;
    default:
        return Sent;
    }
    switch (result) {
    case 0:
        return Sent;
    case 1:
        return NoAnswer;
    case 3:
        return NoChallenge;
    default:
        return AuthRefused;
    }
}

int QaSmtp::authAuto()
{
    // A server that names no AUTH takes mail without it; trying methods there only fails.
    if (!m_authOffered)
        return 0;
    if (m_cramOffered) {
        if (AuthCramMd5() == 0)
            return 0;
        SendRset();
    }
    int result = AuthLogin();
    if (result == 0)
        return 0;
    SendRset();
    result = AuthPlain();
    if (result != 0)
        SendRset();
    return result;
}

int QaSmtp::SendCommand(const QByteArray &command)
{
    m_socket->write(command + "\r\n");
    const bool written = waitSliced(WriteTimeoutMs, [this](int ms) {
        if (m_socket->bytesToWrite() > 0)
            m_socket->waitForBytesWritten(ms);
        return m_socket->bytesToWrite() == 0;
    });
    return written ? 0 : 1;
}

int QaSmtp::writeAndRead(const QByteArray &command)
{
    const int result = SendCommand(command);
    return result != 0 ? result : ReadReply();
}

// 0 for a reply below 400, 2 for a refusal, 1 when the reply did not come in time. The time
// counts for the whole reply: a server that sends a byte now and then must not hold it forever.
int QaSmtp::ReadReply()
{
    const QDeadlineTimer deadline(m_replyTimeoutMs);
    m_replyBytes = 0;
    bool refused = false;
    for (;;) {
        while (!m_socket->canReadLine()) {
            if (m_socket->bytesAvailable() > MaxReplyBytes)
                return 2;
            if (!waitSliced(deadline, [this](int ms) { return m_socket->waitForReadyRead(ms); }))
                return refused ? 2 : 1;
        }
        bool more = false;
        if (!readLine(&more))
            return 2;
        // The rest of a refusal is read too, so that the next command does not take it as its own.
        refused = refused || m_lastCode >= 400;
        if (!more)
            return refused ? 2 : 0;
    }
}

// Takes one reply line; false for a line that is no SMTP reply at all (a peer that speaks
// another protocol must not pass for a server that accepted the step).
bool QaSmtp::readLine(bool *more)
{
    QByteArray line = m_socket->readLine();
    m_replyBytes += line.size();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    m_lastReply = QString::fromUtf8(line);
    const bool numeric = line.size() >= 3 && std::all_of(line.cbegin(), line.cbegin() + 3,
                                                         [](char c) { return c >= '0' && c <= '9'; });
    if (!numeric || m_replyBytes > MaxReplyBytes) {
        m_lastCode = 0;
        return false;
    }
    m_lastCode = line.left(3).toInt();
    if (m_lastCode >= 400) {
        m_lastError = m_lastCode;
    } else if (line.contains("AUTH")) {
        m_authOffered = true;
        m_cramOffered = m_cramOffered || line.contains("CRAM-MD5");
    }
    // RFC 5321 allows a last line of the bare code: only a hyphen announces another line.
    *more = line.size() > 3 && line.at(3) == '-';
    return true;
}

int QaSmtp::SendEhlo()
{
    return writeAndRead("EHLO " + m_server.toUtf8());
}

void QaSmtp::SendRset()
{
    writeAndRead("RSET ");
}

int QaSmtp::AuthPlain()
{
    QByteArray token;
    token.append('\0').append(m_senderAddress.toUtf8()).append('\0').append(m_password.toUtf8());
    return writeAndRead("AUTH PLAIN " + token.toBase64());
}

int QaSmtp::AuthLogin()
{
    int result = writeAndRead("AUTH LOGIN ");
    if (result != 0)
        return result;
    if (m_lastReply.mid(4).trimmed().isEmpty())
        return 3;
    result = writeAndRead(m_senderAddress.toLatin1().toBase64());
    if (result != 0)
        return result;
    return writeAndRead(m_password.toLatin1().toBase64());
}

int QaSmtp::AuthCramMd5()
{
    const int result = writeAndRead("AUTH CRAM-MD5");
    if (result != 0)
        return result;
    const QStringList parts = m_lastReply.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() < 2)
        return 3;
    const auto challenge =
        QByteArray::fromBase64Encoding(parts.at(1).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!challenge)
        return 3;
    const QByteArray digest =
        QMessageAuthenticationCode::hash(*challenge, m_password.toLatin1(), QCryptographicHash::Md5).toHex();
    return writeAndRead((m_senderAddress.toLatin1() + ' ' + digest).toBase64());
}

int QaSmtp::SendMail()
{
    int result = writeAndRead("MAIL FROM:<" + m_senderAddress.toLatin1() + '>');
    if (result != 0)
        return result == 1 ? NoAnswer : SenderRefused;
    result = SendRecipients();
    if (result != Sent)
        return result;
    result = writeAndRead("DATA");
    if (result == 0) {
        result = SendCommand(BuildMessage());
        if (result == 0)
            result = writeAndRead(".");
    }
    if (result != 0)
        return result == 1 ? NoAnswer : DataRefused;
    return Sent;
}

int QaSmtp::SendRecipients()
{
    for (const auto &recipient : qAsConst(m_recipients)) {
        const int result = writeAndRead("RCPT TO:<" + recipient.second.toLatin1() + '>');
        if (result != 0)
            return result == 1 ? NoAnswer : RecipientRefused;
    }
    return Sent;
}

QByteArray QaSmtp::BuildMessage() const
{
    QByteArrayList to;
    for (const auto &recipient : m_recipients)
        to << mailbox(recipient.first, recipient.second);
    QByteArray message = "From:" + mailbox(m_senderName, m_senderAddress) + "\r\n";
    message += "To:" + to.join(',') + "\r\n";
    message += "Subject:" + (m_subject.isEmpty() ? QByteArray() : encodedWord(m_subject)) + "\r\n";
    message += "MIME-Version: 1.0\r\nContent-Type:text/plain;charset=utf-8\r\n\r\n";
    // Any line end of the body, a lone CR included, becomes CR LF, so no body text can form the
    // end-of-data line.
    QString body = m_body;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = body.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('.')))
            message += '.';
        message += line.toUtf8() + "\r\n";
    }
    return message;
}

template <class Wait> bool QaSmtp::waitSliced(int timeoutMs, Wait wait)
{
    return waitSliced(QDeadlineTimer(timeoutMs), wait);
}

template <class Wait> bool QaSmtp::waitSliced(const QDeadlineTimer &deadline, Wait wait)
{
    QThread *thread = QThread::currentThread();
    while (!thread->isInterruptionRequested()) {
        if (wait(int(qBound<qint64>(0, deadline.remainingTime(), SliceMs))))
            return true;
        if (deadline.hasExpired() || m_socket->state() == QAbstractSocket::UnconnectedState)
            return false;
    }
    return false;
}

bool QaSmtp::waitConnected()
{
    QThread *thread = QThread::currentThread();
    // The settings test on the GUI thread blocks, as the user expects of its SEND.
    const QCoreApplication *app = QCoreApplication::instance();
    if (!app || thread == app->thread())
        return m_socket->waitForConnected(ConnectTimeoutMs);
    // A blocking connect cannot be cut into slices (a timed-out wait drops the connection): the
    // mail thread waits in a loop of its own, so that a stop request ends the wait at once.
    QEventLoop loop;
    QTimer tick;
    const QDeadlineTimer deadline(ConnectTimeoutMs);
    const auto waiting = [this] {
        const auto state = m_socket->state();
        return state == QAbstractSocket::HostLookupState || state == QAbstractSocket::ConnectingState;
    };
    const auto check = [&] {
        if (!waiting() || deadline.hasExpired() || thread->isInterruptionRequested())
            loop.quit();
    };
    connect(m_socket, &QAbstractSocket::stateChanged, &loop, check);
    connect(&tick, &QTimer::timeout, &loop, check);
    tick.start(SliceMs);
    if (waiting())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

bool QaSmtp::waitEncrypted()
{
    auto *ssl = static_cast<QSslSocket *>(m_socket);
    return waitSliced(ConnectTimeoutMs,
                      [ssl](int ms) { return ssl->isEncrypted() || ssl->waitForEncrypted(ms); });
}
