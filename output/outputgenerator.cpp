#include "output/outputgenerator.h"

#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "outdef/outdef.h"
#include "outdef/outputwidget.h"
#include "outdef/outrecords.h"
#include "outdef/outseq.h"
#include "outdef/outxml.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTreeWidget>

// ---- files and sequences ----

QString OutputGenerator::OutputName(const QString &fileName, const QString &ext)
{
    const QString name = fileName + QLatin1Char('.') + ext;
    return name == QLatin1String(".") ? QString() : name;
}

QString OutputGenerator::IndentLines(const QString &text, const QString &prefix, const QString &indent)
{
    if (text.isEmpty())
        return prefix;
    // Built in place: a body of many short lines costs its length, not an allocation per line, and
    // a long indentation is copied only onto the lines that take it.
    QString out;
    out.reserve(int(IndentedSize(text, prefix, indent)));
    out += prefix;
    for (int start = 0;;) {
        const int nl = text.indexOf(QLatin1Char('\n'), start);
        if (nl < 0) {
            out.append(text.midRef(start));
            break;
        }
        out.append(text.midRef(start, nl + 1 - start));
        start = nl + 1;
        if (start == text.size())
            break;
        out += prefix;
        out += indent;
    }
    if (text.endsWith(QLatin1Char('\n')))
        out += prefix;
    return out;
}

qint64 OutputGenerator::IndentedSize(const QString &text, const QString &prefix, const QString &indent)
{
    if (text.isEmpty())
        return prefix.size();
    const bool closed = text.endsWith(QLatin1Char('\n'));
    const qint64 further = text.count(QLatin1Char('\n')) - (closed ? 1 : 0);
    return text.size() + prefix.size() + further * (prefix.size() + indent.size()) +
           (closed ? prefix.size() : 0);
}

QString OutputGenerator::LineIndent(int position, const QString &body)
{
    static const QRegularExpression blank(QStringLiteral("^(\\t+|\\s+)$"));
    const int start = body.lastIndexOf(QLatin1Char('\n'), position - 1) + 1;
    const QString lead = body.mid(start, position - start);
    return !lead.isEmpty() && blank.match(lead).hasMatch() ? lead : QString();
}

void OutputGenerator::GenerateAll(int mode, const FileStep &step)
{
    ClearResults();
    const int count = m_tree ? m_tree->topLevelItemCount() : 0;
    // Any member's values may be named: the rows not built yet are built here, all at once, rather
    // than one member at a time from within the files, each refitting the views; the bar stays
    // at its start and Cancel is answered meanwhile.
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab)) {
        bool cancelled = false;
        tab->EnsureAllMemberRows([&] {
            cancelled = step && !step(0, count);
            return !cancelled;
        });
        if (cancelled)
            return;
    }
    for (int i = 0; i < count; ++i) {
        m_loops.clear();
        m_filesAfter = count - i - 1;
        Generate(m_tree->topLevelItem(i), mode);
        m_filesAfter = 0;
        // The run's budget is spent: the file that passed it says so, the rest are not generated.
        if (m_runStopped || (step && !step(i + 1, count)))
            return;
    }
}

void OutputGenerator::Generate(QTreeWidgetItem *fileItem, int mode)
{
    m_mode = mode;
    m_loops.clear();
    m_paramLoops.clear();
    m_open.clear();
    startFile();
    const int file = fileItem->data(2, Qt::UserRole).toInt();
    const FileRecord *record = m_page ? m_page->FindFile(file) : nullptr;
    if (!record)
        return;
    m_file = file;
    m_current = nullptr;
    GeneratedFile out;
    out.name = OutputName(record->data->GetAttr(OutXml::OutName), record->data->GetAttr(OutXml::Ext));
    for (int i = 0; i < fileItem->childCount() && step(); ++i) {
        const QRegularExpressionMatch match = m_seqMarker.match(fileItem->child(i)->text(1));
        expand(file, match.hasMatch() ? match.captured(1).toInt() : -1, &out.text, QString(), QString());
    }
    finishFile(&out, out.name.isEmpty() ? record->data->GetAttr(OutXml::Title) : out.name);
    m_results.append(out);
}

// A file may spend what the run has left, up to its own bounds.
void OutputGenerator::startFile()
{
    m_sizeCap = int(qBound<qint64>(0, MaxRunOutputSize - m_runOutput, MaxOutputSize));
    m_stepCap = qBound(0, MaxRunSteps - m_runSteps, MaxSteps);
    m_workCap = qBound<qint64>(0, MaxRunTemplateWork - m_runWork, MaxTemplateWork);
    m_steps = 0;
    m_work = 0;
    m_stopped = m_runStopped = false;
    m_refusal.clear();
    m_own.clear();
    m_children.clear();
}

void OutputGenerator::finishFile(GeneratedFile *out, const QString &shown)
{
    // Also what a stopped file wrote and gives back: the run spent the time all the same.
    m_runSteps += qMin(m_steps, m_stepCap);
    m_runWork += qMin(m_work, m_workCap);
    m_runOutput += out->text.size();
    m_own.clear();
    m_children.clear();
    if (!m_refusal.isEmpty()) {
        out->text = QString();
        out->error =
            QCoreApplication::translate("OutputGenerator", "%1 was not generated: %2").arg(shown, m_refusal);
        return;
    }
    if (!m_stopped) {
        // Held until the run writes: no room left over from growing.
        out->text.squeeze();
        return;
    }
    out->text = QString();
    if (m_runStopped) {
        // How many files the run leaves unwritten, said in the same entry: a list of problems cut
        // short must still tell the member what is missing.
        const QString stop =
            m_filesAfter > 0
                ? QCoreApplication::translate("OutputGenerator",
                                              "the output run was stopped at %1: its files together grow "
                                              "beyond %2 characters, %3 markers, loop passes and elements "
                                              "looked through, or %4 characters of templates read; %1 and "
                                              "the %n file(s) after it are not written",
                                              nullptr, m_filesAfter)
                : QCoreApplication::translate("OutputGenerator",
                                              "the output run was stopped at %1: its files together grow "
                                              "beyond %2 characters, %3 markers, loop passes and elements "
                                              "looked through, or %4 characters of templates read; %1 is "
                                              "not written");
        out->error = stop.arg(shown).arg(MaxRunOutputSize).arg(MaxRunSteps).arg(MaxRunTemplateWork);
        out->stoppedRun = true;
        return;
    }
    out->error = QCoreApplication::translate("OutputGenerator",
                                             "output of %1 was stopped: it grows beyond %2 characters, "
                                             "%3 markers, loop passes and elements looked through, or %4 "
                                             "characters of templates read")
                     .arg(shown)
                     .arg(MaxOutputSize)
                     .arg(MaxSteps)
                     .arg(MaxTemplateWork);
}

QString OutputGenerator::Errors() const
{
    QStringList errors;
    for (const GeneratedFile &out : m_results) {
        if (!out.error.isEmpty())
            errors.append(out.error);
    }
    return errors.join(QLatin1Char('\n'));
}

void OutputGenerator::refuseFile(const QString &why)
{
    if (m_stopped)
        return;
    m_refusal = why;
    // Halts the expansion as a bound does, without spending the run's budget on what is thrown away.
    m_stopped = true;
}

bool OutputGenerator::overLimit(const QString *target)
{
    return overSize(target->size());
}

// Whether text of that size passes the file's bound; a file that does is stopped.
bool OutputGenerator::overSize(qint64 size)
{
    if (!m_stopped && size > m_sizeCap) {
        m_stopped = true;
        m_runStopped = m_sizeCap < MaxOutputSize;
    }
    return m_stopped;
}

// More steps of work: false once the file has spent its bound.
bool OutputGenerator::step(int count)
{
    if (!m_stopped && (m_steps += count) > m_stepCap) {
        m_stopped = true;
        m_runStopped = m_stepCap < MaxSteps;
    }
    return !m_stopped;
}

// Characters of template indented or scanned: false once the file has spent its bound.
bool OutputGenerator::charge(qint64 characters)
{
    if (!m_stopped && (m_work += characters) > m_workCap) {
        m_stopped = true;
        m_runStopped = m_workCap < MaxTemplateWork;
    }
    return !m_stopped;
}

void OutputGenerator::ShowFirst()
{
    if (m_results.isEmpty() || !m_view)
        return;
    m_view->ShowText(m_results.first().name, m_results.first().text);
    if (m_tab)
        m_tab->setCurrentWidget(m_view->parentWidget() ? m_view->parentWidget() : m_view);
}

void OutputGenerator::expand(int file, int n, QString *target, const QString &prefix, const QString &indent)
{
    SeqRecord *record = n >= 0 ? m_page->FindSeq(n) : nullptr;
    // A sequence inside its own expansion comes from a cycle in a damaged file: it writes nothing.
    if (!record || m_open.contains(n) || m_open.size() >= MaxDepth || m_stopped)
        return;
    m_open.insert(n);
    int count = 1;
    Scan scan{file, record, target, QString(), false, false, false};
    bool newLine = false;
    if (setUpLoop(file, record)) {
        if (const LoopState *state = findLoopState(record)) {
            count = state->count;
            newLine = state->newLine;
            scan.endDelete = state->endDelete;
        }
    }
    // The body is the same on every pass: indented and scanned once, at the first.
    QString body;
    QVector<Marker> markers;
    // Each pass is a step, also of a body without markers: a loop count comes from a file.
    for (int i = 0; i < count && step(); ++i) {
        if (i == 0) {
            if (!prepareBody(record, prefix, indent, &body, &markers))
                break;
            bool nests = false;
            for (int k = 0; k < markers.size(); ++k) {
                if (markers.at(k).kind != QLatin1Char('E'))
                    scan.lastOwn = k;
                nests = nests || markers.at(k).kind == QLatin1Char('S');
            }
            // What the sequences inside start their lines with, built once for the whole expansion.
            if (nests && !prefix.isEmpty() && !indent.isEmpty()) {
                if (!charge(prefix.size() + indent.size()))
                    break;
                scan.inner = prefix + indent;
            } else {
                scan.inner = prefix.isEmpty() ? indent : prefix;
            }
        }
        if (newLine && i > 0) {
            if (overSize(target->size() + 1 + prefix.size() + indent.size()))
                break;
            target->append(QLatin1Char('\n'));
            target->append(prefix);
            target->append(indent);
        }
        scan.last = i == count - 1;
        scanBody(scan, body, markers);
        advanceLoop(record);
    }
    dropLoopState(record);
    m_open.remove(n);
}

// The template of the sequence, indented, and its markers; false when the file passed a bound on
// the way or the template was refused. The template is read from its file once while the definition
// is open, and a refused one again at each use.
bool OutputGenerator::prepareBody(SeqRecord *record, const QString &prefix, const QString &indent,
                                  QString *body, QVector<Marker> *markers)
{
    TreeItemData *data = record->data;
    const QString refusal = m_page->LoadTemplate(data, outdef::SeqKind);
    if (!refusal.isEmpty()) {
        refuseFile(refusal);
        return false;
    }
    *body = data->GetAttr(OutXml::Expression);
    if (!prefix.isEmpty() || !indent.isEmpty()) {
        // Measured before it is built: indentation repeated on many lines can ask for gigabytes.
        const qint64 size = IndentedSize(*body, prefix, indent);
        if (!charge(body->size() + size) || overSize(size))
            return false;
        *body = IndentLines(*body, prefix, indent);
    }
    if (!charge(body->size()))
        return false;
    *markers = markersOf(*body, record);
    return !m_stopped;
}

// One pass over the body: it costs what it writes and its markers, not the body's length, for a
// loop passes over the same body thousands of times.
void OutputGenerator::scanBody(Scan &scan, const QString &body, const QVector<Marker> &markers)
{
    // Other markers that close the body are kept even where the end is dropped.
    const bool endsOnMarker = !markers.isEmpty() && markers.last().end == body.size();
    int p = 0;
    for (int k = 0; k < markers.size(); ++k) {
        const Marker &marker = markers.at(k);
        const int m = marker.start;
        scan.target->append(body.midRef(p, m - p));
        // A marker that writes nothing costs as much as one that does.
        if (overLimit(scan.target) || !step())
            return;
        if (marker.kind == QLatin1Char('S')) {
            const QString lead = body.mid(m - marker.lead, marker.lead);
            // The indentation handed down costs as much where the sequence is missing or refused as
            // where its lines take it: a marker that writes nothing costs as much as one that does.
            if (!charge(qint64(scan.inner.size()) + lead.size()))
                return;
            expand(scan.file, marker.seq, scan.target, scan.inner,
                   lead.isEmpty() ? QString() : LineIndent(lead.size(), lead));
            if (m_stopped)
                return;
        } else if (!charge(marker.end - m)) {
            // The text of a marker is copied on every pass, and its digits may run to megabytes.
            return;
        } else if (marker.kind == QLatin1Char('V')) {
            scan.wroteVar = true;
            scan.target->append(GetVarValue(scan.file, scan.record, body.mid(m, marker.end - m)));
        } else {
            QString foreign = body.mid(m, marker.end - m);
            if (m_mode == Preview)
                foreign[0] = QLatin1Char('&');
            scan.target->append(foreign);
        }
        if (overLimit(scan.target))
            return;
        p = marker.end;
        // The last iteration drops what follows its last own marker.
        if (scan.endDelete && scan.last && k >= scan.lastOwn && !endsOnMarker)
            return;
    }
    if (!(scan.endDelete && scan.wroteVar && scan.last))
        scan.target->append(body.midRef(p));
    overLimit(scan.target);
}

QVector<OutputGenerator::Marker> OutputGenerator::markersOf(const QString &body, SeqRecord *record)
{
    QVector<Marker> markers;
    QRegularExpressionMatchIterator it = m_anyMarker.globalMatch(body);
    // The line a sequence marker stands on, looked through once from start to end.
    int searched = 0;
    int lineStart = 0;
    int blankEnd = -1; // the end of the blank run that opens the line at lineStart
    // Finding and classifying a marker costs many times a character passed over.
    while (it.hasNext() && charge(MarkerWork)) {
        const QRegularExpressionMatch match = it.next();
        const QChar kind = classify(match.captured(0), record);
        const int m = match.capturedStart();
        // The number and the indentation are read once here: a pass over the body copies no
        // marker it expands and looks through no line.
        int seq = -1;
        int lead = 0;
        if (kind == QLatin1Char('S')) {
            seq = match.captured(2).toInt();
            for (; searched < m; ++searched) {
                if (body.at(searched) == QLatin1Char('\n')) {
                    lineStart = searched + 1;
                    blankEnd = -1;
                }
            }
            if (blankEnd < 0) {
                blankEnd = lineStart;
                while (blankEnd < body.size() && body.at(blankEnd) != QLatin1Char('\n') &&
                       body.at(blankEnd).isSpace())
                    ++blankEnd;
            }
            lead = m > lineStart && m <= blankEnd ? m - lineStart : 0;
        }
        markers.append({m, match.capturedEnd(), kind, seq, lead});
    }
    return markers;
}

// The marker lists are gathered once per sequence and file: a damaged out.xml may give one
// sequence thousands of them, and every marker of every pass is looked up.
const OutputGenerator::OwnMarkers &OutputGenerator::ownMarkers(SeqRecord *record)
{
    auto own = m_own.find(record);
    if (own != m_own.end())
        return own.value();
    OwnMarkers gathered;
    const auto take = [](QSet<QString> *set, const QList<QTreeWidgetItem *> &items) {
        for (const QTreeWidgetItem *item : items)
            set->insert(item->text(0));
    };
    const auto tops = [](QTreeWidget *tree) {
        QList<QTreeWidgetItem *> items;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            items.append(tree->topLevelItem(i));
        return items;
    };
    if (record->item && record->item == m_page->GetCurrentFileItem()) {
        take(&gathered.seqs, tops(m_page->GetOutSeq()->GetNestTree()));
        take(&gathered.vars, tops(m_page->GetOutSeq()->GetVarTree()));
    } else {
        take(&gathered.seqs, record->nestItems);
        take(&gathered.vars, record->varItems);
    }
    for (int n : qAsConst(record->vars))
        gathered.numbers.insert(n);
    return m_own.insert(record, gathered).value();
}

QChar OutputGenerator::classify(const QString &marker, SeqRecord *record)
{
    const QChar kind = marker.at(1);
    const OwnMarkers &own = ownMarkers(record);
    return (kind == QLatin1Char('S') ? own.seqs : own.vars).contains(marker) ? kind : QLatin1Char('E');
}
