#include "comm/qasmtp.h"
#include "comm/smtpcontrol.h"
#include "core/statuswindow.h"
#include "dripserver.h"
#include "qa/doccdata.h"
#include "smtppeer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace
{
const QString Sender = QStringLiteral("sender@pel.example");

// What the dispatcher would have routed: the text, the status mode and window it saw, flag 27.
struct Delivery {
    QString text;
    int mode;
    StatusWindow *window;
    bool sent;
};

struct Panel : StatusWindow {
    void SendResult(const QString &) override {}
};

MailQueueItem mail(DocCdataCase *entry, const QString &to)
{
    return {entry, {{QStringLiteral("Member"), to}}, QStringLiteral("subject"), QStringLiteral("body")};
}
} // namespace

class tst_smtp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void send_dialogue_data();
    void send_dialogue();
    void send_japaneseMail_arrivesIntact();
    void worker_runs_eachResultToItsPoster();
    void worker_exitDuringRun_endsWithinBound();
    void send_drippingServer_endsAtReplyDeadline();

private:
    SmtpPeer m_peer;
};

void tst_smtp::initTestCase()
{
    if (!QSslSocket::supportsSsl())
        QFAIL("Qt has no TLS backend");
    QVERIFY(m_peer.start());
}

void tst_smtp::send_dialogue_data()
{
    QTest::addColumn<QByteArray>("server");
    QTest::addColumn<int>("security");
    QTest::addColumn<int>("auth");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QStringList>("recipients");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("events");
    const auto row = [](const char *name, const char *server, int security, int auth, const QString &sender,
                        const QStringList &recipients, const QString &password, int result,
                        const QStringList &events) {
        QTest::newRow(name) << QByteArray(server) << security << auth << sender << recipients << password
                            << result << events;
    };
    const QString ehlo = QStringLiteral("EHLO localhost");
    const QString rcpt = QStringLiteral("RCPT to@pel.example");
    const QString data = QStringLiteral("DATA");
    const QStringList to{QStringLiteral("to@pel.example")};
    const QString good = SmtpPeer::password();
    const QString bad = QStringLiteral("wrong");
    const int none = 1;
    const QStringList login{ehlo, QStringLiteral("AUTH LOGIN"), rcpt, data};
    const QStringList cram{ehlo, QStringLiteral("AUTH CRAM-MD5"), rcpt, data};
    row("plain LOGIN", "plain", 0, 3, Sender, to, good, 0, login);
    row("plain auto", "plain", 0, 0, Sender, to, good, 0, login);
    row("STARTTLS PLAIN", "starttls", 1, 2, Sender, to, good, 0,
        {ehlo, ehlo, QStringLiteral("AUTH PLAIN"), rcpt, data});
    row("STARTTLS auto", "starttls", 1, 0, Sender, to, good, 0, QStringList{ehlo} + login);
    row("TLS CRAM-MD5", "tls", 2, 4, Sender, to, good, 0, cram);
    row("TLS auto", "tls", 2, 0, Sender, to, good, 0, cram);
    // A server that offers no AUTH takes the mail without it in automatic mode.
    row("no AUTH offered, auto", "open", 0, 0, Sender, to, good, 0, {ehlo, rcpt, data});

    row("untrusted certificate", "untrusted", 2, none, Sender, to, good, 2, {});
    row("host name mismatch", "wrongname", 2, none, Sender, to, good, 2, {});
    row("closed port", "closed", 0, none, Sender, to, good, 2, {});
    row("greeting 421", "busy", 0, none, Sender, to, good, 2, {});
    row("no SMTP replies", "garbage", 0, none, Sender, to, good, 2, {});
    row("TLS to a plain server", "open", 2, none, Sender, to, good, 2, {});
    row("wrong password", "plain", 0, 0, Sender, to, bad, 4,
        {ehlo, QStringLiteral("AUTH LOGIN"), QStringLiteral("RSET"), QStringLiteral("AUTH PLAIN"),
         QStringLiteral("RSET")});
    row("two-line refusal", "multiline", 0, 0, Sender, to, bad, 4, {});
    row("no auth where required", "plain", 0, none, Sender, to, good, 5, {ehlo});
    row("second recipient refused", "open", 0, 0, Sender,
        to + QStringList{QStringLiteral("refuse@pel.example")}, good, 6,
        {ehlo, rcpt, QStringLiteral("RCPT refuse@pel.example")});
    row("data refused", "open", 0, 0, Sender, {QStringLiteral("nodata@pel.example")}, good, 7,
        {ehlo, QStringLiteral("RCPT nodata@pel.example"), data});
    row("334 without challenge", "nochallenge", 0, 3, Sender, to, good, 3, {});
    row("sender with CR LF", "open", 0, 0, QStringLiteral("a@pel.example>\r\nRCPT TO:<b@pel.example"), to,
        good, 5, {});
    row("recipient with LF", "open", 0, 0, Sender, {QStringLiteral("b@pel.example\nDATA")}, good, 6, {});
    row("recipient with <", "open", 0, 0, Sender, {QStringLiteral("b@pel.example><c@pel.example")}, good, 6,
        {});
    // U+0085 is NEL, a line end to some readers; U+009B is CSI.
    row("recipient with NEL", "open", 0, 0, Sender, {QStringLiteral("b@pel.example\u0085DATA")}, good, 6, {});
    row("sender with C1 control", "open", 0, 0, QStringLiteral("a\u009B@pel.example"), to, good, 5, {});
}

void tst_smtp::send_dialogue()
{
    QFETCH(QByteArray, server);
    QFETCH(int, security);
    QFETCH(int, auth);
    QFETCH(QString, sender);
    QFETCH(QStringList, recipients);
    QFETCH(QString, password);
    QFETCH(int, result);
    QFETCH(QStringList, events);
    const bool untrusted = server == "untrusted";
    if (untrusted)
        server = "tls";
    m_peer.clear(server);
    m_peer.trustCa(!untrusted);
    RegistryScope reg;
    QaSmtp smtp;
    smtp.SetServer(QStringLiteral("localhost"));
    smtp.SetPort(m_peer.port(server));
    smtp.SetSecurity(security);
    smtp.SetAuth(auth);
    smtp.SetSender(QStringLiteral("Sender"), sender);
    smtp.SetPassword(password);
    for (const QString &to : recipients)
        smtp.AddRecipient(QString(), to);
    // A reply time-out far above what a busy machine takes for the whole exchange: a send that
    // waited for it would take a minute.
    smtp.SetReplyTimeout(60000);
    QElapsedTimer clock;
    clock.start();
    const int got = smtp.Send();
    m_peer.trustCa(true);
    QCOMPARE(got, result);
    QCOMPARE(m_peer.events(server), events);
    QVERIFY2(clock.elapsed() < 30000, "no answer here may wait for a time-out");
}

void tst_smtp::send_japaneseMail_arrivesIntact()
{
    m_peer.clear("open");
    RegistryScope reg;
    const QString name = QStringLiteral("山田 太郎");
    const QString subject = QStringLiteral("会議の件について、長い件名でも折り返さずに送ります");
    QaSmtp smtp;
    smtp.SetServer(QStringLiteral("localhost"));
    smtp.SetPort(m_peer.port("open"));
    smtp.SetSender(name, Sender);
    smtp.AddRecipient(QStringLiteral("佐藤"), QStringLiteral("sato@pel.example"));
    smtp.AddRecipient(QString(), QStringLiteral("suzuki@pel.example"));
    smtp.SetSubject(subject);
    smtp.SetBody(QStringLiteral("本文です\n.x\n.\r\nlast\rline"));
    QCOMPARE(smtp.Send(), int(QaSmtp::Sent));

    const auto word = [](const QString &text) { return "=?utf-8?B?" + text.toUtf8().toBase64() + "?="; };
    // Encoded words unfolded, CR LF line ends, and dots as written: no body line ended the data.
    const QByteArray expected =
        "From:" + word(name) + "<sender@pel.example>\r\nTo:" + word(QStringLiteral("佐藤")) +
        "<sato@pel.example>," + word(QString()) + "<suzuki@pel.example>\r\nSubject:" + word(subject) +
        "\r\nMIME-Version: 1.0\r\nContent-Type:text/plain;charset=utf-8\r\n\r\n" +
        QStringLiteral("本文です\r\n.x\r\n.\r\nlast\r\nline\r\n\r\n").toUtf8();
    QCOMPARE(m_peer.messages("open"), QList<QByteArray>{expected});
}

void tst_smtp::worker_runs_eachResultToItsPoster()
{
    m_peer.clear("open");
    RegistryScope reg;
    reg.SetStrVar(RegSlot::StrMailServer, QStringLiteral("localhost"));
    reg.SetStrVar(RegSlot::StrMailPort, QString::number(m_peer.port("open")));
    reg.SetStrVar(RegSlot::StrMailAddress, Sender);
    SmtpControl control;
    QList<Delivery> got;
    connect(&control, &SmtpControl::statusMessage, &control, [&got, &reg](const QString &text) {
        got.append({text, reg.GetIntVar(RegSlot::IntStatusMode),
                    reg.GetObj<StatusWindow>(RegSlot::ObjStatusWindow),
                    reg.GetBoolVar(RegSlot::FlagMailSent)});
    });
    DocCdataCase entries[4];
    QList<MailQueueItem> queue{mail(&entries[0], QStringLiteral("a@pel.example")),
                               mail(&entries[1], QStringLiteral("refuse@pel.example")),
                               mail(&entries[2], QStringLiteral("c@pel.example"))};
    Panel panel;
    reg.SetIntVar(RegSlot::IntStatusMode, 1);
    reg.SetObj<StatusWindow>(RegSlot::ObjStatusWindow, &panel);
    control.SetQueue(&queue);
    emit control.do_start();
    // Each run holds copies: the poster's queue and Options' settings change at once.
    QCOMPARE(reg.GetIntVar(RegSlot::IntStatusMode), 0);
    queue.clear();
    emit control.do_start();
    reg.SetStrVar(RegSlot::StrMailPort, QString::number(m_peer.port("closed")));
    queue.append(mail(&entries[3], QStringLiteral("d@pel.example")));
    emit control.do_start();

    QTRY_COMPARE_WITH_TIMEOUT(got.size(), 3, 20000);
    QCOMPARE(got.at(0).text, QStringLiteral("Send failed for some recipients"));
    QCOMPARE(got.at(0).window, static_cast<StatusWindow *>(&panel));
    QCOMPARE(got.at(1).text, QStringLiteral("send was complete"));
    QCOMPARE(got.at(2).text, QStringLiteral("send was failed"));
    QCOMPARE(QList<int>({got.at(0).mode, got.at(1).mode, got.at(2).mode}), QList<int>({1, 0, 0}));
    QCOMPARE(QList<bool>({got.at(0).sent, got.at(1).sent, got.at(2).sent}),
             QList<bool>({false, true, false}));
    QCOMPARE(QList<bool>({entries[0].IsSend, entries[1].IsSend, entries[2].IsSend, entries[3].IsSend}),
             QList<bool>({true, false, true, false}));
    QCOMPARE(m_peer.messages("open").size(), 2);
    QCOMPARE(reg.GetIntVar(RegSlot::IntStatusMode), 0);
}

void tst_smtp::worker_exitDuringRun_endsWithinBound()
{
    RegistryScope reg;
    reg.SetStrVar(RegSlot::StrMailServer, QStringLiteral("localhost"));
    reg.SetStrVar(RegSlot::StrMailPort, QString::number(m_peer.port("silent")));
    auto *control = new SmtpControl;
    QSignalSpy results(control, &SmtpControl::statusMessage);
    const QList<MailQueueItem> queue{mail(nullptr, QStringLiteral("a@pel.example"))};
    control->SetQueue(&queue);
    emit control->do_start();
    QTest::qWait(300); // the client now waits for a greeting that never comes
    QElapsedTimer clock;
    clock.start();
    delete control;
    // Its greeting's time-out is ten seconds away; a busy machine only delays the join.
    QVERIFY2(clock.elapsed() < 8000, "the mail thread must end promptly when the program exits");
    QCOMPARE(results.count(), 0);
}

// A byte now and then must not keep a reply alive: the whole reply has one deadline.
void tst_smtp::send_drippingServer_endsAtReplyDeadline()
{
    RegistryScope reg;
    // The server drips for two minutes: a reply that waited for it would take them all.
    DripServer server(200, 120000);
    QaSmtp smtp;
    smtp.SetServer(QStringLiteral("127.0.0.1"));
    smtp.SetPort(server.open());
    smtp.SetSender(QStringLiteral("Sender"), Sender);
    smtp.AddRecipient(QString(), QStringLiteral("to@pel.example"));
    smtp.SetReplyTimeout(1000);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(smtp.Send(), int(QaSmtp::NoConnection));
    // A deadline of 1 s ends long before the server gives up, however loaded the machine.
    QVERIFY2(clock.elapsed() < 60000, qPrintable(QString::number(clock.elapsed())));
}

QTEST_MAIN(tst_smtp)
#include "tst_smtp.moc"
