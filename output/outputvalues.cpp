#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "outdef/outrecords.h"
#include "outdef/outxml.h"
#include "output/outputgenerator.h"

#include <QTreeWidget>

// The values that replace a sequence's own $Var[n] markers. Wherever no instance answers, a
// placeholder form names the variable and the position it stands for.

QString OutputGenerator::form(const QString &marker, QChar lead, const QStringList &indexes)
{
    QString out = marker;
    out[0] = lead;
    for (const QString &index : indexes)
        out += QLatin1Char('[') + index + QLatin1Char(']');
    return out;
}

QString OutputGenerator::GetVarValue(int file, SeqRecord *record, const QString &marker)
{
    m_file = file;
    const int n = m_page->GetMarkerNumber(marker);
    QTreeWidgetItem *element = modelItem(n);
    if (!ownMarkers(record).numbers.contains(n))
        return marker;
    const int level = element ? model::GetItemLevel(element) : 0;
    const TreeItemData *data = element ? deftab::RecordOf(element) : nullptr;
    const QString col = data ? data->GetAttr(GetStrVar(RegSlot::StrAttrCol)) : QString();
    if (m_mode == Preview) {
        const LoopState *state = nullptr;
        if (m_page->FindElementNest(n)) {
            const QHash<int, LoopState> &table = m_page->GetNestLevel() == 2 ? m_paramLoops : m_loops;
            const int key = m_page->GetNestLevel() == 2 ? m_page->GetNestLevel2Id() : n;
            auto it = table.constFind(key);
            state = it == table.constEnd() ? nullptr : &it.value();
        }
        if (!state) {
            if (level == 3)
                return form(marker, QLatin1Char('#'), {data->GetAttr(GetStrVar(RegSlot::StrAttrRow)), col});
            return element ? form(marker, QLatin1Char('#'), {}) : marker;
        }
        const QString i = QString::number(state->index);
        if (level == 3)
            return form(marker, QLatin1Char('%'), {i, col});
        return element ? form(marker, QLatin1Char('%'), {i}) : form(marker, QLatin1Char('$'), {i});
    }
    if (!element)
        return marker;
    if (level == 3)
        return paramValue(marker, element);
    if (level == 2)
        return sclassValue(marker, element);
    return lclassValue(marker, n);
}

QString OutputGenerator::lclassValue(const QString &marker, int l)
{
    auto it = m_loops.constFind(l);
    if (it != m_loops.constEnd()) {
        if (!it->resolved)
            return form(marker, QLatin1Char('%'), {QString::number(it->index)});
        QTreeWidgetItem *instance = findInstance(it->entries.value(it->index));
        return instance ? outVar(instance) : QString();
    }
    QTreeWidgetItem *instance = findInstance(selectedKey(l));
    return instance ? outVar(instance) : form(marker, QLatin1Char('#'), {});
}

QString OutputGenerator::sclassValue(const QString &marker, QTreeWidgetItem *element)
{
    const int s = modelId(element);
    const int l = modelId(element->parent());
    auto own = m_loops.constFind(s);
    if (own != m_loops.constEnd()) {
        QTreeWidgetItem *instance = own->resolved ? findInstance(own->entries.value(own->index)) : nullptr;
        return instance ? outVar(instance) : form(marker, QLatin1Char('%'), {QString::number(own->index)});
    }
    QTreeWidgetItem *lclass = nullptr;
    auto outer = m_loops.constFind(l);
    if (outer != m_loops.constEnd())
        lclass = outer->resolved ? findInstance(outer->entries.value(outer->index)) : nullptr;
    else
        lclass = findInstance(selectedKey(l));
    QTreeWidgetItem *sclass = childOfClass(lclass, s);
    return sclass ? outVar(sclass) : form(marker, QLatin1Char('#'), {});
}

QString OutputGenerator::paramValue(const QString &marker, QTreeWidgetItem *element)
{
    const TreeItemData *data = deftab::RecordOf(element);
    const QString r = data->GetAttr(GetStrVar(RegSlot::StrAttrRow));
    const QString c = data->GetAttr(GetStrVar(RegSlot::StrAttrCol));
    const int s = modelId(element->parent());
    const int l = modelId(element->parent()->parent());
    auto rows = m_paramLoops.constFind(s);
    if (rows != m_paramLoops.constEnd()) {
        const QString row = QString::number(rows->index + 1);
        if (rows->resolved && rows->index < rows->count)
            return cellValue(marker, rows->entries.value(0), row, c);
        return form(marker, QLatin1Char('#'), {row, c});
    }
    auto sclass = m_loops.constFind(s);
    if (sclass != m_loops.constEnd()) {
        return sclass->resolved ? cellValue(marker, sclass->entries.value(sclass->index), r, c)
                                : form(marker, QLatin1Char('#'), {r, c});
    }
    auto lclass = m_loops.constFind(l);
    if (lclass != m_loops.constEnd()) {
        return lclass->resolved ? cellInLclass(marker, lclass->entries.value(lclass->index), s, r, c)
                                : form(marker, QLatin1Char('#'), {r, c});
    }
    const QString key = selectedKey(l);
    return key.isEmpty() ? form(marker, QLatin1Char('#'), {r, c}) : cellInLclass(marker, key, s, r, c);
}

QString OutputGenerator::cellInLclass(const QString &marker, const QString &key, int s, const QString &row,
                                      const QString &col)
{
    const Children *children = childrenOf(findInstance(key));
    const QTreeWidgetItem *child = children ? children->firstByNumber.value(s) : nullptr;
    return child ? cellValue(marker, childKey(child), row, col) : form(marker, QLatin1Char('#'), {row, col});
}

QString OutputGenerator::cellValue(const QString &marker, const QString &key, const QString &row,
                                   const QString &col)
{
    QTreeWidgetItem *instance = findInstance(key);
    TreeItemData *record = deftab::RecordOf(instance);
    if (!record)
        return form(marker, QLatin1Char('#'), {row, col});
    loadGrid(record);
    if (row == QLatin1String("N"))
        return form(marker, QLatin1Char('#'), {row, col});
    const int r = row.toInt() - 1;
    const int c = col.toInt() - 1;
    const bool inGrid = r >= 0 && c >= 0 && r < TreeItemData::GridSize && c < TreeItemData::GridSize;
    const QString cell = inGrid ? record->Cell(r, c) : QString();
    if (record->GetAttr(GetStrVar(RegSlot::StrAttrParamType)).toInt() == 2 &&
        (col == QLatin1String("2") || col == QLatin1String("3")))
        return referencedRowText(instance, cell);
    return cell;
}

QString OutputGenerator::referencedRowText(QTreeWidgetItem *instance, const QString &cell)
{
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    TreeItemData *referenced = tab ? tab->GetRefItemData(instance) : nullptr;
    if (!referenced)
        return cell;
    loadGrid(referenced);
    int rows = 0;
    while (rows < TreeItemData::GridSize && !referenced->Cell(rows, 0).isEmpty())
        ++rows;
    bool ok = false;
    const int k = cell.toInt(&ok) - 1;
    return ok && k >= 0 && k < rows ? referenced->Cell(k, 0) : cell;
}

// ---- lookups ----

const FileSelection *OutputGenerator::currentSelection()
{
    auto it = m_selection ? m_selection->constFind(m_file) : DefinitionSelection::const_iterator();
    m_current = m_selection && it != m_selection->constEnd() ? &it.value() : nullptr;
    return m_current;
}

QString OutputGenerator::selectedKey(int l)
{
    const FileSelection *selection = currentSelection();
    return selection ? selection->value(l) : QString();
}

QTreeWidgetItem *OutputGenerator::findInstance(const QString &key) const
{
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    return tab ? tab->FindTreeItem(key) : nullptr;
}

const OutputGenerator::Children *OutputGenerator::childrenOf(QTreeWidgetItem *instance)
{
    if (!instance)
        return nullptr;
    auto it = m_children.constFind(instance);
    if (it != m_children.constEnd())
        return &it.value();
    // Each child looked through is a step, once per instance and file.
    step(instance->childCount());
    Children children;
    const QString midAttr = GetStrVar(RegSlot::StrAttrMID);
    for (int i = 0; i < instance->childCount(); ++i) {
        QTreeWidgetItem *item = instance->child(i);
        const TreeItemData *child = deftab::RecordOf(item);
        if (!child)
            continue;
        // Classes are compared as text where a child of the class is taken, as a number where a
        // cell is read from it.
        const QString mid = child->GetAttr(midAttr);
        children.byMid[mid].append(item);
        if (!children.firstByNumber.contains(mid.toInt()))
            children.firstByNumber.insert(mid.toInt(), item);
    }
    return &m_children.insert(instance, children).value();
}

QTreeWidgetItem *OutputGenerator::childOfClass(QTreeWidgetItem *instance, int s)
{
    const Children *children = childrenOf(instance);
    return children ? children->byMid.value(QString::number(s)).value(0) : nullptr;
}

QString OutputGenerator::childKey(const QTreeWidgetItem *child) const
{
    const TreeItemData *record = deftab::RecordOf(child);
    return record->name + QLatin1Char('-') + record->GetAttr(GetStrVar(RegSlot::StrAttrID));
}

QString OutputGenerator::outVar(QTreeWidgetItem *instance) const
{
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    return tab ? tab->GetItemOutVar(instance) : QString();
}

// A refused grid is no grid of empty cells: the file that reads it is not written.
void OutputGenerator::loadGrid(TreeItemData *record)
{
    if (record->GridLoaded())
        return;
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    if (!tab) {
        record->GridLoaded() = true;
        return;
    }
    const QString refusal =
        tab->ReadInstanceCsv(record, record->name, record->GetAttr(GetStrVar(RegSlot::StrAttrID)));
    if (!refusal.isEmpty())
        refuseFile(refusal);
}

QTreeWidgetItem *OutputGenerator::modelItem(int id) const
{
    auto *mdl = GetObj<model>(RegSlot::ObjModel);
    return mdl && id >= 0 ? mdl->FindItem(QString::number(id)) : nullptr;
}

int OutputGenerator::modelId(const QTreeWidgetItem *item)
{
    const TreeItemData *record = item ? deftab::RecordOf(item) : nullptr;
    return record ? record->GetAttr(OutXml::Id).toInt() : -1;
}
