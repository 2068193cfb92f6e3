#include "chatsupport.h"
#include "comm/chatcdata.h"
#include "testsupport.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

// Another member's program rewriting its day file in place 20 times a second while the chat
// polls it: every message arrives once, whatever half-written state a poll meets. Runs 30 s (or
// PEL_CHAT_STRESS_SECONDS); once by hand in a build with -DPEL_TSAN=ON.
class tst_chatstress : public QObject, protected virtual globalvar
{
    Q_OBJECT
private slots:
    void rewrittenFile_everyMessageOnce();
};

void tst_chatstress::rewrittenFile_everyMessageOnce()
{
    RegistryScope scope;
    QTemporaryDir dir;
    const int seconds = qEnvironmentVariableIsSet("PEL_CHAT_STRESS_SECONDS")
                            ? qEnvironmentVariableIntValue("PEL_CHAT_STRESS_SECONDS")
                            : 30;
    const int total = seconds * 20;
    const QDate today = QDate::currentDate();
    const QString path = ChatSession::BenDayPath(dir.path(), today);
    ChatSession a(dir.path(), QStringLiteral("a@x"), ChatSession::AnnaAndBen());
    a.Open(20);
    std::atomic<bool> stop{false};
    std::atomic<bool> written{false};
    std::thread writer([&] {
        for (int n = 1; n <= total && !stop; ++n) {
            const QByteArray bytes = ChatSession::BenDay(today, n);
            // In place, in two writes: a poll may well find the first half alone.
            QFile out(path);
            if (out.open(QIODevice::WriteOnly)) {
                out.write(bytes.left(bytes.size() / 2));
                out.flush();
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                out.write(bytes.mid(bytes.size() / 2));
            }
            out.close();
            std::this_thread::sleep_for(std::chrono::milliseconds(48));
        }
        written = true;
    });
    // A failed check returns early: the writer still ends before what it writes into goes.
    const auto joinWriter = qScopeGuard([&] {
        stop = true;
        if (writer.joinable())
            writer.join();
    });
    // The writer paces itself in real time, and a busy disk or a sanitizer stretches each of its
    // writes without a bound one could name: its end is waited for alone, and ctest's time-out
    // (tests/comm/CMakeLists.txt) is the one bound against a hang. The messages are polled meanwhile.
    while (!written)
        QTest::qWait(50);
    writer.join();
    auto shown = [&a] { return a.chat()->MessageCount(); };
    // Every message is in the file now: minutes of margin for the last polls to show them.
    QTRY_VERIFY_WITH_TIMEOUT(shown() >= total, 300000);
    const QStringList cells = a.Cells();
    QHash<QString, int> texts;
    for (int r = 1; r < cells.size(); r += 2)
        ++texts[cells.at(r).section(QLatin1Char('|'), 0, 0)];
    QStringList twice;
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        if (it.value() > 1)
            twice << it.key().trimmed();
    }
    QVERIFY2(shown() == total && twice.isEmpty(),
             qPrintable(QStringLiteral("%1 messages counted, %2 rows shown; more than once: %3")
                            .arg(shown())
                            .arg(cells.size() / 2)
                            .arg(twice.join(QLatin1Char(' ')))));
    for (int n = 1; n <= total; ++n)
        QVERIFY2(texts.contains(QStringLiteral("m%1\n").arg(n)), qPrintable(QString::number(n)));
}

QTEST_MAIN(tst_chatstress)
#include "tst_chatstress.moc"
