#include "filesizelimit.h"
#include "genprogram.h"
#include "instance/valuetable.h"
#include "members/manager.h"
#include "output/fileoutprogress.h"
#include "output/outmenudiag.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCodec>
#include <QTimer>
#include <QtTest>

using namespace TestSupport;

namespace
{
// Answers every box of the run with OK as it comes up, keeping "title|informative text" of each.
void answerEveryBox(QTimer *timer, QStringList *shown)
{
    QObject::connect(timer, &QTimer::timeout, [shown] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown->append(box->windowTitle() + QLatin1Char('|') + box->informativeText());
            box->findChild<QPushButton *>("OK")->click();
        }
    });
    timer->start(10);
}

// A reference-tree file row as the run dialog makes it, joined into a ring of its name.
QTreeWidgetItem *fileRow(QTreeWidget *tree, const QString &name, const QString &key, bool checked)
{
    auto *row = new QTreeWidgetItem(tree);
    row->setText(5, name);
    row->setData(3, Qt::UserRole, key);
    row->setCheckState(5, checked ? Qt::Checked : Qt::Unchecked);
    row->setData(5, Qt::UserRole, QVariant::fromValue(static_cast<void *>(row)));
    return row;
}

void link(QTreeWidgetItem *a, QTreeWidgetItem *b)
{
    a->setData(5, Qt::UserRole, QVariant::fromValue(static_cast<void *>(b)));
    b->setData(5, Qt::UserRole, QVariant::fromValue(static_cast<void *>(a)));
}

QDomElement rootOf(const QString &path)
{
    static QList<QDomDocument> docs;
    docs.append(QDomDocument());
    docs.last().setContent(readFile(path));
    return docs.last().documentElement();
}
} // namespace

class tst_outrun : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join('\n'))); }
    void writeGenerated_refusesEscapesAndFailuresCountsTheRest();
    void writeGenerated_stoppedFileReportedOthersWritten();
    void writeGenerated_manyStoppedAndRefused_oneMessageNamesThem();
    void writeGenerated_runStopAfterTenProblems_stillToldWithFilesLeft();
    void outputPath_data();
    void outputPath();
    void writeGenerated_cancelBetweenFiles_stopsAndBarCountsExpansion();
    void writeGenerated_localeEncoding_data();
    void writeGenerated_localeEncoding();
    void writeOutput_diskFull_keepsOldAndFails();
    void copyReferences_sameOlderMissingSkipOverwriteCancel();
    void hostileNamesAndLinks_nothingOutsideTheFolder();
    void extensionPattern_data();
    void extensionPattern();
    void selectionIndexes_stayClearOfOtherDocuments();
    void dialog_noOwnMemberIsNotShown();
    void dialog_runWritesOutputsAndRemembersTheChoices();
    void dialog_hostileOutDir_refusedAndSaid_data();
    void dialog_hostileOutDir_refusedAndSaid();
    void dialog_folderShownIsTheOneCheckedAndNamed();
    void dialog_valueTypedNotYetTaken_runWritesTheShownValue();
    void run_refusedInput_thatFileNotWrittenOthersAre_data();
    void run_refusedInput_thatFileNotWrittenOthersAre();
};

void tst_outrun::writeGenerated_refusesEscapesAndFailuresCountsTheRest()
{
    RegistryScope scope;
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out");
    QDir().mkpath(out + "/sub");
    writeFile(out + "/main.c", "old text that is longer");
    const QList<GeneratedFile> files = {{"main.c", "new\n"}, {"", "unnamed"},
                                        {"../x", "escape"},  {"/tmp/abs", "abs"},
                                        {"sub", "a folder"}, {"a/../b.h", "kept inside"}};
    FileOutProgress progress;
    progress.ResetProgress();
    progress.SetOutputFiles(out, &files);
    QVERIFY(progress.StartOutput(true, false, out, nullptr));
    QCOMPARE(progress.Total(), 6);
    QCOMPARE(progress.Done(), 2);
    QCOMPARE(readFile(out + "/main.c"), QByteArray("new\n"));
    QCOMPARE(readFile(out + "/b.h"), QByteArray("kept inside"));
    QVERIFY(!QFile::exists(tmp.filePath("x")));
    QVERIFY(QFileInfo(out + "/sub").isDir());
    QVERIFY(progress.isHidden());
    // Nothing to write or copy: the dialog is not shown.
    const QList<GeneratedFile> none;
    progress.ResetProgress();
    progress.SetOutputFiles(out, &none);
    QVERIFY(!progress.StartOutput(true, false, out, nullptr));
}

void tst_outrun::writeGenerated_stoppedFileReportedOthersWritten()
{
    GenProgram p;
    QTemporaryDir tmp;
    writeFile(tmp.filePath("big.c"), "kept");
    const QList<GeneratedFile> files = {{"big.c", "", "output of big.c was stopped"}, {"small.h", "ok"}};
    FileOutProgress progress;
    progress.ResetProgress();
    progress.SetOutputFiles(tmp.path(), &files);
    QString text;
    answerNextBox("OK", nullptr, &text);
    QVERIFY(progress.StartOutput(true, false, tmp.path(), nullptr));
    QCOMPARE(progress.Done(), 1);
    QCOMPARE(readFile(tmp.filePath("big.c")), QByteArray("kept"));
    QCOMPARE(readFile(tmp.filePath("small.h")), QByteArray("ok"));
    QCOMPARE(text, QStringLiteral("File error"));

    // A run stopped at a file without a name says so all the same.
    const QList<GeneratedFile> unnamed = {{"", "", "the output run was stopped at t"}};
    progress.ResetProgress();
    progress.SetOutputFiles(tmp.path(), &unnamed);
    QString shown;
    answerNextBox("OK", &shown);
    QVERIFY(progress.StartOutput(true, false, tmp.path(), nullptr));
    QCOMPARE(shown, QStringLiteral("File error"));
}

// Hundreds of files stopped or refused in one run asked for an answer each, one box after another.
void tst_outrun::writeGenerated_manyStoppedAndRefused_oneMessageNamesThem()
{
    GenProgram p;
    QTemporaryDir tmp;
    QList<GeneratedFile> files;
    for (int i = 0; i < 13; ++i)
        files.append(GeneratedFile{QStringLiteral("big%1.c").arg(i), "",
                                   QStringLiteral("output of big%1.c was stopped").arg(i)});
    for (int i = 0; i < 12; ++i)
        files.append(GeneratedFile{QStringLiteral("../up%1.c").arg(i), "escape"});
    files.append(GeneratedFile{"small.h", "ok"});
    FileOutProgress progress;
    progress.ResetProgress();
    progress.SetOutputFiles(tmp.path(), &files);
    QStringList shown;
    QTimer answer;
    answerEveryBox(&answer, &shown);
    QVERIFY(progress.StartOutput(true, false, tmp.path(), nullptr));
    QCOMPARE(progress.Done(), 1);
    QCOMPARE(readFile(tmp.filePath("small.h")), QByteArray("ok"));
    QCOMPARE(shown.size(), 1);
    const QStringList lines = shown.first().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), FileOutProgress::MaxReported + 1);
    QCOMPARE(lines.first(), QStringLiteral("File error|output of big0.c was stopped"));
    QVERIFY2(lines.at(FileOutProgress::MaxReported - 1).contains("big9.c"), qPrintable(shown.first()));
    QCOMPARE(lines.last(), QStringLiteral("... and 15 more file(s)"));

    // The refused files are named by the message the writer always gave.
    files = files.mid(13);
    shown.clear();
    progress.ResetProgress();
    QVERIFY(progress.StartOutput(true, false, tmp.path(), nullptr));
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains(QRegularExpression("\\|can not write file:[^\n]*up0\\.c\n")),
             qPrintable(shown.first()));
    QVERIFY(shown.first().endsWith("... and 2 more file(s)"));
}

// The box keeps its first ten entries: where the run stopped, told last, was the one cut, and
// nothing said that the files after it were not written.
void tst_outrun::writeGenerated_runStopAfterTenProblems_stillToldWithFilesLeft()
{
    GenProgram p;
    QTemporaryDir tmp;
    // 9 files whose place a folder holds, 3 each past the size bound, 5 small ones.
    QByteArray seqs, fileXml;
    for (int i = 1; i <= 17; ++i)
        appendFileOfLeaf(&seqs, &fileXml, i, 100 + i);
    for (int i = 0; i < 3; ++i)
        fileXml.replace("FileName='f" + QByteArray::number(10 + i) + "'",
                        "FileName='big" + QByteArray::number(i) + "'");
    p.open("<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='' CompletionDate=''>"
           "<SEQUENCE MaxID='200'>" +
           seqs + "</SEQUENCE><FILES MaxID='20'>" + fileXml + "</FILES></Root_Output>");
    for (int i = 1; i <= 17; ++i) {
        const bool big = i >= 10 && i <= 12;
        SeqRecord *file = p.page()->FindSeq(i);
        SeqRecord *leaf = p.page()->FindSeq(100 + i);
        file->data->SetAttr("Expression", QStringLiteral("$Seq[%1]").arg(100 + i).repeated(big ? 100 : 1));
        leaf->data->SetAttr("Expression", big ? QString(340000, QLatin1Char('a')) : QStringLiteral("x"));
        file->data->flags[0] = leaf->data->flags[0] = true;
        QVERIFY(i > 9 || QDir().mkpath(tmp.filePath(QStringLiteral("f%1.c").arg(i))));
    }
    p.page()->GenerateFiles(OutputGenerator::Run);
    const QList<GeneratedFile> &files = p.page()->GetGeneratedList();
    // The run stops where the budget runs out: the entry names that file and counts those after it.
    const QString stoppedAt = files.last().name;
    QVERIFY2(stoppedAt.startsWith("big"), qPrintable(stoppedAt));
    FileOutProgress progress;
    progress.ResetProgress();
    progress.SetOutputFiles(tmp.path(), &files);
    QStringList boxes;
    QTimer answer;
    answerEveryBox(&answer, &boxes);
    QVERIFY(progress.StartOutput(true, false, tmp.path(), nullptr));
    const QString shown = boxes.isEmpty() ? QString() : boxes.last().section(QLatin1Char('|'), 1);
    QCOMPARE(progress.Done(), 0);
    QVERIFY2(shown.split('\n').first().contains("f1.c"), qPrintable(shown));
    const QString last = shown.split('\n').last();
    QVERIFY2(last.contains(QStringLiteral("stopped at %1").arg(stoppedAt)), qPrintable(shown));
    QVERIFY2(last.contains(QStringLiteral("%1 and the %2 file(s) after it are not written")
                               .arg(stoppedAt)
                               .arg(17 - files.size())),
             qPrintable(shown));
    QVERIFY(!QFile::exists(tmp.filePath("f13.c")));
}

void tst_outrun::outputPath_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("root folder") << "/"
                                 << "a.c"
                                 << "/a.c";
    QTest::newRow("trailing separator") << "/tmp/out/"
                                        << "a.c"
                                        << "/tmp/out/a.c";
    QTest::newRow("folder itself") << "/tmp/out"
                                   << "."
                                   << "";
    QTest::newRow("sibling with the same start") << "/tmp/out"
                                                 << "../out2/a.c"
                                                 << "";
    QTest::newRow("up from root") << "/"
                                  << "../a.c"
                                  << "";
}

void tst_outrun::outputPath()
{
    QFETCH(QString, dir);
    QFETCH(QString, name);
    QTEST(FileOutProgress::OutputPath(dir, name), "path");
}

void tst_outrun::writeGenerated_cancelBetweenFiles_stopsAndBarCountsExpansion()
{
    RegistryScope scope;
    QTemporaryDir tmp;
    QList<GeneratedFile> files;
    for (int i = 0; i < 50; ++i)
        files.append({QStringLiteral("f%1.c").arg(i), QStringLiteral("text")});
    FileOutProgress progress;
    auto *bar = progress.findChild<QProgressBar *>("PBAR");
    // Expansion fills the first half of the bar, the writing the second.
    progress.ResetProgress();
    QVERIFY(progress.GenerateStep(25, 50));
    QVERIFY(progress.isVisible());
    QCOMPARE(bar->value(), 25);
    QVERIFY(progress.GenerateStep(50, 50));
    QCOMPARE(bar->value(), 50);
    progress.SetOutputFiles(tmp.path(), &files);
    int lowest = 100;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { lowest = std::min(lowest, v); });
    QVERIFY(progress.StartOutput(true, false, tmp.path(), nullptr));
    QCOMPARE(progress.Done(), 50);
    QCOMPARE(bar->value(), 100);
    QVERIFY(lowest > 50);
    QVERIFY(!progress.isVisible());

    // Cancel pressed while the files are written: the writing stops at the next file.
    QDir(tmp.path()).removeRecursively();
    QDir().mkpath(tmp.path());
    progress.ResetProgress();
    progress.SetOutputFiles(tmp.path(), &files);
    QTimer::singleShot(0, &progress, [&] { progress.findChild<QPushButton *>("CANCEL")->click(); });
    QVERIFY(progress.StartOutput(true, false, tmp.path(), nullptr));
    QVERIFY(progress.Done() < files.size());
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files).size(), progress.Done());
    QVERIFY(!progress.isVisible());

    // Cancel pressed during the expansion: the step says stop, and the next run starts clean.
    progress.ResetProgress();
    QVERIFY(progress.GenerateStep(1, 50));
    progress.findChild<QPushButton *>("CANCEL")->click();
    QVERIFY(!progress.GenerateStep(2, 50));
    QVERIFY(progress.Cancelled());
    progress.ResetProgress();
    QVERIFY(!progress.Cancelled());
}

void tst_outrun::writeGenerated_localeEncoding_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("latin-1") << QByteArray("ISO-8859-1") << QByteArray("\xE9");
    QTest::newRow("utf-8") << QByteArray("UTF-8") << QByteArray("\xC3\xA9");
}

void tst_outrun::writeGenerated_localeEncoding()
{
    QFETCH(QByteArray, codec);
    QTextCodec *before = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(codec));
    QTemporaryDir tmp;
    const bool written = FileOutProgress::WriteOutput(tmp.path(), tmp.filePath("e.txt"), QStringLiteral("é"));
    QTextCodec::setCodecForLocale(before);
    QVERIFY(written);
    QTEST(readFile(tmp.filePath("e.txt")), "bytes");
}

// A disk that fills while an output is written leaves the earlier output, and says so.
void tst_outrun::writeOutput_diskFull_keepsOldAndFails()
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath("out.txt");
    writeFile(path, "earlier output");
    {
        FileSizeLimit limit(512);
        QVERIFY(limit.IsSet());
        QVERIFY(!FileOutProgress::WriteOutput(tmp.path(), path, QString(4000, QLatin1Char('g'))));
    }
    QCOMPARE(readFile(path), QByteArray("earlier output"));
}

void tst_outrun::copyReferences_sameOlderMissingSkipOverwriteCancel()
{
    RegistryScope scope;
    QTemporaryDir tmp;
    scope.SetStrVar(RegSlot::StrInstanceDir, tmp.filePath("inst"));
    const QString src = tmp.filePath("inst/REFERENCE/1/7/");
    const QString out = tmp.filePath("out");
    QDir().mkpath(out);
    QDir().mkpath(src);
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    const QDateTime newer = QDateTime::currentDateTime().addDays(-1);
    writeAt(src + "same.txt", "same", old);
    writeAt(out + "/same.txt", "same", old);
    writeAt(src + "older.txt", "source", old);
    writeAt(out + "/older.txt", "target is newer", newer);
    writeAt(src + "fresh.txt", "fresh", old);

    QTreeWidget tree;
    FileOutProgress::RingHeads heads;
    for (const char *name : {"same.txt", "older.txt", "fresh.txt", "gone.txt"})
        heads.insert(name, fileRow(&tree, name, "1-7", true));
    // Two rows of one name: the checked one met first from the head is taken.
    QTreeWidgetItem *other = fileRow(&tree, "fresh.txt", "1-8", true);
    link(heads.value("fresh.txt"), other);

    FileOutProgress progress;
    progress.ResetProgress();
    QVERIFY(progress.StartOutput(false, true, out, &heads));
    QCOMPARE(progress.Total(), 4);
    auto *msg = progress.findChild<QLabel *>("MSG");
    auto *overwrite = progress.findChild<QPushButton *>("OVERWRITE");
    auto *log = progress.findChild<QPlainTextEdit *>("FLIST");
    // The heads come in the table's order: answer whichever question waits until the run ends.
    bool sawOlder = false, sawMissing = false;
    while (progress.isVisible()) {
        if (msg->text().contains("older")) {
            sawOlder = true;
            QVERIFY(overwrite->isVisible());
            overwrite->click();
        } else {
            QVERIFY(msg->text().contains("is not found"));
            QVERIFY(!overwrite->isVisible());
            sawMissing = true;
            progress.findChild<QPushButton *>("SKIP")->click();
        }
    }
    QVERIFY(sawOlder && sawMissing);
    QCOMPARE(progress.Done(), 4);
    QCOMPARE(readFile(out + "/older.txt"), QByteArray("source"));
    QCOMPARE(readFile(out + "/fresh.txt"), QByteArray("fresh"));
    QCOMPARE(QFileInfo(out + "/fresh.txt").lastModified(), QFileInfo(src + "fresh.txt").lastModified());
    QVERIFY(log->toPlainText().contains("same.txt"));
    QVERIFY(log->document()->toHtml().contains("#ffff00", Qt::CaseInsensitive));

    // Cancel at the question keeps what was copied and copies nothing more.
    writeAt(out + "/older.txt", "newer again", QDateTime::currentDateTime());
    QDir(out).remove("fresh.txt");
    progress.ResetProgress();
    QVERIFY(progress.StartOutput(false, true, out, &heads));
    while (progress.isVisible() && !msg->text().contains("older"))
        progress.findChild<QPushButton *>("SKIP")->click();
    if (progress.isVisible())
        progress.findChild<QPushButton *>("CANCEL")->click();
    QVERIFY(!progress.isVisible());
    QCOMPARE(readFile(out + "/older.txt"), QByteArray("newer again"));

    // A folder where the copy should go: the question, not a false success.
    QDir(out).remove("older.txt");
    QDir().mkpath(out + "/older.txt");
    writeAt(src + "older.txt", "source", QDateTime::currentDateTime());
    QTreeWidget one;
    FileOutProgress::RingHeads single{{"older.txt", fileRow(&one, "older.txt", "1-7", true)}};
    progress.ResetProgress();
    QVERIFY(progress.StartOutput(false, true, out, &single));
    QVERIFY(msg->text().contains("can not be copy"));
    progress.findChild<QPushButton *>("SKIP")->click();
    QVERIFY(!progress.isVisible());

    // A full disk: the question says so, and the old file stays.
    QDir().rmdir(out + "/older.txt");
    writeFile(out + "/older.txt", "old");
    writeAt(src + "older.txt", QByteArray(4000, 's'), QDateTime::currentDateTime());
    progress.ResetProgress();
    {
        FileSizeLimit full(512);
        QVERIFY(progress.StartOutput(false, true, out, &single));
    }
    QVERIFY2(msg->text().contains(qt_error_string(EFBIG)), qPrintable(msg->text()));
    progress.findChild<QPushButton *>("SKIP")->click();
    QCOMPARE(readFile(out + "/older.txt"), QByteArray("old"));
}

// Reference files and generated files come from other members: whatever their names or links,
// the run writes only inside the output folder, reads only among the reference files, and says
// what it refused.
void tst_outrun::hostileNamesAndLinks_nothingOutsideTheFolder()
{
    RegistryScope scope;
    QTemporaryDir tmp;
    scope.SetStrVar(RegSlot::StrInstanceDir, tmp.filePath("inst"));
    const QString src = tmp.filePath("inst/REFERENCE/1/7/");
    const QString out = tmp.filePath("a/b/out");
    const QString outside = tmp.filePath("outside");
    QDir().mkpath(out);
    QDir().mkpath(src);
    QDir().mkpath(outside);
    writeFile(outside + "/secret", "secret");
    writeFile(outside + "/victim", "victim");
    for (const char *name : {"..\\..\\x.txt", "a\nb.txt", "-rf", "t.txt"})
        writeFile(src + QString::fromUtf8(name), name);
    QVERIFY(QFile::link(outside + "/secret", src + "link.txt"));
    QVERIFY(QFile::link(outside + "/victim", out + "/t.txt"));
    QVERIFY(QFile::link(outside, out + "/sub"));
    QVERIFY(QFile::link(outside + "/victim", out + "/z.c"));

    QTreeWidget tree;
    FileOutProgress::RingHeads heads;
    for (const char *name : {"..\\..\\x.txt", "a\nb.txt", "-rf", "t.txt", "link.txt"})
        heads.insert(name, fileRow(&tree, name, "1-7", true));
    FileOutProgress progress;
    progress.ResetProgress();
    const QList<GeneratedFile> files = {{"sub/y.c", "through a link"}, {"z.c", "onto a link"}};
    progress.SetOutputFiles(out, &files);
    QVERIFY(progress.StartOutput(true, true, out, &heads));
    auto *msg = progress.findChild<QLabel *>("MSG");
    QStringList refused;
    while (progress.isVisible()) {
        QVERIFY2(msg->text().contains("leads outside its folder"), qPrintable(msg->text()));
        refused << msg->text();
        progress.findChild<QPushButton *>("SKIP")->click();
    }
    QCOMPARE(refused.size(), 3);
    for (const char *name : {"..\\..\\x.txt", "t.txt", "link.txt"})
        QVERIFY2(refused.filter(QString::fromUtf8(name)).size() == 1, name);
    QCOMPARE(readFile(out + "/a\nb.txt"), QByteArray("a\nb.txt"));
    QCOMPARE(readFile(out + "/-rf"), QByteArray("-rf"));
    QCOMPARE(readFile(outside + "/victim"), QByteArray("victim"));
    QCOMPARE(QDir(outside).entryList(QDir::Files | QDir::Hidden), (QStringList{"secret", "victim"}));
    QVERIFY(!QFile::exists(out + "/link.txt"));
    QVERIFY(!QFile::exists(tmp.filePath("a/x.txt")) && !QFile::exists(tmp.filePath("x.txt")));
    QCOMPARE(progress.Done(), 5); // two copied, three skipped at the question
}

void tst_outrun::extensionPattern_data()
{
    QTest::addColumn<QString>("extensions");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("passes");
    QTest::newRow("c") << "c;h"
                       << "main.c" << true;
    QTest::newRow("h") << "c;h"
                       << "a.h" << true;
    QTest::newRow("cpp") << "c;h"
                         << "main.cpp" << false;
    QTest::newRow("no dot") << "c;h"
                            << "c" << false;
    QTest::newRow("case") << "c;h"
                          << "main.C" << false;
    QTest::newRow("separators only") << ";"
                                     << "main.c" << false;
    QTest::newRow("plus signs literal") << "c++"
                                        << "a.c++" << true;
    QTest::newRow("star literal") << "*"
                                  << "a.txt" << false;
}

void tst_outrun::extensionPattern()
{
    QFETCH(QString, extensions);
    QFETCH(QString, name);
    const QRegularExpression pattern = OutMenuDiag::ExtensionPattern(extensions);
    QVERIFY(pattern.isValid());
    QTEST(pattern.match(name).hasMatch(), "passes");
}

void tst_outrun::selectionIndexes_stayClearOfOtherDocuments()
{
    for (int n : {0, 1, 1999, 2000, 5000, 100000}) {
        QVERIFY(OutMenuDiag::DefIndex(n) > XmlIndex::InstanceDoc + 10000);
        QVERIFY(OutMenuDiag::RefIndex(n) != OutMenuDiag::DefIndex(n + 1));
        QCOMPARE(OutMenuDiag::RefIndex(n), OutMenuDiag::DefIndex(n) + 1);
    }
}

void tst_outrun::dialog_noOwnMemberIsNotShown()
{
    GenProgram p;
    OutMenuDiag dialog;
    QVERIFY(!dialog.InitOutMenu(false)); // an empty instance tree
    p.SetStrVar(RegSlot::StrInstanceDir, p.instanceDir());
    p.addMember(2, "other", "other@x");
    p.GetObj<deftab>(RegSlot::ObjDeftab)->LoadInstanceDocument(&p.members);
    QVERIFY(!dialog.InitOutMenu(false));
}

void tst_outrun::dialog_runWritesOutputsAndRemembersTheChoices()
{
    GenProgram p;
    p.openInstances();
    p.openCase(QStringLiteral("e1_plain_var"));
    p.SetIntVar(RegSlot::IntDocKind, 4);
    QTreeWidget *mtree = p.GetObj<manager>(RegSlot::ObjManager)->GetTree();
    for (int n : {1, 2}) {
        auto *row = n == 1 ? new QTreeWidgetItem(mtree) : new QTreeWidgetItem(mtree->topLevelItem(0));
        row->setData(0, Qt::UserRole, n);
        row->setText(0, n == 1 ? "me" : "other");
    }
    QTemporaryDir out;
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(true));
    auto *dtree = dialog.findChild<QTreeWidget *>("DTREE");
    QTreeWidgetItem *lclass = dtree->topLevelItem(0)->child(0);
    QCOMPARE(lclass->data(0, Qt::UserRole).toInt(), 5);
    QTreeWidgetItem *me = lclass->child(0);
    QTreeWidgetItem *other = lclass->child(1);
    // The default: the running member with all their instances; members act as radio buttons.
    QCOMPARE(me->checkState(3), Qt::Checked);
    QCOMPARE(me->child(0)->checkState(4), Qt::Checked);
    other->setCheckState(3, Qt::Checked);
    QCOMPARE(me->checkState(3), Qt::Unchecked);
    QCOMPARE(me->child(0)->checkState(4), Qt::Unchecked);
    other->setCheckState(3, Qt::Unchecked);
    QCOMPARE(me->checkState(3), Qt::Checked);

    auto *msg = dialog.findChild<QLabel *>("MSG");
    dialog.findChild<QCheckBox *>("REF_CHECK")->setChecked(false);
    dialog.findChild<QCheckBox *>("DEF_CHECK")->setChecked(false);
    dialog.findChild<QPushButton *>("OUTPUT")->click();
    QCOMPARE(msg->text(), QStringLiteral("both output is not checked"));
    dialog.findChild<QCheckBox *>("DEF_CHECK")->setChecked(true);
    dialog.findChild<QPushButton *>("OUTPUT")->click();
    QCOMPARE(msg->text(), QStringLiteral("pattern output directory is not selected"));
    dialog.findChild<QCheckBox *>("REF_CHECK")->setChecked(true);
    dialog.findChild<QLineEdit *>("DIR")->setText(out.filePath("missing"));
    dialog.findChild<QPushButton *>("OUTPUT")->click();
    // The folder shown is the definition page's: the message names it, not the reference's.
    QCOMPARE(msg->text(), QStringLiteral("pattern output directory is not exist"));

    dialog.findChild<QLineEdit *>("DIR")->setText(out.path());
    dialog.findChild<QPushButton *>("OUTPUT")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Progress()->isVisible(), 120000);
    QCOMPARE(readFile(out.filePath("main.c")), QByteArray("name=Core;\n"));

    const QDomElement def = rootOf(p.dir() + "/defoutput_1.xml");
    QCOMPARE(def.tagName(), QStringLiteral("Root_DefOutput"));
    QCOMPARE(def.firstChildElement("OutDir").attribute("dir"), out.path());
    const QDomElement model = def.firstChildElement("InstList").firstChildElement("LModel");
    QCOMPARE(def.firstChildElement("InstList").attribute("FileID"), QStringLiteral("1"));
    QCOMPARE(model.attribute("User") + ":" + model.attribute("ID"), QStringLiteral("1:5"));
    QCOMPARE(model.firstChildElement("LInstance").attribute("ID"), QStringLiteral("I1-20"));
    const QDomElement ref = rootOf(p.instanceDir() + "/refoutput_1.xml");
    QCOMPARE(ref.firstChildElement("CHECK").attribute("def"), QStringLiteral("y"));
    QCOMPARE(ref.firstChildElement("SELECT").attribute("owner"), QStringLiteral("-1"));
    QVERIFY(!ref.firstChildElement("FileList").isNull());

    // Reopened, the same member row is checked again; the other member stays unchecked.
    other->setCheckState(3, Qt::Checked);
    QVERIFY(dialog.InitOutMenu(true));
    lclass = dtree->topLevelItem(0)->child(0);
    QCOMPARE(lclass->child(0)->checkState(3), Qt::Checked);
    QCOMPARE(lclass->child(1)->checkState(3), Qt::Unchecked);
    QCOMPARE(dialog.findChild<QLineEdit *>("DIR")->text(), out.path());
}

void tst_outrun::dialog_hostileOutDir_refusedAndSaid_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("member");
    for (bool member : {false, true}) {
        const char *from = member ? "member's own, " : "selection, ";
        QTest::newRow(QByteArray(from).append("relative")) << QStringLiteral("relative") << member;
        QTest::newRow(QByteArray(from).append("dot-dot")) << QStringLiteral("dotdot") << member;
        QTest::newRow(QByteArray(from).append("link")) << QStringLiteral("link") << member;
        QTest::newRow(QByteArray(from).append("absolute")) << QStringLiteral("absolute") << member;
    }
}

// The selection files and the member's file lie in shared folders. An output folder read from
// them is shown and used only when it is an absolute path without ".." that is no link; otherwise
// the dialog says so and the run writes nothing until a folder is chosen.
void tst_outrun::dialog_hostileOutDir_refusedAndSaid()
{
    QFETCH(QString, kind);
    QFETCH(bool, member);
    GenProgram p;
    p.openInstances();
    p.openCase(QStringLiteral("e1_plain_var"));
    p.SetIntVar(RegSlot::IntDocKind, 4);
    QTreeWidget *mtree = p.GetObj<manager>(RegSlot::ObjManager)->GetTree();
    auto *row = new QTreeWidgetItem(mtree);
    row->setData(0, Qt::UserRole, 1);
    QTemporaryDir elsewhere;
    QDir().mkpath(elsewhere.filePath("real"));
    QString dir;
    if (kind == "relative")
        dir = QStringLiteral("../../x");
    else if (kind == "dotdot")
        dir = elsewhere.filePath("real/../../x");
    else if (kind == "link")
        QVERIFY(QFile::link(elsewhere.filePath("real"), dir = elsewhere.filePath("link")));
    else
        dir = elsewhere.filePath("real");
    for (const QString &file : {p.dir() + "/defoutput_1.xml", p.instanceDir() + "/refoutput_1.xml"}) {
        const QByteArray root = file.contains("def") ? "Root_DefOutput" : "Root_RefOutput";
        if (!member)
            writeFile(file,
                      "<" + root + "><OutDir dir=\"" + dir.toHtmlEscaped().toUtf8() + "\"/></" + root + ">");
    }
    if (member)
        p.table.value(1)->OutDir = dir;
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(true));
    auto *msg = dialog.findChild<QLabel *>("MSG");
    auto *shown = dialog.findChild<QLineEdit *>("DIR");
    if (kind == "absolute") {
        QCOMPARE(shown->text(), dir);
        QCOMPARE(msg->text(), QString());
        dialog.findChild<QPushButton *>("OUTPUT")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.Progress()->isVisible(), 120000);
        QVERIFY(QFileInfo(dir + "/main.c").isFile());
        return;
    }
    QVERIFY2(msg->text().contains("is not used") && msg->text().contains(dir), qPrintable(msg->text()));
    QVERIFY(shown->text() != dir);
    dialog.findChild<QPushButton *>("OUTPUT")->click();
    QVERIFY(!dialog.Progress()->isVisible());
    QCOMPARE(QDir(elsewhere.filePath("real")).entryList(QDir::Files), QStringList());
    QVERIFY(!QFile::exists(QDir::current().filePath("../../x")));
    QVERIFY(!QFile::exists(QDir::cleanPath(elsewhere.filePath("../x"))));
}

namespace
{
// The program over the golden instances with the definition "e1_plain_var" open and the running
// member in the member tree, as the run dialog needs it.
void openForRun(GenProgram &p)
{
    p.SetIntVar(RegSlot::IntDocKind, 4);
    auto *row = new QTreeWidgetItem(p.GetObj<manager>(RegSlot::ObjManager)->GetTree());
    row->setData(0, Qt::UserRole, 1);
    row->setText(0, QStringLiteral("me"));
}

void answerFolderChooser(const QString &path)
{
    QTimer::singleShot(0, [path] {
        auto *chooser = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!chooser)
            return answerFolderChooser(path);
        chooser->selectFile(path);
        QMetaObject::invokeMethod(chooser, "accept");
    });
}
} // namespace

// Each page keeps its folder and DIR shows the page's: a folder chosen on the reference page and
// a run started from the definition page was refused as "reference ... not selected".
void tst_outrun::dialog_folderShownIsTheOneCheckedAndNamed()
{
    GenProgram p;
    p.openInstances();
    p.openCase(QStringLiteral("e1_plain_var"));
    openForRun(p);
    QTemporaryDir out;
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(false));
    auto *tabs = dialog.findChild<QTabWidget *>("TAB");
    auto *shown = dialog.findChild<QLineEdit *>("DIR");
    auto *msg = dialog.findChild<QLabel *>("MSG");
    tabs->setCurrentIndex(0);
    answerFolderChooser(out.path());
    dialog.findChild<QPushButton *>("REF")->click();
    QCOMPARE(shown->text(), out.path());

    tabs->setCurrentIndex(1);
    QCOMPARE(shown->text(), QString());
    dialog.findChild<QPushButton *>("OUTPUT")->click();
    QCOMPARE(msg->text(), QStringLiteral("pattern output directory is not selected"));
    QVERIFY(!dialog.Progress()->isVisible());
    QVERIFY(!QFile::exists(out.filePath("main.c")));

    // Back on the reference page its folder is shown again, and the run uses it.
    tabs->setCurrentIndex(0);
    QCOMPARE(shown->text(), out.path());
    dialog.findChild<QPushButton *>("OUTPUT")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Progress()->isVisible(), 120000);
    QCOMPARE(readFile(out.filePath("main.c")), QByteArray("name=Core;\n"));
}

// A value typed into the instance tab's table is what the tab shows: the run writes it, also
// when the output definition was opened after the edit.
void tst_outrun::dialog_valueTypedNotYetTaken_runWritesTheShownValue()
{
    GenProgram p;
    p.openInstances();
    auto *tab = p.GetObj<deftab>(RegSlot::ObjDeftab);
    auto *table = tab->findChild<ValueTable *>();
    QTreeWidgetItem *param = tab->FindTreeItem(QStringLiteral("1-14"));
    QVERIFY(param);
    // The table lays its cells out by the parameters' places, which the fixture leaves out.
    for (int i = 0; i < param->parent()->childCount(); ++i) {
        TreeItemData *record = deftab::RecordOf(param->parent()->child(i));
        record->SetAttr(QStringLiteral("Row"), QStringLiteral("N"));
        record->SetAttr(QStringLiteral("Col"), QString::number(i + 1));
    }
    tab->GetUserTree()->setCurrentItem(param);
    tab->UserDblTreeClicked(param, 0);
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("b1"));
    table->item(0, 1)->setText(QStringLiteral("B1"));

    QDir().mkpath(p.dir());
    writeFile(p.dir() + "/Seq_1.txt", "$Var[4];");
    p.open("<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='' CompletionDate=''>"
           "<SEQUENCE MaxID='20'><SEQ ID='1' TITLE='s1' P_LOOP='2'><MODEL ID='4'/></SEQ></SEQUENCE>"
           "<FILES MaxID='2'><FILE ID='1' TITLE='f' FileName='main' EXP='c'><MODEL ID='1'/><SEQ ID='1'/>"
           "</FILE></FILES></Root_Output>");
    openForRun(p);
    QTemporaryDir out;
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(true));
    dialog.findChild<QCheckBox *>("REF_CHECK")->setChecked(false);
    dialog.findChild<QLineEdit *>("DIR")->setText(out.path());
    dialog.findChild<QPushButton *>("OUTPUT")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Progress()->isVisible(), 120000);
    QCOMPARE(readFile(out.filePath("main.c")), QByteArray("B1;b2;b3;"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("B1"));
}

QTEST_MAIN(tst_outrun)
#include "tst_outrun.moc"

void tst_outrun::run_refusedInput_thatFileNotWrittenOthersAre_data()
{
    QTest::addColumn<QString>("refused"); // the input file, under the definition or instance folder
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("shownFirst"); // the template was shown in its editor before the run
    const QByteArray shiftJis("// \x8c\xa9\x8f\x6f\x82\xb5\n$Var[4];");
    QTest::newRow("template in Shift_JIS") << "Seq_1.txt" << shiftJis << false;
    QTest::newRow("template in Shift_JIS, shown first") << "Seq_1.txt" << shiftJis << true;
    QTest::newRow("grid, Latin-1 in row 2")
        << "instance_1_12.csv" << QByteArray("a1,b1\r\na2,caf\xE9\r\na3,b3\r\n") << false;
}

// A refused template or grid was read as the empty text: the run wrote its head and tail around
// nothing, or a grid of empty cells, over the good file and counted it done. Mended, it is read again.
void tst_outrun::run_refusedInput_thatFileNotWrittenOthersAre()
{
    QFETCH(QString, refused);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, shownFirst);
    GenProgram p;
    const bool grid = refused.endsWith(".csv");
    p.openInstances(grid ? QHash<QString, QByteArray>{{refused, bytes}} : QHash<QString, QByteArray>{});
    QDir().mkpath(p.dir());
    writeFile(p.dir() + "/Seq_1.txt", grid ? QByteArray("$Var[4];") : bytes);
    writeFile(p.dir() + "/Seq_900.txt", "ok");
    p.open("<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='' CompletionDate=''>"
           "<SEQUENCE MaxID='901'><SEQ ID='1' TITLE='s1' P_LOOP='2'><MODEL ID='4'/></SEQ>"
           "<SEQ ID='900' TITLE='t'/></SEQUENCE><FILES MaxID='3'>"
           "<FILE ID='1' TITLE='f' FileName='main' EXP='c'><SEQ ID='1'/></FILE>"
           "<FILE ID='2' TITLE='g' FileName='small' EXP='h'><SEQ ID='900'/></FILE></FILES></Root_Output>");
    if (shownFirst)
        p.files()->setCurrentItem(p.files()->topLevelItem(0)->child(0));
    const QString path = (grid ? p.instanceDir() : p.dir()) + QLatin1Char('/') + refused;
    const DefinitionSelection selection =
        GenProgram::readSelection(GenProgram::golden(QStringLiteral("e9_parameter_rows/selection")));
    QTemporaryDir out;
    writeFile(out.filePath("main.c"), "previous good");
    const auto run = [&](QStringList *boxes) {
        p.page()->SetOutputList(&selection);
        p.page()->GenerateFiles(OutputGenerator::Run);
        auto *progress = new FileOutProgress;
        progress->ResetProgress();
        progress->SetOutputFiles(out.path(), &p.page()->GetGeneratedList());
        QTimer answer;
        answerEveryBox(&answer, boxes);
        [&] { QVERIFY(progress->StartOutput(true, false, out.path(), nullptr)); }();
        const int done = progress->Done();
        delete progress;
        return done;
    };
    QStringList boxes;
    QCOMPARE(run(&boxes), 1);
    const QList<GeneratedFile> &files = p.page()->GetGeneratedList();
    QCOMPARE(files.size(), 2);
    QVERIFY(files.at(0).text.isEmpty());
    QVERIFY2(files.at(0).error.startsWith("main.c was not generated: " + path + " holds ") &&
                 files.at(0).error.contains("UTF-8"),
             qPrintable(files.at(0).error));
    QCOMPARE(files.at(1).text, QStringLiteral("ok"));
    QCOMPARE(readFile(out.filePath("main.c")), QByteArray("previous good"));
    QCOMPARE(readFile(out.filePath("small.h")), QByteArray("ok"));
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes.first().contains(files.at(0).error), qPrintable(boxes.first()));
    if (grid) {
        auto *tab = p.GetObj<deftab>(RegSlot::ObjDeftab);
        QVERIFY(!deftab::RecordOf(tab->FindTreeItem(QStringLiteral("1-12")))->GridLoaded());
    }

    // Mended by its owner: the next run reads it again.
    writeFile(path, grid ? QByteArray("a1,b1\r\na2,caf\xC3\xA9\r\na3,b3\r\n")
                         : QByteArray("// \xE8\xA6\x8B\n$Var[4];"));
    boxes.clear();
    QCOMPARE(run(&boxes), 2);
    QVERIFY(boxes.isEmpty());
    QCOMPARE(QString::fromUtf8(readFile(out.filePath("main.c"))),
             QString::fromUtf8(grid ? "b1;café;b3;" : "// 見\nb1;// 見\nb2;// 見\nb3;"));
}
