#include "core/xmlclass.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "shell/tab.h"
#include "workspace/newdefmodel.h"
#include "workspace/newout.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace
{
// Answers the next message box with its OK button and keeps its informative text.
void answerBox(QString *informative)
{
    QTimer::singleShot(0, [informative] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            answerBox(informative);
            return;
        }
        *informative = box->informativeText();
        box->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    });
}

QDomDocument readXml(const QString &path)
{
    QDomDocument doc;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        doc.setContent(&f);
    return doc;
}

QDomElement history(const QString &name)
{
    const QDomDocument doc = readXml(QDir::homePath() + QStringLiteral("/.Pelmorine/init.xml"));
    return doc.elementsByTagName(QStringLiteral("HISTORY")).item(0).firstChildElement(name);
}

// Starts the program the way main does and runs the event loop until start-up has finished.
struct Program : public RegistryScope {
    MainWindow *window = new MainWindow;
    Program() { QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000); }
    ~Program() { delete window; }
    CheckTimer *timer() { return GetObj<CheckTimer>(RegSlot::ObjCheckTimer); }
};
} // namespace

// The dialogs' posted codes delivered by the real dispatcher to the model and output editors.
class tst_workspaceflow : public QObject
{
    Q_OBJECT
private slots:
    void newModelThenOutput_layoutFilesAndHistory();
    void newModel_blocked_showsReason();
    void openModel_missingFile_showsReasonAndNoTabs();
    void damagedDocuments_openedButNeverSavedOver();
};

void tst_workspaceflow::newModelThenOutput_layoutFilesAndHistory()
{
    Program p;
    QTemporaryDir tmp;
    const QString ws = tmp.path() + "/alpha.ws";
    p.SetStrVar(RegSlot::StrWorkspaceDir, ws);
    p.SetStrVar(RegSlot::StrModelName, "M");
    p.SetStrVar(RegSlot::StrModelVersion, "0.0.1");
    QSignalSpy delivered(p.timer(), &CheckTimer::Dispatched);
    p.timer()->PostMessage(MsgCode::NewModel);
    QTRY_COMPARE_WITH_TIMEOUT(delivered.count(), 1, 120000);

    const QString version = ws + "/pelmorine.def/M/0.0.1";
    QCOMPARE(QDir(version).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList({"Instance", "Output", "Reference"}));
    QCOMPARE(readXml(version + "/model.xml").documentElement().tagName(), QStringLiteral("Root_Model"));
    QVERIFY(!readXml(version + "/DocModel.xml").documentElement().isNull());
    QCOMPARE(p.GetStrVar(RegSlot::StrModelDir), version);
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 1);
    QCOMPARE(history("MODEL").attribute("NAME"), QStringLiteral("M"));
    QCOMPARE(history("MODEL").attribute("VERSION"), QStringLiteral("0.0.1"));

    // The New Output dialog offers the open model only and creates under its Output folder.
    auto *dlg = new NewOut(p.window);
    dlg->InitDisplay();
    dlg->findChild<QLineEdit *>("OUTPUTNAME")->setText("Gen");
    dlg->findChild<QPushButton *>("CREATE")->click();
    QTRY_COMPARE_WITH_TIMEOUT(delivered.count(), 2, 120000);
    QCOMPARE(delivered.at(1).at(0).toInt(), int(MsgCode::NewOutput));
    const QDomElement root = readXml(version + "/Output/Gen/0.0.1/out.xml").documentElement();
    QCOMPARE(root.tagName(), QStringLiteral("Root_Output"));
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 3);
    QCOMPARE(history("OUTPUT").attribute("NAME"), QStringLiteral("Gen"));
    QCOMPARE(history("OUTPUT").attribute("VERSION"), QStringLiteral("0.0.1"));
    QCOMPARE(QDir(readXml(QDir::homePath() + "/.Pelmorine/init.xml")
                      .elementsByTagName("HISTORY")
                      .item(0)
                      .toElement()
                      .attribute("WS")),
             QDir(ws));
}

void tst_workspaceflow::newModel_blocked_showsReason()
{
    Program p;
    QTemporaryDir tmp;
    const QString ws = tmp.path() + "/blocked.ws";
    QVERIFY(QDir().mkpath(ws));
    QFile blocker(ws + "/pelmorine.def");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    p.SetStrVar(RegSlot::StrWorkspaceDir, ws);
    p.SetStrVar(RegSlot::StrModelName, "M");
    p.SetStrVar(RegSlot::StrModelVersion, "0.0.1");
    QString shown;
    answerBox(&shown);
    QSignalSpy delivered(p.timer(), &CheckTimer::Dispatched);
    p.timer()->PostMessage(MsgCode::NewModel);
    QTRY_COMPARE_WITH_TIMEOUT(delivered.count(), 1, 120000);
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 120000);
    QCOMPARE(shown, "tolvek workspace can not make Directory\n" + ws + "/pelmorine.def");
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 0);
}

void tst_workspaceflow::openModel_missingFile_showsReasonAndNoTabs()
{
    Program p;
    QTemporaryDir tmp;
    const QString ws = tmp.path() + "/gone.ws";
    QVERIFY(QDir().mkpath(ws + "/pelmorine.def/M/0.0.1"));
    p.SetStrVar(RegSlot::StrWorkspaceDir, ws);
    p.SetStrVar(RegSlot::StrModelName, "M");
    p.SetStrVar(RegSlot::StrModelVersion, "0.0.1");
    QString shown;
    answerBox(&shown);
    p.timer()->PostMessage(MsgCode::OpenModel);
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 120000);
    QCOMPARE(shown, "file not exist:" + ws + "/pelmorine.def/M/0.0.1/model.xml");
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 0);
    QVERIFY(!p.window->TabArea()->IsTabAreaVisible());
    QVERIFY(!p.GetBoolVar(RegSlot::FlagBusy));
}

// DocModel.xml and out.xml caught half-written (another member saving, a crash) are reported
// by the store; saving the open model or output definition must not replace them.
void tst_workspaceflow::damagedDocuments_openedButNeverSavedOver()
{
    RegistryScope scope;
    auto *store = new xmlclass;
    scope.SetObj(RegSlot::ObjXmlStore, store);
    QTemporaryDir tmp;
    const QString version = tmp.path() + "/pelmorine.def/M/0.0.1";
    const QString outDir = version + "/Output/Gen/0.0.1";
    QVERIFY(QDir().mkpath(outDir));
    const QByteArray half = "<?xml version=\"1.0\"?>\n<Root_ModelDoc User=\"a\"><CHAPTER";
    auto write = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(version + "/model.xml", "<Root_Model User=\"a\" Email=\"a@x\"/>");
    write(version + "/DocModel.xml", half);
    write(outDir + "/out.xml", half);
    scope.SetStrVar(RegSlot::StrWorkspaceDir, tmp.path());
    scope.SetStrVar(RegSlot::StrModelName, "M");
    scope.SetStrVar(RegSlot::StrModelVersion, "0.0.1");
    scope.SetStrVar(RegSlot::StrOutputName, "Gen");
    scope.SetStrVar(RegSlot::StrOutputVersion, "0.0.1");

    model editor;
    QVERIFY(editor.OpenModel());
    editor.SaveModel();
    QFile doc(version + "/DocModel.xml");
    QVERIFY(doc.open(QIODevice::ReadOnly));
    QCOMPARE(doc.readAll(), half);

    outdef out;
    out.OpenOutput();
    QVERIFY(!store->HasDoc(XmlIndex::Output));
    out.SaveOutput();
    QFile outFile(outDir + "/out.xml");
    QVERIFY(outFile.open(QIODevice::ReadOnly));
    QCOMPARE(outFile.readAll(), half);
    // It is shown read-only, as another member's would be.
    QCOMPARE(scope.GetIntVar(RegSlot::IntDocKind), 3);
    QVERIFY(scope.GetBoolVar(RegSlot::FlagOutputReadOnly));

    // A definition whose out.xml is simply missing still opens, as a new empty one.
    QFile::remove(outDir + "/out.xml");
    out.OpenOutput();
    QVERIFY(store->HasDoc(XmlIndex::Output));
    scope.SetObj<xmlclass>(RegSlot::ObjXmlStore, nullptr);
    delete store;
}

QTEST_MAIN(tst_workspaceflow)
#include "tst_workspaceflow.moc"
