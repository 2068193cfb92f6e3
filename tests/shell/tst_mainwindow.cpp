#include "core/postbox.h"
#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "qa/doccdata.h"
#include "qa/qanda.h"
#include "redmine/redmineproject.h"
#include "redmine/rusers.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "shell/tab.h"
#include "testsupport_widgets.h"
#include "views/schedule.h"
#include "views/schelist.h"
#include "views/statuswidget.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace
{
// Answers every "File error" box with OK while it lives, counting them.
struct FileErrorAnswerer {
    QTimer timer;
    int answered = 0;
    FileErrorAnswerer()
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QWidget *box = QApplication::activeModalWidget();
            if (box && box->windowTitle() == QLatin1String("File error")) {
                if (auto *b = box->findChild<QPushButton *>(QStringLiteral("OK"))) {
                    ++answered;
                    b->click();
                }
            }
        });
        timer.start();
    }
};

// Answers with OK every box that reports a file (an error, a parse error, a file left out), not the
// question whether to save, counting them.
struct ReportAnswerer {
    QTimer timer;
    int answered = 0;
    ReportAnswerer()
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || box->windowTitle() == QLatin1String("Save Contents"))
                return;
            QPushButton *ok = box->findChild<QPushButton *>(QStringLiteral("OK"));
            if (!ok && !box->buttons().isEmpty())
                ok = qobject_cast<QPushButton *>(box->buttons().first());
            if (ok) {
                ++answered;
                ok->click();
            }
        });
        timer.start();
    }
};

// Answers the question whether to save over another program's change with the named button, or
// with Return (the default button) when none is named, keeping the texts asked.
struct ConflictAnswerer {
    QTimer timer;
    QStringList asked;
    explicit ConflictAnswerer(const QString &button)
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this, button] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || box->windowTitle() != QLatin1String("Changed by another program"))
                return;
            asked << box->informativeText();
            if (button.isEmpty())
                QTest::keyClick(box, Qt::Key_Return);
            else
                box->findChild<QPushButton *>(button)->click();
        });
        timer.start();
    }
};

struct Program : public RegistryScope {
    MainWindow *window = new MainWindow;
    Program() { QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000); }
    ~Program() { delete window; }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    QMenu *menu(const char *name) const { return window->menuBar()->findChild<QMenu *>(QLatin1String(name)); }
    xmlclass *store() const { return GetObj<xmlclass>(RegSlot::ObjXmlStore); }
    // A document of the store whose file is a directory, so writing it fails.
    void failingDoc(int index, const QString &dir)
    {
        QDir().mkpath(dir);
        store()->NewXmlDoc(index, QStringLiteral("Root"));
        store()->SetDocFileName(index, dir);
    }
    void goodDoc(int index, const QString &file)
    {
        store()->NewXmlDoc(index, QStringLiteral("Root"));
        store()->SetDocFileName(index, file);
    }
};
} // namespace

class tst_mainwindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void actions_matchTable();
    void startup_onlyFileToolHelpEnabled_andTabsGrey();
    void saveAll_writeFailure_keepsLaterFlags();
    void saveAll_failureInMiddle_showsOrder();
    void saveAll_allWrittenAfterEarlierFailure_endsAndDisablesSave();
    void saveAll_historyNotReadable_failsKeepsSaveAndAsksAtQuit();
    void saveAll_filesChangedByAnother_oneQuestion_data();
    void saveAll_filesChangedByAnother_oneQuestion();
    void saveAll_saveAnywayWithAnotherFileFailing_oneErrorBox();
    void saveAll_whileBusy_returnsAtOnce();
    void saveAll_nothingToSave_doesNothing();
    void save_askedWhileBusy_doneWhenBusyEnds_data();
    void save_askedWhileBusy_doneWhenBusyEnds();
    void save_waitingThenWorkspaceClosed_notRun();
    void ctrlS_beforeSaveFlagArrives_saves_data();
    void ctrlS_beforeSaveFlagArrives_saves();
    void close_everyAnswer();
    void close_saveFails_staysOpen();
    void saveAndClose_failedSave_staysOpen();
    void resetState_clearsQuestionFlag();
    void enabling_rangesAndRememberedStates();
    void enableMenus_byTab();
    void menuIndexZero_switchesThePopupToo();
    void menus_withoutEditor_doNothing();
    void ctrlY_inEditor_isMainWindowUndo();
    void openInstance_modelModified_asksSaveModel();
    void writeTextFile_markAndFailure();
    void writeTextFile_pastTheReadersLimit_keptNothingWritten_data();
    void writeTextFile_pastTheReadersLimit_keptNothingWritten();
    void copyReferenceFile_saveAndCancel();
    void copyReferenceFile_failedCopy_reported();
    void updateHistory_firstTimeThenNothing();
    void updateHistory_afterAnotherWindowsWrite_noBoxItsOptionsStay();
    void showOtherUpdate_countAndHold();
    void tabs_byKindAndSelect();
    void documentTab_instanceModelInstance_followsKind();
    void forms_trackerAndViewPages_keepObjectNames();
};

void tst_mainwindow::initTestCase()
{
    watchConnections();
}

void tst_mainwindow::cleanupTestCase()
{
    QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join(QLatin1Char('\n'))));
}

void tst_mainwindow::actions_matchTable()
{
    Program p;
    struct Row {
        const char *name;
        const char *label;
        const char *shortcut;
    };
    const Row rows[] = {
        {"actionNew_Instance", "new Instance", "Ctrl+N"},
        {"actionOpen_Instance", "open Instance", "Ctrl+O"},
        {"actionNew_defmodel", "new DefModel", ""},
        {"actionOpen_defmodel", "open DefModel", ""},
        {"actionNew_defout", "new DefOut", ""},
        {"actionOpen_defout", "open DefOut", ""},
        {"actionSave", "save", "Ctrl+S"},
        {"actionClose", "Close", "Ctrl+W"},
        {"actionEnd", "End", "Ctrl+Q"},
        {"actionUndo", "undo", "Ctrl+Y"},
        {"actionredo", "redo", ""},
        {"actionCopy", "copy", "Ctrl+C"},
        {"actionCut", "cut", "Ctrl+T"},
        {"actionPaste", "paste", "Ctrl+P"},
        {"actionSelect_ALL", "Select ALL", ""},
        {"actionNumber", "Number", ""},
        {"actionAdd_User", "Add User", ""},
        {"actionDel_User", "Del User", ""},
        {"actionChange_User", "Transfer", ""},
        {"actionRedmine", "Redmine", ""},
        {"actionI_A_L", "Add LClass", ""},
        {"actionI_A_S", "Add SClass", ""},
        {"actionI_D_L", "Del LClass", ""},
        {"actionI_D_S", "Del SClass", ""},
        {"actionM_A_L", "Add LClass", ""},
        {"actionM_A_S", "Add SClass", ""},
        {"actionM_D_L", "Del LClass", ""},
        {"actionM_D_S", "Del SClass", ""},
        {"actionM_A_P", "Add Param", ""},
        {"actionM_D_P", "Del Param", ""},
        {"actionM_P_N", "Mod Param Name", ""},
        {"actionM_O_INF", "OwnerInfo", ""},
        {"actionC_F", "Create File Identifer", ""},
        {"actionD_F", "Delete File Identifier", ""},
        {"actionC_Next_S", "Create Next Seq Identifier", ""},
        {"actionC_Nest_S", "Create Nest Seq Identifier", ""},
        {"actionD_S", "Delete Seq Identifier", ""},
        {"actionMoveUpSeq", "MoveUpSeq Identifier", ""},
        {"actionMoveDownSeq", "MoveDownSeq", ""},
        {"actionFileToTemp", "FileToTemp", ""},
        {"actionTempToFile", "TempToFile", ""},
        {"actionO_C", "Outut Check", ""},
        {"actionO_F", "Output File", ""},
        {"actionO_O_INF", "OwnerInfo", ""},
        {"actionCreate_Question", "Create Question", ""},
        {"actionDelete_Question", "Delete Question", ""},
        {"actionCreate_Answer", "Create Answer", ""},
        {"actionDelete_Answer", "Delete Answer", ""},
        {"actionAdd_Chapter", "Add Chapter", ""},
        {"actionDel_Chapter", "Del Chapter", ""},
        {"actionSet_Chapter", "Set Chapter", ""},
        {"actionUnset_Chapter", "Unset Chapter", ""},
        {"actionMove_Up", "Move Up", ""},
        {"actionMove_Down", "Move Down", ""},
        {"actionOption", "Option(&O)", ""},
        {"actionMail", "Mail", ""},
        {"actionAbout_marsoly", "about marsoly(&Q)", ""},
    };
    QCOMPARE(int(std::size(rows)), 57);
    int menuActions = 0;
    for (QAction *menuAction : p.window->menuBar()->actions())
        for (QAction *a : menuAction->menu()->actions())
            menuActions += a->isSeparator() ? 0 : 1;
    QCOMPARE(menuActions, 57);
    for (const Row &row : rows) {
        QAction *a = p.action(row.name);
        QVERIFY2(a, row.name);
        QCOMPARE(a->text(), QString::fromUtf8(row.label));
        QCOMPARE(a->shortcut(), QKeySequence(QString::fromUtf8(row.shortcut)));
    }
    QCOMPARE(p.action("actionNew_Instance")->shortcutContext(), Qt::ApplicationShortcut);
    QCOMPARE(p.action("actionOpen_Instance")->shortcutContext(), Qt::ApplicationShortcut);
    QVERIFY(p.action("actionNumber")->isCheckable());
    QVERIFY(!p.action("actionMail")->isVisible());
    QVERIFY(!p.action("actionMail")->isEnabled());
    p.action("actionAbout_marsoly")->trigger();
    QWidget *about = QApplication::activeModalWidget();
    QVERIFY(about);
    QCOMPARE(about->objectName(), QStringLiteral("AboutPelmorine"));
    about->findChild<QPushButton *>(QStringLiteral("CLOSE"))->click();
    QVERIFY(!about->isVisible());
}

void tst_mainwindow::startup_onlyFileToolHelpEnabled_andTabsGrey()
{
    Program p;
    for (const char *name : {"menuFile", "menuTool_T", "menuHelp"})
        QVERIFY2(p.menu(name)->isEnabled(), name);
    for (const char *name : {"menuEdit", "menuManager", "menuInstance_I", "menuModel", "menuOut_O",
                             "menuQ_and_A", "menuDocument"})
        QVERIFY2(!p.menu(name)->isEnabled(), name);
    QVERIFY(!p.action("actionSave")->isEnabled());
    QVERIFY(!p.action("actionClose")->isEnabled());
    QVERIFY(p.action("actionEnd")->isEnabled());
    QTabWidget *tabs = p.window->TabArea()->MainTabs();
    for (int i = 0; i < 8; ++i) {
        QVERIFY(!tabs->isTabEnabled(i));
        QCOMPARE(tabs->tabBar()->tabTextColor(i), QColor(Qt::gray));
    }
    QVERIFY(tabs->isTabEnabled(Tab::Manual));
    QCOMPARE(tabs->tabBar()->tabTextColor(Tab::Manual), QColor(QStringLiteral("#00dd00")));
}

void tst_mainwindow::saveAll_writeFailure_keepsLaterFlags()
{
    Program p;
    FileErrorAnswerer answerer;
    const QString dir = QDir::homePath() + QStringLiteral("/save1/");
    p.failingDoc(XmlIndex::Model, dir + QStringLiteral("model.xml"));
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    p.SetBoolVar(RegSlot::FlagInstanceModified, true);
    p.window->EnableFileAction(7, true);
    p.window->SaveAll();
    QVERIFY(answerer.answered >= 1);
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));
    // Saved after the failure in the same pass: stays marked, so the next save writes it again.
    QVERIFY(p.GetBoolVar(RegSlot::FlagInstanceModified));
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagBusy));
    QCOMPARE(p.window->StatusText(), QStringLiteral("save failed, retry"));
    QVERIFY(p.window->IsSaveEnabled());
}

void tst_mainwindow::saveAll_failureInMiddle_showsOrder()
{
    Program p;
    FileErrorAnswerer answerer;
    const QString dir = QDir::homePath() + QStringLiteral("/save2/");
    QDir().mkpath(dir);
    p.goodDoc(XmlIndex::Model, dir + QStringLiteral("model.xml"));
    p.failingDoc(XmlIndex::InstanceDoc, dir + QStringLiteral("instdoc.xml"));
    p.goodDoc(XmlIndex::Output, dir + QStringLiteral("out.xml"));
    // Only the user's own output definition is ever written.
    p.SetBoolVar(RegSlot::FlagOutputOwned, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    p.SetBoolVar(RegSlot::FlagQandAModified, true);
    p.SetBoolVar(RegSlot::FlagInstDocModified, true);
    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    p.window->SaveAll();
    // Model and questions come before the instance document, the output definition after it.
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelModified));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagQandAModified));
    QVERIFY(p.GetBoolVar(RegSlot::FlagInstDocModified));
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    QVERIFY(QFile::exists(dir + QStringLiteral("model.xml")));
    QVERIFY(QFile::exists(dir + QStringLiteral("out.xml")));
    QCOMPARE(p.window->StatusText(), QStringLiteral("save failed, retry"));
}

void tst_mainwindow::saveAll_allWrittenAfterEarlierFailure_endsAndDisablesSave()
{
    Program p;
    const QString dir = QDir::homePath() + QStringLiteral("/save3/");
    QDir().mkpath(dir);
    p.goodDoc(XmlIndex::Model, dir + QStringLiteral("model.xml"));
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    // Left over from a failed write outside save-all (history, options).
    p.SetBoolVar(RegSlot::FlagWriteFailed, true);
    p.window->EnableFileAction(7, true);
    p.action("actionSave")->trigger();
    QVERIFY(QFile::exists(dir + QStringLiteral("model.xml")));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelModified));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QVERIFY(!p.window->IsSaveEnabled());
    QCOMPARE(p.window->StatusText(), QStringLiteral("save end"));
    QVERIFY(!QApplication::overrideCursor());
}

// The history's file could not be read again before the save: the save used to end as if all was
// written, turn Save off and let the program quit without a word, losing the entry.
void tst_mainwindow::saveAll_historyNotReadable_failsKeepsSaveAndAsksAtQuit()
{
    const QByteArray broken = "<?xml version=\"1.0\"?>\n<Root_Instance MaxID=\"1\"><CASE ID=\"1\"";
    Program p;
    ReportAnswerer answerer;
    auto *qa = p.GetObj<QandA>(RegSlot::ObjQandA);
    QVERIFY(qa);
    const QString path = QDir::homePath() + QStringLiteral("/hist/question_1_1.hst");
    const QByteArray good = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root_Instance MaxID=\"1\">"
                            "<CASE ID=\"1\" TYPE=\"1\" NAME=\"Ann\"><![CDATA[one]]></CASE></Root_Instance>\n";
    writeFile(path, good);
    DocCdata &records = qa->Records();
    QCOMPARE(records.LoadIfChanged("1-1", path)->size(), 1);
    records.SetRecordPath("1-1", path);
    QVERIFY(records.AddCaseNow("1-1", nullptr, 1, "Ann", "mine"));
    writeFile(path, broken);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.window->EnableFileAction(7, true);
    for (int save = 0; save < 2; ++save) {
        p.window->SaveAll();
        QCOMPARE(p.window->StatusText(), QStringLiteral("save failed, retry"));
        QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
        QVERIFY(p.window->IsSaveEnabled());
        QCOMPARE(readFile(path), broken);
    }
    // Quitting asks; cancelled, the program goes on.
    QString asked;
    answerNextBox(QStringLiteral("cancel"), &asked);
    p.window->MenuEnd();
    QCOMPARE(asked, QStringLiteral("Save Contents"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
    // Mended, the next save writes the entry after the file's.
    writeFile(path, good);
    p.window->SaveAll();
    QCOMPARE(p.window->StatusText(), QStringLiteral("save end"));
    QVERIFY(!p.window->IsSaveEnabled());
    QDomDocument written;
    QVERIFY(written.setContent(readFile(path)));
    const QDomElement second = written.documentElement().lastChildElement(QStringLiteral("CASE"));
    QVERIFY2(second.attribute(QStringLiteral("ID")) == QLatin1String("2") &&
                 second.text() == QLatin1String("mine"),
             readFile(path).constData());
}

void tst_mainwindow::saveAll_filesChangedByAnother_oneQuestion_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("written");
    QTest::newRow("the default keeps") << QString() << false;
    QTest::newRow("save anyway") << QStringLiteral("saveAnyway") << true;
}

// Two files of one save changed by another program: one question names both; saving anyway
// writes the edits and ends the save, keeping leaves the other program's files and Save on.
void tst_mainwindow::saveAll_filesChangedByAnother_oneQuestion()
{
    QFETCH(QString, button);
    QFETCH(bool, written);
    Program p;
    FileErrorAnswerer errors;
    ConflictAnswerer answerer(button);
    const QString dir = QDir::homePath() + QStringLiteral("/save7/%1/").arg(QTest::currentDataTag());
    QDir().mkpath(dir);
    const QStringList files{dir + QStringLiteral("model.xml"), dir + QStringLiteral("instdoc.xml")};
    const QByteArray theirs("<Root Theirs=\"1\"/>");
    for (int i : {0, 1}) {
        const int index = i == 0 ? XmlIndex::Model : XmlIndex::InstanceDoc;
        writeFile(files.at(i), "<Root/>");
        QVERIFY(p.store()->OpenXmlFile(index, files.at(i)));
        p.store()->GetXmlDoc(index)->documentElement().setAttribute(QStringLiteral("Mine"),
                                                                    QStringLiteral("1"));
        writeFile(files.at(i), theirs);
    }
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    p.SetBoolVar(RegSlot::FlagInstDocModified, true);
    p.window->EnableFileAction(7, true);
    p.action("actionSave")->trigger();
    QCOMPARE(answerer.asked.size(), 1);
    QCOMPARE(answerer.asked.first().count(files.at(0)), 1);
    QCOMPARE(answerer.asked.first().count(files.at(1)), 1);
    QCOMPARE(errors.answered, 0);
    for (const QString &file : files)
        QCOMPARE(readFile(file).contains("Mine=\"1\""), written);
    QCOMPARE(p.GetBoolVar(RegSlot::FlagSaveNeeded), !written);
    QCOMPARE(p.window->IsSaveEnabled(), !written);
    QCOMPARE(p.window->StatusText(),
             written ? QStringLiteral("save end")
                     : QStringLiteral("not saved: changed by another program, your edit is kept"));
    if (written)
        return;
    QCOMPARE(readFile(files.at(0)), theirs);
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));
    // Quitting asks to save, and saving asks again.
    QString quit;
    answerNextBox(QStringLiteral("save"), &quit);
    p.window->MenuEnd();
    QCOMPARE(quit, QStringLiteral("Save Contents"));
    QCOMPARE(answerer.asked.size(), 2);
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
}

// The pass that writes what the user said to save anyway ran the failed step again, and its file
// error was shown a second time in the same save.
void tst_mainwindow::saveAll_saveAnywayWithAnotherFileFailing_oneErrorBox()
{
    Program p;
    FileErrorAnswerer errors;
    ConflictAnswerer answerer(QStringLiteral("saveAnyway"));
    const QString dir = QDir::homePath() + QStringLiteral("/save8/");
    const QString model = dir + QStringLiteral("model.xml");
    QDir().mkpath(dir);
    writeFile(model, "<Root/>");
    QVERIFY(p.store()->OpenXmlFile(XmlIndex::Model, model));
    writeFile(model, "<Root Theirs=\"1\"/>");
    p.failingDoc(XmlIndex::InstanceDoc, dir + QStringLiteral("instdoc.xml"));
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    p.SetBoolVar(RegSlot::FlagInstDocModified, true);
    p.window->SaveAll();
    QCOMPARE(answerer.asked.size(), 1);
    QCOMPARE(errors.answered, 1);
    QVERIFY(!readFile(model).contains("Theirs"));
    QCOMPARE(p.window->StatusText(), QStringLiteral("save failed, retry"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagInstDocModified) && p.GetBoolVar(RegSlot::FlagSaveNeeded));
    // The next save is another save: its failure is reported again.
    p.window->SaveAll();
    QCOMPARE(errors.answered, 2);
}

void tst_mainwindow::saveAll_whileBusy_returnsAtOnce()
{
    Program p;
    const QString dir = QDir::homePath() + QStringLiteral("/save4/");
    QDir().mkpath(dir);
    p.goodDoc(XmlIndex::Model, dir + QStringLiteral("model.xml"));
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    p.SetBoolVar(RegSlot::FlagBusy, true);
    p.window->SaveAll();
    QVERIFY(!QFile::exists(dir + QStringLiteral("model.xml")));
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));
    QVERIFY(p.GetBoolVar(RegSlot::FlagBusy));
    QVERIFY(p.window->StatusText() != QLatin1String("under saving"));
    p.SetBoolVar(RegSlot::FlagBusy, false);
}

void tst_mainwindow::saveAll_nothingToSave_doesNothing()
{
    Program p;
    p.window->StatusMessage(QStringLiteral("before"));
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    p.window->SaveAll();
    QCOMPARE(p.window->StatusText(), QStringLiteral("before"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));
}

void tst_mainwindow::save_askedWhileBusy_doneWhenBusyEnds_data()
{
    QTest::addColumn<bool>("byTimer");
    QTest::newRow("Ctrl+S") << false;
    QTest::newRow("auto-save") << true;
}

// A save asked while an open or an output run held the program busy used to vanish without a word.
void tst_mainwindow::save_askedWhileBusy_doneWhenBusyEnds()
{
    QFETCH(bool, byTimer);
    Program p;
    auto *timer = p.GetObj<CheckTimer>(RegSlot::ObjCheckTimer);
    const QString dir = QDir::homePath() + QStringLiteral("/save5/%1/").arg(QTest::currentDataTag());
    QDir().mkpath(dir);
    p.goodDoc(XmlIndex::Model, dir + QStringLiteral("model.xml"));
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    p.window->EnableFileAction(7, true);
    p.SetBoolVar(RegSlot::FlagBusy, true);
    if (byTimer)
        timer->AutoSaveTimeoutEvent();
    else
        p.action("actionSave")->trigger();
    QVERIFY(!QFile::exists(dir + QStringLiteral("model.xml")));
    QVERIFY(timer->IsSaveDeferred());
    QCOMPARE(p.window->StatusText(), QStringLiteral("save waits until the current work ends"));
    // Still waiting while the work goes on: the busy flag is what it waits for.
    timer->SaveWaitTimeoutEvent();
    QVERIFY(timer->IsSaveDeferred());
    QVERIFY(!QFile::exists(dir + QStringLiteral("model.xml")));
    p.SetBoolVar(RegSlot::FlagBusy, false);
    QTRY_VERIFY_WITH_TIMEOUT(!timer->IsSaveDeferred(), 120000);
    QVERIFY(QFile::exists(dir + QStringLiteral("model.xml")));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelModified));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QVERIFY(!p.window->IsSaveEnabled());
    QCOMPARE(p.window->StatusText(), QStringLiteral("save end"));
}

// The edits were given up with the workspace: a save still waiting must not write them later.
void tst_mainwindow::save_waitingThenWorkspaceClosed_notRun()
{
    Program p;
    auto *timer = p.GetObj<CheckTimer>(RegSlot::ObjCheckTimer);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagBusy, true);
    p.window->SaveAll();
    QVERIFY(timer->IsSaveDeferred());
    p.window->CloseWorkspace();
    QVERIFY(!timer->IsSaveDeferred());
    p.SetBoolVar(RegSlot::FlagBusy, true);
    p.window->SaveAll();
    QVERIFY(timer->IsSaveDeferred());
    p.window->ResetState();
    QVERIFY(!timer->IsSaveDeferred());
}

void tst_mainwindow::ctrlS_beforeSaveFlagArrives_saves_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("text editor") << QStringLiteral("NumEditor");
    QTest::newRow("line edit") << QStringLiteral("QLineEdit");
    QTest::newRow("tree") << QStringLiteral("QTreeWidget");
}

// On a busy machine an edit and the Ctrl+S typed after it are taken in one burst: the key came
// before code 115 had turned Save on, and the disabled action let it pass without a word.
void tst_mainwindow::ctrlS_beforeSaveFlagArrives_saves()
{
    QFETCH(QString, focus);
    Program p;
    const QString dir = QDir::homePath() + QStringLiteral("/save6/%1/").arg(QTest::currentDataTag());
    QDir().mkpath(dir);
    p.goodDoc(XmlIndex::Model, dir + QStringLiteral("model.xml"));
    QWidget *widget = focus == QLatin1String("NumEditor")   ? new NumEditor(p.window->centralWidget())
                      : focus == QLatin1String("QLineEdit") ? static_cast<QWidget *>(new QLineEdit)
                                                            : new QTreeWidget;
    p.window->centralWidget()->layout()->addWidget(widget);
    widget->show();
    p.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.window));
    widget->setFocus();
    QVERIFY(!p.window->IsSaveEnabled());
    // Nothing changed: the key does nothing.
    QTest::keyClick(widget, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!QFile::exists(dir + QStringLiteral("model.xml")));
    // What an editor does on an edit; the save flag's timer has not run yet.
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    PostBox::Post(MsgCode::SaveFlag);
    QVERIFY(!p.window->IsSaveEnabled());
    QTest::keyClick(widget, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(QFile::exists(dir + QStringLiteral("model.xml")));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QCOMPARE(p.window->StatusText(), QStringLiteral("save end"));
    delete widget;
}

void tst_mainwindow::close_everyAnswer()
{
    Program p;
    p.SetIntVar(RegSlot::IntDocKind, 1);
    p.window->ShowTabArea();
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);

    answerNextBox(QStringLiteral("cancel"));
    p.window->MenuClose();
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 1);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagStartPageUp));

    answerNextBox(QStringLiteral("close"));
    QTimer::singleShot(50, [] { answerNextBox(QStringLiteral("cancel")); });
    p.window->MenuClose();
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 1);
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));

    answerNextBox(QStringLiteral("close"));
    QTimer::singleShot(50, [] { answerNextBox(QStringLiteral("dontSave")); });
    p.window->MenuClose();
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 0);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QVERIFY(p.GetBoolVar(RegSlot::FlagStartPageUp));
    QVERIFY(!p.window->TabArea()->IsTabAreaVisible());
    QVERIFY(!p.action("actionClose")->isEnabled());

    // Closing hides the "Redmine interface" button only.
    p.window->SetRedmineVisible(true);
    p.SetIntVar(RegSlot::IntDocKind, 2);
    answerNextBox(QStringLiteral("close"));
    p.window->MenuClose();
    QVERIFY(p.action("actionRedmine")->isVisible());
    bool buttonShown = false;
    for (QPushButton *b : p.window->statusBar()->findChildren<QPushButton *>())
        buttonShown |= b->text() == QLatin1String("Redmine interface") && b->isVisible();
    QVERIFY(!buttonShown);
}

void tst_mainwindow::close_saveFails_staysOpen()
{
    Program p;
    FileErrorAnswerer answerer;
    p.failingDoc(XmlIndex::Model, QDir::homePath() + QStringLiteral("/close1/model.xml"));
    p.SetIntVar(RegSlot::IntDocKind, 1);
    p.window->ShowTabArea();
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    answerNextBox(QStringLiteral("close"));
    QTimer::singleShot(50, [] { answerNextBox(QStringLiteral("save")); });
    p.window->MenuClose();
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 1);
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagStartPageUp));

    // "End" answered "save" with the same failure does not end the program either.
    answerNextBox(QStringLiteral("save"));
    p.window->MenuEnd();
    QVERIFY(p.GetPtrVar(RegSlot::ObjStartPage));
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 1);
}

void tst_mainwindow::saveAndClose_failedSave_staysOpen()
{
    Program p;
    FileErrorAnswerer answerer;
    p.failingDoc(XmlIndex::Model, QDir::homePath() + QStringLiteral("/close2/model.xml"));
    p.SetIntVar(RegSlot::IntDocKind, 1);
    p.window->ShowTabArea();
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    p.window->SaveAndCloseWorkspace();
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 1);
    QVERIFY(p.store()->HasDoc(XmlIndex::Model));

    p.store()->SetDocFileName(XmlIndex::Model, QDir::homePath() + QStringLiteral("/close2/model2.xml"));
    p.window->SaveAndCloseWorkspace();
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 0);
    QVERIFY(p.GetBoolVar(RegSlot::FlagStartPageUp));
    QVERIFY(QFile::exists(QDir::homePath() + QStringLiteral("/close2/model2.xml")));
}

void tst_mainwindow::resetState_clearsQuestionFlag()
{
    Program p;
    p.SetBoolVar(RegSlot::FlagQandAModified, true);
    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    p.SetIntVar(RegSlot::IntDocKind, 2);
    p.window->ResetState();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagQandAModified));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputModified));
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 0);
}

void tst_mainwindow::enabling_rangesAndRememberedStates()
{
    Program p;
    p.window->EnableOutMenu(1, true);
    QVERIFY(!p.menu("menuOut_O")->isEnabled());
    p.window->EnableOutMenu(0, true);
    QVERIFY(p.menu("menuOut_O")->isEnabled());
    p.window->EnableEditAction(2, true);
    QVERIFY(p.action("actionredo")->isEnabled());
    p.window->EnableEditAction(2, false);
    QVERIFY(!p.action("actionredo")->isEnabled());
    p.window->EnableEditAction(7, true);
    QVERIFY(p.window->IsNumberChecked());
    p.window->EnableFileAction(9, true);
    p.window->EnableModelAction(7, true);
    p.window->EnableDocumentAction(-1, true);

    p.window->KeepModelActions(true, false, true, false, false, true);
    p.window->RestoreModelActions();
    QVERIFY(p.action("actionM_A_L")->isEnabled());
    QVERIFY(!p.action("actionM_D_L")->isEnabled());
    QVERIFY(p.action("actionM_A_S")->isEnabled());
    QVERIFY(!p.action("actionM_A_P")->isEnabled());
    QVERIFY(p.action("actionM_D_P")->isEnabled());
    QVERIFY(p.action("actionM_P_N")->isEnabled()); // follows delete parameter

    p.window->KeepOutputActions(false, false, false, false, false, false, false, false, false, true);
    p.window->EnableOutFile(false);
    QVERIFY(!p.action("actionO_F")->isEnabled());
    p.window->KeepOutFileEnable(true);
    p.window->RestoreOutputActions();
    QVERIFY(p.action("actionO_F")->isEnabled());
    QVERIFY(p.action("actionO_C")->isEnabled());
    QVERIFY(!p.action("actionC_F")->isEnabled());

    p.window->SetInstanceActions(false, true, false, true);
    QVERIFY(!p.action("actionI_A_L")->isEnabled());
    QVERIFY(p.action("actionI_D_L")->isEnabled());
    p.window->SetChapterActions(true, false, true, false, true, false);
    QVERIFY(p.action("actionMove_Up")->isEnabled());
    QVERIFY(!p.action("actionMove_Down")->isEnabled());
    p.window->SetRedmineVisible(true);
    QVERIFY(p.action("actionRedmine")->isVisible());
    p.window->SetRedmineVisible(false);
    QVERIFY(!p.action("actionRedmine")->isVisible());
}

void tst_mainwindow::enableMenus_byTab()
{
    Program p;
    p.SetIntVar(RegSlot::IntDocKind, 4);
    p.window->ShowTabArea();
    Tab *tab = p.window->TabArea();
    tab->SetTabsByKind(-1);
    p.window->KeepOutputActions(true, true, true, true, true, true, true, true, true, true);
    p.window->KeepOutFileEnable(false);

    tab->MainTabs()->setCurrentIndex(Tab::Instance);
    QVERIFY(p.menu("menuInstance_I")->isEnabled());
    QVERIFY(p.menu("menuOut_O")->isEnabled());
    QVERIFY(!p.action("actionC_F")->isEnabled());
    QVERIFY(!p.action("actionO_C")->isEnabled());
    QVERIFY(p.action("actionO_F")->isEnabled());
    QVERIFY(!p.action("actionO_O_INF")->isEnabled());

    tab->MainTabs()->setCurrentIndex(Tab::Output);
    QVERIFY(!p.menu("menuInstance_I")->isEnabled());
    QVERIFY(p.menu("menuOut_O")->isEnabled());
    QVERIFY(p.action("actionC_F")->isEnabled());
    QVERIFY(!p.action("actionO_F")->isEnabled());
    QVERIFY(p.action("actionO_O_INF")->isEnabled());

    tab->MainTabs()->setCurrentIndex(Tab::Model);
    QVERIFY(!p.menu("menuModel")->isEnabled()); // only with a model definition alone
    tab->MainTabs()->setCurrentIndex(Tab::QandA);
    QVERIFY(p.menu("menuQ_and_A")->isEnabled());
    QVERIFY(!p.menu("menuOut_O")->isEnabled());
    tab->MainTabs()->setCurrentIndex(Tab::Management);
    QVERIFY(p.menu("menuManager")->isEnabled());
    QCOMPARE(tab->MainTabs()->tabBar()->tabTextColor(Tab::Management), QColor(Qt::white));
    QCOMPARE(tab->MainTabs()->tabBar()->tabTextColor(Tab::QandA), QColor(QStringLiteral("#00dd00")));
}

void tst_mainwindow::menuIndexZero_switchesThePopupToo()
{
    // The reset switched the menus off as widgets; switching one on through its index 0 must
    // make its popup usable, not only its menu-bar entry.
    Program p;
    auto *editor = new NumEditor(p.window->centralWidget());
    editor->SetActiveEditor();
    QVERIFY(p.menu("menuEdit")->isEnabled());
    QVERIFY(p.menu("menuEdit")->menuAction()->isEnabled());
    p.window->ReleaseEditor();
    p.window->EnableEditAction(0, false);
    QVERIFY(!p.menu("menuEdit")->isEnabled());
    QVERIFY(!p.menu("menuEdit")->menuAction()->isEnabled());
    const std::pair<void (MainWindow::*)(int, bool), const char *> rows[] = {
        {&MainWindow::EnableModelAction, "menuModel"},
        {&MainWindow::EnableInstanceAction, "menuInstance_I"},
        {&MainWindow::EnableManagerAction, "menuManager"},
        {&MainWindow::EnableQandAAction, "menuQ_and_A"},
        {&MainWindow::EnableDocumentAction, "menuDocument"},
        {&MainWindow::EnableFileAction, "menuFile"}};
    for (const auto &[enable, name] : rows) {
        (p.window->*enable)(0, false);
        QVERIFY2(!p.menu(name)->isEnabled() && !p.menu(name)->menuAction()->isEnabled(), name);
        (p.window->*enable)(0, true);
        QVERIFY2(p.menu(name)->isEnabled() && p.menu(name)->menuAction()->isEnabled(), name);
    }
    // Index 1 is the first action, not the menu.
    p.window->EnableModelAction(1, false);
    QVERIFY(!p.action("actionM_A_L")->isEnabled());
    QVERIFY(p.menu("menuModel")->isEnabled());
    delete editor;
}

void tst_mainwindow::menus_withoutEditor_doNothing()
{
    Program p;
    QVERIFY(!p.GetPtrVar(RegSlot::ObjCurrentEditor));
    for (const char *name :
         {"actionUndo", "actionredo", "actionCopy", "actionCut", "actionPaste", "actionSelect_ALL"})
        p.action(name)->trigger();
    p.action("actionNumber")->setChecked(true);
    QVERIFY(p.window->IsNumberChecked());
    // Document actions go to the inner tab's editor; with stand-ins they only must not fail.
    p.window->MenuAddChapter();
    p.window->TabArea()->DocTabWidget()->setCurrentIndex(1);
    p.window->MenuAddChapter();
}

void tst_mainwindow::ctrlY_inEditor_isMainWindowUndo()
{
    Program p;
    auto *editor = new NumEditor(p.window->centralWidget());
    p.window->centralWidget()->layout()->addWidget(editor);
    editor->show();
    p.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.window));
    editor->setFocus();
    editor->SetActiveEditor();
    QTest::keyClicks(editor, QStringLiteral("abc"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));
    QVERIFY(p.action("actionUndo")->isEnabled());
    // The main window's undo acts on the current editor ...
    p.action("actionUndo")->trigger();
    QVERIFY(editor->toPlainText().isEmpty());
    // ... while Ctrl+Y typed in the editor is the editor's redo: the editor takes the key before
    // the main window's shortcut, so the two never both act on one key press.
    QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));
    p.action("actionUndo")->trigger();
    p.action("actionredo")->trigger();
    QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));
    QCOMPARE(editor->MenuAction(1)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Y")));
    QCOMPARE(p.action("actionUndo")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Y")));
    QVERIFY(!editor->actions().contains(editor->MenuAction(1)));
    p.window->ReleaseEditor();
    QVERIFY(!editor->IsActive());
    QVERIFY(!p.GetPtrVar(RegSlot::ObjCurrentEditor));
    delete editor;
}

void tst_mainwindow::openInstance_modelModified_asksSaveModel()
{
    Program p;
    const QString dir = QDir::homePath() + QStringLiteral("/openinst/");
    QDir().mkpath(dir);
    p.goodDoc(XmlIndex::Model, dir + QStringLiteral("model.xml"));
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    answerNextBox(QStringLiteral("cancel"));
    p.window->MenuOpenInstance();
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));
    QVERIFY(!QFile::exists(dir + QStringLiteral("model.xml")));
    answerNextBox(QStringLiteral("OK"));
    p.window->MenuOpenInstance();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelModified));
    QVERIFY(QFile::exists(dir + QStringLiteral("model.xml")));
    if (QWidget *dialog = QApplication::activeModalWidget())
        dialog->close();
}

void tst_mainwindow::writeTextFile_markAndFailure()
{
    Program p;
    FileErrorAnswerer answerer;
    const QString dir = QDir::homePath() + QStringLiteral("/text/");
    QDir().mkpath(dir);
    TreeItemData record;
    record.SetAttr(p.GetStrVar(RegSlot::StrAttrExpression), QString::fromUtf8("本文"));
    QVERIFY(p.window->WriteTextFile(&record, dir + QStringLiteral("a.txt")));
    QVERIFY(!QFile::exists(dir + QStringLiteral("a.txt")));

    record.TextChanged() = true;
    QVERIFY(p.window->WriteTextFile(&record, dir + QStringLiteral("a.txt")));
    QVERIFY(!record.TextChanged());
    QCOMPARE(p.window->ReadTextFile(dir + QStringLiteral("a.txt")), QString::fromUtf8("本文"));

    QDir().mkpath(dir + QStringLiteral("b.txt"));
    record.TextChanged() = true;
    QVERIFY(!p.window->WriteTextFile(&record, dir + QStringLiteral("b.txt")));
    QVERIFY(record.TextChanged());
    QVERIFY(p.GetBoolVar(RegSlot::FlagWriteFailed));
    QCOMPARE(answerer.answered, 1);
    p.SetBoolVar(RegSlot::FlagWriteFailed, false);
}

void tst_mainwindow::writeTextFile_pastTheReadersLimit_keptNothingWritten_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("written");
    const int lines = TextFiles::MaxTextLines;
    QTest::newRow("lines at the limit") << QStringLiteral("1\n").repeated(lines) << true;
    QTest::newRow("600,000 lines") << QStringLiteral("1\n").repeated(600000) << false;
    QTest::newRow("9 MB") << QString(9 * 1024 * 1024, QLatin1Char('a')) << false;
}

// Saved without a word, such a text was refused to its writer and every member on the next open:
// the save says why, writes nothing over the file, and the text stays to be saved once it fits.
void tst_mainwindow::writeTextFile_pastTheReadersLimit_keptNothingWritten()
{
    QFETCH(QString, text);
    QFETCH(bool, written);
    Program p;
    FileErrorAnswerer answerer;
    const QString path = QDir::homePath() + QStringLiteral("/limit/chapter.txt");
    writeFile(path, "the text before");
    p.window->ReadTextFile(path); // as the editor did
    TreeItemData record;
    record.SetAttr(p.GetStrVar(RegSlot::StrAttrExpression), text);
    record.TextChanged() = true;
    p.SetBoolVar(RegSlot::FlagWriteFailed, false);
    QCOMPARE(p.window->WriteTextFile(&record, path), written);
    QCOMPARE(record.TextChanged(), !written);
    QCOMPARE(p.GetBoolVar(RegSlot::FlagWriteFailed), !written);
    QCOMPARE(answerer.answered, written ? 0 : 1);
    if (written) {
        QVERIFY(p.window->ReadTextFile(path) == text);
    } else {
        QCOMPARE(readFile(path), QByteArray("the text before"));
        QVERIFY(record.GetAttr(p.GetStrVar(RegSlot::StrAttrExpression)) == text);
    }
    p.SetBoolVar(RegSlot::FlagWriteFailed, false);
}

void tst_mainwindow::copyReferenceFile_saveAndCancel()
{
    Program p;
    const QString base = QDir::homePath() + QStringLiteral("/ref/");
    QDir().mkpath(base);
    const QString source = base + QStringLiteral("src.txt");
    auto write = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    auto read = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    };
    write(source, "one");
    QFile::setPermissions(source, QFileDevice::WriteUser);
    const QString folder = base + QStringLiteral("target/");
    p.window->CopyReferenceFile(source, folder);
    QCOMPARE(read(folder + QStringLiteral("src.txt")), QByteArray("one"));
    QCOMPARE(read(folder + QStringLiteral("others/src.txt")), QByteArray("one"));
    QVERIFY(QFile::permissions(source) & QFileDevice::ReadUser);
    QVERIFY(QFile::permissions(source) & QFileDevice::WriteUser);
    QVERIFY(!(QFile::permissions(folder + QStringLiteral("others/src.txt")) & QFileDevice::WriteOwner));

    write(source, "two");
    answerNextBox(QStringLiteral("cancel"));
    p.window->CopyReferenceFile(source, folder);
    QCOMPARE(read(folder + QStringLiteral("src.txt")), QByteArray("one"));
    QCOMPARE(read(folder + QStringLiteral("others/src.txt")), QByteArray("one"));

    answerNextBox(QStringLiteral("save"));
    p.window->CopyReferenceFile(source, folder);
    QCOMPARE(read(folder + QStringLiteral("src.txt")), QByteArray("two"));
    QCOMPARE(read(folder + QStringLiteral("others/src.txt")), QByteArray("two"));

    // A source that does not exist does nothing.
    p.window->CopyReferenceFile(base + QStringLiteral("none.txt"), folder);
    QVERIFY(!QFile::exists(folder + QStringLiteral("none.txt")));
}

void tst_mainwindow::copyReferenceFile_failedCopy_reported()
{
    Program p;
    FileErrorAnswerer answerer;
    const QString base = QDir::homePath() + QStringLiteral("/ref2/");
    // A source that cannot be read as a file (a folder of that name) fails the copy; a fixed
    // temporary name beside the target no longer can, as it may be a user's own file.
    QDir().mkpath(base + QStringLiteral("src.txt/x"));
    QDir().mkpath(base + QStringLiteral("target"));
    p.window->CopyReferenceFile(base + QStringLiteral("src.txt"), base + QStringLiteral("target/"));
    QCOMPARE(answerer.answered, 1);
    QVERIFY(!QFile::exists(base + QStringLiteral("target/src.txt")));
}

void tst_mainwindow::updateHistory_firstTimeThenNothing()
{
    Program p;
    const QString init = QDir::homePath() + QStringLiteral("/.Pelmorine/init.xml");
    QDomElement history =
        p.store()->GetXmlDoc(XmlIndex::Settings)->elementsByTagName("HISTORY").item(0).toElement();
    if (!history.isNull())
        history.parentNode().removeChild(history);
    p.SetStrVar(RegSlot::StrWorkspaceDir, QDir::homePath() + QStringLiteral("/ws.ws"));
    p.SetStrVar(RegSlot::StrModelName, QStringLiteral("M1"));
    p.SetStrVar(RegSlot::StrModelVersion, QStringLiteral("0.0.1"));
    QFile::remove(init);
    p.window->UpdateHistory(1);
    QVERIFY(QFile::exists(init));
    QFile file(init);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QDomDocument doc;
    QVERIFY(doc.setContent(&file));
    const QDomElement saved = doc.elementsByTagName(QStringLiteral("HISTORY")).item(0).toElement();
    QCOMPARE(saved.attribute(QStringLiteral("WS")), QDir::homePath() + QStringLiteral("/ws.ws"));
    QCOMPARE(saved.firstChildElement(QStringLiteral("MODEL")).attribute(QStringLiteral("NAME")),
             QStringLiteral("M1"));
    QCOMPARE(saved.firstChildElement(QStringLiteral("MODEL")).attribute(QStringLiteral("VERSION")),
             QStringLiteral("0.0.1"));
    QVERIFY(saved.firstChildElement(QStringLiteral("INSTANCE")).isNull());

    QFile::remove(init);
    // Same directory written differently: still no change.
    p.SetStrVar(RegSlot::StrWorkspaceDir, QDir::homePath() + QStringLiteral("/ws.ws/"));
    p.window->UpdateHistory(1);
    QVERIFY(!QFile::exists(init));
    p.window->UpdateHistory(2);
    QVERIFY(QFile::exists(init));
}

// Window A of the same user opened a workspace and changed the font; window B opens another: its
// history write used to be refused at every try, with a box.
void tst_mainwindow::updateHistory_afterAnotherWindowsWrite_noBoxItsOptionsStay()
{
    Program p;
    ReportAnswerer reports;
    ConflictAnswerer questions(QStringLiteral("keepEditing"));
    const QString init = QDir::homePath() + QStringLiteral("/.Pelmorine/init.xml");
    p.SetStrVar(RegSlot::StrWorkspaceDir, QDir::homePath() + QStringLiteral("/first.ws"));
    p.SetStrVar(RegSlot::StrModelName, QStringLiteral("M1"));
    p.SetStrVar(RegSlot::StrModelVersion, QStringLiteral("0.0.1"));
    p.window->UpdateHistory(1);
    QDomDocument other;
    QVERIFY(other.setContent(readFile(init)));
    other.elementsByTagName(QStringLiteral("HISTORY"))
        .item(0)
        .toElement()
        .setAttribute(QStringLiteral("WS"), QDir::homePath() + QStringLiteral("/a.ws"));
    other.elementsByTagName(QStringLiteral("FONT"))
        .item(0)
        .toElement()
        .setAttribute(QStringLiteral("size"), QStringLiteral("21"));
    writeFile(init, other.toByteArray());
    for (const char *ws : {"/b.ws", "/c.ws"}) {
        p.SetStrVar(RegSlot::StrWorkspaceDir, QDir::homePath() + QLatin1String(ws));
        p.window->UpdateHistory(1);
        QDomDocument written;
        QVERIFY(written.setContent(readFile(init)));
        QCOMPARE(written.elementsByTagName(QStringLiteral("HISTORY")).item(0).toElement().attribute("WS"),
                 QDir::homePath() + QLatin1String(ws));
        QCOMPARE(written.elementsByTagName(QStringLiteral("FONT")).item(0).toElement().attribute("size"),
                 QStringLiteral("21"));
    }
    QCOMPARE(reports.answered, 0);
    QVERIFY(questions.asked.isEmpty());
}

void tst_mainwindow::showOtherUpdate_countAndHold()
{
    Program p;
    p.window->ShowOtherUpdate(0);
    QVERIFY(!p.window->IsOtherUpdateVisible());
    p.window->ShowOtherUpdate(3);
    QVERIFY(p.window->IsOtherUpdateVisible());
    QCOMPARE(p.window->OtherUpdateCount(), 3);
    p.window->SetOtherUpdateVisible(false);
    p.window->HoldOtherUpdate(true);
    p.window->ShowOtherUpdate(5);
    QCOMPARE(p.window->OtherUpdateCount(), 3);
    QVERIFY(!p.window->IsOtherUpdateVisible());
    QVERIFY(p.window->IsOtherUpdateHeld());
}

void tst_mainwindow::tabs_byKindAndSelect()
{
    Program p;
    Tab *tab = p.window->TabArea();
    QTabWidget *tabs = tab->MainTabs();
    auto usable = [tabs] {
        QString s;
        for (int i = 0; i < tabs->count(); ++i)
            s += tabs->isTabEnabled(i) ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    };
    p.SetIntVar(RegSlot::IntDocKind, 1);
    tab->SetTabsByKind(-1);
    QCOMPARE(usable(), QStringLiteral("001000011"));
    QCOMPARE(tab->CurrentTab(), -1);
    p.SetIntVar(RegSlot::IntDocKind, 3);
    tab->SetTabsByKind(-1);
    QCOMPARE(usable(), QStringLiteral("001100011"));
    p.SetIntVar(RegSlot::IntDocKind, 2);
    tab->SetTabsByKind(Tab::Management);
    QCOMPARE(usable(), QStringLiteral("111011111"));
    QCOMPARE(tab->CurrentTab(), int(Tab::Management));
    // The programmatic change did not activate the view: the menus are untouched.
    QVERIFY(!p.menu("menuManager")->isEnabled());
    p.SetIntVar(RegSlot::IntDocKind, 7);
    tab->SetTabsByKind(-1);
    QCOMPARE(usable(), QStringLiteral("111011111"));

    tab->SelectTab(QStringLiteral("no such tab"));
    QCOMPARE(tabs->currentIndex(), int(Tab::Management));
    tab->SelectTab(p.GetStrVar(RegSlot::StrTabQandA));
    QCOMPARE(tabs->currentIndex(), int(Tab::QandA));
    QCOMPARE(tab->CurrentTab(), int(Tab::QandA));

    // A deleted instance row never stays behind in the state page.
    auto *state = p.GetObj<StatusWidget>(RegSlot::ObjStatusWidget);
    QTreeWidgetItem row;
    new QTreeWidgetItem(state->GetTree());
    emit p.GetObj<deftab>(RegSlot::ObjDeftab)->RowDeleting(&row);
    QCOMPARE(state->GetTree()->topLevelItemCount(), 0);
}

void tst_mainwindow::documentTab_instanceModelInstance_followsKind()
{
    Program p;
    Tab *tab = p.window->TabArea();
    QTabWidget *inner = tab->DocTabWidget();
    auto activate = [&](int kind) {
        p.SetIntVar(RegSlot::IntDocKind, kind);
        tab->ActivateTab(Tab::Document);
    };
    activate(2);
    QVERIFY(inner->isTabEnabled(1));
    QCOMPARE(inner->currentIndex(), 1);
    // Within one instance the page the user chose stays.
    inner->setCurrentIndex(0);
    activate(2);
    QCOMPARE(inner->currentIndex(), 0);
    activate(1);
    QVERIFY(!inner->isTabEnabled(1));
    QCOMPARE(inner->currentIndex(), 0);
    activate(4);
    QVERIFY(inner->isTabEnabled(1));
    QCOMPARE(inner->currentIndex(), 1);
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_mainwindow test;
    return QTest::qExec(&test, argc, argv);
}
// The tracker and view pages come from forms: their widgets keep the names and kinds the code
// and the style sheets look for, and the forms' placeholder tabs are gone.
void tst_mainwindow::forms_trackerAndViewPages_keepObjectNames()
{
    RegistryScope reg;
    xmlclass store;
    reg.SetObj(RegSlot::ObjXmlStore, &store);
    RedmineProject project;
    RUsers users;
    Schedule schedule;
    StatusWidget state;
    struct Named {
        QWidget *form;
        const char *cls;
        QStringList names;
    };
    const QStringList projectTabs = {"EXPLAIN_TAB", "RM_TAB",      "ZQV_MEMBER",   "CATEGORY_TAB",
                                     "TRACKER_TAB", "VERSION_TAB", "PRIORITY_TAB", "STATUS_TAB"};
    const QStringList projectTrees = {"RM_TREE",      "ZQV_TREE",      "CATEGORY_TREE", "TRACKER_TREE",
                                      "VERSION_TREE", "PRIORITY_TREE", "STATUS_TREE"};
    const Named expected[] = {
        {&project, "QLabel", {"READ_ONLY", "LB1", "LB2", "LB3", "LB4"}},
        {&project, "QLineEdit", {"PRJNAME", "ID", "IDENT", "IDENT_EXP", "URL", "MSG"}},
        {&project, "QPushButton", {"SET", "REF", "NEW", "ADD", "MOD", "DEL", "versionAdd", "categoryAdd"}},
        {&project, "QCheckBox", {"PUBLICCHK"}},
        {&project, "QTabWidget", projectTabs},
        {&project, "QTreeWidget", projectTrees},
        {&users, "QGroupBox", {"groupBox"}},
        {&users, "QRadioButton", {"GRRB", "USRB"}},
        {&users, "QLabel", {"SNAME"}},
        {&users, "QComboBox", {"NAMEBX"}},
        {&users, "QPushButton", {"SEARCH", "SET", "CANCEL"}},
        {&users, "QTreeWidget", {"USER_TABLE"}},
        {&users, "QPlainTextEdit", {"MSG"}},
        {&schedule, "QSplitter", {"splitter"}},
        {&schedule, "QGraphicsView", {"GRAPH"}},
        {&schedule, "QTabWidget", {"TAB"}},
        {&schedule, "QTreeWidget", {"TREE"}},
        {&state, "QSplitter", {"splitter"}},
        {&state, "QTreeWidget", {"STATUS_TREE"}},
        {&state, "QTabWidget", {"TAB"}},
    };
    for (const Named &n : expected) {
        for (const QString &name : n.names) {
            QWidget *w = n.form->findChild<QWidget *>(name);
            QVERIFY2(w && w->inherits(n.cls), qPrintable(n.form->objectName() + QLatin1Char('/') + name));
        }
    }
    QCOMPARE(users.findChild<QRadioButton *>(QStringLiteral("GRRB"))->isChecked(), true);
    QCOMPARE(project.findChild<QLineEdit *>(QStringLiteral("ID"))->minimumWidth(), 60);
    for (const QString &name : projectTabs)
        QCOMPARE(project.findChild<QTabWidget *>(name)->count(), 1);
    auto *scheduleTabs = schedule.findChild<QTabWidget *>(QStringLiteral("TAB"));
    QCOMPARE(scheduleTabs->count(), 1);
    QCOMPARE(scheduleTabs->tabText(0), QStringLiteral("Instance Schedule"));
    auto *stateTabs = state.findChild<QTabWidget *>(QStringLiteral("TAB"));
    QCOMPARE(stateTabs->count(), 1);
    QCOMPARE(stateTabs->tabText(0), QStringLiteral("State transition diagram"));
    QCOMPARE(state.GetTree()->headerItem()->text(1), QStringLiteral("Insance State"));
    QCOMPARE(schedule.List()->Tree()->headerItem()->text(7), QStringLiteral("ProgressRate(%)"));
}

#include "tst_mainwindow.moc"
