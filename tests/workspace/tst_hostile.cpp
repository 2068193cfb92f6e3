#include "comm/chat.h"
#include "core/initxml.h"
#include "core/sharedxml.h"
#include "core/treeitemdata.h"
#include "docs/instancedocument.h"
#include "instance/instancefiles.h"
#include "members/sharedfilecheck.h"
#include "model/model.h"
#include "openedprogram.h"
#include "qa/qanda.h"

#include <QLineEdit>
#include <QTemporaryDir>

using namespace TestSupport;

namespace
{
// Where a hostile file is put: each of the program's loaders reads one of these.
enum Role {
    Settings,
    Model,
    Manager,
    MemberFile,
    OwnInstance,
    OtherInstance,
    Marker,
    Notes,
    Grid,
    Positions,
    Explanation
};
const char *const kRoleNames[] = {"settings",     "model.xml",      "manager.xml", "member file",
                                  "own instance", "other instance", "marker",      "notes",
                                  "value grid",   "positions",      "explanation"};

QString rolePath(Role role, const WorkspaceGen::Result &ws)
{
    const QString dir = ws.instanceDir + QLatin1Char('/');
    switch (role) {
    case Settings:
        return QDir::homePath() + QStringLiteral("/.Pelmorine/init.xml");
    case Model:
        return ws.modelDir + QStringLiteral("/model.xml");
    case Manager:
        return dir + QStringLiteral("manager.xml");
    case MemberFile:
        return dir + QStringLiteral("manager_1.xml");
    case OwnInstance:
        return dir + QStringLiteral("instance.xml");
    case OtherInstance:
        return dir + QStringLiteral("instance_1.xml");
    case Marker:
        return dir + QStringLiteral("1.iod");
    case Notes:
        return dir + QStringLiteral("manager_1.txt");
    case Grid:
        return dir + QStringLiteral("instance_1_2.csv");
    case Positions:
        return dir + QStringLiteral("instance_1_5.pos");
    case Explanation:
        return dir + QStringLiteral("instance_1_2.txt");
    }
    return QString();
}

bool isXmlRole(Role role)
{
    return role <= OtherInstance;
}

// Files of the running user (member 0) that a save may rewrite; every other file belongs to
// another member or to nobody and must come through untouched.
bool ownFile(const QString &relative)
{
    const QString name = QFileInfo(relative).fileName();
    static const QStringList own{"manager.xml",  "manager_0.txt", "instance.xml",
                                 "question.xml", "answer.xml",    "DocInstance.xml",
                                 "0.iod",        "model.xml",     "DocModel.xml"};
    return own.contains(name) || name.startsWith(QLatin1String("instance_0_"));
}
} // namespace

// Every hostile file fed to every loader of the program: no crash, a clear report where a file
// is refused, and no file of another member written; a refused file is never written over.
class tst_hostile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void generated_opensWithEveryMemberAndElement();
    void generated_everyTreeShowsTheRowsInOrderExpanded();
    void hostileFile_eachLoader_data();
    void hostileFile_eachLoader();
    void hugeFile_eachReader_refusedNamedRestKept_data();
    void hugeFile_eachReader_refusedNamedRestKept();
    void foreignEncoding_eachReader_refusedNamedRestKept_data();
    void foreignEncoding_eachReader_refusedNamedRestKept();
    void cleanupTestCase()
    {
        m_program.reset();
        QVERIFY(g_badConnections.isEmpty());
    }

private:
    void openWith(const QString &file, qint64 size, bool opens, int member, const QByteArray &bytes,
                  QString *path, QString *said);
    QTemporaryDir m_big;
    std::unique_ptr<OpenedProgram> m_program;
};

void tst_hostile::initTestCase()
{
    watchConnections();
    // Too big for git: an attribute value, a grid row and a run of zero bytes, 10 MB each.
    const QByteArray big(10 * 1024 * 1024, 'x');
    writeFile(m_big.path() + "/huge-attribute.xml", "<Root_manager User=\"" + big +
                                                        "\" Email=\"a@x\" ID=\"0\" MaxID=\"2\">"
                                                        "<GROUP><USER ID=\"1\" Name=\"" +
                                                        big.left(1000) +
                                                        "\" Email=\"b@x\"/>"
                                                        "</GROUP></Root_manager>");
    QByteArray row;
    row.reserve(big.size());
    while (row.size() < big.size())
        row += "cell,";
    writeFile(m_big.path() + "/huge-row.csv", row + "\r\n" + row);
    writeFile(m_big.path() + "/zeros.bin", QByteArray(big.size(), '\0'));
}

void tst_hostile::generated_opensWithEveryMemberAndElement()
{
    QTemporaryDir dir;
    WorkspaceGen::Result ws;
    QString error;
    const WorkspaceGen::Size size = WorkspaceGen::Size::Small();
    QVERIFY(WorkspaceGen::Generate(size, dir.path(), &ws, &error));
    const QMap<QString, QByteArray> before = snapshot(dir.path());
    OpenedProgram p;
    QVERIFY(p.Open(ws));
    QVERIFY2(p.reports.isEmpty(), qPrintable(p.reports.join('\n')));
    QVERIFY(p.GetBoolVar(RegSlot::FlagIsManager));
    QCOMPARE(countRows(p.tab()->GetModelTree()), size.ModelElements());
    QCOMPARE(countRows(p.tab()->GetUserTree()), size.members * (1 + size.MemberElements()));
    // Transition instances are linked to the state instance beside them.
    const QTreeWidgetItem *lclass = p.tab()->GetUserTree()->topLevelItem(0)->child(0);
    const auto record = [lclass](int back) {
        return static_cast<TreeItemData *>(
            lclass->child(lclass->childCount() - back)->data(0, Qt::UserRole).value<void *>());
    };
    QVERIFY(record(1) && record(2));
    QCOMPARE(record(1)->GetAttr("State"), "0-" + record(2)->GetAttr("ID"));

    // Nothing was changed by the user: saving writes no file but our own marker.
    p.window->SaveAll();
    p.window->CloseWorkspace();
    const QMap<QString, QByteArray> after = snapshot(dir.path());
    QCOMPARE(after.keys(), before.keys());
    for (const QString &name : before.keys()) {
        if (!name.endsWith("0.iod"))
            QVERIFY2(after.value(name) == before.value(name), qPrintable(name));
    }
}

// The trees of an open are built apart from their views and added at once: every row must still
// arrive, in file order, expanded, with its icon, and the document's class tree mirror the
// instance tree row for row.
void tst_hostile::generated_everyTreeShowsTheRowsInOrderExpanded()
{
    QTemporaryDir dir;
    WorkspaceGen::Result ws;
    QString error;
    const WorkspaceGen::Size size = WorkspaceGen::Size::Small();
    QVERIFY(WorkspaceGen::Generate(size, dir.path(), &ws, &error));
    OpenedProgram p;
    QVERIFY(p.Open(ws));
    QTreeWidget *users = p.tab()->GetUserTree();
    QCOMPARE(users->topLevelItemCount(), size.members);
    for (int n = 0; n < size.members; ++n) {
        QTreeWidgetItem *member = users->topLevelItem(n);
        QCOMPARE(member->data(1, Qt::UserRole).toInt(), n);
        QCOMPARE(member->childCount(), size.instLclasses);
        QVERIFY(member->isExpanded());
        // IDs follow the file's order: large class, its small classes, their parameters.
        int id = 1;
        for (int l = 0; l < member->childCount(); ++l) {
            QTreeWidgetItem *lclass = member->child(l);
            QCOMPARE(lclass->text(5), QStringLiteral("I%1-%2").arg(n).arg(id++));
            QVERIFY(lclass->isExpanded() && !lclass->icon(0).isNull());
            for (int s = 0; s < lclass->childCount(); ++s) {
                QTreeWidgetItem *sclass = lclass->child(s);
                QCOMPARE(sclass->text(5), QStringLiteral("I%1-%2").arg(n).arg(id));
                QVERIFY(sclass->isExpanded());
                id += 1 + sclass->childCount();
            }
        }
    }
    // The document's class tree: the same rows in the same order, each naming its element.
    QTreeWidget *classes = p.GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument)->ClassTree();
    QCOMPARE(countRows(classes), countRows(users));
    QList<QPair<QTreeWidgetItem *, QTreeWidgetItem *>> pairs;
    for (int i = 0; i < users->topLevelItemCount(); ++i)
        pairs.append(qMakePair(users->topLevelItem(i), classes->topLevelItem(i)));
    while (!pairs.isEmpty()) {
        const auto pair = pairs.takeFirst();
        QCOMPARE(pair.second->text(7), pair.first->text(5));
        QCOMPARE(pair.second->childCount(), pair.first->childCount());
        QVERIFY(pair.second->childCount() == 0 || pair.second->isExpanded());
        for (int i = 0; i < pair.first->childCount(); ++i)
            pairs.append(qMakePair(pair.first->child(i), pair.second->child(i)));
    }
    // The model's rows in the model editor and in the instance tab, large and small classes open.
    for (QTreeWidget *models : {p.GetObj<model>(RegSlot::ObjModel)->GetTree(), p.tab()->GetModelTree()}) {
        QCOMPARE(models->topLevelItemCount(), size.lclasses);
        for (int l = 0; l < size.lclasses; ++l) {
            QTreeWidgetItem *lclass = models->topLevelItem(l);
            QCOMPARE(lclass->childCount(), size.sclasses);
            QVERIFY(!lclass->icon(0).isNull() && !lclass->child(0)->child(0)->icon(0).isNull());
        }
        if (models == p.tab()->GetModelTree())
            QVERIFY(models->topLevelItem(0)->isExpanded() && models->topLevelItem(0)->child(0)->isExpanded());
    }
}

void tst_hostile::hostileFile_eachLoader_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("file");
    QStringList files;
    for (const QString &dir : {QStringLiteral(PEL_HOSTILE_DIR), m_big.path()}) {
        for (const QFileInfo &info : QDir(dir).entryInfoList(QDir::Files, QDir::Name))
            files << info.absoluteFilePath();
    }
    for (int role = Settings; role <= Explanation; ++role) {
        for (const QString &file : qAsConst(files))
            QTest::addRow("%s: %s", kRoleNames[role], qPrintable(QFileInfo(file).fileName())) << role << file;
    }
}

void tst_hostile::hostileFile_eachLoader()
{
    QFETCH(int, role);
    QFETCH(QString, file);
    const QByteArray hostile = readFile(file);
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.path() + "/ws"));
    WorkspaceGen::Result ws;
    QString error;
    QVERIFY(WorkspaceGen::Generate(WorkspaceGen::Size::Small(), dir.path() + "/ws", &ws, &error));
    const QString path = rolePath(Role(role), ws);
    QDir(QDir::homePath() + "/.Pelmorine").removeRecursively();
    writeFile(path, hostile);
    const QMap<QString, QByteArray> before = snapshot(dir.path());

    bool refused = false;
    if (isXmlRole(Role(role))) {
        QDomDocument doc;
        refused = !SharedXml::SetContent(doc, hostile);
    }
    // The settings are read at start-up: a program of its own. The value grid, positions and
    // explanation are read when a pane shows them: their readers are called directly.
    if (role == Settings)
        m_program.reset();
    if (role < Grid) {
        if (!m_program)
            m_program.reset(new OpenedProgram);
        OpenedProgram &p = *m_program;
        p.reports.clear();
        if (p.Open(ws))
            p.SaveEverythingOwn();
        p.window->CloseWorkspace();
        if (refused && role != Settings)
            QVERIFY2(!p.reports.isEmpty(), "a refused file is reported");
    } else {
        InstanceFiles files;
        files.SetDir(ws.instanceDir);
        TreeItemData record;
        files.ReadInstanceCsv(&record, "1", "2");
        files.ReadInstancePos(&record, "1", "5");
        files.ReadElementText("1", "2");
    }

    const QMap<QString, QByteArray> after = snapshot(dir.path());
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        QVERIFY2(before.contains(it.key()), qPrintable("new file " + it.key()));
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        QVERIFY2(after.contains(it.key()), qPrintable("removed " + it.key()));
        if (!ownFile(it.key()) || (refused && QFileInfo(it.key()).fileName() == QFileInfo(path).fileName()))
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable("changed " + it.key()));
    }
    if (role == Settings) {
        // A damaged settings file is kept beside the defaults that replace it; one that reads
        // is the user's own and may gain settings, never lose what it held.
        m_program.reset();
        QDomDocument doc;
        bool kept = readFile(path) == hostile || (!refused && SharedXml::SetContent(doc, readFile(path)));
        for (const QFileInfo &copy : QDir(QFileInfo(path).path()).entryInfoList({"init.xml.damaged-*"}))
            kept = kept || readFile(copy.filePath()) == hostile;
        QVERIFY(kept);
    }
}

void tst_hostile::hugeFile_eachReader_refusedNamedRestKept_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("size"); // of a sparse file; 0: one of small entries past the count
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("member");       // whose rows are not shown
    QTest::addColumn<QByteArray>("bytes"); // the file's content in place of a size
    const qint64 gigabyte = qint64(1) << 30;
    const QString day = "___" + QDate::currentDate().toString("yyyyMMdd") + ".cht";
    QTest::newRow("other member's instance") << "instance_1.xml" << 2 * gigabyte << true << 1 << QByteArray();
    QTest::newRow("own instance") << "instance.xml" << gigabyte + gigabyte / 10 << true << 0 << QByteArray();
    QTest::newRow("other member's file") << "manager_1.xml" << gigabyte + 1 << true << 1 << QByteArray();
    QTest::newRow("group file") << "manager.xml" << gigabyte + 1 << false << -1 << QByteArray();
    QTest::newRow("other member's questions")
        << "question_1.xml" << gigabyte + gigabyte / 10 << true << -1 << QByteArray();
    QTest::newRow("own answers") << "answer.xml" << gigabyte + 1 << true << -1 << QByteArray();
    QTest::newRow("other member's chat day") << "chat/" + WorkspaceGen::MemberEmail(1) + day
                                             << gigabyte + gigabyte / 10 << true << -1 << QByteArray();
    QTest::newRow("own chat day") << "chat/" + WorkspaceGen::MemberEmail(0) + day << gigabyte + 1 << true
                                  << -1 << QByteArray();
    // Far below the size limit, but as a tree gigabytes.
    QTest::newRow("other member's instance of small rows")
        << "instance_1.xml" << qint64(0) << true << 1 << QByteArray();
    QTest::newRow("own instance of small rows") << "instance.xml" << qint64(0) << true << 0 << QByteArray();
    QTest::newRow("other member's questions of small rows")
        << "question_1.xml" << qint64(0) << true << -1 << QByteArray();
    // Under 2 MB, but the DOM would expand its one entity to 2.4 billion characters.
    const QByteArray entity = "<!DOCTYPE Root_Chat [<!ENTITY e \"" + QByteArray(4000, 'A') + "\">]>";
    const QByteArray refs = QByteArray("&e;").repeated(600000);
    const QByteArray expands = entity + "<Root_Chat><Note>" + refs + "</Note></Root_Chat>";
    QTest::newRow("other member's instance, an entity")
        << "instance_1.xml" << qint64(0) << true << 1 << expands;
    QTest::newRow("other member's chat day, an entity")
        << "chat/" + WorkspaceGen::MemberEmail(1) + day << qint64(0) << true << -1 << expands;
    QTest::newRow("own chat day, an entity")
        << "chat/" + WorkspaceGen::MemberEmail(0) + day << qint64(0) << true << -1 << expands;
    QTest::newRow("other member's file, an entity in a name")
        << "manager_1.xml" << qint64(0) << true << 1
        << entity + "<Root_manager><GROUP><USER ID=\"1\" Name=\"" + refs + "\"/></GROUP></Root_manager>";
}

// One member's file of 1-2 GB ended every program that opened the workspace (the chat worker's
// with no click), and so did one of some tens of MB of small entries: each reader refuses it by its
// size or by the count of what it holds, names it, and the program goes on with the rest; the file
// itself is never written over, an own one included.
void tst_hostile::hugeFile_eachReader_refusedNamedRestKept()
{
    QFETCH(QString, file);
    QFETCH(qint64, size);
    QFETCH(bool, opens);
    QFETCH(int, member);
    QFETCH(QByteArray, bytes);
    QString path;
    QString said;
    openWith(file, size, opens, member, bytes, &path, &said);
    if (QTest::currentTestFailed())
        return;
    if (bytes.isEmpty())
        QVERIFY2(said.contains(size ? path + " holds " : "filename:" + path) &&
                     said.contains("more than any workspace file needs"),
                 qPrintable(said));
    else
        QVERIFY2(said.contains(path) && said.contains("entities declared"), qPrintable(said));
}

// A member's file in an encoding whose bytes are not its characters (in UTF-7 '<' may be written
// "+ADw-") held entities and nesting that the passes before the parse did not see, and ended every
// program that opened the workspace; bytes not valid in the file's encoding were read as
// replacement characters and saved so. Each reader refuses such a file, names it and goes on; the
// file is never written over, an own one included.
void tst_hostile::foreignEncoding_eachReader_refusedNamedRestKept_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("member");       // whose rows are not shown
    QTest::addColumn<QByteArray>("bytes"); // the file's content
    QTest::addColumn<QString>("reason");   // said with the file's name
    const QString day =
        "chat/" + WorkspaceGen::MemberEmail(1) + "___" + QDate::currentDate().toString("yyyyMMdd") + ".cht";
    const QByteArray utf7 = "<?xml version=\"1.0\" encoding=\"UTF-7\"?>\n";
    // Under 20 KB, but 12 million characters once expanded.
    const QByteArray entity = utf7 + "<+ACE-DOCTYPE Root_Instance [<+ACE-ENTITY e \"" +
                              QByteArray(4000, 'A') + "\">]>\n<Root_Instance ID=\"1\">" +
                              QByteArray("&e;").repeated(3000) + "</Root_Instance>";
    const QString utf7Said = "the encoding UTF-7";
    QTest::newRow("other member's instance, UTF-7 entity") << "instance_1.xml" << 1 << entity << utf7Said;
    QTest::newRow("other member's instance, UTF-7 nesting")
        << "instance_1.xml" << 1
        << utf7 + "+ADw-Root_Instance ID=+ACI-1+ACI-+AD4-" + QByteArray("+ADw-KEPT+AD4-").repeated(300) +
               QByteArray("+ADw-/KEPT+AD4-").repeated(300) + "+ADw-/Root_Instance+AD4-"
        << utf7Said;
    QTest::newRow("other member's chat day, UTF-7 entity") << day << -1 << entity << utf7Said;
    QTest::newRow("other member's file, UTF-7")
        << "manager_1.xml" << 1 << utf7 + "+ADw-Root_manager+AD4-+ADw-/Root_manager+AD4-" << utf7Said;
    QTest::newRow("other member's instance, Shift_JIS")
        << "instance_1.xml" << 1
        << QByteArray(
               "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<Root_Instance ID=\"1\" Name=\"\x93\xFA\"/>")
        << "the encoding Shift_JIS";
    QTest::newRow("other member's instance, EBCDIC")
        << "instance_1.xml" << 1
        << QByteArray("<?xml version=\"1.0\" encoding=\"IBM037\"?>\n\x4C\xD9\x61\x6E")
        << "the encoding IBM037";
    const QByteArray utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    QTest::newRow("own instance, Shift_JIS bytes under UTF-8")
        << "instance.xml" << 0
        << utf8 + "<Root_Instance ID=\"1\" MaxID=\"2\">\n<LClass ID=\"1\" MID=\"18\" "
                  "Name=\"\x93\xFA\x96\x7B\"/>\n"
                  "</Root_Instance>"
        << "line 3, column 31  bytes that are not valid UTF-8 (0x93";
    QTest::newRow("other member's instance, 0xFF in a title")
        << "instance_1.xml" << 1 << utf8 + "<Root_Instance ID=\"1\" Title=\"ti\xFFtle\"/>"
        << "(0xFF";
}

void tst_hostile::foreignEncoding_eachReader_refusedNamedRestKept()
{
    QFETCH(QString, file);
    QFETCH(int, member);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QString path;
    QString said;
    openWith(file, 0, true, member, bytes, &path, &said);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(said.contains(path) && said.contains(reason), qPrintable(said));
}

// Opens a workspace whose file (a path under the instance folder) is bytes or a sparse file of size
// (0: rows past the count of nodes): the rows of every member but `member` are shown, the program's
// own files are saved, and no file of another member, nor the file itself, is written over.
void tst_hostile::openWith(const QString &file, qint64 size, bool opens, int member, const QByteArray &bytes,
                           QString *pathOut, QString *saidOut)
{
    QTemporaryDir dir;
    WorkspaceGen::Result ws;
    QString error;
    QVERIFY(WorkspaceGen::Generate(WorkspaceGen::Size::Small(), dir.path() + "/ws", &ws, &error));
    const QString path = ws.instanceDir + '/' + file;
    *pathOut = path;
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    {
        QFile huge(path);
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(size));
        // Rows of an element and a child with four attributes: six nodes each.
        const QByteArray row = "<SClass ID=\"1\" MID=\"2\" Name=\"n\" OutVar=\"v\"><REFERENCE/></SClass>";
        if (!bytes.isEmpty())
            QVERIFY(huge.write(bytes) == bytes.size());
        else if (size == 0)
            QVERIFY(huge.write("<Root>" + row.repeated(int(SharedXml::MaxNodes / 6) + 1) + "</Root>") > 0);
    }
    const QMap<QString, QByteArray> before = snapshot(dir.path());
    // A program of its own: nothing the previous rows read is still in its store.
    m_program.reset();
    m_program.reset(new OpenedProgram);
    OpenedProgram &p = *m_program;
    QCOMPARE(p.Open(ws), opens);
    QString chatNotes;
    if (opens) {
        // The program goes on with everything else: every other member's rows are there.
        QTreeWidget *users = p.tab()->GetUserTree();
        QVERIFY(users->topLevelItemCount() >= 2);
        for (int r = 0; r < users->topLevelItemCount(); ++r) {
            if (users->topLevelItem(r)->data(1, Qt::UserRole).toInt() != member)
                QCOMPARE(users->topLevelItem(r)->childCount(), WorkspaceGen::Size::Small().instLclasses);
        }
        p.GetObj<QandA>(RegSlot::ObjQandA)->ShowQandA(p.tab()->GetUserTree(), true);
        const auto *notes = p.GetObj<Chat>(RegSlot::ObjChat)->findChild<QLineEdit *>("MSG");
        QVERIFY(notes);
        if (file.startsWith("chat/"))
            QTRY_VERIFY_WITH_TIMEOUT(notes->text().contains(path), 120000);
        chatNotes = notes->text();
        p.SaveEverythingOwn();
    }
    p.window->CloseWorkspace();
    *saidOut = p.reports.join('\n') + '\n' + chatNotes;

    const QMap<QString, QByteArray> after = snapshot(dir.path());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        QVERIFY2(after.contains(it.key()), qPrintable("removed " + it.key()));
        if (!ownFile(it.key()) || it.key().endsWith('/' + file))
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable("changed " + it.key()));
    }
}

QTEST_MAIN(tst_hostile)
#include "tst_hostile.moc"
