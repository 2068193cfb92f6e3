#pragma once

#include "core/globalvar.h"

#include <QAbstractSocket>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QPair>

class QTcpSocket;

// A blocking SMTP client: one plain-text mail to one or more recipients over a plain, STARTTLS
// or implicit TLS connection, with CRAM-MD5, LOGIN or PLAIN authentication. Send() returns one
// of the result codes below and leaves no connection open.
class QaSmtp final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Result : int {
        Sent = 0,
        NoAnswer = 1,         // a command not written or a reply not come in time
        NoConnection = 2,     // connection, greeting, EHLO, STARTTLS or handshake failed
        NoChallenge = 3,      // the authentication challenge was missing
        AuthRefused = 4,      // the server refused the authentication
        SenderRefused = 5,    // MAIL FROM refused (or an unusable sender address)
        RecipientRefused = 6, // RCPT TO refused (or an unusable recipient address)
        DataRefused = 7,      // DATA or the end of data refused
    };
    enum : int { SecurityNone = 0, SecurityStartTls = 1, SecurityTls = 2 };
    enum : int { AuthByAuto = 0, AuthByNone = 1, AuthByPlain = 2, AuthByLogin = 3, AuthByCramMd5 = 4 };
    enum : int { ConnectTimeoutMs = 10000, ReplyTimeoutMs = 6000, WriteTimeoutMs = 30000 };

    explicit QaSmtp(QObject *parent = nullptr);
    ~QaSmtp() override;

    void SetServer(const QString &host);
    void SetPort(int port) { m_port = port; }
    void SetSecurity(int security) { m_security = security; }
    void SetAuth(int auth) { m_auth = auth; }
    void SetSender(const QString &name, const QString &address);
    void SetPassword(const QString &password) { m_password = password; }
    void AddRecipient(const QString &name, const QString &address) { m_recipients.append({name, address}); }
    void SetSubject(const QString &subject) { m_subject = subject; }
    void SetBody(const QString &body) { m_body = body; }
    // How long one reply may take in all, however it trickles in.
    void SetReplyTimeout(int ms) { m_replyTimeoutMs = ms; }

    int Send();
    QString LastReply() const { return m_lastReply; }
    int LastError() const { return m_lastError; }

    // The message as it goes after DATA, every line ended by CR LF, dots doubled at line starts.
    QByteArray BuildMessage() const;
    // False for an address that could end or split a command or header line.
    static bool IsSafeAddress(const QString &address);

public slots:
    void SmtpError(QAbstractSocket::SocketError error);

private:
    int dialogue();
    bool connectAndGreet();
    bool startTls();
    int authenticate();
    int authAuto();
    int SendCommand(const QByteArray &command);
    int ReadReply();
    bool readLine(bool *more);
    int SendEhlo();
    void SendRset();
    int AuthPlain();
    int AuthLogin();
    int AuthCramMd5();
    int SendMail();
    int SendRecipients();
    int writeAndRead(const QByteArray &command);
    bool waitConnected();
    bool waitEncrypted();
    template <class Wait> bool waitSliced(int timeoutMs, Wait wait);
    template <class Wait> bool waitSliced(const QDeadlineTimer &deadline, Wait wait);

    int m_security = SecurityNone;
    int m_auth = AuthByAuto;
    QString m_server;
    int m_port = 0;
    QString m_senderName;
    QString m_senderAddress;
    QString m_password;
    QString m_subject;
    QString m_body;
    QList<QPair<QString, QString>> m_recipients;
    QTcpSocket *m_socket = nullptr;
    QString m_lastReply;
    int m_lastCode = 0;
    int m_lastError = -1;
    qint64 m_replyBytes = 0;
    int m_replyTimeoutMs = ReplyTimeoutMs;
    bool m_cramOffered = false;
    bool m_authOffered = false;
};
