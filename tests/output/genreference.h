#pragma once

#include "genprogram.h"
#include "instance/readcost.h"

// The measure of a generation's bounds: what the worst inputs cost, against what a run of real
// size (a loop over 10,000 instances, 50 lines each: half a million lines) costs in the same
// process. A busy machine or a sanitizer stretches both alike; the worst inputs used to run for
// a minute or more, hundreds of real runs, and now cost a few at most.
namespace GenReference
{
// The open definition of the real run: one file, a loop over ten instances named a thousand
// times each (the instance tab takes long to close ten thousand).
inline void openRealRun(GenProgram &p, DefinitionSelection *selection)
{
    QByteArray instances;
    for (int i = 0; i < 10; ++i)
        instances += "<LClass ID='" + QByteArray::number(100 + i) +
                     "' MID='1' Name='n' Element='e' OutVar='v" + QByteArray::number(i) +
                     "'><REFERENCE/></LClass>";
    p.openInstances(
        {{"instance_2.xml", "<Root_Instance ID='2' MaxID='20000'>" + instances + "</Root_Instance>"}});
    p.open("<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='' CompletionDate=''>"
           "<SEQUENCE MaxID='2'><SEQ ID='1' TITLE='s1' LOOP='1'><MODEL ID='1'/></SEQ></SEQUENCE>"
           "<FILES MaxID='2'><FILE ID='1' TITLE='f' FileName='main' EXP='c'><SEQ ID='1'/></FILE>"
           "</FILES></Root_Output>");
    SeqRecord *record = p.page()->FindSeq(1);
    record->data->SetAttr(QStringLiteral("Expression"),
                          QStringLiteral("\tvalue = $Var[1]; /* a line of the template */\n").repeated(50));
    record->data->flags[0] = true;
    for (int i = 9999; i >= 0; --i)
        (*selection)[1].insert(1, QStringLiteral("2-%1").arg(100 + i % 10));
    p.page()->SetOutputList(selection);
}

// Processor time of a run of the open definition, in milliseconds.
inline double runMs(GenProgram &p, int mode = OutputGenerator::Run)
{
    const double start = ReadCost::cpuMs();
    p.page()->GenerateFiles(mode);
    return ReadCost::cpuMs() - start;
}

// The real run's cost in this process, measured once before the test functions; the worst inputs
// may cost a few real runs.
inline double g_realMs = 0;
constexpr double kRealRuns = 20;
inline bool quick(double spent)
{
    return spent < kRealRuns * g_realMs;
}
inline QString against(double spent)
{
    return QStringLiteral("%1 ms, a real run %2 ms").arg(spent).arg(g_realMs);
}

// Processor time of the real run, the least of three; measured with no other program open.
inline double RealRunMs()
{
    double best = -1;
    for (int i = 0; i < 3; ++i) {
        GenProgram p;
        DefinitionSelection selection;
        openRealRun(p, &selection);
        const double ms = runMs(p);
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}
} // namespace GenReference
