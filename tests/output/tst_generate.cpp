#include "genreference.h"
#include "loadtiming.h"
#include "outdef/outfile.h"
#include "outdef/outheighlighter.h"
#include "outdef/outputwidget.h"
#include "outdef/outseq.h"
#include "shell/numeditor.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QtTest>

using namespace TestSupport;

namespace
{
// The format the highlighter gave the character at position p of the document's first block.
QTextCharFormat formatAt(QTextDocument *doc, int p)
{
    const QTextBlock block = doc->firstBlock();
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        if (p >= range.start && p < range.start + range.length)
            return range.format;
    }
    return QTextCharFormat();
}

QColor colourAt(QTextDocument *doc, const QString &text, const QString &what)
{
    const QTextCharFormat f = formatAt(doc, text.indexOf(what));
    return f.hasProperty(QTextFormat::ForegroundBrush) && f.fontItalic() && f.fontWeight() == 75
               ? f.foreground().color()
               : QColor();
}

QByteArray number(int n)
{
    return QByteArray::number(n);
}

// Opens a definition of two files: "main.c" expands sequences 1 .. count, where each template is
// `body` with "%" standing for the next sequence's marker and the last one is "x"; "small.h" holds
// sequence 900, "ok".
void openChain(GenProgram &p, int count, const QByteArray &body)
{
    QDir().mkpath(p.dir());
    QByteArray seqs;
    for (int i = 1; i <= count; ++i) {
        const QByteArray next = "$Seq[" + number(i + 1) + "]";
        seqs += "<SEQ ID='" + number(i) + "' TITLE='s" + number(i) + "'>" +
                (i < count ? "<SEQ ID='" + number(i + 1) + "'/>" : QByteArray()) + "</SEQ>";
        writeFile(p.dir() + "/Seq_" + QString::number(i) + ".txt",
                  i < count ? QByteArray(body).replace("%", next) : QByteArray("x"));
    }
    writeFile(p.dir() + "/Seq_900.txt", "ok");
    p.open("<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='' CompletionDate=''>"
           "<SEQUENCE MaxID='901'>" +
           seqs +
           "<SEQ ID='900' TITLE='t'></SEQ></SEQUENCE><FILES MaxID='3'>"
           "<FILE ID='1' TITLE='f' FileName='main' EXP='c'><SEQ ID='1'/></FILE>"
           "<FILE ID='2' TITLE='g' FileName='small' EXP='h'><SEQ ID='900'/></FILE></FILES></Root_Output>");
}

// Processor time of a run, and the real run's in this process: the worst inputs ran for minutes
// or hours, hundreds of real runs, and take a few at most now. A busy machine or a sanitizer
// stretches both alike.
double runMilliseconds(GenProgram &p)
{
    return GenReference::runMs(p);
}
using GenReference::against;
using GenReference::g_realMs;
using GenReference::quick;
} // namespace

class tst_generate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { g_realMs = GenReference::RealRunMs(); }
    void golden_data();
    void golden();
    void outputName_data();
    void outputName();
    void damagedCycle_expandsToNothing();
    void doublingChain_stopsThatFileWithItsNameOthersGenerated();
    void manyMarkers_costLinearInTemplateSize();
    void generateAll_stepRefuses_stopsAfterThatFile();
    void preview_showsWholeFileTitledByName();
    void markerCounts_setCutLoadAndTemporary();
    void highlighting_onlyMarkersOfTheShownEntry();
    void hugeClassName_openAndRunCostAboutTheSame();
    void silentMarkers_countAgainstTheBound_data();
    void silentMarkers_countAgainstTheBound();
    void loop_manyPassesOverLargeBody_preparedOnce();
    void parameterLoop_countFromFile_boundedByTheGrid_data();
    void parameterLoop_countFromFile_boundedByTheGrid();
    void filesUnderTheirBound_runStopsAtItsBudgetAndSaysWhere();
    void manyVariables_markerCostStaysFlat();
};

void tst_generate::golden_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("run");
    for (const QString &name :
         QDir(GenProgram::golden(QString())).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (bool run : {false, true}) {
            if (QFile::exists(GenProgram::golden(name + (run ? "/run.out" : "/preview.out"))))
                QTest::newRow(qPrintable(name + (run ? " run" : " preview"))) << name << run;
        }
    }
}

void tst_generate::golden()
{
    QFETCH(QString, name);
    QFETCH(bool, run);
    GenProgram p;
    p.openInstances();
    p.openCase(name);
    QTreeWidgetItem *file = p.files()->topLevelItem(0);
    QVERIFY(file);
    const DefinitionSelection selection = GenProgram::readSelection(GenProgram::golden(name + "/selection"));
    if (run) {
        p.page()->SetOutputList(&selection);
        p.page()->GenerateFiles(OutputGenerator::Run);
    } else {
        // Previewed from the deepest sequence, so the shown entry's own trees are consulted too.
        QTreeWidgetItem *deepest = file;
        while (deepest->childCount() > 0)
            deepest = deepest->child(0);
        p.files()->setCurrentItem(deepest);
        p.page()->FileOutDiag();
    }
    const QList<GeneratedFile> &results = p.page()->GetGeneratedList();
    QCOMPARE(results.size(), 1);
    QCOMPARE(results.first().name, QStringLiteral("main.c"));
    const QByteArray expected = readFile(GenProgram::golden(name + (run ? "/run.out" : "/preview.out")));
    QCOMPARE(results.first().text.toUtf8(), expected);
}

void tst_generate::outputName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("name");
    QTest::newRow("both empty") << ""
                                << ""
                                << "";
    QTest::newRow("no extension") << "abc"
                                  << ""
                                  << "abc.";
    QTest::newRow("both") << "main"
                          << "md"
                          << "main.md";
    QTest::newRow("extension only") << ""
                                    << "c"
                                    << ".c";
}

void tst_generate::outputName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, ext);
    QTEST(OutputGenerator::OutputName(fileName, ext), "name");
}

void tst_generate::damagedCycle_expandsToNothing()
{
    GenProgram p;
    p.openCase(QStringLiteral("e6_nested_indent"));
    // A cycle the loader did not see: sequence 2 names sequence 1 again.
    SeqRecord *inner = p.page()->FindSeq(2);
    auto *back = new QTreeWidgetItem;
    back->setText(0, QStringLiteral("$Seq[1]"));
    inner->nestItems.append(back);
    inner->data->SetAttr(QStringLiteral("Expression"), QStringLiteral("x$Seq[1]y"));
    inner->data->flags[0] = true;
    p.page()->GenerateFiles(OutputGenerator::Run);
    QCOMPARE(p.page()->GetGeneratedList().first().text, QStringLiteral("f {\n\t\txy\n}\n"));
}

void tst_generate::doublingChain_stopsThatFileWithItsNameOthersGenerated()
{
    GenProgram p;
    // 32 levels each naming the next twice: 2^31 expansions if nothing bounds them.
    openChain(p, 32, "%%");
    // Unbounded, this runs for hours; bounded, about two real runs.
    const double spent = runMilliseconds(p);
    qInfo("32 levels stopped after %.0f ms of processor time, a real run %.0f ms", spent, g_realMs);
    QVERIFY2(quick(spent), qPrintable(against(spent)));
    const QList<GeneratedFile> &results = p.page()->GetGeneratedList();
    QCOMPARE(results.size(), 2);
    QVERIFY(results.at(0).text.isEmpty());
    QVERIFY2(results.at(0).error.contains("main.c"), qPrintable(results.at(0).error));
    QCOMPARE(results.at(1).text, QStringLiteral("ok"));
    QVERIFY(results.at(1).error.isEmpty());

    // Long templates: the size bound stops the file long before the expansion count would.
    openChain(p, 12, QByteArray(40000, 'a') + "%%%%%%%%");
    p.page()->GenerateFiles(OutputGenerator::Run);
    QVERIFY(p.page()->GetGeneratedList().at(0).error.contains("main.c"));
    QCOMPARE(p.page()->GetGeneratedList().at(1).text, QStringLiteral("ok"));

    // The preview ends as well and says which file it stopped.
    openChain(p, 32, "%%");
    p.files()->setCurrentItem(p.files()->topLevelItem(0));
    const double start = ReadCost::cpuMs();
    p.page()->FileOutDiag();
    const double showing = ReadCost::cpuMs() - start;
    QVERIFY2(quick(showing), qPrintable(against(showing)));
    QVERIFY2(p.window->StatusText().contains("main.c"), qPrintable(p.window->StatusText()));
}

void tst_generate::manyMarkers_costLinearInTemplateSize()
{
    GenProgram p;
    // Markers on one line, and a line below with many more: the line's indentation is looked at
    // for every sequence marker.
    QByteArray small = "\t%\n";
    QByteArray large = "\t%\n";
    for (int i = 0; i < 10000; ++i)
        small += "% ";
    for (int i = 0; i < 200000; ++i)
        large += "% ";
    openChain(p, 2, small);
    // The best of a few runs: the machine is shared, and one slow run says nothing of the cost.
    double smallTime = runMilliseconds(p);
    for (int i = 0; i < 3; ++i)
        smallTime = qMin(smallTime, runMilliseconds(p));
    QCOMPARE(p.page()->GetGeneratedList().at(0).text.size(), 10000 * 2 + 3);
    openChain(p, 2, large);
    const double largeTime = qMin(runMilliseconds(p), runMilliseconds(p));
    QCOMPARE(p.page()->GetGeneratedList().at(0).text.size(), 200000 * 2 + 3);
    qInfo("10,000 markers: %.0f ms, 200,000 markers: %.0f ms, a real run %.0f ms", smallTime, largeTime,
          g_realMs);
    // A quadratic scan takes minutes here; a small run lost in the timer's grain is taken as a
    // real run, which a loaded or sanitized machine stretches as it does this one.
    QVERIFY2(largeTime < 60 * qMax(smallTime, g_realMs),
             qPrintable(QStringLiteral("%1 ms against %2 ms").arg(largeTime).arg(smallTime)));
}

void tst_generate::generateAll_stepRefuses_stopsAfterThatFile()
{
    GenProgram p;
    QByteArray seqs, files;
    for (const char *n : {"1", "2", "3"}) {
        writeFile(p.dir() + "/Seq_" + n + ".txt", QByteArray("x") + n);
        seqs += QByteArray("<SEQ ID='") + n + "' TITLE='s" + n + "'><MODEL ID='5'/></SEQ>";
        files += QByteArray("<FILE ID='") + n + "' TITLE='f' FileName='" + n + "' EXP='c'><SEQ ID='" + n +
                 "'/></FILE>";
    }
    p.open("<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='' CompletionDate=''>"
           "<SEQUENCE MaxID='4'>" +
           seqs + "</SEQUENCE><FILES MaxID='4'>" + files + "</FILES></Root_Output>");
    QList<QPair<int, int>> steps;
    p.page()->GenerateFiles(OutputGenerator::Run, [&](int done, int total) {
        steps.append({done, total});
        return done < 2;
    });
    QCOMPARE(steps, (QList<QPair<int, int>>{{1, 3}, {2, 3}}));
    QCOMPARE(p.page()->GetGeneratedList().size(), 2);
    QCOMPARE(p.page()->GetGeneratedList().at(1).name, QStringLiteral("2.c"));
    QCOMPARE(p.page()->GetGeneratedList().at(1).text, QStringLiteral("x2"));
    // Without a step every file is expanded, as before.
    p.page()->GenerateFiles(OutputGenerator::Run);
    QCOMPARE(p.page()->GetGeneratedList().size(), 3);
}

void tst_generate::preview_showsWholeFileTitledByName()
{
    GenProgram p;
    p.openCase(QStringLiteral("e6_nested_indent"));
    OutputWidget *view = p.page()->GetOutputWidget();
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    p.page()->FileOutDiag();
    QCOMPARE(view->GetTabWidget()->tabText(0), QStringLiteral("main.c"));
    QCOMPARE(static_cast<NumEditor *>(view->GetView())->toPlainText(),
             QStringLiteral("f {\n\t\tx;\n\t\ty;\n\n}\n"));
    QCOMPARE(view->GetTabWidget()->window()->findChild<QTabWidget *>("INF_TAB")->currentIndex(), 2);
    // An edit not yet stored is previewed.
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    p.page()->GetTemplateEditor()->selectAll();
    p.page()->GetTemplateEditor()->insertPlainText(QStringLiteral("z;"));
    p.page()->FileOutDiag();
    QCOMPARE(static_cast<NumEditor *>(view->GetView())->toPlainText(), QStringLiteral("f {\n\t\tz;\n}\n"));
    view->ShowText(QString(), QStringLiteral("t"));
    QCOMPARE(view->GetTabWidget()->tabText(0), QStringLiteral("NONE"));
    QVERIFY(static_cast<NumEditor *>(view->GetView())->isReadOnly());
}

void tst_generate::markerCounts_setCutLoadAndTemporary()
{
    GenProgram p;
    p.openCase(QStringLiteral("e7_nested_loops"));
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[1]"));
    OutSeq *seq = p.page()->GetOutSeq();
    QTreeWidgetItem *nest = seq->GetNestTree()->topLevelItem(0);
    QCOMPARE(nest->text(1), QStringLiteral("1"));
    NumEditor *editor = p.page()->GetTemplateEditor();
    editor->selectAll();
    editor->insertPlainText(QStringLiteral("$var[1] "));
    seq->GetNestTree()->setCurrentItem(nest);
    seq->GetCodeSetButton()->click();
    seq->GetCodeSetButton()->click();
    QCOMPARE(nest->text(1), QStringLiteral("2"));
    // The cut ignores case and takes the first occurrence only.
    seq->GetVarTree()->setCurrentItem(seq->GetVarTree()->topLevelItem(0));
    seq->GetVarCodeDelButton()->click();
    QCOMPARE(editor->toPlainText(), QStringLiteral(" $Seq[2]$Seq[2]"));
    seq->GetCodeDelButton()->click();
    seq->GetCodeDelButton()->click();
    QCOMPARE(nest->text(1), QStringLiteral("Unset"));
    // Loading shows the load-time spelling for a marker without occurrence.
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[1]"));
    QCOMPARE(seq->GetNestTree()->topLevelItem(0)->text(1), QStringLiteral("UnSet"));

    // In a temporary sequence the counts stay as loaded.
    p.page()->MoveSeqTempDiag();
    p.temps()->setFocus();
    p.temps()->setCurrentItem(p.temps()->topLevelItem(0));
    QTRY_COMPARE_WITH_TIMEOUT(p.page()->PageMode(), 2, 120000);
    QTreeWidgetItem *shown = seq->GetNestTree()->topLevelItem(0);
    const QString before = shown ? shown->text(1) : QString();
    seq->GetNestTree()->setCurrentItem(shown);
    seq->GetCodeSetButton()->click();
    QCOMPARE(shown ? shown->text(1) : QString(), before);
}

void tst_generate::highlighting_onlyMarkersOfTheShownEntry()
{
    GenProgram p;
    p.openCase(QStringLiteral("e7_nested_loops"));
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[1]"));
    NumEditor *editor = p.page()->GetTemplateEditor();
    const QString text = QStringLiteral("$Seq[2] $Var[1] $Seq[4] $Var[7] $Seq[] $Var[x]");
    editor->setPlainText(text);
    QCOMPARE(colourAt(editor->document(), text, "$Seq[2]"), QColor(Qt::darkGreen));
    QCOMPARE(colourAt(editor->document(), text, "$Var[1]"), QColor(Qt::blue));
    for (const char *plain : {"$Seq[4]", "$Var[7]", "$Seq[]", "$Var[x]"})
        QVERIFY2(!colourAt(editor->document(), text, plain).isValid(), plain);

    p.page()->FileOutDiag();
    NumEditor *view = static_cast<NumEditor *>(p.page()->GetOutputWidget()->GetView());
    const QString out = QStringLiteral("%Var[1][2][3] #Var[5] &Seq[2] %Var[1] $Var[1][0] $Var[9][0]");
    view->setPlainText(out);
    QCOMPARE(colourAt(view->document(), out, "%Var[1][2][3]"), QColor(Qt::darkGreen));
    QCOMPARE(colourAt(view->document(), out, "#Var[5]"), QColor(Qt::blue));
    QCOMPARE(colourAt(view->document(), out, "&Seq[2]"), QColor(Qt::red));
    QVERIFY(!colourAt(view->document(), out, "%Var[1] ").isValid());
    QVERIFY(!colourAt(view->document(), out, "$Var[1][0]").isValid());
}

// A model whose class name runs to megabytes: the trees show only its start, so opening the
// output definition and a run cost about the same for ten times the name (laid out at every
// column fit, 10 MB took 27 s here).
void tst_generate::hugeClassName_openAndRunCostAboutTheSame()
{
    const auto load = [](int bytes) {
        GenProgram p;
        writeFile(p.modelDir() + "/model.xml",
                  QByteArray(kModelXml).replace("Name='G'", "Name='" + QByteArray(bytes, 'G') + "'"));
        p.openInstances();
        p.openCase(QStringLiteral("e1_plain_var"));
        const DefinitionSelection selection =
            GenProgram::readSelection(GenProgram::golden(QStringLiteral("e1_plain_var/selection")));
        p.page()->SetOutputList(&selection);
        p.page()->GenerateFiles(OutputGenerator::Run);
        const QList<GeneratedFile> &results = p.page()->GetGeneratedList();
        QCOMPARE(results.size(), 1);
        QCOMPARE(results.first().text.toUtf8(), readFile(GenProgram::golden("e1_plain_var/run.out")));
    };
    verifyScales(load, 200000, 2000000, 3);
}

void tst_generate::silentMarkers_countAgainstTheBound_data()
{
    QTest::addColumn<QString>("marker");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<bool>("preview");
    QTest::addColumn<int>("passes");
    QTest::newRow("no definition") << QStringLiteral("$Seq[777]") << 500 << true << 0;
    QTest::newRow("cycle") << QStringLiteral("$Seq[1]") << 500 << false << 0;
    // One expansion: its markers are found once, yet met on every pass. Bounded, a fraction of a
    // real run; counted once per expansion, 30,000 passes over 20,000 markers take 17 s.
    QTest::newRow("no definition, one loop") << QStringLiteral("$Seq[777]") << 20000 << false << 30000;
    // A variable of no instance, its number written with a million digits: read on every pass.
    // Bounded, a few real runs; read uncounted, 5,000 passes take 30 s.
    QTest::newRow("long variable, one loop")
        << QStringLiteral("$Var[%1]").arg(QString(1000000, QLatin1Char('0')) + QLatin1Char('5')) << 1 << false
        << 5000;
}

// Markers that write nothing still cost their scan: 2^18 leaves of 500 such markers each ran
// for minutes and wrote an empty file without a word.
void tst_generate::silentMarkers_countAgainstTheBound()
{
    QFETCH(QString, marker);
    QFETCH(int, repeats);
    QFETCH(bool, preview);
    QFETCH(int, passes);
    GenProgram p;
    openChain(p, passes > 0 ? 1 : 19, "%%");
    SeqRecord *leaf = p.page()->FindSeq(passes > 0 ? 1 : 19);
    auto *own = new QTreeWidgetItem;
    own->setText(0, marker);
    if (marker.startsWith("$Var")) {
        leaf->varItems.append(own);
        leaf->vars.append(5);
    } else {
        leaf->nestItems.append(own);
    }
    leaf->data->SetAttr(QStringLiteral("Expression"), marker.repeated(repeats));
    leaf->data->flags[0] = true;
    // A loop over the instances of G, as many as the run was given.
    DefinitionSelection selection;
    leaf->loop = passes > 0 ? 5 : -1;
    for (int i = 0; i < passes; ++i)
        selection[1].insert(5, QStringLiteral("2-20"));
    p.page()->SetOutputList(&selection);
    // Unbounded, this ran for minutes; bounded, a few real runs at most.
    const double spent = runMilliseconds(p);
    qInfo("stopped after %.0f ms of processor time, a real run %.0f ms", spent, g_realMs);
    QVERIFY2(quick(spent), qPrintable(against(spent)));
    const QList<GeneratedFile> &results = p.page()->GetGeneratedList();
    QCOMPARE(results.size(), 2);
    QVERIFY2(results.at(0).error.contains("main.c"), qPrintable(results.at(0).error));
    QCOMPARE(results.at(1).text, QStringLiteral("ok"));

    if (!preview)
        return;
    p.files()->setCurrentItem(p.files()->topLevelItem(0));
    const double start = ReadCost::cpuMs();
    p.page()->FileOutDiag();
    const double showing = ReadCost::cpuMs() - start;
    QVERIFY2(quick(showing), qPrintable(against(showing)));
    QVERIFY2(p.window->StatusText().contains("main.c"), qPrintable(p.window->StatusText()));
}

// The body of a loop is indented and its markers and lines looked through at the first pass only:
// a marker whose number runs to megabytes costs its length once. Prepared again on every pass, the
// run spent its bound after a few dozen of the 30,000 passes; its line looked through on every
// pass, it took 18 s.
void tst_generate::loop_manyPassesOverLargeBody_preparedOnce()
{
    GenProgram p;
    openChain(p, 1, "%%");
    SeqRecord *leaf = p.page()->FindSeq(1);
    const QString marker = QStringLiteral("$Seq[%1777]").arg(QString(4000000, QLatin1Char('0')));
    auto *own = new QTreeWidgetItem;
    own->setText(0, marker);
    leaf->nestItems.append(own);
    leaf->data->SetAttr(QStringLiteral("Expression"), QLatin1Char('x') + marker);
    leaf->data->flags[0] = true;
    const int passes = 30000;
    DefinitionSelection selection;
    leaf->loop = 5;
    for (int i = 0; i < passes; ++i)
        selection[1].insert(5, QStringLiteral("2-20"));
    p.page()->SetOutputList(&selection);
    const double spentMs = runMilliseconds(p);
    qInfo("%d passes in %.0f ms of processor time, a real run %.0f ms", passes, spentMs, g_realMs);
    const QList<GeneratedFile> &results = p.page()->GetGeneratedList();
    QCOMPARE(results.size(), 2);
    QVERIFY2(results.at(0).error.isEmpty(), qPrintable(results.at(0).error));
    QCOMPARE(results.at(0).text, QString(passes, QLatin1Char('x')));
    QVERIFY2(quick(spentMs), qPrintable(against(spentMs)));
}

void tst_generate::parameterLoop_countFromFile_boundedByTheGrid_data()
{
    QTest::addColumn<QString>("maxParam");
    QTest::addColumn<int>("rows");
    QTest::newRow("as stored") << "3" << 3;
    QTest::newRow("beyond any table") << "2000000000" << 30;
    QTest::newRow("negative") << "-4" << 0;
    QTest::newRow("not a number") << "x" << 0;
}

// MaxParam comes from a member's shared instance file: two thousand million took an hour.
void tst_generate::parameterLoop_countFromFile_boundedByTheGrid()
{
    QFETCH(QString, maxParam);
    QFETCH(int, rows);
    GenProgram p;
    p.openInstances();
    p.openCase(QStringLiteral("e9_parameter_rows"));
    auto *tab = p.GetObj<deftab>(RegSlot::ObjDeftab);
    deftab::RecordOf(tab->FindTreeItem(QStringLiteral("1-12")))
        ->SetAttr(QStringLiteral("MaxParam"), maxParam);
    const DefinitionSelection selection =
        GenProgram::readSelection(GenProgram::golden(QStringLiteral("e9_parameter_rows/selection")));
    p.page()->SetOutputList(&selection);
    const double spent = runMilliseconds(p);
    QVERIFY2(quick(spent), qPrintable(against(spent)));
    QString expected;
    for (int r = 1; r <= rows; ++r)
        expected += (r <= 3 ? QStringLiteral("b%1").arg(r) : QString()) + QLatin1Char(';');
    QCOMPARE(p.page()->GetGeneratedList().first().text, expected);
    QVERIFY(p.page()->GetGeneratedList().first().error.isEmpty());
}

// Every file of a run is held until it is written: files each just under their own bound took
// the program past 800 MB. The run stops at its budget and names the file it stopped at.
void tst_generate::filesUnderTheirBound_runStopsAtItsBudgetAndSaysWhere()
{
    GenProgram p;
    QDir().mkpath(p.dir());
    const int files = 5;
    const int leafSize = 400000;
    const int perFile = 80; // 32,000,000 characters: just under the bound of one file
    QVERIFY(perFile * leafSize < OutputGenerator::MaxOutputSize);
    QByteArray seqs, fileXml;
    for (int i = 1; i <= files; ++i) {
        const QByteArray leaf = number(100 + i);
        appendFileOfLeaf(&seqs, &fileXml, i, 100 + i);
        writeFile(p.dir() + "/Seq_" + QString::number(i) + ".txt", ("$Seq[" + leaf + "]").repeated(perFile));
        writeFile(p.dir() + "/Seq_" + QString::number(100 + i) + ".txt", QByteArray(leafSize, 'a'));
    }
    p.open("<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='' CompletionDate=''>"
           "<SEQUENCE MaxID='200'>" +
           seqs + "</SEQUENCE><FILES MaxID='10'>" + fileXml + "</FILES></Root_Output>");
    p.page()->GenerateFiles(OutputGenerator::Run);
    const QList<GeneratedFile> &results = p.page()->GetGeneratedList();
    qint64 held = 0;
    for (const GeneratedFile &out : results)
        held += out.text.size();
    QVERIFY(held <= OutputGenerator::MaxRunOutputSize);
    QCOMPARE(results.size(), 3);
    QCOMPARE(results.at(1).text.size(), perFile * leafSize);
    QVERIFY(results.at(1).error.isEmpty());
    QVERIFY(results.at(2).text.isEmpty());
    QVERIFY2(results.at(2).error.contains("run was stopped at f3.c"), qPrintable(results.at(2).error));
    QVERIFY2(results.at(2).error.contains("f3.c and the 2 file(s) after it are not written"),
             qPrintable(results.at(2).error));

    // The next run has its budget afresh.
    p.page()->GenerateFiles(OutputGenerator::Run);
    QCOMPARE(results.size(), 3);
    QCOMPARE(results.at(0).text.size(), perFile * leafSize);
}

// A damaged out.xml may bind thousands of variables to one sequence: each of its markers must
// not look through all of them.
void tst_generate::manyVariables_markerCostStaysFlat()
{
    GenProgram p;
    p.openCase(QStringLiteral("e1_plain_var"));
    SeqRecord *seq = p.page()->FindSeq(1);
    const QList<int> vars = seq->vars;
    const int items = seq->varItems.size();
    const auto load = [&](int count) {
        while (seq->varItems.size() > items)
            delete seq->varItems.takeFirst();
        seq->vars = vars;
        // The real one stays last: a search through the list meets it at the end.
        for (int i = 0; i < count; ++i) {
            seq->vars.prepend(1000 + i);
            seq->varItems.prepend(new QTreeWidgetItem(QStringList(QStringLiteral("$Var[%1]").arg(1000 + i))));
        }
        seq->data->SetAttr(QStringLiteral("Expression"), QStringLiteral("$Var[5]").repeated(count));
        seq->data->flags[0] = true;
        p.page()->GenerateFiles(OutputGenerator::Run);
        QCOMPARE(p.page()->GetGeneratedList().first().text.size(), count * 7);
    };
    verifyScales(load, 5000, 50000);
}

QTEST_MAIN(tst_generate)
#include "tst_generate.moc"
