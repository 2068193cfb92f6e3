#include "chatsupport.h"
#include "comm/chatcdata.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <atomic>
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
    void poll_heldWhileGuiChangesMembersAndStore_eachReadUnderItsLock_data();
    void poll_heldWhileGuiChangesMembersAndStore_eachReadUnderItsLock();
};

void tst_chatthreads::poll_guiSendsWhileWorkerPolls_everyMessageShownOnce()
{
    RegistryScope scope;
    QTemporaryDir dir;
    const QDate today = QDate::currentDate();
    const QString path = ChatSession::BenDayPath(dir.path(), today);
    ChatSession a(dir.path(), QStringLiteral("a@x"), ChatSession::AnnaAndBen());
    QVERIFY(a.OpenLoaded(5));
    // Ben's program writes its file once a round; explicit times, so that every write is newer.
    const QDateTime base = QDateTime::currentDateTime().addSecs(-3600);
    constexpr int rounds = 40;
    for (int n = 1; n <= rounds; ++n) {
        // Dated before it is put in place: a poll never sees it with the time of its writing.
        TestSupport::writeAt(path + QStringLiteral(".new"), ChatSession::BenDay(today, n), base.addSecs(n));
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

void tst_chatthreads::poll_heldWhileGuiChangesMembersAndStore_eachReadUnderItsLock_data()
{
    QTest::addColumn<bool>("store");
    QTest::newRow("members, then the store") << true;
    // Nothing but mutex 0 then orders the change before the merge, which writes member records.
    QTest::newRow("members alone") << false;
}

// The poll is held where it has taken what it needs of the member records and given back every
// lock, before it reads the files; meanwhile the GUI thread changes those records under mutex 0,
// then (or not) the store under the chat lock (a message sent, the poll date). The hand-over is made
// of relaxed atomics, which order nothing for ThreadSanitizer, and the GUI thread takes no other
// lock between, nor, with the records alone, until the merge is over: a poll that read the
// records after letting go of mutex 0, merged outside the chat lock, or merged without mutex 0,
// is reported every run, not by chance.
void tst_chatthreads::poll_heldWhileGuiChangesMembersAndStore_eachReadUnderItsLock()
{
    QFETCH(bool, store);
    RegistryScope scope;
    QTemporaryDir dir;
    const QDate today = QDate::currentDate();
    const QString path = ChatSession::BenDayPath(dir.path(), today);
    ChatSession a(dir.path(), QStringLiteral("a@x"), ChatSession::AnnaAndBen());
    QVERIFY(a.OpenLoaded(0));
    std::atomic<int> held{0};
    std::atomic<int> resumed{0};
    a.chat()->Store(0)->SetPollHook([&held, &resumed] {
        const int round = held.fetch_add(1, std::memory_order_relaxed) + 1;
        const QDeadlineTimer deadline(60000);
        while (resumed.load(std::memory_order_relaxed) < round && !deadline.hasExpired())
            QThread::yieldCurrentThread();
    });
    const auto unhold = qScopeGuard([&] {
        a.chat()->Store(0)->SetPollHook(nullptr);
        resumed.store(1000, std::memory_order_relaxed);
    });
    // Counted on the worker as a polled message is passed to the window, after its merge.
    std::atomic<int> steps{0};
    const QMetaObject::Connection counting = connect(
        a.control()->GetWorker(), &Semaphore::stepDone, this,
        [&steps](int flag, int, int, int) {
            if (flag == RegSlot::FlagChatSend)
                steps.fetch_add(1, std::memory_order_relaxed);
        },
        Qt::DirectConnection);
    const auto uncount = qScopeGuard([&] { disconnect(counting); });
    MemberInfo *ben = a.table().value(1);
    ChatCdata *chatStore = a.chat()->Store(0);
    const QDateTime base = QDateTime::currentDateTime().addSecs(-3600);
    constexpr int rounds = 3;
    for (int n = 1; n <= rounds; ++n) {
        TestSupport::writeAt(path, ChatSession::BenDay(today, n), base.addSecs(n));
        a.Tick();
        // No events meanwhile: a step of the window would take the chat lock and order the threads.
        const QDeadlineTimer deadline(60000);
        while (held.load(std::memory_order_relaxed) < n && !deadline.hasExpired())
            QThread::yieldCurrentThread();
        QVERIFY2(held.load(std::memory_order_relaxed) >= n, "the poll did not reach its files");
        // New values, each its own data: what a reader outside the lock would race with.
        {
            MutexHold members(MutexNo::Members);
            ben->Email = QString::fromLatin1("b@x");
            ben->OtherUser = 1;
            QMap<QDate, QDateTime> times = ben->ChatTimes;
            times.detach();
            ben->ChatTimes = times;
        }
        if (!store) {
            const int before = steps.load(std::memory_order_relaxed);
            resumed.store(n, std::memory_order_relaxed);
            const QDeadlineTimer merged(60000);
            while (steps.load(std::memory_order_relaxed) == before && !merged.hasExpired())
                QThread::yieldCurrentThread();
            QTRY_COMPARE_WITH_TIMEOUT(a.chat()->MessageCount(), n, 60000);
            continue;
        }
        {
            // What a send does to the store, and the poll date the poll read.
            MutexHold chat(MutexNo::Chat);
            chatStore->SetPollDate(today);
            QVERIFY(chatStore->AddMessage(
                        today, QStringLiteral("a@x"), chatStore->GetUserNo(QStringLiteral("a@x"), today),
                        {chatStore->GetRecipientNo(QStringLiteral("a@x"), today, QStringLiteral("b@x"))},
                        QStringLiteral("mine %1").arg(n), true) != 0);
            SetBoolVar(RegSlot::FlagChatSend, true);
        }
        a.Wake()->release();
        resumed.store(n, std::memory_order_relaxed);
        QTRY_COMPARE_WITH_TIMEOUT(a.chat()->MessageCount(), 2 * n, 60000);
    }
    const QString shown = a.Cells().join(QLatin1Char('\n'));
    for (int n = 1; n <= rounds; ++n) {
        QCOMPARE(shown.count(QStringLiteral("m%1\n").arg(n)), 1);
        QCOMPARE(shown.count(QStringLiteral("mine %1\n").arg(n)), store ? 1 : 0);
    }
}

QTEST_MAIN(tst_chatthreads)
#include "tst_chatthreads.moc"
