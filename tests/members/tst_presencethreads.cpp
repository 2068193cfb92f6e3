#include "core/defvar.h"
#include "core/globalmutex.h"
#include "core/globalvar.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "members/sharedfilecheck.h"
#include "members/threadcontrol.h"
#include "shell/checktimer.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidgetItem>
#include <QtTest>
#include <atomic>
#include <memory>

using namespace TestSupport;

// The file-check worker on its real thread while the GUI thread changes what it reads, as the
// program's GUI thread does: presence applied when code 153 is dispatched, a member's marker read
// at once, a member's file saved (its time recorded again). Meant for ThreadSanitizer
// (tools/sanitize.sh thread), which reports a record or recorded time the worker reaches outside
// mutex 0; in the plain build it checks that every run reports and leaves the presence right.
class tst_presencethreads : public QObject
{
    Q_OBJECT
private slots:
    void check_guiChangesRecordsWhileWorkerRuns_everyRunReportsAndPresenceKept();
    void removeMember_whileCheckHoldsIt_neitherShownNorRaced();
};

void tst_presencethreads::check_guiChangesRecordsWhileWorkerRuns_everyRunReportsAndPresenceKept()
{
    RegistryScope scope;
    QTemporaryDir dir;
    GlobalMutex mutex;
    scope.SetObj(RegSlot::ObjGlobalMutex, &mutex);
    auto store = std::make_unique<xmlclass>();
    scope.SetObj(RegSlot::ObjXmlStore, store.get());
    CheckTimer timer; // the dispatcher that applies the queued presence at code 153
    ThreadControl control;
    scope.SetObj(RegSlot::ObjFileCheckControl, &control);
    const auto path = [&dir](const QString &name) { return dir.path() + QLatin1Char('/') + name; };
    const auto instanceFile = [&path](int n) { return path(QStringLiteral("instance_%1.xml").arg(n)); };
    const QDateTime base = QDateTime::currentDateTime().addSecs(-3600);

    // Member 1 is the running user's, the others other members' whose programs the test plays.
    constexpr int others = 8;
    std::vector<std::unique_ptr<MemberInfo>> records;
    MemberTable table;
    for (int n = 1; n <= others + 1; ++n) {
        records.push_back(std::make_unique<MemberInfo>());
        MemberInfo *record = records.back().get();
        record->ID = n;
        record->OtherUser = n == 1 ? 0 : 1;
        table.insert(n, record);
        writeAt(instanceFile(n), "<Root_Instance/>", base);
        store->SetFileTime(XmlIndex::Instance + n, instanceFile(n));
    }
    control.Check().Attach(
        dir.path(), &table, store.get(),
        [&timer](MemberInfo *record, bool open) { timer.AddItemStatus(record, open); }, QDate::currentDate());

    QSignalSpy results(&control, &ThreadControl::otherUpdate);
    // One run on the worker; meanwhile, when guiThread is set, the GUI thread does what it does
    // between two ticks, each step under mutex 0 as the program takes it: reads a marker at once,
    // records the time of a member's file it reloaded and applies the queued presence.
    const auto check = [&](bool guiThread) {
        control.Trigger();
        QVERIFY(control.IsChecking());
        const QDeadlineTimer deadline(60000);
        while (control.IsChecking() && !deadline.hasExpired()) {
            for (int n = 2; guiThread && n <= others + 1; ++n) {
                {
                    MutexHold hold(MutexNo::Members);
                    control.Check().ReadMemberMarker(table.value(n));
                }
                store->SetFileTime(XmlIndex::Instance + n, instanceFile(n));
                timer.ApplyItemStatus();
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QVERIFY2(!control.IsChecking(), "the check did not end within a minute");
    };
    constexpr int rounds = 100;
    for (int round = 1; round <= rounds; ++round) {
        // The other members' programs rewrite their markers; one of them saves its instance file.
        for (int n = 2; n <= others + 1; ++n)
            writeAt(path(QStringLiteral("%1.iod").arg(n)), "O", base.addSecs(round));
        writeAt(instanceFile(2 + round % others), "<Root_Instance/>", base.addSecs(round));
        check(true);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(results.count(), round);
        QVERIFY(results.last().at(0).toInt() <= 1); // never the group's manager file
    }
    // A last run of its own: every member whose marker was rewritten is shown open.
    for (int n = 2; n <= others + 1; ++n)
        writeAt(path(QStringLiteral("%1.iod").arg(n)), "O", base.addSecs(rounds + 1));
    QSignalSpy dispatched(&timer, &CheckTimer::Dispatched);
    check(false);
    QTRY_VERIFY_WITH_TIMEOUT(dispatched.contains({MsgCode::FileCheckResult}), 120000);
    for (int n = 2; n <= others + 1; ++n) {
        MutexHold hold(MutexNo::Members);
        QVERIFY2(table.value(n)->Open, qPrintable(QString::number(n)));
        QCOMPARE(table.value(n)->MarkerTime, base.addSecs(rounds + 1));
    }
    QVERIFY(!table.value(1)->Open);
    control.Check().Detach();
    scope.SetObj<ThreadControl>(RegSlot::ObjFileCheckControl, nullptr);
}

// The member manager removes a member the check on the worker has in hand: the worker is held
// right after it took its member list, the GUI thread removes one of those members, then the
// worker goes on. The record stays, marked removed, and the worker looks at that mark: the mark
// must be set and read under mutex 0, and the member's presence never applied.
void tst_presencethreads::removeMember_whileCheckHoldsIt_neitherShownNorRaced()
{
    RegistryScope scope;
    QTemporaryDir dir;
    DefVar().InitVar();
    GlobalMutex mutex;
    scope.SetObj(RegSlot::ObjGlobalMutex, &mutex);
    auto store = std::make_unique<xmlclass>();
    scope.SetObj(RegSlot::ObjXmlStore, store.get());
    CheckTimer timer;
    scope.SetObj(RegSlot::ObjCheckTimer, &timer);
    ThreadControl control;
    scope.SetObj(RegSlot::ObjFileCheckControl, &control);
    auto tab = std::make_unique<deftab>();
    scope.SetObj(RegSlot::ObjDeftab, tab.get());
    auto mgr = std::make_unique<manager>();
    scope.SetObj(RegSlot::ObjManager, mgr.get());
    scope.SetStrVar(RegSlot::StrUserName, QStringLiteral("u"));
    scope.SetStrVar(RegSlot::StrUserEmail, QStringLiteral("u@x"));
    scope.SetStrVar(RegSlot::StrInstanceDir, dir.path());
    scope.SetStrVar(RegSlot::StrInstanceName, QStringLiteral("I"));
    scope.SetStrVar(RegSlot::StrInstanceVersion, QStringLiteral("0.0.1"));
    scope.SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
    scope.SetStrVar(RegSlot::StrModelVersion, QStringLiteral("1.0.0"));
    mgr->NewManager();
    QVERIFY(mgr->AddMember(QStringLiteral("b"), QStringLiteral("b@x")));
    QVERIFY(mgr->AddMember(QStringLiteral("c"), QStringLiteral("c@x")));
    // Shared files are never opened unless regular, so no file can hold the worker: the check
    // holds itself where the test asks. The hand-over is made of relaxed atomics, which order
    // nothing for ThreadSanitizer: only mutex 0 may order the mark's write and its read.
    std::atomic<int> taken{0};
    std::atomic<int> resumed{0};
    control.Check().SetListTakenHook([&taken, &resumed] {
        const int round = taken.fetch_add(1, std::memory_order_relaxed) + 1;
        const QDeadlineTimer deadline(60000);
        while (resumed.load(std::memory_order_relaxed) < round && !deadline.hasExpired())
            QThread::yieldCurrentThread();
    });
    // Whatever fails on the way, the worker is not left waiting.
    const auto unhold = qScopeGuard([&] {
        control.Check().SetListTakenHook(nullptr);
        resumed.store(1000, std::memory_order_relaxed);
    });
    const auto workerHolds = [&taken](int round) {
        const QDeadlineTimer deadline(60000);
        while (taken.load(std::memory_order_relaxed) < round && !deadline.hasExpired())
            QThread::yieldCurrentThread();
        return taken.load(std::memory_order_relaxed) >= round;
    };
    constexpr int rounds = 4;
    QList<MemberInfo *> gone;
    for (int n = 0; n < rounds; ++n)
        QVERIFY(mgr->AddMember(QStringLiteral("m%1").arg(n), QStringLiteral("m%1@x").arg(n)));
    QSignalSpy dispatched(&timer, &CheckTimer::Dispatched);
    // Each round removes the first member of the worker's list: a member after it would have the
    // worker take mutex 0 first, which orders the two threads whether the mark is read under it or not.
    for (int n = 0; n < rounds; ++n) {
        MemberInfo *record = mgr->GetMemberInfo(n + 1);
        QVERIFY(record && record->OtherUser == 1);
        TestSupport::writeFile(SharedFileCheck::MarkerPath(dir.path(), record->ID), "O");
        dispatched.clear();
        control.Trigger();
        QVERIFY2(workerHolds(n + 1), "the check did not take its member list");
        mgr->RemoveMember(record->TreeItem, record);
        QVERIFY(record->Deleted);
        gone << record;
        resumed.store(n + 1, std::memory_order_relaxed);
        QTRY_VERIFY_WITH_TIMEOUT(dispatched.contains({MsgCode::FileCheckResult}), 60000);
    }
    for (MemberInfo *record : qAsConst(gone))
        QVERIFY(!record->Open);
    mgr->CloseManager();
    mgr.reset();
    tab.reset();
    scope.SetObj<ThreadControl>(RegSlot::ObjFileCheckControl, nullptr);
}

QTEST_MAIN(tst_presencethreads)
#include "tst_presencethreads.moc"
