#include "core/safefile.h"
#include "genprogram.h"
#include "members/manager.h"
#include "output/fileoutprogress.h"
#include "output/outmenudiag.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>
#include <unistd.h>

using namespace TestSupport;

class tst_outrace : public QObject
{
    Q_OBJECT
private slots:
    void write_subfolderSwappedForLinkWhileWriting_nothingOutside_data();
    void write_subfolderSwappedForLinkWhileWriting_nothingOutside();
    void referenceList_temporaryLeftByKilledCopy_notOffered();
};

void tst_outrace::write_subfolderSwappedForLinkWhileWriting_nothingOutside_data()
{
    QTest::addColumn<bool>("copy");
    QTest::newRow("generated file") << false;
    QTest::newRow("reference copy") << true;
}

// The output folder was checked, then the file written by its path: a subfolder swapped for a
// link to another folder between the two got the file written there. The swap races the writes
// here; whichever way each write falls, it lands inside or is refused.
void tst_outrace::write_subfolderSwappedForLinkWhileWriting_nothingOutside()
{
    QFETCH(bool, copy);
    // In memory where there is such a folder: the writer syncs every file.
    const QString base =
        QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    QTemporaryDir tmp(base + QStringLiteral("/outrace-XXXXXX"));
    QVERIFY(tmp.isValid());
    const QString out = tmp.filePath("out");
    const QString outside = tmp.filePath("outside");
    QVERIFY(QDir().mkpath(out + "/sub") && QDir().mkpath(outside));
    writeFile(tmp.filePath("source.txt"), "reference");
    const QByteArray sub = QFile::encodeName(out + "/sub");
    const QByteArray aside = QFile::encodeName(out + "/sub.real");
    const QByteArray target = QFile::encodeName(outside);
    std::atomic<bool> stop{false};
    std::atomic<int> swaps{0};
    std::thread swapper([&] {
        while (!stop.load()) {
            if (::rename(sub.constData(), aside.constData()) != 0 ||
                ::symlink(target.constData(), sub.constData()) != 0)
                break;
            ::unlink(sub.constData());
            if (::rename(aside.constData(), sub.constData()) != 0)
                break;
            ++swaps;
        }
    });
    QElapsedTimer timer;
    timer.start();
    int written = 0;
    int i = 0;
    // At least 10,000 writes and 1,000 swaps, whichever is later, within a few seconds; and a
    // swap and a write at least, however long a busy machine keeps the swapper waiting.
    for (;
         (i < 10000 || swaps.load() < 1000) && (timer.elapsed() < 4000 || swaps.load() == 0 || written == 0);
         ++i) {
        const QString path = out + QStringLiteral("/sub/f%1.txt").arg(i % 50);
        written += copy ? SafeFile::ReplaceByCopyWithin(out, tmp.filePath("source.txt"), path, QDateTime())
                        : FileOutProgress::WriteOutput(out, path, QStringLiteral("generated"));
    }
    stop = true;
    swapper.join();
    QVERIFY(swaps.load() > 0);
    QVERIFY(written > 0);
    QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList());
    // A refusal names the folder path it would not follow.
    QVERIFY(QFile::rename(out + "/sub", out + "/sub.real") && QFile::link(outside, out + "/sub"));
    QVERIFY(!FileOutProgress::WriteOutput(out, out + "/sub/x.txt", QStringLiteral("g")));
    QVERIFY(SafeFile::LastRefused() && SafeFile::LastError().contains(out + "/sub/x.txt"));
}

// A copy killed half-way left its temporary among the reference files: the run's list offered it.
void tst_outrace::referenceList_temporaryLeftByKilledCopy_notOffered()
{
    GenProgram p;
    p.openInstances();
    p.openCase(QStringLiteral("e1_plain_var"));
    p.SetIntVar(RegSlot::IntDocKind, 4);
    auto *row = new QTreeWidgetItem(p.GetObj<manager>(RegSlot::ObjManager)->GetTree());
    row->setData(0, Qt::UserRole, 1);
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(false));
    auto *tree = dialog.findChild<QTreeWidget *>("TREE");
    const QString key = tree->topLevelItem(0)->child(0)->child(0)->data(3, Qt::UserRole).toString();
    const QString folder =
        p.instanceDir() + "/REFERENCE/" + key.section('-', 0, 0) + '/' + key.section('-', 1);
    QVERIFY(QDir().mkpath(folder));
    for (const char *name : {"spec.txt", ".spec.txt.k2x9.pelmorine-tmp", ".hidden.txt"})
        writeFile(folder + '/' + QLatin1String(name), "x");
    QVERIFY(dialog.InitOutMenu(false));
    QStringList offered;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (!(*it)->text(5).isEmpty())
            offered << (*it)->text(5);
    }
    offered.sort();
    QCOMPARE(offered, (QStringList{".hidden.txt", "spec.txt"}));
}

QTEST_MAIN(tst_outrace)
#include "tst_outrace.moc"
