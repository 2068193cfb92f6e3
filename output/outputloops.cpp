#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "instance/valuegrid.h"
#include "model/model.h"
#include "outdef/outrecords.h"
#include "outdef/outxml.h"
#include "output/outputgenerator.h"

// The loops of sequences: what each iterates over, from the chosen instances or the enclosing loops.

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
    const Children *children = childrenOf(instance);
    for (const QTreeWidgetItem *child :
         children ? children->byMid.value(QString::number(s)) : QVector<QTreeWidgetItem *>())
        state->entries.append(childKey(child));
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
        // MaxParam comes from a member's shared file; the grid has no rows beyond the table's.
        state->count = qBound(0, record->GetAttr(maxParam).toInt(), ValueGrid::Size);
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
