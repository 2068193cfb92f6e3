#include "chatsupport.h"
#include "comm/chatcdata.h"
#include "testsupport.h"

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
    });
    auto shown = [&a] { return a.chat()->MessageCount(); };
    QTRY_VERIFY_WITH_TIMEOUT(shown() >= total, (seconds + 10) * 1000);
    stop = true;
    writer.join();
    QCOMPARE(shown(), total);
    const QStringList cells = a.Cells();
    QSet<QString> texts;
    for (int r = 1; r < cells.size(); r += 2)
        texts.insert(cells.at(r).section(QLatin1Char('|'), 0, 0));
    for (int n = 1; n <= total; ++n)
        QVERIFY2(texts.contains(QStringLiteral("m%1\n").arg(n)), qPrintable(QString::number(n)));
}

QTEST_MAIN(tst_chatstress)
#include "tst_chatstress.moc"
