#include "core/globalvar.h"
#include "workspace/workspacelayout.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace WorkspaceLayout;

namespace
{
void makeDirs(const QString &root, const QStringList &paths)
{
    for (const QString &p : paths)
        QVERIFY(QDir().mkpath(root + QLatin1Char('/') + p));
}
void touch(const QString &path, const QByteArray &bytes = QByteArray())
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

class tst_workspacelayout : public QObject
{
    Q_OBJECT
private slots:
    void versionName_data();
    void versionName();
    void versionNumbers_partsAndGaps();
    void validName_data();
    void validName();
    void markerPath_capturesFolderOrNothing();
    void listTree_sortsAsTextAndFilters();
    void resolveSubFolder_findsAnyCaseAndPrefersOwnSpelling_twinsTaken();
    void createWorkspace_layoutAndRefusals();
    void createModelFolders_makesLayoutOnce();
    void createModelFolders_blockedOrHostile_reportsError();
    void ensureProjectFile_unwritable_reportsErrorKeepsExisting();
    void createOutputFolders_caseInsensitiveOutput();
};

void tst_workspacelayout::versionName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isVersion");
    QTest::newRow("plain") << "0.0.1" << true;
    QTest::newRow("wide") << "10.20.305" << true;
    QTest::newRow("dots match anything") << "1x2x3" << true;
    QTest::newRow("dashes") << "1-2-3" << true;
    QTest::newRow("two parts") << "1.2" << false;
    QTest::newRow("four parts") << "1.2.3.4" << false;
    QTest::newRow("letters") << "a.b.c" << false;
    QTest::newRow("trailing text") << "1.2.3 old" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_workspacelayout::versionName()
{
    QFETCH(QString, name);
    QFETCH(bool, isVersion);
    QCOMPARE(IsVersionName(name), isVersion);
}

void tst_workspacelayout::versionNumbers_partsAndGaps()
{
    QCOMPARE(VersionText(0, 0, 1), QStringLiteral("0.0.1"));
    QCOMPARE(VersionText(10, 0, 99), QStringLiteral("10.0.99"));
    QCOMPARE(VersionNumbers("1.2.3"), QList<int>({1, 2, 3}));
    QCOMPARE(VersionNumbers("1.x.3"), QList<int>({1, 0, 3}));
    QCOMPARE(VersionNumbers(".5"), QList<int>({0, 5}));
    QCOMPARE(VersionNumbers("4"), QList<int>({4}));
    QCOMPARE(VersionNumbers("1.2.3.4"), QList<int>({1, 2, 3}));
    QStringList versions = {"0.0.2", "0.0.10", "0.1.0", "0.0.1"};
    SortAsText(versions);
    QCOMPARE(versions, QStringList({"0.0.1", "0.0.10", "0.0.2", "0.1.0"}));
}

void tst_workspacelayout::validName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("portable");
    QTest::newRow("plain") << "Model A" << true << true;
    QTest::newRow("unicode") << QStringLiteral("モデル") << true << true;
    QTest::newRow("dotted") << "a.b" << true << true;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("dot") << "." << false << false;
    QTest::newRow("dotdot") << ".." << false << false;
    QTest::newRow("parent escape") << "../x" << false << false;
    QTest::newRow("inner dotdot") << "a..b" << false << false;
    QTest::newRow("slash") << "a/b" << false << false;
    QTest::newRow("absolute") << "/etc" << false << false;
    QTest::newRow("backslash") << "a\\b" << false << false;
    for (const char *c : {":", "*", "?", "\"", "<", ">", "|"})
        QTest::newRow(c) << QStringLiteral("a%1b").arg(QLatin1String(c)) << false << false;
    QTest::newRow("newline") << "a\nb" << false << false;
    // Existing folders of such names still open; new ones are refused.
    QTest::newRow("trailing dot") << "a." << true << false;
    QTest::newRow("trailing blank") << "a " << true << false;
    QTest::newRow("leading blank") << " a" << true << true;
    for (const char *device : {"CON", "prn", "Aux", "nul.txt", "COM1", "com9.tar.gz", "LPT1", "lpt9 .x"})
        QTest::newRow(device) << QString::fromLatin1(device) << true << false;
    for (const char *word : {"CONSOLE", "COM10", "LPT", "auxiliary.txt", "x.nul"})
        QTest::newRow(word) << QString::fromLatin1(word) << true << true;
}

void tst_workspacelayout::validName()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QFETCH(bool, portable);
    QCOMPARE(IsValidName(name), valid);
    QCOMPARE(IsPortableName(name), portable);
}

void tst_workspacelayout::markerPath_capturesFolderOrNothing()
{
    QCOMPARE(WorkspaceFromMarker("/a/b.ws/pelmorine.prj"), QStringLiteral("/a/b.ws/"));
    QCOMPARE(WorkspaceFromMarker("/a/b.ws/other.txt"), QString());
    QCOMPARE(WorkspaceFromMarker("/a/b.ws/pelmorine.prj.bak"), QString());
    // The marker's dot is a pattern dot.
    QCOMPARE(WorkspaceFromMarker("/a/pelmorineXprj"), QStringLiteral("/a/"));
}

void tst_workspacelayout::listTree_sortsAsTextAndFilters()
{
    QTemporaryDir tmp;
    const QString defs = tmp.path();
    makeDirs(defs,
             {"M/0.0.10", "M/0.0.2", "M/1x2x3", "M/1.2", "M/.9.9.9", "a/0.0.1", "Empty/notes", "B/.hidden"});
    touch(defs + "/M/readme.txt");
    // Left by a save that was killed: nobody's version nor file.
    touch(defs + "/M/.readme.txt.k2x9.pelmorine-tmp");
    touch(defs + "/loose.txt");
    const QList<Listing> versions = ListTree(defs, Entries::VersionFolders);
    QCOMPARE(versions.size(), 2);
    QCOMPARE(versions.at(0).name, QStringLiteral("a"));
    QCOMPARE(versions.at(1).name, QStringLiteral("M"));
    QCOMPARE(versions.at(1).versions, QStringList({"0.0.10", "0.0.2", "1x2x3"}));

    const QList<Listing> all = ListTree(defs, Entries::All);
    QCOMPARE(all.size(), 4);
    QCOMPARE(all.at(0).name, QStringLiteral("a"));
    QCOMPARE(all.at(1).versions, QStringList({".hidden"}));
    QCOMPARE(all.at(3).versions, QStringList({".9.9.9", "0.0.10", "0.0.2", "1.2", "1x2x3", "readme.txt"}));

    const QList<Listing> visible = ListTree(defs, Entries::Visible);
    QCOMPARE(visible.size(), 3);
    QCOMPARE(visible.at(2).versions, QStringList({"0.0.10", "0.0.2", "1.2", "1x2x3", "readme.txt"}));
    QVERIFY(ListTree(defs + "/missing", Entries::All).isEmpty());
}

void tst_workspacelayout::resolveSubFolder_findsAnyCaseAndPrefersOwnSpelling_twinsTaken()
{
    QTemporaryDir tmp;
    const QString v = tmp.path();
    QCOMPARE(ResolveSubFolder(v, OutputFolder), v + "/Output");
    makeDirs(v, {"OUTPUT"});
    QCOMPARE(ResolveSubFolder(v, OutputFolder), v + "/OUTPUT");
    makeDirs(v, {"Output"});
    QCOMPARE(ResolveSubFolder(v, OutputFolder), v + "/Output");
    // A file of that name is not the folder.
    touch(v + "/instance");
    QCOMPARE(ResolveSubFolder(v, InstanceFolder), v + "/Instance");

    // A name is taken by another spelling of it, file or folder, never by its own.
    QVERIFY(IsCaseTwin(v, "output"));
    QVERIFY(IsCaseTwin(v, "INSTANCE"));
    QVERIFY(!IsCaseTwin(v, "Output"));
    QVERIFY(!IsCaseTwin(v, "Reference"));
    QVERIFY(!IsCaseTwin(v + "/missing", "x"));
}

void tst_workspacelayout::createWorkspace_layoutAndRefusals()
{
    RegistryScope reg;
    QTemporaryDir tmp;
    QString path;
    QCOMPARE(CreateWorkspace(tmp.path() + "/", "alpha", MarkerName, &path), CreateResult::Ok);
    QCOMPARE(path, tmp.path() + "/alpha.ws");
    QCOMPARE(readAll(path + "/pelmorine.prj"), QByteArray("pelmorine project\n"));
    QCOMPARE(QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"pelmorine.prj"}));
    QCOMPARE(CreateWorkspace(tmp.path(), "alpha", MarkerName, &path), CreateResult::AlreadyExists);
    QCOMPARE(CreateWorkspace(tmp.path(), "ALPHA", MarkerName, &path), CreateResult::AlreadyExists);
    QVERIFY(!QFileInfo::exists(tmp.path() + "/ALPHA.ws"));
    QCOMPARE(CreateWorkspace(tmp.path() + "/nowhere", "beta", MarkerName, &path),
             CreateResult::ParentMissing);
    QVERIFY(!QFileInfo::exists(tmp.path() + "/nowhere"));
    touch(tmp.path() + "/gamma.ws");
    QCOMPARE(CreateWorkspace(tmp.path(), "gamma", MarkerName, &path), CreateResult::FolderFailed);
}

void tst_workspacelayout::createModelFolders_makesLayoutOnce()
{
    RegistryScope reg;
    QTemporaryDir tmp;
    const QString ws = tmp.path() + "/new.ws";
    QString versionDir;
    QString error;
    QVERIFY(CreateModelFolders(ws + "/", MarkerName, "M", "0.0.1", &versionDir, &error));
    QCOMPARE(versionDir, ws + "/pelmorine.def/M/0.0.1");
    QCOMPARE(readAll(ws + "/pelmorine.prj"), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"));
    QCOMPARE(QDir(versionDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList({"Instance", "Output", "Reference"}));

    // An existing marker is never rewritten; an existing version gets no new sub-folders.
    touch(ws + "/pelmorine.prj", "pelmorine project\n");
    QVERIFY(QDir(versionDir + "/Output").removeRecursively());
    QVERIFY(CreateModelFolders(ws, MarkerName, "M", "0.0.1", &versionDir, &error));
    QCOMPARE(readAll(ws + "/pelmorine.prj"), QByteArray("pelmorine project\n"));
    QVERIFY(!QFileInfo::exists(versionDir + "/Output"));
}

void tst_workspacelayout::createModelFolders_blockedOrHostile_reportsError()
{
    RegistryScope reg;
    QTemporaryDir tmp;
    const QString ws = tmp.path() + "/w.ws";
    QVERIFY(QDir().mkpath(ws));
    touch(ws + "/pelmorine.def");
    QString versionDir;
    QString error;
    QVERIFY(!CreateModelFolders(ws, MarkerName, "M", "0.0.1", &versionDir, &error));
    QCOMPARE(error, "tolvek workspace can not make Directory\n" + ws + "/pelmorine.def");

    QVERIFY(QFile::remove(ws + "/pelmorine.def"));
    QVERIFY(!CreateModelFolders(ws, MarkerName, "../escape", "0.0.1", &versionDir, &error));
    QVERIFY(!CreateModelFolders(ws, MarkerName, "M", "../../x", &versionDir, &error));
    QVERIFY(!QFileInfo::exists(ws + "/escape"));
    QVERIFY(!QFileInfo::exists(ws + "/pelmorine.def"));
}

void tst_workspacelayout::ensureProjectFile_unwritable_reportsErrorKeepsExisting()
{
    RegistryScope reg;
    QTemporaryDir tmp;
    const QString ws = tmp.path() + "/w.ws";
    QString error;
    QVERIFY(MakeDir(ws, &error));
    QVERIFY(MakeDir(ws, &error));
    QVERIFY(error.isEmpty());
    QVERIFY(!MakeDir(tmp.path() + "/none/deeper", &error));
    QCOMPARE(error, "tolvek workspace can not make Directory\n" + tmp.path() + "/none/deeper");

    // A file where the folder should be: the project file cannot be written.
    touch(tmp.path() + "/plain");
    QVERIFY(!EnsureProjectFile(tmp.path() + "/plain", MarkerName, &error));
    QCOMPARE(error, "Can not make file\n" + tmp.path() +
                        "/plain/pelmorine.prj\nReason: " + qt_error_string(ENOTDIR));

    touch(ws + "/pelmorine.prj", "kept\n");
    QVERIFY(EnsureProjectFile(ws, MarkerName, &error));
    QCOMPARE(readAll(ws + "/pelmorine.prj"), QByteArray("kept\n"));
}

void tst_workspacelayout::createOutputFolders_caseInsensitiveOutput()
{
    RegistryScope reg;
    QTemporaryDir tmp;
    const QString ws = tmp.path();
    makeDirs(ws, {"pelmorine.def/M/0.0.1/Output", "pelmorine.def/U/0.0.1/OUTPUT", "pelmorine.def/N/0.0.1"});
    QCOMPARE(CreateOutputFolders(ws + "/", "M", "0.0.1", "O", "0.0.1"), OutputResult::Ok);
    QVERIFY(QFileInfo(ws + "/pelmorine.def/M/0.0.1/Output/O/0.0.1").isDir());
    QCOMPARE(CreateOutputFolders(ws, "M", "0.0.1", "O", "0.0.1"), OutputResult::VersionExists);
    QCOMPARE(CreateOutputFolders(ws, "M", "0.0.1", "O", "0.0.2"), OutputResult::Ok);
    QCOMPARE(CreateOutputFolders(ws, "M", "0.0.1", "o", "0.0.9"), OutputResult::VersionExists);
    QVERIFY(!QFileInfo::exists(ws + "/pelmorine.def/M/0.0.1/Output/o"));

    QCOMPARE(CreateOutputFolders(ws, "U", "0.0.1", "O", "0.0.1"), OutputResult::Ok);
    QVERIFY(QFileInfo(ws + "/pelmorine.def/U/0.0.1/OUTPUT/O/0.0.1").isDir());
    QCOMPARE(QDir(ws + "/pelmorine.def/U/0.0.1").entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList({"OUTPUT"}));

    QCOMPARE(CreateOutputFolders(ws, "N", "0.0.1", "O", "0.0.1"), OutputResult::OutputFolderFailed);
    QCOMPARE(CreateOutputFolders(ws, "M", "0.0.1", "../O", "0.0.1"), OutputResult::OutputFolderFailed);

    // A dangling link where the version folder should go: the name is taken, yet nothing exists.
    QVERIFY(QFile::link(ws + "/nowhere", ws + "/pelmorine.def/M/0.0.1/Output/O/0.0.3"));
    QCOMPARE(CreateOutputFolders(ws, "M", "0.0.1", "O", "0.0.3"), OutputResult::VersionFolderFailed);
}

QTEST_GUILESS_MAIN(tst_workspacelayout)
#include "tst_workspacelayout.moc"
