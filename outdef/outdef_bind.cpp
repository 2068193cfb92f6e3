#include "model/model.h"
#include "outdef/outdef.h"
#include "outdef/outrows.h"
#include "outdef/outseq.h"
#include "shell/numeditor.h"
#include "shell/tab.h"
#include "ui_outdef.h"

#include <QTreeWidget>

using OutRows::addCount;
using OutRows::childWithId;
using OutRows::idOf;
using OutRows::numberOf;
using OutRows::pointerAt;
using OutRows::setPointer;
using OutRows::varMarker;

void outdef::setUsed(QTreeWidgetItem *row, bool used)
{
    row->setData(Scope::Used, Qt::UserRole, used);
    paintScopeItem(row);
}

void outdef::reloadLoop(SeqRecord *record)
{
    record->data->SetAttr(GetStrVar(RegSlot::StrTagLoop), QString::number(record->loop));
    record->data->SetAttr(GetStrVar(RegSlot::StrTagPLoop), QString::number(record->pLoop));
    if (record->loop != -1 || record->pLoop != -1)
        m_outSeq->ShowLoop(record->data);
    else
        m_outSeq->HideLoop();
}

void outdef::SetBtnClicked(bool)
{
    QTreeWidgetItem *f = m_ui->FILE_TREE->currentItem();
    QTreeWidgetItem *m = m_ui->MODEL_TREE->currentItem();
    if (m_pageMode != 1 || !f || !m)
        return;
    const int n = m->data(2, Qt::UserRole).toInt();
    if (!FindElementNest(n))
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    if (!f->parent()) {
        bindFile(n);
    } else {
        if (m_nestLevel == 0)
            bindLclass(f, n);
        else if (m_nestLevel == 1)
            bindSclass(f, n);
        else
            bindParam(f, n);
        m_editor->CheckMarkers();
    }
    SetBoolVar(RegSlot::FlagBusy, false);
    TreeColumnAdjustment(m_ui->CURRENT_TREE);
    SetChanged();
}

void outdef::bindFile(int id)
{
    QTreeWidgetItem *f = m_ui->FILE_TREE->currentItem();
    const ScopeTops shown{m_ui->CURRENT_TREE, nullptr};
    ModelItemRecord *element = m_modelItems.value(id);
    for (QTreeWidgetItem *row : shown.items()) {
        if (idOf(row) == id) {
            setUsed(row, true);
            element->scopeItem = row;
            m_ui->SET_BTN->hide();
            m_ui->UNSET_BTN->show();
            return;
        }
    }
    QTreeWidgetItem *row = newScopeItem(id, nullptr);
    insertAtModelOrder(nullptr, shown, row);
    m_ui->CURRENT_TREE->setCurrentItem(row);
    addToNested(f, id);
    element->scopeItem = row;
    if (FileRecord *file = m_files.value(numberOf(f))) {
        const int mine = element->item ? m_ui->MODEL_TREE->indexOfTopLevelItem(element->item) : -1;
        int at = file->vars.size();
        for (int i = 0; i < file->vars.size(); ++i) {
            const ModelItemRecord *other = m_modelItems.value(file->vars.at(i));
            if (other && other->item && m_ui->MODEL_TREE->indexOfTopLevelItem(other->item) > mine) {
                at = i;
                break;
            }
        }
        file->vars.insert(at, id);
    }
    m_ui->SET_BTN->hide();
    m_ui->UNSET_BTN->show();
}

// Every sequence below the identifier gets the element in its scope: a row it already has is
// linked to the enclosing sequence's row, a missing one is made, not used.
void outdef::addToNested(QTreeWidgetItem *identItem, int id)
{
    for (int i = 0; i < identItem->childCount(); ++i) {
        QTreeWidgetItem *child = identItem->child(i);
        const ScopeTops tops = scopeOf(child);
        QTreeWidgetItem *row = FindScopeItem(tops.items(), id);
        if (row && !pointerAt(row, Scope::Source) && identItem->parent()) {
            if (QTreeWidgetItem *source = FindScopeItem(scopeOf(identItem).items(), id)) {
                setPointer(row, Scope::Source, source);
                const int d = row->data(Scope::Count, Qt::UserRole).toInt() +
                              (row->data(Scope::Used, Qt::UserRole).toBool() ? 1 : 0);
                for (QTreeWidgetItem *s = source; s && d > 0; s = pointerAt(s, Scope::Source))
                    addCount(s, d);
            }
        } else if (!row) {
            insertScopeAtLevel(tops, id);
        }
        addToNested(child, id);
    }
}

void outdef::registerVar(SeqRecord *record, int id)
{
    if (record->vars.contains(id))
        return;
    record->vars.append(id);
    const QString marker = varMarker(id);
    m_markerCounts.insert(marker, 1);
    if (!m_markerLists[1].contains(marker))
        m_markerLists[1].append(marker);
    auto *var = new QTreeWidgetItem;
    var->setText(0, marker);
    var->setIcon(0, QIcon(QStringLiteral(":src/variable.png")));
    var->setText(1, GetStrVar(RegSlot::StrColLast));
    var->setText(2, loopLabel(record, id));
    var->setData(0, Qt::UserRole, id);
    if (QTreeWidgetItem *row = FindCurrentScopeItem(id)) {
        setPointer(var, 2, row);
        setPointer(row, Scope::VarItem, var);
    }
    m_selVar = true;
    m_outSeq->GetVarTree()->addTopLevelItem(var);
    m_selVar = false;
}

void outdef::countUp(QTreeWidgetItem *row, QTreeWidgetItem *identItem)
{
    const int id = idOf(row);
    for (QTreeWidgetItem *ident = identItem; ident && ident->parent(); ident = ident->parent()) {
        QTreeWidgetItem *source = pointerAt(row, Scope::Source);
        if (!source) {
            source = FindScopeItem(scopeOf(ident->parent()).items(), id);
            if (!source)
                return;
            setPointer(row, Scope::Source, source);
        }
        addCount(source, 1);
        row = source;
    }
}

void outdef::countDown(QTreeWidgetItem *row, int by)
{
    for (QTreeWidgetItem *s = pointerAt(row, Scope::Source); s; s = pointerAt(s, Scope::Source))
        addCount(s, -by);
}

void outdef::clearNestedLoops(QTreeWidgetItem *identItem, int id, bool parameterLoop)
{
    for (int i = 0; i < identItem->childCount(); ++i) {
        QTreeWidgetItem *child = identItem->child(i);
        SeqRecord *seq = m_seqs.value(numberOf(child));
        if (!seq)
            continue;
        if (!parameterLoop && seq->loop == id) {
            seq->loop = -1;
            if (QTreeWidgetItem *var = varItem(id, seq))
                var->setText(2, QString());
        } else if (parameterLoop && seq->pLoop == id) {
            seq->pLoop = -1;
            for (QTreeWidgetItem *var : qAsConst(seq->varItems)) {
                const ModelItemRecord *e = m_modelItems.value(var->data(0, Qt::UserRole).toInt());
                if (e && e->item && e->item->parent() &&
                    e->item->parent()->data(2, Qt::UserRole).toInt() == id)
                    var->setText(2, QString());
            }
        } else {
            clearNestedLoops(child, id, parameterLoop);
        }
    }
}

void outdef::bindLclass(QTreeWidgetItem *f, int id)
{
    SeqRecord *seq = m_seqs.value(numberOf(f));
    QTreeWidgetItem *row = FindCurrentScopeItem(id);
    if (!seq || !row || row->parent())
        return;
    setUsed(row, true);
    if (seq->loop == -1 && seq->pLoop == -1) {
        if (IsRepeatable(m_modelItems.value(id)->item) && !enclosingLoops(f->parent(), false).contains(id)) {
            seq->loop = id;
            seq->loopKind = 0;
            reloadLoop(seq);
            clearNestedLoops(f, id, false);
        }
        registerVar(seq, id);
    }
    countUp(row, f);
    m_modelItems.value(id)->scopeItem = row;
    m_ui->SET_BTN->hide();
    m_ui->UNSET_BTN->show();
}

void outdef::bindSclass(QTreeWidgetItem *f, int id)
{
    SeqRecord *seq = m_seqs.value(numberOf(f));
    QTreeWidgetItem *top = FindCurrentScopeItem(m_nestIds[0]);
    if (!seq || !top)
        return;
    QTreeWidgetItem *row = childWithId(top, id);
    if (row) {
        setUsed(row, true);
    } else {
        if (IsRepeatable(m_modelItems.value(id)->item) && seq->loop == -1 && seq->pLoop == -1) {
            seq->loop = id;
            seq->loopKind = 1;
            reloadLoop(seq);
            clearNestedLoops(f, id, false);
        }
        row = newScopeItem(id, nullptr);
        insertAtModelOrder(top, {}, row);
        setUsed(row, true);
        addToNested(f, id);
    }
    m_modelItems.value(id)->scopeItem = row;
    registerVar(seq, id);
    countUp(row, f);
    m_ui->SET_BTN->hide();
    m_ui->UNSET_BTN->show();
}

void outdef::bindParam(QTreeWidgetItem *f, int id)
{
    SeqRecord *seq = m_seqs.value(numberOf(f));
    const int lclass = m_nestIds[0];
    const int sclass = m_nestIds[1];
    QTreeWidgetItem *small = childWithId(FindCurrentScopeItem(lclass), sclass);
    if (!seq || !small)
        return;
    QTreeWidgetItem *model = m_modelItems.value(id)->item;
    bool loopMade = false;
    if (!childWithId(small, id) && IsRepeatable(model) && seq->loop == -1 && seq->pLoop == -1 &&
        !enclosingLoops(f->parent(), true).contains(sclass)) {
        seq->loop = -1;
        seq->loopKind = 2;
        seq->pLoop = sclass;
        reloadLoop(seq);
        clearNestedLoops(f, sclass, true);
        loopMade = true;
    }
    // A parameter loop binds every parameter of the small class; one that already has a row in the
    // scope has that row marked rather than a second row for the same element.
    QList<int> params{id};
    for (int i = 0; loopMade && model->parent() && i < model->parent()->childCount(); ++i) {
        const int other = model->parent()->child(i)->data(2, Qt::UserRole).toInt();
        if (other != id)
            params.append(other);
    }
    for (int n : params) {
        QTreeWidgetItem *row = childWithId(small, n);
        if (!row) {
            row = newScopeItem(n, nullptr);
            insertAtModelOrder(small, {}, row);
            addToNested(f, n);
        }
        setUsed(row, true);
        if (ModelItemRecord *element = m_modelItems.value(n))
            element->scopeItem = row;
        if (!seq->vars.contains(n)) {
            registerVar(seq, n);
            countUp(row, f);
        }
    }
    m_ui->SET_BTN->hide();
    m_ui->UNSET_BTN->show();
}

// ---- unbinding ----

void outdef::UnsetBtnClicked(bool)
{
    QTreeWidgetItem *f = m_ui->FILE_TREE->currentItem();
    QTreeWidgetItem *row = m_ui->CURRENT_TREE->currentItem();
    // With a temporary sequence shown the rows are not those of the file tree's current item.
    if (m_pageMode != 1 || !f || !row)
        return;
    const int id = idOf(row);
    if (!FindElementNest(id))
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    if (f->parent()) {
        setPointer(row, Scope::VarItem, nullptr);
        unbindSeq(f, row, id);
        m_editor->CheckMarkers();
    } else {
        unbindFile(row, id);
    }
    SetBoolVar(RegSlot::FlagBusy, false);
    TreeColumnAdjustment(m_ui->CURRENT_TREE);
    SetChanged();
}

void outdef::unbindFile(QTreeWidgetItem *row, int id)
{
    QTreeWidgetItem *f = m_ui->FILE_TREE->currentItem();
    if (FileRecord *file = m_files.value(numberOf(f)))
        file->vars.removeAll(id);
    removeFromNested(f, id);
    deleteScopeRow(row, {m_ui->CURRENT_TREE, nullptr});
    if (QTreeWidgetItem *first = m_ui->CURRENT_TREE->topLevelItem(0)) {
        m_ui->CURRENT_TREE->setCurrentItem(first);
        m_ui->UNSET_BTN->show();
        m_ui->SET_BTN->hide();
    } else if (QTreeWidgetItem *model = m_ui->MODEL_TREE->topLevelItem(0)) {
        m_ui->UNSET_BTN->hide();
        m_ui->SET_BTN->show();
        m_ui->MODEL_TREE->setCurrentItem(model);
    }
}

void outdef::removeVarItem(SeqRecord *record, int id)
{
    record->vars.removeAll(id);
    m_markerLists[1].removeAll(varMarker(id));
    QTreeWidget *vars = m_outSeq->GetVarTree();
    for (int i = vars->topLevelItemCount() - 1; i >= 0; --i) {
        if (vars->topLevelItem(i)->data(0, Qt::UserRole).toInt() != id)
            continue;
        QTreeWidgetItem *var = vars->takeTopLevelItem(i);
        if (QTreeWidgetItem *row = pointerAt(var, 2))
            setPointer(row, Scope::VarItem, nullptr);
        delete var;
    }
}

void outdef::unbindSeq(QTreeWidgetItem *f, QTreeWidgetItem *row, int id)
{
    SeqRecord *seq = m_seqs.value(numberOf(f));
    if (!seq)
        return;
    const int level = m_nestLevel;
    const int sclass = m_nestIds[1];
    if (level == 0 || row->data(Scope::Count, Qt::UserRole).toInt() != 0) {
        removeVarItem(seq, id);
        if (level == 0 && seq->loop == id) {
            seq->loop = -1;
            reloadLoop(seq);
        }
        countDown(row, 1);
        setUsed(row, false);
        m_ui->SET_BTN->show();
        m_ui->UNSET_BTN->hide();
        return;
    }
    removeFromNested(f, id);
    removeVarItem(seq, id);
    if (level == 1 && seq->loop == id) {
        seq->loop = -1;
        reloadLoop(seq);
    } else if (level == 2 && seq->loopKind == 2 && seq->pLoop == sclass) {
        bool other = false;
        for (int n : qAsConst(seq->vars)) {
            const ModelItemRecord *e = m_modelItems.value(n);
            other = other || (e && e->item && e->item->parent() &&
                              e->item->parent()->data(2, Qt::UserRole).toInt() == sclass);
        }
        if (!other) {
            seq->pLoop = -1;
            reloadLoop(seq);
        }
    }
    if (pointerAt(row, Scope::Source)) {
        countDown(row, 1);
        setUsed(row, false);
    } else {
        deleteScopeRow(row, {m_ui->CURRENT_TREE, nullptr});
    }
}

// ---- selection links ----

void outdef::ModelTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || m_clearing)
        return;
    refreshSetButton(cur);
    if (m_selCurrent || !cur)
        return;
    const ModelItemRecord *record = m_modelItems.value(cur->data(2, Qt::UserRole).toInt());
    if (record && record->scopeItem) {
        m_selModel = true;
        m_ui->CURRENT_TREE->setCurrentItem(record->scopeItem);
        m_selModel = false;
    }
}

void outdef::ModelTreeDblClicked(QTreeWidgetItem *item, int)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || !item)
        return;
    auto *mdl = GetObj<model>(RegSlot::ObjModel);
    QTreeWidgetItem *target =
        mdl ? mdl->FindItem(QString::number(item->data(2, Qt::UserRole).toInt())) : nullptr;
    if (!target)
        return;
    mdl->SetCurrentItem(target);
    if (auto *tab = GetObj<Tab>(RegSlot::ObjTab))
        tab->EmitCurrentChanged(Tab::Model);
}

void outdef::VarTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || m_selVar || !cur)
        return;
    if (QTreeWidgetItem *row = pointerAt(cur, 2))
        m_ui->CURRENT_TREE->setCurrentItem(row);
}
