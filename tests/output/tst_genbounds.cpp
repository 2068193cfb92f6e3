#include "genreference.h"

#include <QtTest>

// The bounds of a generation measured where they matter: processor time on the worst inputs found,
// each of which ran for a minute or more before (and hours within the old step count), against a
// generation of real size in the same process, which must stay whole and quick. Neither the wall
// time nor a time of its own: a busy machine or a sanitizer stretches the same work many times.

using namespace TestSupport;

namespace
{
QByteArray number(int n)
{
    return QByteArray::number(n);
}

const QByteArray kHead =
    "<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='' CompletionDate=''>";

// The processor time of the run, in milliseconds.
double timedRun(GenProgram &p)
{
    return GenReference::runMs(p);
}

void setBody(GenProgram &p, int seq, const QString &body)
{
    SeqRecord *record = p.page()->FindSeq(seq);
    QVERIFY(record);
    record->data->SetAttr(QStringLiteral("Expression"), body);
    record->data->flags[0] = true;
}

// The worst inputs took hundreds of real runs before; they take a few at most now.
using GenReference::against;
using GenReference::g_realMs;
using GenReference::quick;
} // namespace

class tst_genbounds : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { g_realMs = GenReference::RealRunMs(); }
    void endDropLoop_hugeBodyEveryPass_stopsAndNamesTheFile();
    void missingClass_manyChildrenManyMarkers_quickAndRight_data();
    void missingClass_manyChildrenManyMarkers_quickAndRight();
    void stoppedFiles_spendTheRunsBudget();
    void filesUnderTheirStepBound_runStopsAtItsStepBudget();
    void tenThousandInstances_halfAMillionLines_wholeAndQuick();
    void deepIndent_manyMarkersThatWriteNothing_stopAndNameTheFile_data();
    void deepIndent_manyMarkersThatWriteNothing_stopAndNameTheFile();
};

// A loop that drops what follows its last marker never meets the size bound with its body, yet the
// body is scanned and indented on every pass: 5 MB ten thousand times ran 48 s without a word.
void tst_genbounds::endDropLoop_hugeBodyEveryPass_stopsAndNamesTheFile()
{
    GenProgram p;
    p.open(kHead +
           "<SEQUENCE MaxID='5'><SEQ ID='1' TITLE='s1' LOOP='5'><SEQ ID='2'/></SEQ>"
           "<SEQ ID='2' TITLE='s2' LOOP='1' LOOP_END_TYPE='1'><MODEL ID='1'/></SEQ>"
           "<SEQ ID='3' TITLE='s3'/></SEQUENCE><FILES MaxID='3'>"
           "<FILE ID='1' TITLE='f' FileName='main' EXP='c'><SEQ ID='1'/></FILE>"
           "<FILE ID='2' TITLE='g' FileName='small' EXP='h'><SEQ ID='3'/></FILE></FILES></Root_Output>");
    setBody(p, 1, QStringLiteral("\t$Seq[2]"));
    setBody(p, 2, QStringLiteral("$Var[1]") + QStringLiteral("0123456789abcdefghi\n").repeated(250000));
    setBody(p, 3, QStringLiteral("ok"));
    DefinitionSelection selection;
    for (int i = 0; i < 10000; ++i)
        selection[1].insert(5, QStringLiteral("2-%1").arg(1000 + i));
    selection[1].insert(1, QStringLiteral("2-9"));
    p.page()->SetOutputList(&selection);
    const double spent = timedRun(p);
    qInfo("5 MB body dropped 10,000 times: %.0f ms, a real run %.0f ms", spent, g_realMs);
    QVERIFY2(quick(spent), qPrintable(against(spent)));
    const QList<GeneratedFile> &results = p.page()->GetGeneratedList();
    QCOMPARE(results.size(), 2);
    QVERIFY(results.at(0).text.isEmpty());
    QVERIFY2(results.at(0).error.contains("main.c"), qPrintable(results.at(0).error));
    QCOMPARE(results.at(1).text, QStringLiteral("ok"));
    QVERIFY(results.at(1).error.isEmpty());
}

void tst_genbounds::missingClass_manyChildrenManyMarkers_quickAndRight_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<QString>("expected");
    QTest::newRow("small-class value") << "$Var[2]" << 16000 << "#Var[2]";
    QTest::newRow("parameter value") << "$Var[3]" << 16000 << "#Var[3][N][1]";
    QTest::newRow("small-class loop") << "$Seq[2]" << 16000 << "yy";
}

// Every marker of a class the instance lacks looked through all its children: 20,000 children and
// 16,000 markers ran 57 s without a word.
void tst_genbounds::missingClass_manyChildrenManyMarkers_quickAndRight()
{
    QFETCH(QString, body);
    QFETCH(int, repeats);
    QFETCH(QString, expected);
    GenProgram p;
    // A second small class of the large class, the only one the instance holds.
    writeFile(p.modelDir() + "/model.xml",
              QByteArray(kModelXml).replace("</SClass></LClass>", "</SClass><SClass ID='8' Name='T' "
                                                                  "Element='@B'/></LClass>"));
    QByteArray children;
    for (int i = 0; i < 20000; ++i)
        children += "<SClass ID='" + number(100 + i) + "' MID='8' Name='t'><REFERENCE/></SClass>";
    p.openInstances({{"instance_2.xml", "<Root_Instance ID=\"2\" MaxID=\"30000\"><LClass ID=\"9\" MID=\"1\" "
                                        "Name=\"b\" Element=\"e9\"><REFERENCE/>" +
                                            children + "</LClass></Root_Instance>"}});
    const bool loop = body.startsWith("$Seq");
    p.open(kHead + "<SEQUENCE MaxID='3'><SEQ ID='1' TITLE='s1'" + (loop ? " LOOP='1'" : "") +
           "><MODEL ID='2'/><MODEL ID='3'/><SEQ ID='2'/></SEQ><SEQ ID='2' TITLE='s2' LOOP='2'/>"
           "</SEQUENCE><FILES MaxID='2'><FILE ID='1' TITLE='f' FileName='main' EXP='c'><SEQ ID='1'/></FILE>"
           "</FILES></Root_Output>");
    DefinitionSelection selection;
    // A loop over the same instance again and again sets up its small-class loop on every pass.
    for (int i = 0; i < (loop ? repeats : 1); ++i)
        selection[1].insert(1, QStringLiteral("2-9"));
    setBody(p, 1, loop ? body : body.repeated(repeats));
    setBody(p, 2, QStringLiteral("y"));
    p.page()->SetOutputList(&selection);
    const double spent = timedRun(p);
    qInfo("%d markers over 20,000 children: %.0f ms, a real run %.0f ms", repeats, spent, g_realMs);
    QVERIFY2(quick(spent), qPrintable(against(spent)));
    const QList<GeneratedFile> &results = p.page()->GetGeneratedList();
    QCOMPARE(results.size(), 1);
    QVERIFY2(results.first().error.isEmpty(), qPrintable(results.first().error));
    QCOMPARE(results.first().text, expected.repeated(repeats));
}

// A file stopped at its own bound gave its text back and so never spent the run's budget: 400
// such files ran 25 s. They spend it now, and the run stops at the file where it ran out.
void tst_genbounds::stoppedFiles_spendTheRunsBudget()
{
    GenProgram p;
    const int files = 400;
    QByteArray seqs, fileXml;
    for (int i = 1; i <= files; ++i)
        appendFileOfLeaf(&seqs, &fileXml, i, 1000 + i);
    p.open(kHead + "<SEQUENCE MaxID='2000'>" + seqs + "</SEQUENCE><FILES MaxID='1000'>" + fileXml +
           "</FILES></Root_Output>");
    // Each file is 34 million characters: just past its own bound.
    const QString leafBody(340000, QLatin1Char('a'));
    for (int i = 1; i <= files; ++i) {
        setBody(p, i, QStringLiteral("$Seq[%1]").arg(1000 + i).repeated(100));
        setBody(p, 1000 + i, leafBody);
    }
    const double spent = timedRun(p);
    qInfo("%d files each past its bound: %.0f ms, a real run %.0f ms", files, spent, g_realMs);
    QVERIFY2(quick(spent), qPrintable(against(spent)));
    const QList<GeneratedFile> &results = p.page()->GetGeneratedList();
    QVERIFY2(results.size() <= 4, qPrintable(QString::number(results.size())));
    QVERIFY2(results.first().error.contains("output of f1.c was stopped"), qPrintable(results.first().error));
    const QString last = results.last().error;
    QVERIFY2(last.contains(QStringLiteral("run was stopped at f%1.c").arg(results.size())), qPrintable(last));
}

// Markers and loop passes of every file add up: files each under their own step bound stop the run
// once they pass its budget together.
void tst_genbounds::filesUnderTheirStepBound_runStopsAtItsStepBudget()
{
    GenProgram p;
    QByteArray seqs, fileXml;
    for (int i = 1; i <= 4; ++i) {
        seqs += "<SEQ ID='" + number(i) + "' TITLE='s' LOOP='5'/>";
        fileXml += "<FILE ID='" + number(i) + "' TITLE='f' FileName='f" + number(i) + "' EXP='c'><SEQ ID='" +
                   number(i) + "'/></FILE>";
    }
    p.open(kHead + "<SEQUENCE MaxID='10'>" + seqs + "</SEQUENCE><FILES MaxID='10'>" + fileXml +
           "</FILES></Root_Output>");
    // Loops over that many instances with an empty body: the files cost steps, not characters.
    const int perFile = OutputGenerator::MaxSteps * 7 / 10;
    FileSelection keys;
    for (int k = 0; k < perFile; ++k)
        keys.insert(5, QStringLiteral("2-20"));
    DefinitionSelection selection;
    for (int i = 1; i <= 4; ++i) {
        setBody(p, i, QString());
        selection.insert(i, keys);
    }
    p.page()->SetOutputList(&selection);
    p.page()->GenerateFiles(OutputGenerator::Run);
    const QList<GeneratedFile> &results = p.page()->GetGeneratedList();
    QCOMPARE(results.size(), 3);
    for (int i = 0; i < 2; ++i)
        QVERIFY2(results.at(i).error.isEmpty(), qPrintable(results.at(i).error));
    QVERIFY2(results.at(2).error.contains("run was stopped at f3.c"), qPrintable(results.at(2).error));
}

// What a real workspace asks: a loop over 10,000 instances, 50 lines each, whole, and in about
// what building the same text in plain strings costs.
void tst_genbounds::tenThousandInstances_halfAMillionLines_wholeAndQuick()
{
    GenProgram p;
    DefinitionSelection selection;
    GenReference::openRealRun(p, &selection);
    const double spent = timedRun(p);
    const double plainMs = ReadCost::PlainMs([] {
        const QString line = QStringLiteral("\tvalue = v%1; /* a line of the template */\n");
        QString text;
        for (int i = 9999; i >= 0; --i) {
            const QString filled = line.arg(i % 10);
            for (int l = 0; l < 50; ++l)
                text += filled;
        }
        return quint64(text.size());
    });
    qInfo("10,000 instances, 500,000 lines: %.0f ms, the text built plainly %.1f ms", spent, plainMs);
    QVERIFY2(ReadCost::WithinPlain(spent, plainMs, 100), qPrintable(QString::number(spent)));
    const GeneratedFile &out = p.page()->GetGeneratedList().first();
    QVERIFY2(out.error.isEmpty(), qPrintable(out.error));
    QCOMPARE(out.text.count(QLatin1Char('\n')), 500000);
    QVERIFY(out.text.startsWith("\tvalue = v0; /*"));
    QVERIFY(out.text.endsWith("\tvalue = v9; /* a line of the template */\n"));
}

void tst_genbounds::deepIndent_manyMarkersThatWriteNothing_stopAndNameTheFile_data()
{
    QTest::addColumn<QString>("marker");
    QTest::newRow("no such sequence") << "$Seq[4]";
    QTest::newRow("cycle") << "$Seq[2]";
}

// A 4 MB indentation carried down to 100,000 markers that expand to nothing was copied for each of
// them: the run took 40 s, the preview as long, and neither said a word.
void tst_genbounds::deepIndent_manyMarkersThatWriteNothing_stopAndNameTheFile()
{
    QFETCH(QString, marker);
    GenProgram p;
    p.open(kHead + "<SEQUENCE MaxID='5'><SEQ ID='1' TITLE='s1'><SEQ ID='2'/></SEQ>"
                   "<SEQ ID='2' TITLE='s2'><SEQ ID='3'/></SEQ><SEQ ID='3' TITLE='s3'><SEQ ID='4'/></SEQ>"
                   "</SEQUENCE><FILES MaxID='2'><FILE ID='1' TITLE='f' FileName='main' EXP='c'>"
                   "<SEQ ID='1'/></FILE></FILES></Root_Output>");
    p.page()->FindSeq(3)->nestItems.first()->setText(0, marker);
    setBody(p, 1, QStringLiteral("\t$Seq[2]"));
    setBody(p, 2, QString(4 * 1024 * 1024, QLatin1Char(' ')) + QStringLiteral("$Seq[3]"));
    setBody(p, 3, marker.repeated(100000));
    const double spent = timedRun(p);
    qInfo("4 MB indentation over 100,000 markers: %.0f ms, a real run %.0f ms", spent, g_realMs);
    QVERIFY2(quick(spent), qPrintable(against(spent)));
    const QString error = p.page()->GetGeneratedList().first().error;
    QVERIFY2(error.contains("main.c"), qPrintable(error));

    p.files()->setCurrentItem(p.files()->topLevelItem(0));
    const double start = ReadCost::cpuMs();
    p.page()->FileOutDiag();
    const double spentShowing = ReadCost::cpuMs() - start;
    QVERIFY2(quick(spentShowing), qPrintable(against(spentShowing)));
    QVERIFY2(p.window->StatusText().contains("main.c"), qPrintable(p.window->StatusText()));
}

QTEST_MAIN(tst_genbounds)
#include "tst_genbounds.moc"
