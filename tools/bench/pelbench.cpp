// Measures the program against the raw limits of what it does: the XML store against a bare DOM,
// opening a large workspace against parsing its files, save-all after one change, the shared-file
// check against a bare stat loop, start-up against a minimal widgets program, an output run against
// writing its bytes, the schedule tab against bare rows and bars. Prints one table.
//   pelbench [--size large|small|L,S,P,M,l,s,p] [--runs N] [--help]

#include "benchgenerate.h"
#include "core/globalmutex.h"
#include "core/translations.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "instance/instancefiles.h"
#include "members/sharedfilecheck.h"
#include "openedprogram.h"
#include "workspacegen.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <atomic>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{
QTextStream out(stdout);

const char kUsage[] =
    "Usage: pelbench [--size large|small|L,S,P,M,l,s,p] [--runs N]\n"
    "\n"
    "Generates a workspace (large by default: model 40 x 15 x 12, 30 members) in a temporary folder,\n"
    "measures the program against raw limits on this machine and prints one table.\n"
    "\n"
    "  --size S   large, small, or model classes, small classes, parameters, members and each\n"
    "             member's large classes, small classes, parameters\n"
    "  --runs N   runs of each timed step; the median is printed (default 5)\n"
    "  --help     prints this and exits\n"
    "\n"
    "PELBENCH_ONLY=digits picks the measures to run (default all):\n"
    "  1 model.xml load and save     2,3 open and save-all    4 shared-file check\n"
    "  5 start-up                    6 output generation      7 schedule tab\n";

struct Row {
    QString what;
    QString measured;
    QString limit;
    QString ratio;
    QString goal;
};
QList<Row> g_rows;

QString ms(double v)
{
    return QString::number(v, 'f', v < 10 ? 2 : 1) + QStringLiteral(" ms");
}

QString mb(qint64 kb)
{
    return QString::number(kb / 1024.0, 'f', 1) + QStringLiteral(" MB");
}

QString ratio(double a, double b)
{
    return b > 0 ? QString::number(a / b, 'f', 2) + QLatin1Char('x') : QStringLiteral("-");
}

qint64 peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

qint64 currentRssKb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().split(' ').value(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

// The median of runs of f, in milliseconds.
double median(int runs, const std::function<void()> &f)
{
    QVector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.append(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

QStringList filesUnder(const QString &dir, const QStringList &filters = {})
{
    QStringList files;
    QDirIterator it(dir, filters, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

// Bytes and allocated size on disk of everything under the folder.
QPair<qint64, qint64> folderSize(const QString &dir)
{
    qint64 bytes = 0;
    qint64 disk = 0;
    for (const QString &path : filesUnder(dir)) {
        struct stat st {
        };
        if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
            bytes += st.st_size;
            disk += st.st_blocks * 512;
        }
    }
    return {bytes, disk};
}

// 1. The XML store against a bare DOM, on the large model.xml.
void benchXml(const WorkspaceGen::Result &ws, int runs)
{
    const QString source = ws.modelDir + QStringLiteral("/model.xml");
    QTemporaryDir tmp;
    const QString target = tmp.path() + QStringLiteral("/model.xml");
    QFile in(source);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    in.close();
    RegistryScope scope;
    xmlclass store;
    const double storeLoad = median(runs, [&] {
        store.CloseXmlDoc(XmlIndex::Model);
        store.OpenXmlFile(XmlIndex::Model, source, false);
    });
    const double storeSave = median(runs, [&] { store.SaveXmlDocAs(target, XmlIndex::Model); });
    QDomDocument bare;
    const double bareLoad = median(runs, [&] {
        QFile f(source);
        f.open(QIODevice::ReadOnly);
        bare.setContent(f.readAll(), true);
    });
    const double bareSave = median(runs, [&] {
        QFile f(target);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        QTextStream s(&f);
        s.setCodec("UTF-8");
        bare.save(s, 4, QDomNode::EncodingFromTextStream);
    });
    const QString size = QStringLiteral(" (%1 KB)").arg(bytes.size() / 1024);
    g_rows << Row{QStringLiteral("1. model.xml load, store vs bare DOM") + size, ms(storeLoad), ms(bareLoad),
                  ratio(storeLoad, bareLoad), QStringLiteral("<= 1.2x")};
    g_rows << Row{QStringLiteral("1. model.xml save, store vs bare DOM"), ms(storeSave), ms(bareSave),
                  ratio(storeSave, bareSave), QStringLiteral("<= 1.2x")};
}

// Runs this program again in a child mode and returns what it printed, split at spaces.
QStringList child(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), args);
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput())
        .trimmed()
        .split(QLatin1Char('\n'))
        .last()
        .split(QLatin1Char(' '));
}

// The child of 2 and 3: opens the workspace in the whole program, then changes one value of
// the running user's member and saves all. Prints: open ms, RSS before open, peak RSS, save ms,
// files written, bytes written.
// The names of a workspace the parent generated under root.
WorkspaceGen::Result namesOf(const QString &root)
{
    WorkspaceGen::Result ws;
    QString error;
    // The generator's names are fixed; it only needs to say where the folders are.
    const QString scratch = QDir::tempPath() + QStringLiteral("/pelbench-names-%1").arg(getpid());
    WorkspaceGen::Generate(WorkspaceGen::Size{1, 1, 1, 1, 0, 0, 0, 1}, scratch, &ws, &error);
    ws.workspace = root;
    ws.modelDir = root + QStringLiteral("/pelmorine.def/Model/1.0.0");
    ws.instanceDir = ws.modelDir + QStringLiteral("/Instance/Inst/1.0.0");
    QDir(scratch).removeRecursively();
    return ws;
}

int childOpen(const QString &root)
{
    const WorkspaceGen::Result ws = namesOf(root);
    TestSupport::OpenedProgram p;
    const qint64 before = currentRssKb();
    QElapsedTimer t;
    t.start();
    if (!p.Open(ws))
        return 1;
    const double openMs = t.nsecsElapsed() / 1e6;
    const qint64 peak = peakRssKb();

    struct Seen {
        qint64 inode, size, mtime;
    };
    auto look = [&] {
        QMap<QString, Seen> seen;
        for (const QString &path : filesUnder(root)) {
            struct stat st {
            };
            ::stat(QFile::encodeName(path).constData(), &st);
            seen.insert(path, {qint64(st.st_ino), qint64(st.st_size),
                               qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
        }
        return seen;
    };
    QTreeWidgetItem *sclass = p.tab()->GetUserTree()->topLevelItem(0)->child(0)->child(0);
    auto *record = TreeItemData::FromData(sclass->data(0, Qt::UserRole));
    InstanceFiles files;
    files.SetDir(ws.instanceDir);
    files.ReadInstanceCsv(record, QStringLiteral("0"), record->GetAttr(QStringLiteral("ID")));
    record->GridLoaded() = true;
    record->SetCell(0, 0, QStringLiteral("changed"));
    record->GridChanged() = true;
    p.GetObj<MemberTable>(RegSlot::ObjMemberTable)->value(0)->InstanceModified = true;
    p.SetBoolVar(RegSlot::FlagInstanceModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    const QMap<QString, Seen> old = look();
    QThread::msleep(20);
    t.restart();
    p.window->SaveAll();
    const double saveMs = t.nsecsElapsed() / 1e6;
    const QMap<QString, Seen> now = look();
    int written = 0;
    qint64 bytes = 0;
    QStringList names;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        const Seen o = old.value(it.key(), Seen{-1, 0, 0});
        if (o.inode != it->inode || o.mtime != it->mtime) {
            ++written;
            bytes += it->size;
            names << QFileInfo(it.key()).fileName();
        }
    }
    out << names.join(QLatin1Char(',')) << '\n'
        << openMs << ' ' << before << ' ' << peak << ' ' << saveMs << ' ' << written << ' ' << bytes << '\n';
    out.flush();
    _exit(0);
}

// The child of 2's limit: every XML file of the workspace parsed with a bare DOM, all kept.
int childParse(const QString &root)
{
    const qint64 before = currentRssKb();
    QElapsedTimer t;
    t.start();
    QList<QDomDocument> docs;
    for (const QString &path : filesUnder(root, {QStringLiteral("*.xml")})) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QDomDocument doc;
        doc.setContent(f.readAll(), true);
        docs.append(doc);
    }
    out << t.nsecsElapsed() / 1e6 << ' ' << before << ' ' << peakRssKb() << '\n';
    out.flush();
    _exit(0);
}

// 2 and 3.
void benchOpen(const WorkspaceGen::Result &ws)
{
    const QPair<qint64, qint64> size = folderSize(ws.workspace);
    const QStringList open = child({QStringLiteral("--child-open"), ws.workspace});
    const QStringList parse = child({QStringLiteral("--child-parse"), ws.workspace});
    if (open.size() < 6 || parse.size() < 3) {
        g_rows << Row{QStringLiteral("2. open failed"), QString(), QString(), QString(), QString()};
        return;
    }
    const double openMs = open.at(0).toDouble();
    const double parseMs = parse.at(0).toDouble();
    g_rows << Row{QStringLiteral("2. open workspace, program vs bare parse of its XML"), ms(openMs),
                  ms(parseMs), ratio(openMs, parseMs), QStringLiteral("<= 2x")};
    const qint64 grown = open.at(2).toLongLong() - open.at(1).toLongLong();
    g_rows << Row{QStringLiteral("2. memory of the open (peak RSS growth) vs size on disk"), mb(grown),
                  mb(size.second / 1024) + QStringLiteral(" (") + mb(size.first / 1024) +
                      QStringLiteral(" bytes)"),
                  ratio(grown, size.second / 1024.0), QStringLiteral("<= 6x")};
    g_rows << Row{QStringLiteral("2. bare parse, peak RSS growth"),
                  mb(parse.at(2).toLongLong() - parse.at(1).toLongLong()), QString(), QString(), QString()};
    g_rows << Row{QStringLiteral("3. save-all after one value of one member changed"),
                  ms(open.at(3).toDouble()),
                  open.at(4) + QStringLiteral(" files, ") + open.at(5) + QStringLiteral(" bytes"), QString(),
                  QStringLiteral("that member's files only")};
}

// 4. The check over n members against a bare stat loop over the same files, and the longest the
// GUI thread waits for mutex 0 while checks run.
void benchCheck(int members, int runs)
{
    QTemporaryDir tmp;
    WorkspaceGen::Result ws;
    QString error;
    WorkspaceGen::Generate(WorkspaceGen::Size{1, 1, 1, members, 1, 1, 1, 1}, tmp.path(), &ws, &error);
    RegistryScope scope;
    GlobalMutex mutex;
    scope.SetObj(RegSlot::ObjGlobalMutex, &mutex);
    xmlclass store;
    MemberTable table;
    QList<MemberInfo *> records;
    QStringList paths;
    for (int n = 0; n < members; ++n) {
        auto *r = new MemberInfo;
        r->ID = n;
        r->OtherUser = n == 0 ? 0 : 1;
        records << r;
        table.insert(n, r);
        paths << SharedFileCheck::MarkerPath(ws.instanceDir, n);
        const int bases[] = {XmlIndex::Manager, XmlIndex::Instance, XmlIndex::Question, XmlIndex::Answer};
        const char *kinds[] = {"manager", "instance", "question", "answer"};
        for (int k = 0; k < 4; ++k) {
            const QString path = ws.instanceDir + QLatin1Char('/') +
                                 (n == 0 ? QLatin1String(kinds[k]) + QStringLiteral(".xml")
                                         : QStringLiteral("%1_%2.xml").arg(QLatin1String(kinds[k])).arg(n));
            store.SetFileTime(bases[k] + n, path);
            if (n > 0)
                paths << path;
        }
    }
    SharedFileCheck check;
    check.Attach(ws.instanceDir, &table, &store, nullptr, QDate::currentDate());
    check.Run(QDate::currentDate());
    const double checkMs = median(runs, [&] { check.Run(QDate::currentDate()); });
    const double bareMs = median(runs, [&] {
        struct stat st {
        };
        for (const QString &path : qAsConst(paths))
            ::stat(QFile::encodeName(path).constData(), &st);
    });
    std::atomic<bool> running{true};
    std::thread worker([&] {
        while (running)
            check.Run(QDate::currentDate());
    });
    QVector<qint64> waits;
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < 300) {
        QElapsedTimer t;
        t.start();
        {
            MutexHold hold(MutexNo::Members);
        }
        waits.append(t.nsecsElapsed());
    }
    std::sort(waits.begin(), waits.end());
    running = false;
    worker.join();
    check.Detach();
    qDeleteAll(records);
    g_rows << Row{QStringLiteral("4. shared-file check, %1 members, vs bare stat loop").arg(members),
                  ms(checkMs), ms(bareMs), ratio(checkMs, bareMs), QStringLiteral("<= 2x")};
    const auto us = [](qint64 ns) { return QString::number(ns / 1000.0, 'f', 1) + QStringLiteral(" us"); };
    g_rows << Row{QStringLiteral("4. GUI wait for mutex 0 during checks, %1 members: p99 / max").arg(members),
                  us(waits.at(waits.size() * 99 / 100)) + QStringLiteral(" / ") + us(waits.last()),
                  ms(checkMs / members) + QStringLiteral(" per member"), QString(),
                  QStringLiteral("one record's update")};
}

// Says "shown" at the first paint of the window it watches: the first frame the user sees.
class FirstPaint final : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            out << "shown\n";
            out.flush();
            _exit(0);
        }
        return false;
    }
};

// The children of 5: each prints a line once its window is first painted, and the parent times
// the process from start to that line.
int childStartup(bool minimal)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    int argc = 1;
    char name[] = "pelbench";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    FirstPaint watch;
    if (minimal) {
        auto *window = new QWidget;
        window->installEventFilter(&watch);
        window->showMaximized();
    } else {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
        Translations::Install(app);
        auto *window = new MainWindow;
        window->installEventFilter(&watch);
    }
    return QApplication::exec();
}

double timeStartup(bool minimal)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QCoreApplication::applicationFilePath(),
            {minimal ? QStringLiteral("--child-minimal") : QStringLiteral("--child-startup")});
    while (p.state() != QProcess::NotRunning && !p.canReadLine())
        p.waitForReadyRead(10);
    const double elapsed = t.nsecsElapsed() / 1e6;
    p.waitForFinished(-1);
    return elapsed;
}

void benchStartup(int runs)
{
    const double program = median(runs, [] { timeStartup(false); });
    const double minimal = median(runs, [] { timeStartup(true); });
    g_rows << Row{
        QStringLiteral("5. start-up to main window's first frame vs minimal widgets program maximised"),
        ms(program), ms(minimal), ratio(program, minimal), QStringLiteral("<= 2x")};
}

// 6. An output run of 1,000 files over the members' instances against writing the same bytes.
void benchGenerate(const WorkspaceGen::Size &size, const WorkspaceGen::Result &ws)
{
    QString error;
    QTemporaryDir out;
    const QStringList r = BenchGenerate::WriteDefinition(size, ws, &error)
                              ? child({QStringLiteral("--child-generate"), ws.workspace, out.path()})
                              : QStringList();
    if (r.size() < 9) {
        g_rows << Row{QStringLiteral("6. generation failed ") + error, QString(), QString(), QString(),
                      QString()};
        return;
    }
    const double runMs = r.at(0).toDouble();
    const double bareMs = r.at(1).toDouble();
    g_rows << Row{QStringLiteral("6. output run, %1 files from %2 members' instances, vs QSaveFile writes")
                      .arg(r.at(2))
                      .arg(size.members - 1),
                  ms(runMs), ms(bareMs) + QStringLiteral(" (%1 KB)").arg(r.at(3).toLongLong() / 1024),
                  ratio(runMs, bareMs), QStringLiteral("<= 2x")};
    const double againMs = r.at(8).toDouble();
    g_rows << Row{QStringLiteral("6. the same run again (the first built the other members' rows)"),
                  ms(againMs), ms(bareMs), ratio(againMs, bareMs), QStringLiteral("<= 2x")};
    g_rows << Row{QStringLiteral("6. output run: longest without events / bar values / Cancel answered"),
                  ms(r.at(4).toDouble()) + QStringLiteral(" / ") + r.at(5) + QStringLiteral(" / ") +
                      ms(r.at(6).toDouble()),
                  r.at(7) + QStringLiteral(" files written before Cancel"), QString(),
                  QStringLiteral("bar moves, Cancel <= 200 ms")};
}

// 7. The schedule tab built from 2,000 rows over 20 members against the same rows and bars bare.
void benchSchedule(int runs)
{
    QTemporaryDir tmp;
    WorkspaceGen::Result ws;
    QString error;
    // 20 members (the manager among them), each with 10 large classes of 9 small classes.
    if (!WorkspaceGen::Generate(WorkspaceGen::Size{40, 15, 12, 20, 10, 9, 2, 1},
                                tmp.path() + QStringLiteral("/ws"), &ws, &error)) {
        g_rows << Row{QStringLiteral("7. schedule failed ") + error, QString(), QString(), QString(),
                      QString()};
        return;
    }
    const QStringList r = child({QStringLiteral("--child-schedule"), ws.workspace, QString::number(runs)});
    if (r.size() < 4) {
        g_rows << Row{QStringLiteral("7. schedule failed"), QString(), QString(), QString(), QString()};
        return;
    }
    g_rows << Row{QStringLiteral("7. schedule tab, %1 rows over %2 members, vs bare rows and bars")
                      .arg(r.at(2), r.at(3)),
                  ms(r.at(0).toDouble()), ms(r.at(1).toDouble()),
                  ratio(r.at(0).toDouble(), r.at(1).toDouble()), QStringLiteral("reported")};
}

void printTable(const WorkspaceGen::Size &size, const WorkspaceGen::Result &ws,
                const QPair<qint64, qint64> &disk)
{
    out << "Pelmorine benchmarks, " << QDateTime::currentDateTimeUtc().toString(Qt::ISODate) << ", "
        << QThread::idealThreadCount() << " cores, load average "
        << QString::fromUtf8(TestSupport::readFile("/proc/loadavg")).section(' ', 0, 2) << "\n"
        << "workspace: model " << size.lclasses << " x " << size.sclasses << " x " << size.params << " ("
        << size.ModelElements() << " elements), " << size.members << " members x " << size.MemberElements()
        << " elements, " << ws.files << " files, " << disk.first / 1024 << " KB (" << disk.second / 1024
        << " KB on disk)\n\n";
    int w[4] = {0, 0, 0, 0};
    const Row head{QStringLiteral("measure"), QStringLiteral("measured"), QStringLiteral("limit"),
                   QStringLiteral("ratio"), QStringLiteral("goal")};
    QList<Row> all{head};
    all << g_rows;
    for (const Row &r : qAsConst(all)) {
        w[0] = std::max(w[0], r.what.size());
        w[1] = std::max(w[1], r.measured.size());
        w[2] = std::max(w[2], r.limit.size());
        w[3] = std::max(w[3], r.ratio.size());
    }
    for (const Row &r : qAsConst(all)) {
        out << "| " << r.what.leftJustified(w[0]) << " | " << r.measured.leftJustified(w[1]) << " | "
            << r.limit.leftJustified(w[2]) << " | " << r.ratio.leftJustified(w[3]) << " | " << r.goal
            << " |\n";
        if (&r == &all.first())
            out << "|" << QString(w[0] + 2, '-') << "|" << QString(w[1] + 2, '-') << "|"
                << QString(w[2] + 2, '-') << "|" << QString(w[3] + 2, '-') << "|------|\n";
    }
}
} // namespace

int main(int argc, char *argv[])
{
    qSetGlobalQHashSeed(0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QT_QUICK_BACKEND", "software");
    const QStringList args = [&] {
        QStringList a;
        for (int i = 1; i < argc; ++i)
            a << QString::fromLocal8Bit(argv[i]);
        return a;
    }();
    if (args.value(0) == QLatin1String("--child-startup") ||
        args.value(0) == QLatin1String("--child-minimal"))
        return childStartup(args.value(0) == QLatin1String("--child-minimal"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (args.value(0) == QLatin1String("--child-open"))
        return childOpen(args.value(1));
    if (args.value(0) == QLatin1String("--child-parse"))
        return childParse(args.value(1));
    if (args.value(0) == QLatin1String("--child-generate"))
        return BenchGenerate::ChildGenerate(namesOf(args.value(1)), args.value(2));
    if (args.value(0) == QLatin1String("--child-schedule"))
        return BenchGenerate::ChildSchedule(namesOf(args.value(1)), std::max(1, args.value(2).toInt()));

    WorkspaceGen::Size size = WorkspaceGen::Size::Large();
    int runs = 5;
    for (int i = 0; i < args.size(); i += 2) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            out << kUsage;
            return 0;
        }
        const bool known = arg == QLatin1String("--size") || arg == QLatin1String("--runs");
        bool ok = known && i + 1 < args.size();
        if (ok && arg == QLatin1String("--size"))
            ok = WorkspaceGen::ParseSize(args.at(i + 1), &size);
        if (ok && arg == QLatin1String("--runs"))
            runs = std::max(1, args.at(i + 1).toInt(&ok));
        if (!ok) {
            QTextStream(stderr) << "pelbench: bad argument " << arg << "\n\n" << kUsage;
            return 2;
        }
    }
    // The program's settings go to a home of its own, never the user's.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    QTemporaryDir tmp;
    WorkspaceGen::Result ws;
    QString error;
    if (!WorkspaceGen::Generate(size, tmp.path() + QStringLiteral("/ws"), &ws, &error)) {
        out << error << '\n';
        return 1;
    }
    // Measured before the generation bench adds its output definition.
    const QPair<qint64, qint64> disk = folderSize(ws.workspace);
    const QString only = qEnvironmentVariable("PELBENCH_ONLY", QStringLiteral("1234567"));
    if (only.contains(QLatin1Char('1')))
        benchXml(ws, runs);
    if (only.contains(QLatin1Char('2')) || only.contains(QLatin1Char('3')))
        benchOpen(ws);
    if (only.contains(QLatin1Char('4'))) {
        benchCheck(30, runs * 4);
        benchCheck(300, runs * 4);
    }
    if (only.contains(QLatin1Char('5')))
        benchStartup(runs);
    if (only.contains(QLatin1Char('6')))
        benchGenerate(size, ws);
    if (only.contains(QLatin1Char('7')))
        benchSchedule(runs);
    printTable(size, ws, disk);
    return 0;
}
