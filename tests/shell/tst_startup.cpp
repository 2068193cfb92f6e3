#include "comm/chat.h"
#include "comm/chatcdata.h"
#include "comm/mailqueueitem.h"
#include "comm/smtpcontrol.h"
#include "core/globalmutex.h"
#include "core/initxml.h"
#include "core/translations.h"
#include "core/workercontrol.h"
#include "core/workerthreads.h"
#include "core/xmlclass.h"
#include "redmine/redmine.h"
#include "redmine/redmineissue.h"
#include "redmine/redmineproject.h"
#include "redmine/redmineupdateissue.h"
#include "shell/aboutpelmorine.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "shell/manual.h"
#include "shell/tab.h"
#include "shell/titlediag.h"
#include "testsupport_widgets.h"
#include "workspace/openedprogram.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLayout>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSemaphore>
#include <QTranslator>
#include <QTreeWidget>
#include <QWebEngineView>
#include <QtTest>
#include <atomic>
#include <memory>
#include <sys/stat.h>

using namespace TestSupport;

namespace
{
QMenu *menuNamed(QMainWindow *w, const char *name)
{
    return w->menuBar()->findChild<QMenu *>(QLatin1String(name));
}

// Starts the program the way main does and runs the event loop until start-up has finished.
struct Program : public RegistryScope {
    MainWindow *window = new MainWindow;
    Program() { QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000); }
    ~Program() { delete window; }
};

// A worker blocked in a system call that no interruption reaches, as a file check on a hung
// network share is: opening a FIFO that nobody writes.
std::atomic<bool> g_workerStuck{false};
struct StuckControl : public WorkerControl {
    StuckControl(QObject *parent, const QString &fifo) : WorkerControl(parent)
    {
        auto *worker = new QObject;
        startWorker(worker);
        QMetaObject::invokeMethod(
            worker,
            [fifo] {
                g_workerStuck = true;
                QFile file(fifo);
                file.open(QIODevice::ReadOnly);
            },
            Qt::QueuedConnection);
    }
};

// The child process of end_stuckWorker_exitsWithZero: main's own steps, with the stuck worker
// owned where the program's file-check worker is.
int runWithStuckWorker(const QString &fifo)
{
    int result = -1;
    {
        Program p;
        new StuckControl(p.GetObj<initxml>(RegSlot::ObjSettings), fifo);
        for (int i = 0; i < 500 && !g_workerStuck; ++i)
            QTest::qWait(10);
        QTimer::singleShot(0, p.window, [&p] { p.window->findChild<QAction *>("actionEnd")->trigger(); });
        result = QApplication::exec();
        WorkerThreads::StopAll(500);
    }
    return result;
}

// Static: the store keeps the poll's hook past this function, left to the given-up worker.
QSemaphore g_pollEntered;
QSemaphore g_pollLetGo;
std::atomic<QThread *> g_pollWorker{nullptr};

// The child process of end_chatWorkerStuckInPass_exitsWithZero: a workspace open, the chat
// worker inside a poll (its pass lock held) as on a share that hangs while it reads another
// member's day file, and main's own steps. The poll is let go only once the exit path is over:
// an exit path that waits for the worker never ends. Let go, the given-up worker ends its pass
// on what was left to it, and is joined.
int runWithStuckChat(const QString &folder)
{
    auto p = std::make_unique<OpenedProgram>();
    WorkspaceGen::Result ws;
    QString error;
    if (!WorkspaceGen::Generate(WorkspaceGen::Size::Small(), folder, &ws, &error) || !p->Open(ws)) {
        qWarning("the workspace did not open: %s", qPrintable(error));
        return 2;
    }
    p->GetObj<Chat>(RegSlot::ObjChat)->Store(0)->SetPollHook([] {
        QThread *none = nullptr;
        if (!g_pollWorker.compare_exchange_strong(none, QThread::currentThread()))
            return;
        g_pollEntered.release();
        // Bounded, so that this process never outlives a parent that gave up on it.
        g_pollLetGo.tryAcquire(1, 300000);
    });
    {
        MutexHold chat(MutexNo::Chat);
        p->SetBoolVar(RegSlot::FlagChatTick, true);
    }
    p->GetObj<QSemaphore>(RegSlot::ObjChatWakeSem)->release();
    if (!g_pollEntered.tryAcquire(1, 60000)) {
        qWarning("the chat worker did not poll");
        g_pollLetGo.release();
        return 3;
    }
    MainWindow *window = p->window;
    QTimer::singleShot(0, window, [window] { window->findChild<QAction *>("actionEnd")->trigger(); });
    const int result = QApplication::exec();
    WorkerThreads::StopAll(500);
    p.reset();
    g_pollLetGo.release();
    if (!g_pollWorker.load()->wait(60000)) {
        qWarning("the given-up chat worker did not end once let go");
        return 4;
    }
    return result;
}
} // namespace

class tst_startup : public QObject
{
    Q_OBJECT
private slots:
    void emptyHome_startsAndWritesSettings();
    void firstFrame_paintedBeforeTabArea_sameWindowAfter();
    void firstFrame_noWebViewsNorTracker_allThereBeforeFirstInput();
    void afterStartup_onlyFileToolHelpEnabled();
    void end_exitsWithZero();
    void end_stuckWorker_exitsWithZero();
    void end_chatWorkerStuckInPass_exitsWithZero();
    void end_withChangesAndDontSave_writesNothing();
    void close_cancelledQuestion_keepsRunning();
    void translations_qtButtonsAndOwnTextsJapanese();
};

void tst_startup::emptyHome_startsAndWritesSettings()
{
    QDir(QDir::homePath()).removeRecursively();
    QDir().mkpath(QDir::homePath());
    Program p;
    const QString init = QDir::homePath() + QStringLiteral("/.Pelmorine/init.xml");
    QVERIFY(QFile::exists(init));
    QVERIFY(p.GetObj<initxml>(RegSlot::ObjSettings));
    QVERIFY(!p.GetObj<TitleDiag>(RegSlot::ObjTitleDialog));
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 0);
    QVERIFY(p.GetStrVar(RegSlot::StrUserName).isEmpty());
    QVERIFY(p.GetBoolVar(RegSlot::FlagStartPageUp));
    QVERIFY(!p.window->TabArea()->IsTabAreaVisible());
    QCOMPARE(p.window->TabArea()->CurrentTab(), -1);

    // A mail run posted through the main window reports in its status bar.
    const QList<MailQueueItem> queue;
    p.window->SetMailQueue(&queue);
    emit p.GetObj<SmtpControl>(RegSlot::ObjSmtpControl)->do_start();
    QTRY_COMPARE_WITH_TIMEOUT(p.window->StatusText(), QStringLiteral("send was complete"), 120000);
}

// What the first paint of the main window finds, and that the rest comes right after.
struct FirstPaintSeen : public QObject, protected virtual globalvar {
    bool painted = false;
    bool tabArea = false;
    int startPageRows = -1;
    int manualViews = -1;
    bool tracker = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            tabArea = GetObj<Tab>(RegSlot::ObjTab) != nullptr;
            if (auto *start = GetObj<Manual>(RegSlot::ObjStartPage))
                startPageRows = start->findChild<QTreeWidget *>()->topLevelItemCount();
            manualViews = 0;
            for (int slot : {RegSlot::ObjManualWindow, RegSlot::ObjStartPage}) {
                if (auto *manual = GetObj<Manual>(slot))
                    manualViews += manual->findChildren<QWebEngineView *>().size();
            }
            tracker = GetObj<Redmine>(RegSlot::ObjRedmineWindow) != nullptr;
        }
        return false;
    }
};

void tst_startup::firstFrame_paintedBeforeTabArea_sameWindowAfter()
{
    RegistryScope scope;
    FirstPaintSeen seen;
    std::unique_ptr<MainWindow> owner(new MainWindow);
    MainWindow *window = owner.get();
    window->installEventFilter(&seen);
    QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
    QVERIFY(seen.painted);
    QVERIFY(!seen.tabArea);
    QVERIFY(seen.startPageRows > 0);
    // Right after: the tab area, hidden, above the visible start page, the menus as before.
    QVERIFY(window->TabArea());
    QVERIFY(!window->TabArea()->IsTabAreaVisible());
    auto *start = scope.GetObj<Manual>(RegSlot::ObjStartPage);
    auto *tabs = scope.GetObj<QTabWidget>(RegSlot::ObjTabWidget);
    QVERIFY(start->isVisible());
    QCOMPARE(tabs->parentWidget(), start->parentWidget());
    auto *layout = start->parentWidget()->findChild<QLayout *>(QStringLiteral("VL"));
    QVERIFY(layout);
    QCOMPARE(layout->indexOf(tabs), 0);
    QCOMPARE(layout->indexOf(start), 1);
    QVERIFY(menuNamed(window, "menuHelp")->isEnabled());
    QVERIFY(!menuNamed(window, "menuModel")->isEnabled());
    // The start page's first page is loaded once the window is up.
    QTRY_VERIFY_WITH_TIMEOUT(!start->findChild<QWebEngineView *>()->url().isEmpty(), 120000);
}

// The web views (the web engine's set-up) and the tracker's window come after the first frame,
// but within the same start-up step: whatever the first input or reply reaches is there.
void tst_startup::firstFrame_noWebViewsNorTracker_allThereBeforeFirstInput()
{
    RegistryScope scope;
    FirstPaintSeen seen;
    // Deleted on every way out: a window left behind by a failed check outlives the application
    // object, and its web views then crash the test at exit and hide the failure.
    std::unique_ptr<MainWindow> owner(new MainWindow);
    MainWindow *window = owner.get();
    window->installEventFilter(&seen);
    QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
    QVERIFY(seen.painted);
    QCOMPARE(seen.manualViews, 0);
    QVERIFY(!seen.tracker);

    QVERIFY(scope.GetObj<Redmine>(RegSlot::ObjRedmineWindow));
    QVERIFY(scope.GetObj<RedmineProject>(RegSlot::ObjRedmineProject));
    QVERIFY(scope.GetObj<RedmineIssue>(RegSlot::ObjRedmineIssue));
    QVERIFY(scope.GetObj<RedmineUpdateIssue>(RegSlot::ObjRedmineUpdateIssue));
    QList<QWebEngineView *> views;
    for (int slot : {RegSlot::ObjManualWindow, RegSlot::ObjStartPage}) {
        auto *manual = scope.GetObj<Manual>(slot);
        QVERIFY(manual->HasView());
        views << manual->findChildren<QWebEngineView *>();
    }
    QCOMPARE(views.size(), 2);

    window->findChild<QAction *>(QStringLiteral("actionAbout_marsoly"))->trigger();
    // Earlier windows of this test run leave their hidden dialogs behind.
    AboutPelmorine *about = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && qobject_cast<AboutPelmorine *>(w))
            about = static_cast<AboutPelmorine *>(w);
    }
    QVERIFY(about);
    about->close();
    // Both manuals, the tab's and the start page's, show their first page. The web engine starts
    // its page processes for this: on a loaded machine that alone has taken more than 15 s.
    for (QWebEngineView *view : views)
        QTRY_COMPARE_WITH_TIMEOUT(view->url(), QUrl(QStringLiteral("qrc:/manual/welcome.html")), 60000);
}

void tst_startup::afterStartup_onlyFileToolHelpEnabled()
{
    Program p;
    const char *enabled[] = {"menuFile", "menuTool_T", "menuHelp"};
    const char *disabled[] = {"menuEdit",  "menuManager", "menuInstance_I", "menuModel",
                              "menuOut_O", "menuQ_and_A", "menuDocument"};
    for (const char *name : enabled)
        QVERIFY2(menuNamed(p.window, name)->isEnabled(), name);
    for (const char *name : disabled)
        QVERIFY2(!menuNamed(p.window, name)->isEnabled(), name);
    QVERIFY(!p.window->IsSaveEnabled());
    QVERIFY(!p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagBusy));
}

void tst_startup::end_exitsWithZero()
{
    Program p;
    QTimer::singleShot(0, p.window, [&p] { p.window->findChild<QAction *>("actionEnd")->trigger(); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!p.GetPtrVar(RegSlot::ObjStartPage));
}

void tst_startup::end_stuckWorker_exitsWithZero()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("share"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--stuck-worker"), fifo});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

void tst_startup::end_chatWorkerStuckInPass_exitsWithZero()
{
    QTemporaryDir dir;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--stuck-chat"), dir.filePath(QStringLiteral("workspace"))});
    const bool ended = child.waitForFinished(120000);
    if (!ended) {
        child.kill();
        child.waitForFinished(-1);
    }
    QVERIFY2(ended, "the program waited for a chat worker its exit had given up");
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

void tst_startup::end_withChangesAndDontSave_writesNothing()
{
    Program p;
    const QString init = QDir::homePath() + QStringLiteral("/.Pelmorine/init.xml");
    const QDateTime before = QFileInfo(init).lastModified();
    p.GetObj<xmlclass>(RegSlot::ObjXmlStore)
        ->GetXmlDoc(XmlIndex::Settings)
        ->documentElement()
        .setAttribute("Name", "x");
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    answerNextBox(QStringLiteral("dontSave"));
    QTimer::singleShot(0, p.window, [&p] { p.window->close(); });
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(QFileInfo(init).lastModified(), before);
}

void tst_startup::close_cancelledQuestion_keepsRunning()
{
    Program p;
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    answerNextBox(QStringLiteral("cancel"));
    p.window->MenuEnd();
    QVERIFY(p.window->isVisible());
    QVERIFY(p.GetPtrVar(RegSlot::ObjStartPage));
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
}

void tst_startup::translations_qtButtonsAndOwnTextsJapanese()
{
    if (!QFileInfo::exists(QLibraryInfo::location(QLibraryInfo::TranslationsPath) +
                           QStringLiteral("/qtbase_ja.qm")))
        PEL_SKIP_PEER(QStringLiteral("Qt's Japanese translation (qttranslations5-l10n) is not installed"));
    Translations::Install(*qApp);
    const auto installed = qApp->findChildren<QTranslator *>(QString(), Qt::FindDirectChildrenOnly);
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    const QString cancel = box.button(QDialogButtonBox::Cancel)->text();
    const QString own = QCoreApplication::translate("MainWindow", "save end");
    // The other tests read the English texts.
    for (QTranslator *t : installed) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    QCOMPARE(installed.size(), 2);
    QCOMPARE(cancel, QStringLiteral("キャンセル"));
    QCOMPARE(own, QStringLiteral("保存しました"));
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--stuck-worker") == 0)
        return runWithStuckWorker(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], "--stuck-chat") == 0)
        return runWithStuckChat(QString::fromLocal8Bit(argv[2]));
    tst_startup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
