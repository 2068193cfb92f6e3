#include "core/xmlclass.h"
#include "members/manager.h"
#include "members/threadcontrol.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "shell/tab.h"
#include "testsupport_widgets.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace
{
// The whole program, with an instance workspace shared by the running user "u" and "o", whose
// program the test plays by writing files with explicit times.
struct Program : public RegistryScope {
    MainWindow *window = new MainWindow;
    QString dir;
    const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);

    explicit Program(bool userIsManager)
    {
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        dir = QDir::homePath() + QStringLiteral("/ws%1").arg(++s_count);
        QDir().mkpath(dir);
        const QByteArray manager = userIsManager ? "u" : "o";
        const QByteArray member = userIsManager ? "o" : "u";
        write(QStringLiteral("manager.xml"), "<Root_manager User=\"" + manager + "\" Email=\"" + manager +
                                                 "@x\" ID=\"0\" MaxID=\"3\">"
                                                 "<GROUP><USER ID=\"2\" Name=\"" +
                                                 member + "\" Email=\"" + member +
                                                 "@x\"/></GROUP></Root_manager>");
        write(QStringLiteral("manager_2.xml"), "<Root_manager ID=\"2\" User=\"" + member + "\"/>");
        write(QStringLiteral("instance.xml"), "<Root_Instance ID=\"0\" MaxID=\"1\"/>");
        for (const char *kind : {"instance", "question", "answer"})
            write(QStringLiteral("%1_2.xml").arg(QLatin1String(kind)), "<Root ID=\"2\"/>");
        writeAt(path(QStringLiteral("2.iod")), "C", old);
        writeAt(path(QStringLiteral("0.iod")), "C", old);
        SetStrVar(RegSlot::StrUserName, QStringLiteral("u"));
        SetStrVar(RegSlot::StrUserEmail, QStringLiteral("u@x"));
        SetStrVar(RegSlot::StrInstanceDir, dir);
        SetStrVar(RegSlot::StrInstanceName, QStringLiteral("I"));
        SetStrVar(RegSlot::StrInstanceVersion, QStringLiteral("0.0.1"));
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("1.0.0"));
        timer()->PostMessage(MsgCode::OpenManager);
        QTRY_VERIFY_WITH_TIMEOUT(tree()->topLevelItem(0) && tree()->topLevelItem(0)->childCount() == 1,
                                 120000);
    }
    ~Program() override { delete window; }

    void write(const QString &name, const QByteArray &bytes) { writeAt(path(name), bytes, old); }
    QString path(const QString &name) const { return dir + QLatin1Char('/') + name; }
    manager *mgr() const { return GetObj<manager>(RegSlot::ObjManager); }
    CheckTimer *timer() const { return GetObj<CheckTimer>(RegSlot::ObjCheckTimer); }
    ThreadControl *control() const { return GetObj<ThreadControl>(RegSlot::ObjFileCheckControl); }
    QTreeWidget *tree() const { return mgr()->GetTree(); }
    QString state(int n) const
    {
        const MemberInfo *r = mgr()->GetMemberInfo(n);
        return r && r->TreeItem ? r->TreeItem->text(3) : QString();
    }
    // One tick of the file-check timer on the real worker, up to the delivered code 153.
    int tick()
    {
        QSignalSpy results(control(), &ThreadControl::otherUpdate);
        QSignalSpy dispatched(timer(), &CheckTimer::Dispatched);
        control()->Trigger();
        // Both end as soon as the work is done; the minutes are for a busy machine.
        if (!results.wait(120000))
            return -1;
        const QDeadlineTimer deadline(120000);
        while (!dispatched.contains({MsgCode::FileCheckResult}) && !deadline.hasExpired())
            QTest::qWait(10);
        return dispatched.contains({MsgCode::FileCheckResult}) ? results.at(0).at(0).toInt() : -1;
    }

    static int s_count;
};
int Program::s_count = 0;
} // namespace

class tst_presenceflow : public QObject
{
    Q_OBJECT
private slots:
    void presence_otherOpensThenGoesQuiet_rowFollowsAndOwnMarkerRewritten();
    void presence_freshMarkerAtOpen_shownOpen();
    void check_otherMemberFile_reportsOneAndShowsButton();
    void check_managerFileOfOtherManager_reportsTwo_ownSavesNothing();
    void reload_unsavedWork_asksSaveFirst();
    void reload_otherOpenSinceAMinute_shownOpenAtOnce();
    void reload_damagedManagerFile_startPageBack();
    void close_queuedPresence_purgedAndCloseMarkerKept();
    void newDay_chatStateResetOnGuiThread();
};

void tst_presenceflow::presence_otherOpensThenGoesQuiet_rowFollowsAndOwnMarkerRewritten()
{
    Program p(true);
    QCOMPARE(readFile(p.path(QStringLiteral("0.iod"))), QByteArray("O"));
    QCOMPARE(p.state(2), QStringLiteral("cur_state not open"));
    QCOMPARE(p.state(0), QStringLiteral("cur_state owner"));

    writeAt(p.path(QStringLiteral("0.iod")), "C", p.old);
    writeAt(p.path(QStringLiteral("2.iod")), "O", QDateTime::currentDateTime().addSecs(-2));
    QCOMPARE(p.tick(), 0);
    QCOMPARE(p.state(2), QStringLiteral("cur_state open"));
    QCOMPARE(p.tree()->topLevelItem(0)->child(0)->background(3).color(), QColor("#82fb83"));
    // The newcomer must see us at once, not within the minute.
    QCOMPARE(readFile(p.path(QStringLiteral("0.iod"))), QByteArray("O"));

    for (int i = 0; i < 11; ++i)
        QCOMPARE(p.mgr()->CheckSharedFiles(), 0);
    p.timer()->ApplyItemStatus();
    QCOMPARE(p.state(2), QStringLiteral("cur_state open"));
    p.mgr()->CheckSharedFiles();
    p.timer()->ApplyItemStatus();
    QCOMPARE(p.state(2), QStringLiteral("cur_state not open"));
    QCOMPARE(p.tree()->topLevelItem(0)->child(0)->background(3).color(), QColor("#fae992"));
    QCOMPARE(readFile(p.path(QStringLiteral("2.iod"))), QByteArray("O"));
}

void tst_presenceflow::presence_freshMarkerAtOpen_shownOpen()
{
    Program p(true);
    p.window->CloseWorkspace();
    writeAt(p.path(QStringLiteral("2.iod")), "O", QDateTime::currentDateTime().addSecs(-3));
    p.timer()->PostMessage(MsgCode::OpenManager);
    QTRY_COMPARE_WITH_TIMEOUT(p.state(2), QStringLiteral("cur_state open"), 120000);
    QVERIFY(p.mgr()->GetMemberInfo(2)->Open);
}

void tst_presenceflow::check_otherMemberFile_reportsOneAndShowsButton()
{
    Program p(true);
    QCOMPARE(p.tick(), 0);
    QVERIFY(!p.window->IsOtherUpdateVisible());
    writeAt(p.path(QStringLiteral("instance_2.xml")), "<Root ID=\"2\"/>", p.old.addSecs(60));
    QCOMPARE(p.tick(), 1);
    QVERIFY(p.window->IsOtherUpdateVisible());
    QCOMPARE(p.window->OtherUpdateCount(), 1);
}

void tst_presenceflow::check_managerFileOfOtherManager_reportsTwo_ownSavesNothing()
{
    Program p(false);
    QCOMPARE(p.state(2), QStringLiteral("cur_state owner"));
    // Our own member file saved by us.
    p.mgr()->SetManagerModify(2);
    p.mgr()->SetModify();
    p.window->SaveAll();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QVERIFY(QFileInfo(p.path(QStringLiteral("manager_2.xml"))).lastModified() > p.old);
    QCOMPARE(p.mgr()->CheckSharedFiles(), 0);
    writeAt(p.path(QStringLiteral("manager.xml")), readFile(p.path(QStringLiteral("manager.xml"))),
            p.old.addSecs(60));
    QCOMPARE(p.tick(), 2);
    QVERIFY(p.window->IsOtherUpdateVisible());
}

void tst_presenceflow::reload_unsavedWork_asksSaveFirst()
{
    Program p(true);
    writeAt(p.path(QStringLiteral("answer_2.xml")), "<Root ID=\"2\"/>", p.old.addSecs(60));
    QCOMPARE(p.tick(), 1);
    p.mgr()->SetModify();
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));

    QString boxTitle;
    answerNextBox(QStringLiteral("cancel"), &boxTitle);
    p.window->OtherUpdate();
    QCOMPARE(boxTitle, QStringLiteral("Save Contents"));
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 2);
    QVERIFY(p.window->IsOtherUpdateVisible());
    QVERIFY(!p.window->IsOtherUpdateHeld());
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));

    boxTitle.clear();
    answerNextBox(QStringLiteral("dontSave"), &boxTitle);
    p.window->OtherUpdate();
    QCOMPARE(boxTitle, QStringLiteral("Save Contents"));
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 2);
    QCOMPARE(p.GetStrVar(RegSlot::StrInstanceDir), p.dir);
    QVERIFY(!p.window->IsOtherUpdateVisible());
    QVERIFY(!p.window->IsOtherUpdateHeld());
    QVERIFY(!p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QCOMPARE(p.tree()->topLevelItem(0)->childCount(), 1);
    // The reload took the changed file's new time: nothing is reported again.
    QCOMPARE(p.tick(), 0);
}

void tst_presenceflow::reload_otherOpenSinceAMinute_shownOpenAtOnce()
{
    Program p(true);
    // The other program rewrites its marker once a minute, and a reload's "C" then "O" within
    // one of its checks never makes it rewrite sooner.
    writeAt(p.path(QStringLiteral("2.iod")), "O", QDateTime::currentDateTime().addSecs(-50));
    p.window->OtherUpdate();
    QCOMPARE(p.state(2), QStringLiteral("cur_state open"));
    QCOMPARE(p.tick(), 0);
    QCOMPARE(p.state(2), QStringLiteral("cur_state open"));
}

void tst_presenceflow::reload_damagedManagerFile_startPageBack()
{
    Program p(true);
    const QByteArray half = "<Root_manager User=\"u\" Email=\"u@x\"><GROUP><USER ID=\"2\"";
    p.write(QStringLiteral("manager.xml"), half);
    p.window->OtherUpdate();
    QCOMPARE(readFile(p.path(QStringLiteral("manager.xml"))), half);
    QVERIFY(p.GetBoolVar(RegSlot::FlagStartPageUp));
    QVERIFY(!p.window->TabArea()->IsTabAreaVisible());
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 0);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagBusy));
    QVERIFY(!p.window->findChild<QAction *>(QStringLiteral("actionClose"))->isEnabled());
}

void tst_presenceflow::close_queuedPresence_purgedAndCloseMarkerKept()
{
    Program p(true);
    writeAt(p.path(QStringLiteral("2.iod")), "O", QDateTime::currentDateTime().addSecs(-2));
    QCOMPARE(p.mgr()->CheckSharedFiles(), 0);
    QCOMPARE(p.timer()->PendingItemStatus(), 1);
    p.window->CloseWorkspace();
    QCOMPARE(p.timer()->PendingItemStatus(), 0);
    // The code 153 of that check arrives after the records are gone.
    QSignalSpy dispatched(p.timer(), &CheckTimer::Dispatched);
    p.timer()->PostMessage(MsgCode::FileCheckResult);
    QTRY_VERIFY_WITH_TIMEOUT(dispatched.contains({MsgCode::FileCheckResult}), 120000);
    QCOMPARE(readFile(p.path(QStringLiteral("0.iod"))), QByteArray("C"));
    // A check that starts after the close finds nothing and leaves our "C" alone.
    p.mgr()->WriteOwnMarker(true);
    QCOMPARE(p.tick(), 0);
    QCOMPARE(readFile(p.path(QStringLiteral("0.iod"))), QByteArray("C"));
}

void tst_presenceflow::newDay_chatStateResetOnGuiThread()
{
    Program p(true);
    p.mgr()->GetMemberInfo(0)->ChatFlag = true;
    p.mgr()->GetMemberInfo(2)->ChatFlag = true;
    QSignalSpy dispatched(p.timer(), &CheckTimer::Dispatched);
    p.control()->handleResults(0, true, p.control()->Check().Generation());
    QTRY_VERIFY_WITH_TIMEOUT(dispatched.contains({MsgCode::FileCheckResult}), 120000);
    QVERIFY(!p.mgr()->GetMemberInfo(0)->ChatFlag);
    QVERIFY(!p.mgr()->GetMemberInfo(2)->ChatFlag);
}

QTEST_MAIN(tst_presenceflow)
#include "tst_presenceflow.moc"
