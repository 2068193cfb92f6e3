#include "core/postbox.h"
#include "core/uireport.h"
#include "shell/errormsg.h"
#include "testsupport_widgets.h"
#include "workspace/newdefmodel.h"
#include "workspace/newout.h"
#include "workspace/newworkspace.h"
#include "workspace/opendefmodel.h"
#include "workspace/openout.h"
#include "workspace/workspacechooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace
{
// Keeps the codes the dialogs post instead of dispatching them.
struct Recorder : PostBox {
    QList<int> codes;
    Recorder() { PostBox::Install(this); }
    void PostMessage(int code) override { codes << code; }
};

// A fresh registry with the marker name, as start-up leaves it.
struct Registry : RegistryScope {
    Registry() { SetStrVar(RegSlot::StrProjectFileName, QStringLiteral("pelmorine.prj")); }
};

void makeDirs(const QString &root, const QStringList &paths)
{
    for (const QString &p : paths)
        QVERIFY(QDir().mkpath(root + QLatin1Char('/') + p));
}

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

template <class T> T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}
QString msg(QWidget *w)
{
    return child<QLabel>(w, "MSG")->text();
}
void click(QWidget *w, const char *name)
{
    child<QPushButton>(w, name)->click();
}
void setText(QWidget *w, const char *name, const QString &text)
{
    child<QLineEdit>(w, name)->setText(text);
}
QString text(QWidget *w, const char *name)
{
    return child<QLineEdit>(w, name)->text();
}
QString spins(QWidget *w)
{
    return QStringLiteral("%1.%2.%3")
        .arg(child<QSpinBox>(w, "MAJOR")->value())
        .arg(child<QSpinBox>(w, "MINOR")->value())
        .arg(child<QSpinBox>(w, "REVISION")->value());
}

// Answers the next workspace or folder chooser with a path, or cancels it for an empty path.
void answerChooser(const QString &path)
{
    QTimer::singleShot(0, [path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            answerChooser(path);
            return;
        }
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

QTreeWidgetItem *row(QTreeWidget *tree, const QString &name, const QString &version)
{
    QTreeWidgetItemIterator it(tree);
    for (; *it; ++it) {
        const QString rowName =
            (*it)->text(0).isEmpty() && (*it)->parent() ? (*it)->parent()->text(0) : (*it)->text(0);
        if (rowName == name && (*it)->text(1) == version)
            return *it;
    }
    return nullptr;
}
} // namespace

class tst_workspacedialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void newWorkspace_refusalsAndCreation();
    void newDefModel_openOnModels_showsLastVersionAndRefuses();
    void newDefModel_refusals();
    void newDefModel_create_confirmsThenPosts();
    void newDefModel_refWithoutDefinitions_refusesUntilShownAgain();
    void newDefModel_newWorkspace_resetsToIt();
    void openDefModel_selectsOpenModelAndOpens();
    void openDefModel_refKeepsPathCaseAndRefusals();
    void newOut_createsUnderAnyCaseOutput();
    void newOut_refusalsLeaveSlotsAlone();
    void newOut_documentOpen_offersOnlyOpenModel();
    void openOut_listsEveryEntryAndOpens();
    void openOut_refusals();
};

void tst_workspacedialogs::initTestCase()
{
    WorkspaceChooser::DialogOptions() = QFileDialog::DontUseNativeDialog;
}

void tst_workspacedialogs::newWorkspace_refusalsAndCreation()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    NewWorkspace dlg;
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("workspace name is not set"));
    setText(&dlg, "WSEDIT", "alpha");
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("Directory is not set"));
    setText(&dlg, "DIREDIT", tmp.path() + "/missing");
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("Directory is not found"));
    for (const char *bad : {"../alpha", "a/b", "a:b", "..", "x|y"}) {
        setText(&dlg, "WSEDIT", QLatin1String(bad));
        setText(&dlg, "DIREDIT", tmp.path());
        click(&dlg, "OK");
        QCOMPARE(msg(&dlg), QStringLiteral("workspace name is invalid"));
    }
    QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

    answerChooser(tmp.path());
    click(&dlg, "DIRBTN");
    QCOMPARE(text(&dlg, "DIREDIT"), tmp.path());
    setText(&dlg, "WSEDIT", "alpha");
    setText(&dlg, "DIREDIT", tmp.path() + "/");
    dlg.show();
    click(&dlg, "OK");
    const QString ws = tmp.path() + "/alpha.ws";
    QCOMPARE(reg.GetStrVar(RegSlot::StrWorkspaceDir), ws);
    QCOMPARE(posts.codes, QList<int>({MsgCode::NewWorkspace}));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QFile marker(ws + "/pelmorine.prj");
    QVERIFY(marker.open(QIODevice::ReadOnly));
    QCOMPARE(marker.readAll(), QByteArray("pelmorine project\n"));

    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), "Directory is already exist. Dir:" + ws);
    setText(&dlg, "WSEDIT", "Alpha");
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), "Directory is already exist. Dir:" + tmp.path() + "/Alpha.ws");
    QCOMPARE(posts.codes.size(), 1);

    // A file where the folder should go: the warning box, no slot change, nothing posted.
    touch(tmp.path() + "/beta.ws");
    reg.SetStrVar(RegSlot::StrWorkspaceDir, QString());
    UiReport::ClearLast();
    setText(&dlg, "WSEDIT", "beta");
    click(&dlg, "OK");
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("File Error"));
    QCOMPARE(UiReport::LastText(), "Directory(" + tmp.path() + "/beta.ws) can not make");
    QVERIFY(reg.GetStrVar(RegSlot::StrWorkspaceDir).isEmpty());
    QCOMPARE(posts.codes.size(), 1);
}

void tst_workspacedialogs::newDefModel_openOnModels_showsLastVersionAndRefuses()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    makeDirs(tmp.path(), {"pelmorine.def/A/0.0.1", "pelmorine.def/M/0.0.10", "pelmorine.def/M/0.0.2",
                          "pelmorine.def/M/1.2"});
    reg.SetStrVar(RegSlot::StrWorkspaceDir, tmp.path());
    NewDefModel dlg;
    dlg.InitDisplay();
    auto *tree = child<QTreeWidget>(&dlg, "TREE");
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(1)->text(1), QStringLiteral("0.0.10"));
    QCOMPARE(tree->topLevelItem(1)->child(0)->text(1), QStringLiteral("0.0.2"));
    QCOMPARE(tree->topLevelItem(1)->childCount(), 1);
    QCOMPARE(text(&dlg, "MODELNAME"), QStringLiteral("M"));
    QCOMPARE(spins(&dlg), QStringLiteral("0.0.2"));
    QVERIFY(!child<QPushButton>(&dlg, "COPY_VERSION")->isEnabled());
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("version of this model is already exist"));
    // Another spelling of an existing model would be a twin folder on a shared disk.
    setText(&dlg, "MODELNAME", "m");
    child<QSpinBox>(&dlg, "REVISION")->setValue(50);
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("version of this model is already exist"));
    QVERIFY(posts.codes.isEmpty());

    // The open model's row wins over the last one.
    reg.SetStrVar(RegSlot::StrModelName, "A");
    reg.SetStrVar(RegSlot::StrModelVersion, "0.0.1");
    dlg.InitDisplay();
    QCOMPARE(text(&dlg, "MODELNAME"), QStringLiteral("A"));
}

void tst_workspacedialogs::newDefModel_refusals()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    NewDefModel dlg;
    dlg.InitDisplay();
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("set def model name"));
    setText(&dlg, "MODELNAME", "M");
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("tolvek workspace is not set"));
    setText(&dlg, "WSNAME", tmp.path() + "/gone");
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), "tolvek workspace directory not found:" + tmp.path() + "/gone");
    setText(&dlg, "WSNAME", tmp.path());
    for (const char *bad : {"../M", "a/b", "a\\b", "a*b", "a\"b", "M.", "nul.txt"}) {
        setText(&dlg, "MODELNAME", QLatin1String(bad));
        click(&dlg, "CREATE");
        QCOMPARE(msg(&dlg), QStringLiteral("model name is invalid"));
    }
    QVERIFY(posts.codes.isEmpty());
}

void tst_workspacedialogs::newDefModel_create_confirmsThenPosts()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    makeDirs(tmp.path(), {"pelmorine.def"});
    reg.SetStrVar(RegSlot::StrWorkspaceDir, tmp.path() + "/");
    reg.SetBoolVar(RegSlot::FlagModelCopyMode, true);
    NewDefModel dlg;
    dlg.InitDisplay();
    dlg.show();
    setText(&dlg, "MODELNAME", "M");
    answerNextBox("Cancel");
    click(&dlg, "CREATE");
    QVERIFY(posts.codes.isEmpty());
    QVERIFY(dlg.isVisible());
    QVERIFY(reg.GetStrVar(RegSlot::StrModelName).isEmpty());

    child<QSpinBox>(&dlg, "MINOR")->setValue(12);
    answerNextBox("Create");
    click(&dlg, "CREATE");
    QCOMPARE(posts.codes, QList<int>({MsgCode::NewModel}));
    QCOMPARE(reg.GetStrVar(RegSlot::StrModelName), QStringLiteral("M"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrModelVersion), QStringLiteral("0.12.1"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrWorkspaceDir), tmp.path());
    QVERIFY(!reg.GetBoolVar(RegSlot::FlagModelCopyMode));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

void tst_workspacedialogs::newDefModel_refWithoutDefinitions_refusesUntilShownAgain()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    const QString bare = tmp.path() + "/bare.ws";
    makeDirs(tmp.path(), {"bare.ws", "good.ws/pelmorine.def/M/0.0.1"});
    touch(bare + "/pelmorine.prj");
    touch(tmp.path() + "/good.ws/pelmorine.prj");
    NewDefModel dlg;
    dlg.InitDisplay();
    answerChooser(bare + "/pelmorine.prj");
    click(&dlg, "REF");
    QCOMPARE(msg(&dlg), "Directory:" + bare + "/pelmorine.defnot found");
    QVERIFY(reg.GetStrVar(RegSlot::StrWorkspaceDir).isEmpty());
    setText(&dlg, "MODELNAME", "M");
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("pelmorine.def is not found"));

    // Shown again, the refusal about another folder is gone.
    dlg.InitDisplay();
    setText(&dlg, "MODELNAME", "M");
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("tolvek workspace is not set"));

    // A good "Ref" stores the workspace at once and selects nothing.
    answerChooser(tmp.path() + "/good.ws/pelmorine.prj");
    click(&dlg, "REF");
    QCOMPARE(reg.GetStrVar(RegSlot::StrWorkspaceDir), tmp.path() + "/good.ws");
    QCOMPARE(text(&dlg, "WSNAME"), tmp.path() + "/good.ws");
    QCOMPARE(child<QTreeWidget>(&dlg, "TREE")->topLevelItemCount(), 1);
    QVERIFY(!child<QTreeWidget>(&dlg, "TREE")->currentItem());

    // Cancelled chooser: nothing changes.
    answerChooser(QString());
    click(&dlg, "REF");
    QCOMPARE(text(&dlg, "WSNAME"), tmp.path() + "/good.ws");

    // A workspace root without definitions opens the dialog's own error window.
    reg.SetStrVar(RegSlot::StrWorkspaceDir, bare);
    dlg.InitDisplay();
    QCOMPARE(dlg.ErrorWindow()->windowTitle(), QStringLiteral("workspaceError"));
    QCOMPARE(dlg.ErrorWindow()->Text(), "dir[" + bare + "/pelmorine.def]nonedir");
    QVERIFY(dlg.ErrorWindow()->isVisible());
}

void tst_workspacedialogs::newDefModel_newWorkspace_resetsToIt()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    NewDefModel dlg;
    dlg.InitDisplay();
    click(&dlg, "NEW");
    NewWorkspace *ws = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<NewWorkspace *>(w))
            ws = candidate;
    }
    QVERIFY(ws && ws->isVisible() && ws->isModal());
    QPointer<NewWorkspace> guard(ws);
    setText(ws, "WSEDIT", "first");
    setText(ws, "DIREDIT", tmp.path());
    click(ws, "OK");
    QCOMPARE(posts.codes, QList<int>({MsgCode::NewWorkspace}));
    QTRY_VERIFY_WITH_TIMEOUT(!guard, 120000);
    dlg.ResetDisplay();
    QCOMPARE(text(&dlg, "WSNAME"), tmp.path() + "/first.ws");
    QCOMPARE(child<QTreeWidget>(&dlg, "TREE")->topLevelItemCount(), 0);
    setText(&dlg, "MODELNAME", "M");
    answerNextBox("Create");
    click(&dlg, "CREATE");
    QCOMPARE(posts.codes, QList<int>({MsgCode::NewWorkspace, MsgCode::NewModel}));
}

void tst_workspacedialogs::openDefModel_selectsOpenModelAndOpens()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    makeDirs(tmp.path(), {"pelmorine.def/A/0.0.1", "pelmorine.def/M/0.0.10", "pelmorine.def/M/0.0.2",
                          "pelmorine.def/M/1x2x3", "pelmorine.def/M/1.2"});
    reg.SetStrVar(RegSlot::StrWorkspaceDir, tmp.path());
    reg.SetStrVar(RegSlot::StrModelName, "M");
    reg.SetStrVar(RegSlot::StrModelVersion, "0.0.10");
    OpenDefModel dlg;
    dlg.InitDisplay();
    auto *tree = child<QTreeWidget>(&dlg, "TREE");
    QCOMPARE(tree->currentItem(), row(tree, "M", "0.0.10"));
    QVERIFY(row(tree, "M", "1x2x3"));
    QVERIFY(!row(tree, "M", "1.2"));

    dlg.show();
    QTreeWidgetItem *a = row(tree, "A", "0.0.1");
    emit tree->itemDoubleClicked(row(tree, "M", "0.0.2"), 0);
    QCOMPARE(posts.codes, QList<int>({MsgCode::OpenModel}));
    QCOMPARE(reg.GetStrVar(RegSlot::StrModelName), QStringLiteral("M"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrModelVersion), QStringLiteral("0.0.2"));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));

    dlg.InitDisplay();
    QCOMPARE(tree->currentItem(), row(tree, "M", "0.0.2"));
    a = row(tree, "A", "0.0.1");
    tree->setCurrentItem(a);
    click(&dlg, "OK");
    QCOMPARE(reg.GetStrVar(RegSlot::StrModelName), QStringLiteral("A"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrWorkspaceDir), tmp.path());
}

void tst_workspacedialogs::openDefModel_refKeepsPathCaseAndRefusals()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    const QString ws = tmp.path() + "/Team.WS";
    makeDirs(ws, {"pelmorine.def/M/0.0.1", "pelmorine.def/M/0.0.3"});
    touch(ws + "/pelmorine.prj");
    makeDirs(tmp.path(), {"bare"});
    touch(tmp.path() + "/bare/pelmorine.prj");
    OpenDefModel dlg;

    reg.SetStrVar(RegSlot::StrWorkspaceDir, tmp.path() + "/gone");
    dlg.InitDisplay();
    QVERIFY(text(&dlg, "WSNAME").isEmpty());
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("workspace is not set"));

    answerChooser(tmp.path() + "/bare/pelmorine.prj");
    click(&dlg, "DIR");
    QCOMPARE(msg(&dlg), "Directory:" + tmp.path() + "/bare//pelmorine.defnot found");

    answerChooser(ws + "/pelmorine.prj");
    click(&dlg, "DIR");
    QCOMPARE(text(&dlg, "WSNAME"), ws + "/");
    auto *tree = child<QTreeWidget>(&dlg, "TREE");
    QCOMPARE(tree->currentItem(), row(tree, "M", "0.0.3"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrWorkspaceDir), tmp.path() + "/gone");
    tree->setCurrentItem(nullptr);
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("model name is not selected"));

    // An empty top-level row cannot name a model.
    tree->setCurrentItem(new QTreeWidgetItem(tree, {QString(), "0.0.9"}));
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("system error:MODEL001"));
    QVERIFY(posts.codes.isEmpty());

    tree->setCurrentItem(row(tree, "M", "0.0.1"));
    click(&dlg, "OK");
    QCOMPARE(reg.GetStrVar(RegSlot::StrWorkspaceDir), ws);
    QCOMPARE(posts.codes, QList<int>({MsgCode::OpenModel}));

    tree->clear();
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("model name is not found"));
}

void tst_workspacedialogs::newOut_createsUnderAnyCaseOutput()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    const QString defs = tmp.path() + "/pelmorine.def";
    makeDirs(defs, {"M/0.0.1/Output/Gen/0.0.1", "M/0.0.1/Output/Gen/0.0.2", "M/0.0.2/OUTPUT", "N/0.0.1"});
    reg.SetStrVar(RegSlot::StrWorkspaceDir, tmp.path());
    NewOut dlg;
    dlg.InitDisplay();
    auto *models = child<QTreeWidget>(&dlg, "TREE");
    auto *outputs = child<QTreeWidget>(&dlg, "OUTPUTTREE");
    QVERIFY(child<QPushButton>(&dlg, "DIR")->isVisibleTo(&dlg));
    QVERIFY(!child<QPushButton>(&dlg, "COPY_VERSION")->isEnabled());
    QCOMPARE(models->currentItem(), row(models, "N", "0.0.1"));
    QCOMPARE(outputs->topLevelItemCount(), 0);
    QCOMPARE(spins(&dlg), QStringLiteral("0.0.1"));

    models->setCurrentItem(row(models, "M", "0.0.1"));
    QCOMPARE(outputs->currentItem(), row(outputs, "Gen", "0.0.2"));
    QCOMPARE(text(&dlg, "OUTPUTNAME"), QStringLiteral("Gen"));
    QCOMPARE(spins(&dlg), QStringLiteral("0.0.2"));
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("version of out name is already exist."));

    // The later model version's folder is spelled OUTPUT on disk.
    models->setCurrentItem(row(models, "M", "0.0.2"));
    setText(&dlg, "OUTPUTNAME", "Gen");
    dlg.show();
    click(&dlg, "CREATE");
    QVERIFY(QFileInfo(defs + "/M/0.0.2/OUTPUT/Gen/0.0.1").isDir());
    QCOMPARE(posts.codes, QList<int>({MsgCode::NewOutput}));
    QCOMPARE(reg.GetStrVar(RegSlot::StrOutputName), QStringLiteral("Gen"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrOutputVersion), QStringLiteral("0.0.1"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrModelName), QStringLiteral("M"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrModelVersion), QStringLiteral("0.0.2"));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));

    // Shown again: the output just made is remembered.
    dlg.InitDisplay();
    QCOMPARE(models->currentItem(), row(models, "M", "0.0.2"));
    QCOMPARE(outputs->currentItem(), row(outputs, "Gen", "0.0.1"));

    // A model version without any output folder cannot receive one.
    models->setCurrentItem(row(models, "N", "0.0.1"));
    setText(&dlg, "OUTPUTNAME", "Gen");
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("It was not possible to make a output name directory ."));
    QVERIFY(QFile::link(tmp.path() + "/nowhere", defs + "/M/0.0.1/Output/Gen/0.0.3"));
    models->setCurrentItem(row(models, "M", "0.0.1"));
    child<QSpinBox>(&dlg, "REVISION")->setValue(3);
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("It was not possible to make a version directory output name."));
}

void tst_workspacedialogs::newOut_refusalsLeaveSlotsAlone()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    makeDirs(tmp.path(), {"pelmorine.def/M/0.0.1/Output/Gen/0.0.1", "other/pelmorine.def"});
    touch(tmp.path() + "/nodefs.prj");
    NewOut dlg;
    dlg.InitDisplay();
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("workspace is empty."));
    setText(&dlg, "WSNAME", tmp.path() + "/other");
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("model list is empty."));

    // The open output definition's names must survive every refusal.
    reg.SetStrVar(RegSlot::StrWorkspaceDir, tmp.path());
    const QStringList open = {"OpenOut", "9.9.9", "OpenModel", "8.8.8"};
    const int slotIds[] = {RegSlot::StrOutputName, RegSlot::StrOutputVersion, RegSlot::StrModelName,
                           RegSlot::StrModelVersion};
    for (int i = 0; i < 4; ++i)
        reg.SetStrVar(slotIds[i], open.at(i));
    dlg.InitDisplay();
    auto *models = child<QTreeWidget>(&dlg, "TREE");
    setText(&dlg, "OUTPUTNAME", QString());
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("output name is not set."));
    for (const char *bad : {"../Gen", "G/en", "G<en"}) {
        setText(&dlg, "OUTPUTNAME", QLatin1String(bad));
        click(&dlg, "CREATE");
        QCOMPARE(msg(&dlg), QStringLiteral("output name is invalid"));
    }
    for (const char *taken : {"Gen", "GEN"}) {
        setText(&dlg, "OUTPUTNAME", QLatin1String(taken));
        child<QSpinBox>(&dlg, "REVISION")->setValue(1);
        click(&dlg, "CREATE");
        QCOMPARE(msg(&dlg), QStringLiteral("version of out name is already exist."));
    }
    models->setCurrentItem(nullptr);
    setText(&dlg, "OUTPUTNAME", "Gen");
    click(&dlg, "CREATE");
    QCOMPARE(msg(&dlg), QStringLiteral("model is not selected"));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(reg.GetStrVar(slotIds[i]), open.at(i));
    QVERIFY(posts.codes.isEmpty());
    QVERIFY(!QFileInfo::exists(tmp.path() + "/pelmorine.def/M/0.0.1/Gen"));

    UiReport::ClearLast();
    answerChooser(tmp.path() + "/nodefs.prj");
    click(&dlg, "DIR");
    QCOMPARE(UiReport::LastText(), QStringLiteral("SYSTEM ERROR:NOUT001"));
}

void tst_workspacedialogs::newOut_documentOpen_offersOnlyOpenModel()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    makeDirs(tmp.path(), {"pelmorine.def/M/0.0.1/Output", "pelmorine.def/M/0.0.2/Output"});
    reg.SetStrVar(RegSlot::StrWorkspaceDir, tmp.path());
    reg.SetStrVar(RegSlot::StrModelName, "M");
    reg.SetStrVar(RegSlot::StrModelVersion, "0.0.1");
    reg.SetIntVar(RegSlot::IntDocKind, 1);
    NewOut dlg;
    dlg.InitDisplay();
    auto *models = child<QTreeWidget>(&dlg, "TREE");
    QCOMPARE(models->topLevelItemCount(), 1);
    QCOMPARE(models->currentItem(), row(models, "M", "0.0.1"));
    QVERIFY(!child<QPushButton>(&dlg, "DIR")->isVisibleTo(&dlg));
    reg.SetIntVar(RegSlot::IntDocKind, 0);
    dlg.InitDisplay();
    QVERIFY(child<QPushButton>(&dlg, "DIR")->isVisibleTo(&dlg));
    QCOMPARE(models->topLevelItemCount(), 1);
    QCOMPARE(models->topLevelItem(0)->childCount(), 1);
}

void tst_workspacedialogs::openOut_listsEveryEntryAndOpens()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    const QString defs = tmp.path() + "/pelmorine.def";
    makeDirs(defs, {"M/0.0.1/Output/Gen/0.0.1", "M/0.0.1/Output/Gen/draft", "M/0.0.1/Output/Gen/.svn",
                    "M/0.0.2/OUTPUT/Doc/0.0.1"});
    touch(defs + "/M/0.0.1/Output/Gen/notes.txt");
    reg.SetStrVar(RegSlot::StrWorkspaceDir, tmp.path());
    OpenOut dlg;
    dlg.InitDisplay();
    auto *models = child<QTreeWidget>(&dlg, "MODELTREE");
    auto *outputs = child<QTreeWidget>(&dlg, "OUTPUTTREE");
    QCOMPARE(models->currentItem(), row(models, "M", "0.0.2"));
    QCOMPARE(outputs->currentItem(), row(outputs, "Doc", "0.0.1"));
    models->setCurrentItem(row(models, "M", "0.0.1"));
    QCOMPARE(outputs->topLevelItemCount(), 1);
    QCOMPARE(outputs->topLevelItem(0)->childCount(), 2);
    QVERIFY(row(outputs, "Gen", "notes.txt"));
    QVERIFY(!row(outputs, "Gen", ".svn"));
    outputs->setCurrentItem(row(outputs, "Gen", "draft"));
    QCOMPARE(text(&dlg, "OUTPUTNAME"), QStringLiteral("Gen"));
    QCOMPARE(text(&dlg, "VERSION"), QStringLiteral("draft"));
    setText(&dlg, "WSNAME", tmp.path() + "/");
    click(&dlg, "OK");
    QCOMPARE(posts.codes, QList<int>({MsgCode::OpenOutput}));
    QCOMPARE(reg.GetStrVar(RegSlot::StrWorkspaceDir), tmp.path());
    QCOMPARE(reg.GetStrVar(RegSlot::StrModelVersion), QStringLiteral("0.0.1"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrOutputName), QStringLiteral("Gen"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrOutputVersion), QStringLiteral("draft"));

    // Shown again: the open output definition is selected; with a document open only its model.
    dlg.InitDisplay();
    QCOMPARE(outputs->currentItem(), row(outputs, "Gen", "draft"));
    reg.SetIntVar(RegSlot::IntDocKind, 3);
    dlg.InitDisplay();
    QCOMPARE(models->topLevelItemCount(), 1);
    QVERIFY(!child<QPushButton>(&dlg, "REF")->isVisibleTo(&dlg));
}

void tst_workspacedialogs::openOut_refusals()
{
    Registry reg;
    Recorder posts;
    QTemporaryDir tmp;
    makeDirs(tmp.path(), {"pelmorine.def/M/0.0.1/Output/Gen/0.0.1", "pelmorine.def/M/0.0.2"});
    touch(tmp.path() + "/pelmorine.prj");
    OpenOut dlg;
    dlg.InitDisplay();
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("model is empty"));
    touch(tmp.path() + "/notes.txt");
    UiReport::ClearLast();
    answerChooser(tmp.path() + "/notes.txt");
    click(&dlg, "REF");
    QCOMPARE(UiReport::LastText(), QStringLiteral("SYSTEM ERROR:OOUT001"));
    answerChooser(tmp.path() + "/pelmorine.prj");
    click(&dlg, "REF");
    auto *models = child<QTreeWidget>(&dlg, "MODELTREE");
    auto *outputs = child<QTreeWidget>(&dlg, "OUTPUTTREE");
    QCOMPARE(models->currentItem(), row(models, "M", "0.0.2"));
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("output is empty"));
    models->setCurrentItem(row(models, "M", "0.0.1"));
    outputs->setCurrentItem(nullptr);
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("output is not selected"));
    outputs->setCurrentItem(row(outputs, "Gen", "0.0.1"));
    setText(&dlg, "OUTPUTNAME", QString());
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("output name is not selected"));
    models->setCurrentItem(nullptr);
    click(&dlg, "OK");
    QCOMPARE(msg(&dlg), QStringLiteral("model is not selected"));
    QVERIFY(posts.codes.isEmpty());
    QVERIFY(reg.GetStrVar(RegSlot::StrWorkspaceDir).isEmpty());
}

QTEST_MAIN(tst_workspacedialogs)
#include "tst_workspacedialogs.moc"
