#include "benchgenerate.h"

#include "core/safefile.h"
#include "openedprogram.h"
#include "outdef/outdef.h"
#include "output/fileoutprogress.h"
#include "views/schedule.h"
#include "workspace/workspacelayout.h"

#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTextCodec>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <unistd.h>

namespace BenchGenerate
{
namespace
{
// Element IDs as the workspace generator numbers them: the model's in document order from 1, a
// member's large class li and its small class si by position.
struct Ids {
    WorkspaceGen::Size size;
    int Lclass(int l) const { return 1 + l * (1 + size.sclasses * (1 + size.params)); }
    int Sclass(int l, int s) const { return Lclass(l) + 1 + s * (1 + size.params); }
    int Param(int l, int s, int p) const { return Sclass(l, s) + 1 + p; }
    int MemberLclass(int li) const { return 1 + li * (1 + size.instSclasses * (1 + size.instParams)); }
};

// The small classes and parameters a sequence reads: plain kinds only, rows that are numbers.
int sclassesRead(const WorkspaceGen::Size &size)
{
    return std::max(0, std::min(8, std::min(size.sclasses, size.instSclasses - 2)));
}
bool paramRead(int p)
{
    return p % 7 != 6;
}

QString selectionPath(const WorkspaceGen::Result &ws)
{
    return ws.workspace + QStringLiteral(".selection");
}

QString outputFolder(const WorkspaceGen::Result &ws)
{
    return WorkspaceLayout::OutputDir(ws.workspace, ws.modelName, ws.modelVersion) + QStringLiteral("/O/1.0");
}

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    if (SafeFile::Write(path, bytes))
        return true;
    *error = QStringLiteral("cannot write ") + path;
    return false;
}

// The program's whole run loop answers boxes and keeps reports; the open is as pelbench's.
bool openAll(TestSupport::OpenedProgram &p, const WorkspaceGen::Result &ws, bool output)
{
    if (!p.Open(ws))
        return false;
    if (!output)
        return true;
    p.SetStrVar(RegSlot::StrOutputName, QStringLiteral("O"));
    p.SetStrVar(RegSlot::StrOutputVersion, QStringLiteral("1.0"));
    QSignalSpy dispatched(p.timer(), &CheckTimer::Dispatched);
    p.timer()->PostMessage(MsgCode::OpenOutput);
    return QTest::qWaitFor([&] { return dispatched.contains({MsgCode::OpenOutput}); }, 60000);
}

DefinitionSelection readSelection(const WorkspaceGen::Result &ws)
{
    DefinitionSelection selection;
    const QStringList lines = QString::fromUtf8(TestSupport::readFile(selectionPath(ws))).split('\n');
    for (const QString &line : lines) {
        const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() == 3)
            selection[parts.at(0).toInt()].insert(parts.at(1).toInt(), parts.at(2));
    }
    return selection;
}

// The figures are out: tearing down trees of this size takes longer than the measure itself.
void finish()
{
    fflush(stdout);
    _exit(0);
}

// One output run as the run dialog starts it. Returns the files written.
int run(outdef *page, const DefinitionSelection &selection, FileOutProgress *progress, const QString &dir)
{
    progress->ResetProgress();
    page->SetOutputList(&selection);
    page->GenerateFiles(OutputGenerator::Run,
                        [progress](int done, int total) { return progress->GenerateStep(done, total); });
    page->SetOutputList(nullptr);
    if (progress->Cancelled()) {
        progress->hide();
        return 0;
    }
    progress->SetOutputFiles(dir, &page->GetGeneratedList());
    progress->StartOutput(true, false, dir, nullptr);
    progress->hide();
    return progress->Done();
}
} // namespace

bool WriteDefinition(const WorkspaceGen::Size &size, const WorkspaceGen::Result &ws, QString *error)
{
    const Ids ids{size};
    const QString dir = outputFolder(ws);
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("cannot make ") + dir;
        return false;
    }
    // The text and the model elements of a sequence over model large class l.
    const auto sequence = [&](int l, QByteArray *text, QByteArray *models) {
        *text = "/* $Var[" + QByteArray::number(ids.Lclass(l)) + "] */\n";
        *models = "<MODEL ID='" + QByteArray::number(ids.Lclass(l)) + "'/>";
        for (int s = 0; s < sclassesRead(size); ++s) {
            *text += "s" + QByteArray::number(s) + ":";
            for (int p = 0; p < size.params; ++p) {
                if (!paramRead(p))
                    continue;
                const QByteArray id = QByteArray::number(ids.Param(l, s, p));
                *text += " $Var[" + id + "]";
                *models += "<MODEL ID='" + id + "'/>";
            }
            *text += ";\n";
        }
    };
    // File i, with sequence i of its own, reads member n's large class li; the members other than
    // the user's take turns.
    QByteArray seqs;
    QByteArray files;
    QByteArray selection;
    const int others = std::max(1, size.members - 1);
    for (int i = 0; i < Files; ++i) {
        const int n = size.members > 1 ? 1 + i % others : 0;
        const int li = (i / others) % size.instLclasses;
        const int l = (li + n) % size.lclasses;
        const QByteArray id = QByteArray::number(i + 1);
        QByteArray text;
        QByteArray models;
        sequence(l, &text, &models);
        if (!write(dir + QStringLiteral("/Seq_%1.txt").arg(i + 1), text, error))
            return false;
        seqs += "<SEQ ID='" + id + "' TITLE='s" + id + "'>" + models + "</SEQ>";
        files += "<FILE ID='" + id + "' TITLE='f" + id + "' FileName='gen_" + id + "' EXP='c'><SEQ ID='" +
                 id + "'/></FILE>";
        selection += id + ' ' + QByteArray::number(ids.Lclass(l)) + ' ' + QByteArray::number(n) + '-' +
                     QByteArray::number(ids.MemberLclass(li)) + '\n';
    }
    const QByteArray xml = "<Root_Output Name='O' Version='1.0' User='" + ws.userName.toUtf8() + "' Email='" +
                           ws.userEmail.toUtf8() + "' StartDate='' CompletionDate=''><SEQUENCE MaxID='" +
                           QByteArray::number(Files + 1) + "'>" + seqs + "</SEQUENCE><FILES MaxID='" +
                           QByteArray::number(Files + 1) + "'>" + files + "</FILES></Root_Output>";
    return write(dir + QStringLiteral("/out.xml"), xml, error) && write(selectionPath(ws), selection, error);
}

int ChildGenerate(const WorkspaceGen::Result &ws, const QString &outDir)
{
    TestSupport::OpenedProgram p;
    if (!openAll(p, ws, true))
        return 1;
    auto *page = p.GetObj<outdef>(RegSlot::ObjOutdef);
    const DefinitionSelection selection = readSelection(ws);
    FileOutProgress progress(p.window);
    const QString runDir = outDir + QStringLiteral("/run");
    const QString bareDir = outDir + QStringLiteral("/bare");
    QDir().mkpath(runDir);
    QDir().mkpath(bareDir);

    // The events the GUI thread lets through while the run goes on, and the bar they see.
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QSet<int> bar;
    auto *pbar = progress.findChild<QProgressBar *>(QStringLiteral("PBAR"));
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
        if (pbar && progress.isVisible())
            bar.insert(pbar->value());
    });
    tick.start();
    clock.start();
    const int written = run(page, selection, &progress, runDir);
    const double runMs = clock.nsecsElapsed() / 1e6;
    longest = std::max(longest, clock.elapsed() - last);
    tick.stop();

    // The same bytes through QSaveFile, encoded beforehand: the raw cost of the writes.
    QList<QPair<QString, QByteArray>> bytes;
    qint64 total = 0;
    QTextCodec *codec = QTextCodec::codecForLocale();
    for (const GeneratedFile &file : page->GetGeneratedList()) {
        bytes.append({bareDir + QLatin1Char('/') + file.name, codec->fromUnicode(file.text)});
        total += bytes.last().second.size();
    }
    clock.restart();
    for (const auto &file : qAsConst(bytes)) {
        QSaveFile f(file.first);
        if (f.open(QIODevice::WriteOnly | QIODevice::Text))
            f.write(file.second);
        f.commit();
    }
    const double bareMs = clock.nsecsElapsed() / 1e6;

    // The first run after the open builds the other members' rows; the same run again does not.
    QDir(runDir).removeRecursively();
    QDir().mkpath(runDir);
    clock.restart();
    run(page, selection, &progress, runDir);
    const double againMs = clock.nsecsElapsed() / 1e6;

    // Cancel pressed a third of a run in: how long from the press being due to the run's end.
    QDir(runDir).removeRecursively();
    QDir().mkpath(runDir);
    const qint64 due = std::max<qint64>(50, qint64(againMs / 3));
    qint64 pressed = -1;
    QTimer::singleShot(int(due), [&] {
        pressed = clock.elapsed();
        if (auto *cancel = progress.findChild<QPushButton *>(QStringLiteral("CANCEL")))
            cancel->click();
    });
    clock.restart();
    const int beforeCancel = run(page, selection, &progress, runDir);
    const double answered = pressed < 0 ? -1 : clock.nsecsElapsed() / 1e6 - double(due);
    QTextStream(stdout) << runMs << ' ' << bareMs << ' ' << written << ' ' << total << ' ' << longest << ' '
                        << bar.size() << ' ' << answered << ' ' << beforeCancel << ' ' << againMs << '\n';
    finish();
    return 0;
}

int ChildSchedule(const WorkspaceGen::Result &ws, int runs)
{
    TestSupport::OpenedProgram p;
    if (!openAll(p, ws, false))
        return 1;
    auto *schedule = p.GetObj<Schedule>(RegSlot::ObjSchedule);
    QTreeWidget *users = p.tab()->GetUserTree();
    QVector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        schedule->MakeSchedule(users, true);
        times.append(t.nsecsElapsed() / 1e6);
    }
    // The bare limit: a tree of the same rows with the same texts, and a bar for each in a scene.
    QList<QTreeWidgetItem *> sources;
    for (int m = 0; m < users->topLevelItemCount(); ++m) {
        for (int l = 0; l < users->topLevelItem(m)->childCount(); ++l) {
            QTreeWidgetItem *lrow = users->topLevelItem(m)->child(l);
            sources.append(lrow);
            for (int s = 0; s < lrow->childCount(); ++s)
                sources.append(lrow->child(s));
        }
    }
    QVector<double> bare;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        QTreeWidget tree;
        tree.setColumnCount(10);
        QGraphicsScene scene;
        int y = 0;
        for (QTreeWidgetItem *source : qAsConst(sources)) {
            auto *row = new QTreeWidgetItem(&tree);
            for (int c = 0; c < 10; ++c)
                row->setText(c, source->text(c % source->columnCount()));
            scene.addRect(0, y, 100 + y % 300, 12);
            scene.addText(source->text(0))->setPos(0, y);
            y += 16;
        }
        bare.append(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::sort(bare.begin(), bare.end());
    QTextStream(stdout) << times.at(times.size() / 2) << ' ' << bare.at(bare.size() / 2) << ' '
                        << sources.size() << ' ' << users->topLevelItemCount() << '\n';
    finish();
    return 0;
}
} // namespace BenchGenerate
