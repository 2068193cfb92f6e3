#include "core/globalmutex.h"
#include "core/globalvar.h"
#include "core/safefile.h"
#include "core/xmlclass.h"
#include "members/sharedfilecheck.h"
#include "members/threadcontrol.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace TestSupport;

namespace
{
const QDateTime kBase = QDateTime(QDate(2024, 5, 1), QTime(9, 0, 0));

// A workspace of the running user (member 1) and another member (2), played by the test.
struct Members : public RegistryScope {
    QTemporaryDir dir;
    GlobalMutex *mutex = new GlobalMutex;
    xmlclass *store = new xmlclass;
    MemberTable table;
    MemberInfo own;
    MemberInfo other;
    QList<QPair<int, bool>> queued;
    SharedFileCheck check;
    QDate today{2024, 5, 1};

    Members()
    {
        SetObj(RegSlot::ObjGlobalMutex, mutex);
        SetObj(RegSlot::ObjXmlStore, store);
        own.ID = 1;
        own.OtherUser = 0;
        other.ID = 2;
        other.OtherUser = 1;
        table.insert(1, &own);
        table.insert(2, &other);
    }
    ~Members() override
    {
        check.Detach();
        delete store;
        SetObj<GlobalMutex>(RegSlot::ObjGlobalMutex, nullptr);
        delete mutex;
    }
    QString path(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
    void attach()
    {
        check.Attach(
            dir.path(), &table, store,
            [this](MemberInfo *record, bool open) {
                queued.append({record->ID, open});
            },
            today);
    }
    // What the GUI thread does when code 153 arrives.
    void drain()
    {
        for (const auto &entry : qAsConst(queued)) {
            table.value(entry.first)->Open = entry.second;
            table.value(entry.first)->UnchangedChecks = 0;
        }
        queued.clear();
    }
    int run() { return check.Run(today).status; }
};
} // namespace

class tst_presence : public QObject
{
    Q_OBJECT
private slots:
    void markerWord_firstWordOnly_data();
    void markerWord_firstWordOnly();
    void marker_newO_opensThenTwelveQuietChecksClose();
    void marker_missing_neverOpen();
    void marker_timeMovedBackwards_seenOnceNotForever();
    void ownMarker_everySixthCheckOrAtOnceWhenSomeoneOpens();
    void sharedFile_changedTimeReportsOneOrTwo();
    void sharedFile_ownOrUnrecordedOrGone_notCompared();
    void check_newDay_reportedOnceAndOnDateGoingBack();
    void scanAtOpen_trustsMarkerOfRunningProgram();
    void worker_realThread_reportsAndSkipsTicksWhileBusy();
    void worker_staleGeneration_dropped();
    void worker_fifoMarker_checkEndsWithoutAWriter();
    void ownMarker_fifo_neverWrittenThrough();
    void ownMarker_cannotBeWritten_toldOnceUntilItWorksAgain();
};

void tst_presence::markerWord_firstWordOnly_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("word");
    QTest::newRow("open") << QByteArray("O") << QStringLiteral("O");
    QTest::newRow("closed") << QByteArray("C") << QStringLiteral("C");
    QTest::newRow("leading space and line end") << QByteArray("  Open now\r\n") << QStringLiteral("Open");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("huge") << QByteArray(1 << 20, 'O') << QString(64, QLatin1Char('O'));
    QTest::newRow("bad utf-8") << QByteArray("\xff\xfeO") << QStringLiteral("\ufffd\ufffdO");
}

void tst_presence::markerWord_firstWordOnly()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, word);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/2.iod");
    writeAt(path, content, kBase);
    QCOMPARE(SharedFileCheck::ReadMarkerWord(path), word);
    // A folder where the marker should be reads as empty: not open.
    QDir().mkpath(dir.path() + QStringLiteral("/3.iod"));
    QCOMPARE(SharedFileCheck::ReadMarkerWord(dir.path() + QStringLiteral("/3.iod")), QString());
}

void tst_presence::marker_newO_opensThenTwelveQuietChecksClose()
{
    Members m;
    writeAt(m.path(QStringLiteral("2.iod")), "C", kBase);
    m.other.MarkerTime = kBase;
    m.attach();
    QCOMPARE(m.run(), 0);
    QVERIFY(m.queued.isEmpty());

    writeAt(m.path(QStringLiteral("2.iod")), "O", kBase.addSecs(30));
    QCOMPARE(m.run(), 0);
    QCOMPARE(m.queued, (QList<QPair<int, bool>>{{2, true}}));
    m.drain();
    // The program of member 2 died without writing "C": eleven quiet checks keep it open...
    for (int i = 0; i < 11; ++i)
        m.run();
    QVERIFY(m.queued.isEmpty());
    // ...the twelfth ends it, once.
    m.run();
    QCOMPARE(m.queued, (QList<QPair<int, bool>>{{2, false}}));
    m.drain();
    for (int i = 0; i < 13; ++i)
        m.run();
    QVERIFY(m.queued.isEmpty());

    // A "C" written over an open member closes it at the next check.
    writeAt(m.path(QStringLiteral("2.iod")), "O", kBase.addSecs(60));
    m.run();
    m.drain();
    writeAt(m.path(QStringLiteral("2.iod")), "C", kBase.addSecs(90));
    m.run();
    QCOMPARE(m.queued, (QList<QPair<int, bool>>{{2, false}}));
}

void tst_presence::marker_missing_neverOpen()
{
    Members m;
    m.attach();
    for (int i = 0; i < 15; ++i)
        m.run();
    QVERIFY(m.queued.isEmpty());
    QVERIFY(!m.other.Open);
}

void tst_presence::marker_timeMovedBackwards_seenOnceNotForever()
{
    Members m;
    writeAt(m.path(QStringLiteral("2.iod")), "O", kBase);
    m.other.MarkerTime = kBase;
    m.other.Open = true;
    m.attach();
    // Another machine with a slower clock rewrites the marker: an earlier time is still a change.
    writeAt(m.path(QStringLiteral("2.iod")), "O", kBase.addSecs(-3600));
    m.other.UnchangedChecks = 5;
    m.run();
    QCOMPARE(m.other.UnchangedChecks, 0);
    QCOMPARE(m.other.MarkerTime, kBase.addSecs(-3600));
    QVERIFY(m.queued.isEmpty());
    // And it is not seen again and again: the quiet count goes on from there.
    for (int i = 0; i < 12; ++i)
        m.run();
    QCOMPARE(m.queued, (QList<QPair<int, bool>>{{2, false}}));
}

void tst_presence::ownMarker_everySixthCheckOrAtOnceWhenSomeoneOpens()
{
    Members m;
    writeAt(m.path(QStringLiteral("1.iod")), "C", kBase);
    m.attach();
    for (int i = 0; i < 5; ++i)
        m.run();
    QCOMPARE(readFile(m.path(QStringLiteral("1.iod"))), QByteArray("C"));
    QCOMPARE(m.check.Counter(), 5);
    m.run();
    QCOMPARE(readFile(m.path(QStringLiteral("1.iod"))), QByteArray("O"));
    QCOMPARE(m.check.Counter(), 0);

    // Someone just opened the workspace: our marker is rewritten in the same check.
    writeAt(m.path(QStringLiteral("1.iod")), "C", kBase);
    writeAt(m.path(QStringLiteral("2.iod")), "O", kBase.addSecs(5));
    m.run();
    QCOMPARE(readFile(m.path(QStringLiteral("1.iod"))), QByteArray("O"));
    // The other member's marker is only read.
    QCOMPARE(readFile(m.path(QStringLiteral("2.iod"))), QByteArray("O"));
    QCOMPARE(QFileInfo(m.path(QStringLiteral("2.iod"))).lastModified(), kBase.addSecs(5));
}

void tst_presence::sharedFile_changedTimeReportsOneOrTwo()
{
    Members m;
    MemberInfo group;
    group.ID = 0;
    group.OtherUser = 1;
    m.table.insert(0, &group);
    for (const char *name : {"manager.xml", "instance_2.xml", "question_2.xml", "answer_2.xml"})
        writeAt(m.path(QLatin1String(name)), "<x/>", kBase);
    m.store->SetFileTime(XmlIndex::Manager, m.path(QStringLiteral("manager.xml")));
    m.store->SetFileTime(XmlIndex::Instance + 2, m.path(QStringLiteral("instance_2.xml")));
    m.store->SetFileTime(XmlIndex::Answer + 2, m.path(QStringLiteral("answer_2.xml")));
    m.attach();
    QCOMPARE(m.run(), 0);

    writeAt(m.path(QStringLiteral("instance_2.xml")), "<x/>", kBase.addSecs(10));
    QCOMPARE(m.run(), 1);
    // Not taken as seen: the change stays reported until the workspace is reloaded.
    QCOMPARE(m.run(), 1);
    writeAt(m.path(QStringLiteral("instance_2.xml")), "<x/>", kBase);
    QCOMPARE(m.run(), 0);
    // A time earlier than the recorded one (another machine's clock) is a change too.
    writeAt(m.path(QStringLiteral("answer_2.xml")), "<x/>", kBase.addSecs(-600));
    QCOMPARE(m.run(), 1);
    writeAt(m.path(QStringLiteral("answer_2.xml")), "<x/>", kBase);

    writeAt(m.path(QStringLiteral("manager.xml")), "<x/>", kBase.addSecs(10));
    QCOMPARE(m.run(), 2);
}

void tst_presence::sharedFile_ownOrUnrecordedOrGone_notCompared()
{
    Members m;
    writeAt(m.path(QStringLiteral("instance_1.xml")), "<x/>", kBase);
    writeAt(m.path(QStringLiteral("question_2.xml")), "<x/>", kBase);
    writeAt(m.path(QStringLiteral("manager_2.xml")), "<x/>", kBase);
    m.store->SetFileTime(XmlIndex::Instance + 1, m.path(QStringLiteral("instance_1.xml")));
    m.store->SetFileTime(XmlIndex::Manager + 2, m.path(QStringLiteral("manager_2.xml")));
    m.attach();
    // Our own file, saved by us: never a change of another member.
    writeAt(m.path(QStringLiteral("instance_1.xml")), "<x/>", kBase.addSecs(10));
    // Another member's file whose time was never recorded.
    writeAt(m.path(QStringLiteral("question_2.xml")), "<x/>", kBase.addSecs(10));
    // A file that no longer exists.
    QFile::remove(m.path(QStringLiteral("manager_2.xml")));
    QCOMPARE(m.run(), 0);
}

void tst_presence::check_newDay_reportedOnceAndOnDateGoingBack()
{
    Members m;
    m.attach();
    QVERIFY(!m.check.Run(m.today).newDay);
    QVERIFY(m.check.Run(m.today.addDays(1)).newDay);
    QVERIFY(!m.check.Run(m.today.addDays(1)).newDay);
    // The clock was set back: the daily state starts over rather than waiting for the lost day.
    QVERIFY(m.check.Run(m.today).newDay);
}

void tst_presence::scanAtOpen_trustsMarkerOfRunningProgram()
{
    QTemporaryDir dir;
    const QDateTime now = QDateTime::currentDateTime();
    const QString path = dir.path() + QStringLiteral("/2.iod");
    MemberInfo r;
    r.ID = 2;
    QVERIFY(!SharedFileCheck::ScanMarker(&r, dir.path(), now));

    writeAt(path, "O", now.addMSecs(-4000));
    QVERIFY(SharedFileCheck::ScanMarker(&r, dir.path(), now));
    QCOMPARE(r.MarkerTime, now.addMSecs(-4000));

    QCOMPARE(r.UnchangedChecks, 0);
    // A running program rewrites its marker only every minute: older markers still count, and
    // their age counts against the checks until the member is shown gone.
    writeAt(path, "O", now.addMSecs(-115000));
    QVERIFY(SharedFileCheck::ScanMarker(&r, dir.path(), now));
    QCOMPARE(r.UnchangedChecks, 11);
    writeAt(path, "O", now.addMSecs(-SharedFileCheck::TrustedMarkerAgeMs));
    QVERIFY(!SharedFileCheck::ScanMarker(&r, dir.path(), now));
    QCOMPARE(r.MarkerTime, now.addMSecs(-SharedFileCheck::TrustedMarkerAgeMs));
    // A marker from a machine whose clock runs ahead of ours is not trusted at open.
    writeAt(path, "O", now.addSecs(30));
    QVERIFY(!SharedFileCheck::ScanMarker(&r, dir.path(), now));
    writeAt(path, "C", now.addMSecs(-1000));
    QVERIFY(!SharedFileCheck::ScanMarker(&r, dir.path(), now));
}

void tst_presence::worker_realThread_reportsAndSkipsTicksWhileBusy()
{
    Members m;
    ThreadControl control;
    writeAt(m.path(QStringLiteral("instance_2.xml")), "<x/>", kBase);
    m.store->SetFileTime(XmlIndex::Instance + 2, m.path(QStringLiteral("instance_2.xml")));
    writeAt(m.path(QStringLiteral("2.iod")), "O", kBase);
    m.other.MarkerTime = kBase;
    control.Check().Attach(
        m.dir.path(), &m.table, m.store,
        [&m](MemberInfo *record, bool open) {
            m.queued.append({record->ID, open});
        },
        QDate::currentDate());
    writeAt(m.path(QStringLiteral("instance_2.xml")), "<x/>", kBase.addSecs(10));
    writeAt(m.path(QStringLiteral("2.iod")), "O", kBase.addSecs(10));

    QSignalSpy results(&control, &ThreadControl::otherUpdate);
    {
        // A slow share: the worker waits on mutex 0 while ticks keep coming.
        MutexHold hold(MutexNo::Members);
        control.Trigger();
        QVERIFY(control.IsChecking());
        control.Trigger();
        control.Trigger();
    }
    QVERIFY(results.wait(60000));
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toInt(), 1);
    QVERIFY(!control.IsChecking());
    QCOMPARE(m.queued, (QList<QPair<int, bool>>{{2, true}}));
    QTest::qWait(100);
    QCOMPARE(results.count(), 1);
    control.Check().Detach();
}

void tst_presence::worker_staleGeneration_dropped()
{
    Members m;
    ThreadControl control;
    QSignalSpy results(&control, &ThreadControl::otherUpdate);
    control.Check().Attach(m.dir.path(), &m.table, m.store, nullptr, m.today);
    const int before = control.Check().Generation();
    control.Check().Detach();
    control.Check().Attach(m.dir.path(), &m.table, m.store, nullptr, m.today);
    control.handleResults(1, true, before);
    QCOMPARE(results.count(), 0);
    QVERIFY(!control.TakeNewDay());
    control.handleResults(1, true, control.Check().Generation());
    QCOMPARE(results.count(), 1);
    QVERIFY(control.TakeNewDay());
    QVERIFY(!control.TakeNewDay());
    control.Check().Detach();
}

// A marker that is a FIFO would block its reader until a writer comes: the check refuses it
// without opening it, so it ends at once and the GUI thread's lock is never held up; the member
// is not shown open.
void tst_presence::worker_fifoMarker_checkEndsWithoutAWriter()
{
    Members m;
    ThreadControl control;
    const QString fifo = m.path(QStringLiteral("2.iod"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    m.other.MarkerTime = kBase;
    control.Check().Attach(
        m.dir.path(), &m.table, m.store,
        [&m](MemberInfo *record, bool open) {
            m.queued.append({record->ID, open});
        },
        m.today);
    QSignalSpy results(&control, &ThreadControl::otherUpdate);
    control.Trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!control.IsChecking() && results.count() == 1, 60000);
    QElapsedTimer held;
    held.start();
    {
        MutexHold hold(MutexNo::Members);
    }
    // A check blocked on the FIFO would hold the lock for good; a busy machine only delays taking it.
    QVERIFY2(held.elapsed() < 30000, qPrintable(QString::number(held.elapsed())));
    control.Check().Detach();
    QVERIFY(m.queued.isEmpty());
    QVERIFY(!m.other.Open);
}

// The own marker's name made a FIFO is never written through: the periodic rewrite returns at
// once and leaves the entry as it is.
void tst_presence::ownMarker_fifo_neverWrittenThrough()
{
    Members m;
    m.attach();
    const QString fifo = m.path(QStringLiteral("1.iod"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        m.check.WriteOwnMarker(true);
        done = true;
    });
    // Joined on a failed wait too: a reader of the FIFO frees a write blocked in its open.
    const auto joinWorker = qScopeGuard([&] {
        if (!worker.joinable())
            return;
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        worker.join();
        if (reader >= 0)
            ::close(reader);
    });
    QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
    worker.join();
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    QVERIFY(!SharedFileCheck::WriteMarker(fifo, QStringLiteral("C")));
    QVERIFY(SafeFile::LastError().contains(fifo));
    m.check.Detach();
}

// The own marker that cannot be written leaves the member shown as gone to the others: said once
// with the reason, not on every rewrite, and again only after a rewrite worked in between.
void tst_presence::ownMarker_cannotBeWritten_toldOnceUntilItWorksAgain()
{
    Members m;
    m.attach();
    const QString marker = m.path(QStringLiteral("1.iod"));
    QVERIFY(QDir().mkdir(marker));
    QStringList notices;
    for (int round = 0; round < 6; ++round) {
        // Rounds 0-1 fail, 2 works, 3-5 fail again.
        if (round == 2)
            QVERIFY(QDir().rmdir(marker));
        if (round == 3)
            QVERIFY(QFile::remove(marker) && QDir().mkdir(marker));
        m.check.WriteOwnMarker(true);
        notices << m.check.TakeMarkerNotice();
    }
    QVERIFY(notices.at(0).contains(marker) && notices.at(0).contains(qt_error_string(EISDIR)));
    QCOMPARE(notices.mid(1), (QStringList{QString(), QString(), notices.at(0), QString(), QString()}));
    m.check.Detach();
}

QTEST_GUILESS_MAIN(tst_presence)
#include "tst_presence.moc"
