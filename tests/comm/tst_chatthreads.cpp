#include "chatsupport.h"
#include "comm/chatcdata.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <cstdio>

// The chat worker on its real thread, polling every few milliseconds, while the GUI thread makes
// its requests: it sends, sets the poll date, and another member's day file grows meanwhile.
// Meant for ThreadSanitizer (tools/sanitize.sh thread), which reports the store or a request
// flag reached by the worker outside the chat lock; in the plain build it checks that every
// message, own or polled, is shown once.
class tst_chatthreads : public QObject, protected virtual globalvar
{
    Q_OBJECT
private slots:
    void poll_guiSendsWhileWorkerPolls_everyMessageShownOnce();
};

void tst_chatthreads::poll_guiSendsWhileWorkerPolls_everyMessageShownOnce()
{
    RegistryScope scope;
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + QStringLiteral("/chat"));
    const QDate today = QDate::currentDate();
    const QString path =
        dir.path() + QStringLiteral("/chat/") + ChatCdata::DayFileName(QStringLiteral("b@x"), today);
    ChatSession a(
        dir.path(), QStringLiteral("a@x"),
        {{QStringLiteral("a@x"), QStringLiteral("Anna")}, {QStringLiteral("b@x"), QStringLiteral("Ben")}});
    QVERIFY(a.OpenLoaded(5));
    // Ben's program writes its file once a round; explicit times, so that every write is newer.
    const QDateTime base = QDateTime::currentDateTime().addSecs(-3600);
    QByteArray cases;
    constexpr int rounds = 40;
    for (int n = 1; n <= rounds; ++n) {
        cases += "<CASE TYPE=\"0\" ID=\"" + QByteArray::number(n) +
                 "\" MID=\"1\" TIME=\"10:00:00\"><![CDATA[m" + QByteArray::number(n) + "]]></CASE>";
        // Dated before it is put in place: a poll never sees it with the time of its writing.
        TestSupport::writeAt(path + QStringLiteral(".new"),
                             "<Root_Chat MaxID=\"" + QByteArray::number(n) + "\" DATE=\"" +
                                 today.toString(QStringLiteral("yyyy/MM/dd")).toLatin1() +
                                 "\"><USERS OwnerID=\"2\" MaxID=\"2\"><USER ACCOUNT=\"a@x\" NAME=\"Anna\" "
                                 "ID=\"1\"/><USER ACCOUNT=\"b@x\" NAME=\"Ben\" ID=\"2\"/></USERS>" +
                                 cases + "</Root_Chat>",
                             base.addSecs(n));
        QCOMPARE(::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(),
                          QFile::encodeName(path).constData()),
                 0);
        a.Send(QStringLiteral("mine %1").arg(n));
        // Until both are shown the GUI thread keeps setting the poll date, as at a new day.
        const QDeadlineTimer deadline(60000);
        while (a.chat()->MessageCount() < 2 * n && !deadline.hasExpired()) {
            a.chat()->SetPollDate(today);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        }
        QCOMPARE(a.chat()->MessageCount(), 2 * n);
    }
    const QStringList cells = a.Cells();
    QStringList texts;
    for (int r = 1; r < cells.size(); r += 2)
        texts << cells.at(r).section(QLatin1Char('|'), 0, 1);
    for (int n = 1; n <= rounds; ++n) {
        QCOMPARE(texts.filter(QStringLiteral("m%1\n").arg(n)).size(), 1);
        QCOMPARE(texts.filter(QStringLiteral("mine %1\n").arg(n)).size(), 1);
    }
}

QTEST_MAIN(tst_chatthreads)
#include "tst_chatthreads.moc"
