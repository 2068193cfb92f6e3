#include "core/sharedxml.h"
#include "core/treeitemdata.h"
#include "openedprogram.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <csignal>

using namespace TestSupport;

// The program killed (SIGKILL) at random points of save-all: every file on disk is afterwards
// the old version or the new one, whole. The workspace size and the number of kills default to
// what CI affords; PEL_KILL_SIZE=large PEL_KILL_RUNS=50 run the full measure by hand.
namespace
{
WorkspaceGen::Size killSize()
{
    WorkspaceGen::Size size{6, 6, 6, 3, 6, 6, 6, 1};
    WorkspaceGen::ParseSize(qEnvironmentVariable("PEL_KILL_SIZE"), &size);
    return size;
}

// The saving program: opens the workspace, changes every grid, explanation and diagram of the
// running user's elements the same way, and saves all of it, once or until it is killed. It is
// killed, so the folder it works in is one beside the workspace, in the folder the test removes.
int saver(const QString &root, bool once)
{
    WorkspaceGen::Result ws;
    QString error;
    WorkspaceGen::Generate(WorkspaceGen::Size{1, 1, 1, 1, 0, 0, 0, 1}, root + ".names", &ws, &error);
    ws.workspace = root;
    ws.modelDir = root + "/pelmorine.def/Model/1.0.0";
    ws.instanceDir = ws.modelDir + "/Instance/Inst/1.0.0";
    OpenedProgram p;
    if (!p.Open(ws))
        return 1;
    QList<TreeItemData *> records;
    QList<QTreeWidgetItem *> rows{p.tab()->GetUserTree()->topLevelItem(0)};
    while (!rows.isEmpty()) {
        QTreeWidgetItem *row = rows.takeFirst();
        for (int i = 0; i < row->childCount(); ++i)
            rows << row->child(i);
        if (TreeItemData *r = TreeItemData::FromData(row->data(0, Qt::UserRole));
            r && !r->GetAttr("ID").isEmpty())
            records << r;
    }
    for (TreeItemData *r : qAsConst(records)) {
        p.tab()->ReadInstanceCsv(r, "0", r->GetAttr("ID"));
        p.tab()->ReadInstancePos(r, "0", r->GetAttr("ID"));
        r->SetCell(1, 1, "saved " + r->GetAttr("ID"));
        r->SetAttr("Expression", "saved text of " + r->GetAttr("ID"));
    }
    QTextStream out(stdout);
    out << "saving" << Qt::endl;
    do {
        for (TreeItemData *r : qAsConst(records)) {
            r->GridChanged() = true;
            r->TextChanged() = true;
            r->PosChanged() = !r->positions.isEmpty();
        }
        p.SaveEverythingOwn();
    } while (!once);
    out << "saved" << Qt::endl;
    return 0;
}
} // namespace

class tst_killsave : public QObject
{
    Q_OBJECT
private slots:
    void killDuringSave_everyFileOldOrNewAndWhole();
};

void tst_killsave::killDuringSave_everyFileOldOrNewAndWhole()
{
    const int runs = qEnvironmentVariableIntValue("PEL_KILL_RUNS") > 0
                         ? qEnvironmentVariableIntValue("PEL_KILL_RUNS")
                         : 12;
    QTemporaryDir dir;
    WorkspaceGen::Result ws;
    QString error;
    QVERIFY(WorkspaceGen::Generate(killSize(), dir.path() + "/old", &ws, &error));
    const QMap<QString, QByteArray> old = snapshot(ws.workspace);
    const auto copy = [&](const QString &to) {
        for (auto it = old.cbegin(); it != old.cend(); ++it)
            writeFile(to + '/' + it.key(), it.value());
    };
    const auto start = [](QProcess &p, const QString &root, bool once) {
        p.start(QCoreApplication::applicationFilePath(), {"--saver", root, once ? "once" : "loop"});
        return p.waitForStarted();
    };

    // One save to the end gives the new versions and how long a save takes.
    copy(dir.path() + "/new");
    QProcess reference;
    QElapsedTimer saving;
    QVERIFY(start(reference, dir.path() + "/new", true));
    // Each wait ends with its step. A save syncs every file it writes: beside writers filling the
    // disk, one save took 10 s.
    QVERIFY(reference.waitForReadyRead(180000));
    saving.start();
    QVERIFY(reference.waitForFinished(300000));
    QCOMPARE(reference.exitCode(), 0);
    const qint64 saveMs = std::max<qint64>(saving.elapsed(), 1);
    const QMap<QString, QByteArray> fresh = snapshot(dir.path() + "/new");
    int changed = 0;
    for (auto it = fresh.cbegin(); it != fresh.cend(); ++it)
        changed += old.value(it.key()) != it.value();
    QVERIFY2(changed > 10, "the save rewrites the running user's files");

    int leftovers = 0;
    for (int run = 0; run < runs; ++run) {
        const QString root = dir.path() + QStringLiteral("/kill%1").arg(run);
        copy(root);
        QProcess p;
        QVERIFY(start(p, root, false));
        QVERIFY(p.waitForReadyRead(180000));
        QThread::msleep(QRandomGenerator::global()->bounded(quint32(saveMs) * 2));
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        QVERIFY(p.waitForFinished(10000));
        const QMap<QString, QByteArray> now = snapshot(root);
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            const QString &name = it.key();
            if (!old.contains(name) && !fresh.contains(name)) {
                // A temporary of a write that never committed: beside the file, never instead.
                ++leftovers;
                continue;
            }
            QVERIFY2(it.value() == old.value(name) || it.value() == fresh.value(name),
                     qPrintable(QStringLiteral("run %1: %2 is neither old nor new").arg(run).arg(name)));
        }
        for (auto it = old.cbegin(); it != old.cend(); ++it)
            QVERIFY2(now.contains(it.key()), qPrintable("lost " + it.key()));
        QDir(root).removeRecursively();
        QDir(root + ".names").removeRecursively();
    }
    for (auto it = fresh.cbegin(); it != fresh.cend(); ++it) {
        QDomDocument doc;
        if (it.key().endsWith(".xml"))
            QVERIFY2(SharedXml::SetContent(doc, it.value()), qPrintable(it.key()));
    }
    qInfo("%d kills over saves of %lld ms, %d files rewritten per save, %d temporaries left", runs, saveMs,
          changed, leftovers);
}

int main(int argc, char *argv[])
{
    // As the program itself does: attribute order follows the hash order.
    qSetGlobalQHashSeed(0);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--saver")
        return saver(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]) == "once");
    tst_killsave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killsave.moc"
