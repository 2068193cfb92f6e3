#include "core/globalmutex.h"
#include "core/statuswindow.h"
#include "members/memberinfo.h"
#include "shell/checktimer.h"

#include <QtTest>
#include <thread>

// The dispatcher alone, without a main window: codes whose receivers do not exist yet are taken
// off the queue and do nothing, which is enough to see order and timing.
class tst_checktimer : public QObject
{
    Q_OBJECT
private slots:
    void postedCodes_allDeliveredInOrder();
    void saveFlagCode_bypassesTheQueue();
    void everyCode_withoutReceivers_isHarmless();
    void codesPostedDuringDelivery_followLater();
    void statusMessage_modeOne_leavesTimerStopped();
    void autoSave_zeroMinutesNeverStarts();
    void autoSave_intervalChangeRestartsCount();
    void stopTimers_leavesChatRunning();
    void itemStatus_deletedRecordsAndPurge();
    void chatTick_waitsForChatMutex();
};

void tst_checktimer::postedCodes_allDeliveredInOrder()
{
    RegistryScope reg;
    CheckTimer timer;
    QSignalSpy spy(&timer, &CheckTimer::Dispatched);
    for (int code : {110, 153, 99, 111, 112})
        timer.PostMessage(code);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 5, 120000);
    QList<int> seen;
    for (const auto &args : spy)
        seen << args.at(0).toInt();
    QCOMPARE(seen, QList<int>({110, 153, 99, 111, 112}));
    QVERIFY(!timer.IsPostTimerActive());
}

void tst_checktimer::saveFlagCode_bypassesTheQueue()
{
    RegistryScope reg;
    CheckTimer timer;
    QSignalSpy spy(&timer, &CheckTimer::Dispatched);
    timer.PostMessage(110);
    timer.PostMessage(MsgCode::SaveFlag);
    QVERIFY(timer.IsSaveFlagTimerActive());
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 120000);
    QCOMPARE(spy.at(0).at(0).toInt(), 110);
    QTRY_VERIFY_WITH_TIMEOUT(!timer.IsSaveFlagTimerActive(), 120000);
    QCOMPARE(spy.count(), 1);
}

void tst_checktimer::everyCode_withoutReceivers_isHarmless()
{
    // Before start-up has built the main window, the tab area and the editors, a posted code
    // must find their slots empty and do nothing rather than crash.
    RegistryScope reg;
    CheckTimer timer;
    QSignalSpy spy(&timer, &CheckTimer::Dispatched);
    int posted = 0;
    for (int code = MsgCode::First; code <= MsgCode::Last; ++code) {
        if (code == MsgCode::SaveFlag)
            continue;
        timer.PostMessage(code);
        ++posted;
    }
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), posted, 120000);
    QVERIFY(!reg.GetBoolVar(RegSlot::FlagBusy));
}

void tst_checktimer::codesPostedDuringDelivery_followLater()
{
    RegistryScope reg;
    CheckTimer timer;
    QList<int> seen;
    connect(&timer, &CheckTimer::Dispatched, this, [&](int code) {
        seen << code;
        if (code == 110)
            timer.PostMessage(113);
    });
    timer.PostMessage(110);
    timer.PostMessage(111);
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 3, 120000);
    QCOMPARE(seen, QList<int>({110, 111, 113}));
}

void tst_checktimer::statusMessage_modeOne_leavesTimerStopped()
{
    RegistryScope reg;
    CheckTimer timer;
    timer.StatusMessage(QStringLiteral("save end"));
    QVERIFY(timer.IsStatusTimerActive());
    reg.SetIntVar(RegSlot::IntStatusMode, 1);
    struct Window : StatusWindow {
        QStringList got;
        void SendResult(const QString &text) override { got << text; }
    } window;
    reg.SetObj<StatusWindow>(RegSlot::ObjStatusWindow, &window);
    timer.StatusMessage(QStringLiteral("sent"));
    QVERIFY(!timer.IsStatusTimerActive());
    QCOMPARE(window.got, QStringList{QStringLiteral("sent")});
}

void tst_checktimer::autoSave_zeroMinutesNeverStarts()
{
    RegistryScope reg;
    CheckTimer timer;
    timer.CreateAutoSaveTimer(0);
    timer.StartAutoSaveTimer();
    QVERIFY(!timer.IsAutoSaveTimerActive());
    timer.SetAutoSaveInterval(3);
    timer.StartAutoSaveTimer();
    QVERIFY(timer.IsAutoSaveTimerActive());
    QCOMPARE(timer.AutoSaveIntervalMs(), 180000);
}

void tst_checktimer::autoSave_intervalChangeRestartsCount()
{
    RegistryScope reg;
    CheckTimer timer;
    timer.CreateAutoSaveTimer(5);
    timer.StartAutoSaveTimer();
    QCOMPARE(timer.AutoSaveIntervalMs(), 300000);
    timer.StopAutoSaveTimer();
    timer.SetAutoSaveInterval(10);
    timer.StartAutoSaveTimer();
    QVERIFY(timer.IsAutoSaveTimerActive());
    QCOMPARE(timer.AutoSaveIntervalMs(), 600000);
    // 0 keeps the old interval.
    timer.SetAutoSaveInterval(0);
    QCOMPARE(timer.AutoSaveIntervalMs(), 600000);
}

void tst_checktimer::stopTimers_leavesChatRunning()
{
    RegistryScope reg;
    CheckTimer timer;
    timer.CreateAutoSaveTimer(1);
    timer.StartAutoSaveTimer();
    timer.StartFileCheckTimer();
    timer.StartChatTimer();
    timer.StopTimers();
    QVERIFY(!timer.IsAutoSaveTimerActive());
    QVERIFY(!timer.IsFileCheckTimerActive());
    QVERIFY(timer.IsChatTimerActive());
}

void tst_checktimer::itemStatus_deletedRecordsAndPurge()
{
    RegistryScope reg;
    GlobalMutex mutex;
    reg.SetObj(RegSlot::ObjGlobalMutex, &mutex);
    CheckTimer timer;
    MemberInfo kept;
    MemberInfo gone;
    MemberInfo deleted;
    deleted.Deleted = true;
    timer.AddItemStatus(&deleted, true);
    QCOMPARE(timer.PendingItemStatus(), 0);
    timer.AddItemStatus(&kept, true);
    timer.AddItemStatus(&gone, true);
    // Records about to be freed leave the queue, so the next result never reads freed memory.
    timer.PurgeItemStatus(&gone);
    QCOMPARE(timer.PendingItemStatus(), 1);
    kept.UnchangedChecks = 5;
    timer.ApplyItemStatus();
    QVERIFY(kept.Open);
    QCOMPARE(kept.UnchangedChecks, 0);
    QVERIFY(!gone.Open);
    QCOMPARE(timer.PendingItemStatus(), 0);
    timer.ApplyItemStatus();
}

void tst_checktimer::chatTick_waitsForChatMutex()
{
    RegistryScope reg;
    GlobalMutex mutex;
    reg.SetObj(RegSlot::ObjGlobalMutex, &mutex);
    CheckTimer timer;
    // The chat worker holds the mutex between reading and clearing the requests: a tick that
    // set its flag meanwhile would be wiped unseen.
    mutex.Lock(MutexNo::Chat);
    std::thread tick([&timer] { timer.ChatTimeoutEvent(); });
    QThread::msleep(100);
    const bool setUnderWorker = reg.GetBoolVar(RegSlot::FlagChatTick);
    mutex.Unlock(MutexNo::Chat);
    tick.join();
    QVERIFY(!setUnderWorker);
    QVERIFY(reg.GetBoolVar(RegSlot::FlagChatTick));
}

QTEST_MAIN(tst_checktimer)
#include "tst_checktimer.moc"
