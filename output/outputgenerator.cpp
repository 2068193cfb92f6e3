#include "output/outputgenerator.h"

#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "outdef/outputwidget.h"
#include "outdef/outrecords.h"
#include "outdef/outseq.h"
#include "outdef/outxml.h"

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
    QString out;
    for (int start = 0; start < text.size();) {
        const int nl = text.indexOf(QLatin1Char('\n'), start);
        const int end = nl < 0 ? text.size() : nl + 1;
        out += (start == 0 ? prefix : prefix + indent) + text.mid(start, end - start);
        start = end;
    }
    if (text.endsWith(QLatin1Char('\n')))
        out += prefix;
    return out;
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
    m_results.clear();
    const int count = m_tree ? m_tree->topLevelItemCount() : 0;
    for (int i = 0; i < count; ++i) {
        m_loops.clear();
        Generate(m_tree->topLevelItem(i), mode);
        if (step && !step(i + 1, count))
            return;
    }
}

void OutputGenerator::Generate(QTreeWidgetItem *fileItem, int mode)
{
    m_mode = mode;
    m_loops.clear();
    m_paramLoops.clear();
    m_open.clear();
    const int file = fileItem->data(2, Qt::UserRole).toInt();
    const FileRecord *record = m_page ? m_page->FindFile(file) : nullptr;
    if (!record)
        return;
    m_file = file;
    m_current = nullptr;
    GeneratedFile out;
    out.name = OutputName(record->data->GetAttr(OutXml::OutName), record->data->GetAttr(OutXml::Ext));
    for (int i = 0; i < fileItem->childCount(); ++i)
        expand(file, fileItem->child(i)->text(1), &out.text, QString(), QString());
    m_results.append(out);
}

void OutputGenerator::ShowFirst()
{
    if (m_results.isEmpty() || !m_view)
        return;
    m_view->ShowText(m_results.first().name, m_results.first().text);
    if (m_tab)
        m_tab->setCurrentWidget(m_view->parentWidget() ? m_view->parentWidget() : m_view);
}

void OutputGenerator::expand(int file, const QString &marker, QString *target, const QString &prefix,
                             const QString &indent)
{
    const QRegularExpressionMatch match = m_seqMarker.match(marker);
    const int n = match.hasMatch() ? match.captured(1).toInt() : -1;
    SeqRecord *record = n >= 0 ? m_page->FindSeq(n) : nullptr;
    // A sequence inside its own expansion comes from a cycle in a damaged file: it writes nothing.
    if (!record || m_open.contains(n) || m_open.size() >= MaxDepth)
        return;
    m_open.insert(n);
    int count = 1;
    Scan scan{file, record, target, prefix, indent, false, false, false};
    bool newLine = false;
    if (setUpLoop(file, record)) {
        if (const LoopState *state = findLoopState(record)) {
            count = state->count;
            newLine = state->newLine;
            scan.endDelete = state->endDelete;
        }
    }
    TreeItemData *data = record->data;
    for (int i = 0; i < count; ++i) {
        if (!data->flags[0]) {
            data->SetAttr(OutXml::Expression,
                          m_page->ReadTemplate(outdef::SeqKind, data->GetAttr(OutXml::Id).toInt()));
            data->flags[0] = true;
        }
        QString body = data->GetAttr(OutXml::Expression);
        if (!prefix.isEmpty() || !indent.isEmpty())
            body = IndentLines(body, prefix, indent);
        if (newLine && i > 0)
            target->append(QLatin1Char('\n') + prefix + indent);
        scan.last = i == count - 1;
        scanBody(scan, body);
        advanceLoop(record);
    }
    dropLoopState(record);
    m_open.remove(n);
}

void OutputGenerator::scanBody(Scan &scan, const QString &body)
{
    int p = 0;
    while (p < body.size()) {
        const QRegularExpressionMatch match = m_anyMarker.match(body, p);
        if (!match.hasMatch()) {
            if (!(scan.endDelete && scan.wroteVar && scan.last))
                scan.target->append(body.mid(p));
            return;
        }
        const int m = match.capturedStart();
        scan.target->append(body.mid(p, m - p));
        QString marker = match.captured(0);
        const QChar kind = classify(marker, scan.record);
        if (kind == QLatin1Char('S')) {
            expand(scan.file, marker, scan.target, scan.prefix + scan.indent, LineIndent(m, body));
        } else if (kind == QLatin1Char('V')) {
            scan.wroteVar = true;
            scan.target->append(GetVarValue(scan.file, scan.record, marker));
        } else {
            if (m_mode == Preview)
                marker[0] = QLatin1Char('&');
            scan.target->append(marker);
        }
        p = match.capturedEnd();
        if (scan.endDelete && scan.last) {
            // The last iteration drops what follows its last own marker.
            for (int q = p; q < body.size();) {
                const QRegularExpressionMatch next = m_anyMarker.match(body, q);
                if (!next.hasMatch())
                    return;
                const QChar k = classify(next.captured(0), scan.record);
                if (k == QLatin1Char('S') || k == QLatin1Char('V'))
                    break;
                q = next.capturedEnd();
            }
        }
    }
}

QChar OutputGenerator::classify(const QString &marker, SeqRecord *record) const
{
    const QChar kind = marker.at(1);
    const bool seq = kind == QLatin1Char('S');
    QList<QTreeWidgetItem *> items;
    if (record->item && record->item == m_page->GetCurrentFileItem()) {
        QTreeWidget *tree = seq ? m_page->GetOutSeq()->GetNestTree() : m_page->GetOutSeq()->GetVarTree();
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            items.append(tree->topLevelItem(i));
    } else {
        items = seq ? record->nestItems : record->varItems;
    }
    for (const QTreeWidgetItem *item : qAsConst(items)) {
        if (item->text(0) == marker)
            return kind;
    }
    return QLatin1Char('E');
}

// ---- loops ----

bool OutputGenerator::setUpLoop(int file, SeqRecord *record)
{
    if (record->loop == -1 && record->pLoop == -1)
        return false;
    const bool lclassTable = record->loop != -1;
    const int key = lclassTable ? record->loop : record->pLoop;
    LoopState state;
    state.newLine = record->data->GetAttr(OutXml::LoopType).toInt() != 0;
    state.endDelete = record->data->GetAttr(OutXml::LoopEndType).toInt() != 0;
    QTreeWidgetItem *element = modelItem(key);
    QHash<int, LoopState> &table = lclassTable ? m_loops : m_paramLoops;
    if (m_mode == Preview || !element) {
        state.count = m_mode == Preview ? 2 : 0;
        table.insert(key, state);
        return true;
    }
    if (!lclassTable) {
        setUpParamLoop(file, &state, element);
        table.insert(key, state);
        return true;
    }
    switch (model::GetItemLevel(element)) {
    case 1:
        setUpLclassLoop(file, &state, key);
        table.insert(key, state);
        break;
    case 2:
        setUpSclassLoop(file, &state, element);
        table.insert(key, state);
        break;
    default:
        break;
    }
    return true;
}

void OutputGenerator::setUpLclassLoop(int, LoopState *state, int l)
{
    const FileSelection *selection = currentSelection();
    const QStringList keys = selection ? selection->values(l) : QStringList();
    state->entries = keys;
    state->count = keys.isEmpty() ? 2 : keys.size();
    state->resolved = !keys.isEmpty();
}

void OutputGenerator::setUpSclassLoop(int, LoopState *state, QTreeWidgetItem *element)
{
    const int s = modelId(element);
    const int l = modelId(element->parent());
    QTreeWidgetItem *instance = nullptr;
    if (m_loops.contains(l)) {
        const LoopState &outer = m_loops[l];
        if (outer.resolved)
            instance = findInstance(outer.entries.value(outer.index));
    } else {
        instance = findInstance(selectedKey(l));
    }
    for (int i = 0; instance && i < instance->childCount(); ++i) {
        const TreeItemData *child = deftab::RecordOf(instance->child(i));
        if (child && child->GetAttr(GetStrVar(RegSlot::StrAttrMID)) == QString::number(s))
            state->entries.append(child->name + QLatin1Char('-') +
                                  child->GetAttr(GetStrVar(RegSlot::StrAttrID)));
    }
    state->resolved = !state->entries.isEmpty();
    state->count = state->resolved ? state->entries.size() : 2;
}

void OutputGenerator::setUpParamLoop(int, LoopState *state, QTreeWidgetItem *element)
{
    const int s = modelId(element);
    const int l = modelId(element->parent());
    const QString maxParam = GetStrVar(RegSlot::StrAttrMaxParam);
    auto take = [&](QTreeWidgetItem *sclass) {
        const TreeItemData *record = deftab::RecordOf(sclass);
        state->entries =
            QStringList(record->name + QLatin1Char('-') + record->GetAttr(GetStrVar(RegSlot::StrAttrID)));
        state->count = record->GetAttr(maxParam).toInt();
        state->resolved = true;
    };
    if (m_loops.contains(s)) {
        const LoopState &outer = m_loops[s];
        QTreeWidgetItem *sclass = outer.resolved ? findInstance(outer.entries.value(outer.index)) : nullptr;
        if (sclass)
            take(sclass);
        else
            state->count = 2;
        return;
    }
    if (m_loops.contains(l)) {
        const LoopState &outer = m_loops[l];
        if (!outer.resolved)
            return;
        if (QTreeWidgetItem *sclass = childOfClass(findInstance(outer.entries.value(outer.index)), s)) {
            if (sclass->childCount() > 0)
                take(sclass);
            return;
        }
    }
    if (QTreeWidgetItem *sclass = childOfClass(findInstance(selectedKey(l)), s))
        take(sclass);
}

OutputGenerator::LoopState *OutputGenerator::findLoopState(const SeqRecord *record)
{
    QHash<int, LoopState> &table = record->loop != -1 ? m_loops : m_paramLoops;
    const int key = record->loop != -1 ? record->loop : record->pLoop;
    auto it = table.find(key);
    return it == table.end() ? nullptr : &it.value();
}

void OutputGenerator::advanceLoop(const SeqRecord *record)
{
    if (LoopState *state = findLoopState(record))
        ++state->index;
}

void OutputGenerator::dropLoopState(const SeqRecord *record)
{
    if (record->loop != -1)
        m_loops.remove(record->loop);
    else if (record->pLoop != -1)
        m_paramLoops.remove(record->pLoop);
}
