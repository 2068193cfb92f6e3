#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "outdef/outrows.h"
#include "outdef/outxml.h"
#include "ui_outdef.h"

#include <QSignalBlocker>
#include <QTreeWidget>
#include <functional>

using OutRows::childWithId;
using OutRows::idOf;
using OutRows::pointerAt;
using OutRows::pointerData;

namespace
{
QTreeWidgetItem *topWithId(const QList<QTreeWidgetItem *> &list, int id)
{
    for (QTreeWidgetItem *item : list) {
        if (idOf(item) == id)
            return item;
    }
    return nullptr;
}

QList<QTreeWidgetItem *> topItems(const QTreeWidget *tree)
{
    QList<QTreeWidgetItem *> list;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        list.append(tree->topLevelItem(i));
    return list;
}
} // namespace

void outdef::BuildModelTree()
{
    auto *mdl = GetObj<model>(RegSlot::ObjModel);
    clearModel();
    if (!mdl)
        return;
    if (GetIntVar(RegSlot::IntDocKind) == 0)
        mdl->LoadModel();
    else if (GetBoolVar(RegSlot::FlagModelModified))
        mdl->SaveModel();
    mdl->SetReadOnly();
    const QTreeWidget *source = mdl->GetTree();
    static const char *const icons[3] = {":src/lclass.png", ":src/sclass.png", ":src/param.png"};
    std::function<void(QTreeWidgetItem *, QTreeWidgetItem *, int)> copy =
        [&](QTreeWidgetItem *from, QTreeWidgetItem *parent, int level) {
            const TreeItemData *record = model::RecordOf(from);
            int id = -1;
            if (!record || !OutXml::ToNumber(record->GetAttr(GetStrVar(RegSlot::StrAttrID)), &id))
                return;
            auto *item = new QTreeWidgetItem;
            item->setText(level, from->text(level));
            item->setText(3, from->text(3));
            item->setText(4, QStringLiteral("M") + QString::number(id));
            item->setIcon(0, QIcon(QString::fromLatin1(icons[level])));
            item->setData(0, Qt::UserRole, pointerData(from));
            item->setData(2, Qt::UserRole, id);
            delete m_modelItems.take(id);
            m_modelItems.insert(id, new ModelItemRecord{id, item, nullptr});
            if (parent)
                parent->addChild(item);
            else
                m_ui->MODEL_TREE->addTopLevelItem(item);
            for (int i = 0; level < 2 && i < from->childCount(); ++i)
                copy(from->child(i), item, level + 1);
        };
    for (int i = 0; i < source->topLevelItemCount(); ++i)
        copy(source->topLevelItem(i), nullptr, 0);
    ExpandTree(m_ui->MODEL_TREE);
    TreeColumnAdjustment(m_ui->MODEL_TREE);
}

// The caller fits the columns once afterwards; fitting them at every expanded row is quadratic.
void outdef::ExpandTree(QTreeWidget *tree)
{
    const QSignalBlocker quiet(tree);
    tree->expandAll();
}

int outdef::GetModelLevel(int id)
{
    const ModelItemRecord *record = m_modelItems.value(id);
    if (!record || !record->item)
        return -1;
    QTreeWidgetItem *item = record->item;
    if (!item->parent()) {
        m_nestIds[0] = id;
        return 0;
    }
    if (!item->parent()->parent()) {
        m_nestIds[0] = item->parent()->data(2, Qt::UserRole).toInt();
        m_nestIds[1] = id;
        return 1;
    }
    m_nestIds[0] = item->parent()->parent()->data(2, Qt::UserRole).toInt();
    m_nestIds[1] = item->parent()->data(2, Qt::UserRole).toInt();
    m_nestIds[2] = id;
    return 2;
}

int outdef::GetMarkerNumber(const QString &text) const
{
    const QRegularExpressionMatch match = m_varMarker.match(text);
    bool ok = false;
    const int n = match.hasMatch() ? match.captured(1).toInt(&ok) : -1;
    return ok ? n : -1;
}

bool outdef::FindElementNest(int id)
{
    const ModelItemRecord *record = m_modelItems.value(id);
    if (!record)
        return false;
    QTreeWidgetItem *m = record->item;
    if (!m)
        return true;
    QTreeWidgetItem *a = m->parent();
    QTreeWidgetItem *g = a ? a->parent() : nullptr;
    if (!a) {
        m_nestLevel = 0;
        m_nestIds[0] = id;
        m_nestItems[0] = m;
    } else if (!g) {
        m_nestLevel = 1;
        m_nestIds[0] = a->data(2, Qt::UserRole).toInt();
        m_nestItems[0] = a;
        m_nestIds[1] = id;
        m_nestItems[1] = m;
    } else {
        m_nestLevel = 2;
        m_nestIds[0] = g->data(2, Qt::UserRole).toInt();
        m_nestItems[0] = g;
        m_nestIds[1] = a->data(2, Qt::UserRole).toInt();
        m_nestItems[1] = a;
        m_nestIds[2] = id;
        m_nestItems[2] = m;
    }
    return true;
}

QTreeWidgetItem *outdef::FindScopeItem(const QList<QTreeWidgetItem *> &list, int id)
{
    const ModelItemRecord *record = m_modelItems.value(id);
    if (!record || !record->item || !FindElementNest(id))
        return nullptr;
    if (m_nestLevel == 0)
        return topWithId(list, id);
    QTreeWidgetItem *top = topWithId(list, m_nestIds[0]);
    if (m_nestLevel == 1)
        return childWithId(top, id);
    return childWithId(childWithId(top, m_nestIds[1]), id);
}

QTreeWidgetItem *outdef::FindCurrentScopeItem(int id)
{
    return FindScopeItem(topItems(m_ui->CURRENT_TREE), id);
}

QTreeWidgetItem *outdef::GetCurrentFileItem() const
{
    QTreeWidgetItem *cur = m_ui->FILE_TREE->currentItem();
    return m_pageMode == 1 && cur && cur->parent() ? cur : nullptr;
}

bool outdef::IsRepeatable(const QTreeWidgetItem *modelItem) const
{
    if (!modelItem)
        return false;
    if (modelItem->text(0).isEmpty() && modelItem->text(1).isEmpty())
        return modelItem->text(2).contains(QLatin1String("[N]"));
    return modelItem->text(3) == GetStrVar(RegSlot::StrLabelArbitary);
}

// ---- scope rows ----

QTreeWidgetItem *outdef::newScopeItem(int id, QTreeWidgetItem *source)
{
    auto *item = new QTreeWidgetItem;
    item->setData(Scope::Source, Qt::UserRole, pointerData(source));
    item->setData(Scope::Count, Qt::UserRole, 0);
    item->setData(Scope::Id, Qt::UserRole, id);
    item->setData(Scope::Used, Qt::UserRole, false);
    item->setData(Scope::VarItem, Qt::UserRole, pointerData(nullptr));
    paintScopeItem(item);
    return item;
}

// A copy of a scope row with its children and grandchildren, not used; linkSource makes each copy
// point at the row it was copied from.
QTreeWidgetItem *outdef::copyScopeItem(const QTreeWidgetItem *from, bool linkSource, bool texts)
{
    QTreeWidgetItem *copy =
        newScopeItem(idOf(from), linkSource ? const_cast<QTreeWidgetItem *>(from) : nullptr);
    if (!texts) {
        for (int c = 0; c < copy->columnCount(); ++c) {
            copy->setText(c, QString());
            copy->setIcon(c, QIcon());
        }
    }
    for (int i = 0; i < from->childCount(); ++i)
        copy->addChild(copyScopeItem(from->child(i), linkSource, texts));
    return copy;
}

void outdef::paintScopeItem(QTreeWidgetItem *item)
{
    const int id = idOf(item);
    const ModelItemRecord *record = m_modelItems.value(id);
    if (!record)
        return;
    const bool used = item->data(Scope::Used, Qt::UserRole).toBool();
    const QTreeWidgetItem *m = record->item;
    const QString number = QString::number(id) + QLatin1Char(']');
    if (!used) {
        item->setText(0, QString());
        item->setIcon(0, QIcon());
    } else if (!m) {
        item->setText(0, QStringLiteral("$Del[") + number);
        item->setIcon(0, SharedIcon::Get(SharedIcon::Error));
    } else {
        item->setText(0, QStringLiteral("$Var[") + number);
        item->setIcon(0, SharedIcon::Get(SharedIcon::Variable));
    }
    if (!m)
        return;
    for (int c = 0; c < 4; ++c)
        item->setText(c + 1, m->text(c));
    item->setIcon(1, m->icon(0));
    item->setText(5, QStringLiteral("M") + QString::number(id));
}

// Inserts a row among its siblings (the children of parent, or the top-level list) before the
// first one whose element comes later in the model tree.
void outdef::insertAtModelOrder(QTreeWidgetItem *parent, ScopeTops tops, QTreeWidgetItem *item)
{
    auto rank = [this](const QTreeWidgetItem *row) {
        const ModelItemRecord *record = m_modelItems.value(idOf(row));
        QTreeWidgetItem *m = record ? record->item : nullptr;
        if (!m)
            return -1;
        return m->parent() ? m->parent()->indexOfChild(m) : m_ui->MODEL_TREE->indexOfTopLevelItem(m);
    };
    const int mine = rank(item);
    const int count = parent ? parent->childCount() : tops.count();
    int at = count;
    for (int i = 0; i < count; ++i) {
        if (rank(parent ? parent->child(i) : tops.at(i)) > mine) {
            at = i;
            break;
        }
    }
    if (parent)
        parent->insertChild(at, item);
    else
        tops.insert(at, item);
}

QTreeWidgetItem *outdef::varItem(int id, const SeqRecord *record) const
{
    for (QTreeWidgetItem *item : record->varItems) {
        if (item->data(0, Qt::UserRole).toInt() == id)
            return item;
    }
    return nullptr;
}

QString outdef::loopLabel(const SeqRecord *record, int id)
{
    const ModelItemRecord *element = m_modelItems.value(id);
    QTreeWidgetItem *m = element ? element->item : nullptr;
    const bool parameter = m && m->parent() && m->parent()->parent();
    if (record->loopKind == 2 && parameter && record->pLoop == m->parent()->data(2, Qt::UserRole).toInt())
        return tr("Loop");
    if (record->loop == id && !parameter)
        return tr("Loop");
    return QString();
}

// A sequence's own variable in its scope: where the element is already inherited the row is
// marked used and counted up its sources; otherwise a used row is made at model order.
void outdef::addOwnVar(QList<QTreeWidgetItem *> *scope, int id, QTreeWidgetItem *var)
{
    const int level = GetModelLevel(id);
    if (level < 0)
        return;
    const int lclass = m_nestIds[0];
    const int sclass = m_nestIds[1];
    QTreeWidgetItem *top = topWithId(*scope, lclass);
    QTreeWidgetItem *parent = nullptr;
    QTreeWidgetItem *existing = nullptr;
    if (level == 0) {
        existing = top;
    } else if (!top) {
        return;
    } else if (level == 1) {
        parent = top;
        existing = childWithId(top, id);
    } else {
        parent = childWithId(top, sclass);
        if (!parent) {
            parent = newScopeItem(sclass, nullptr);
            insertAtModelOrder(top, {}, parent);
        }
        existing = childWithId(parent, id);
    }
    QTreeWidgetItem *row = existing;
    if (!row) {
        row = newScopeItem(id, nullptr);
        insertAtModelOrder(parent, {nullptr, scope}, row);
    } else {
        for (QTreeWidgetItem *s = pointerAt(row, Scope::Source); s; s = pointerAt(s, Scope::Source))
            s->setData(Scope::Count, Qt::UserRole, s->data(Scope::Count, Qt::UserRole).toInt() + 1);
    }
    row->setData(Scope::Used, Qt::UserRole, true);
    if (var) {
        row->setData(Scope::VarItem, Qt::UserRole, pointerData(var));
        var->setData(2, Qt::UserRole, pointerData(row));
    }
    paintScopeItem(row);
}

void outdef::buildSeqScopes(const QList<QTreeWidgetItem *> &parentScope, int number)
{
    SeqRecord *record = m_seqs.value(number);
    if (!record)
        return;
    for (const QTreeWidgetItem *item : parentScope)
        record->scope.append(copyScopeItem(item, true, true));
    for (int id : qAsConst(record->vars)) {
        if (m_modelItems.value(id))
            addOwnVar(&record->scope, id, varItem(id, record));
    }
    for (int m : qAsConst(record->nested))
        buildSeqScopes(record->scope, m);
}

void outdef::BuildScopes()
{
    for (int i = 0; i < m_ui->FILE_TREE->topLevelItemCount(); ++i) {
        FileRecord *file = m_files.value(m_ui->FILE_TREE->topLevelItem(i)->data(2, Qt::UserRole).toInt());
        if (!file)
            continue;
        for (int id : qAsConst(file->vars))
            file->scope.append(newScopeItem(id, nullptr));
        for (int s : qAsConst(file->seqs)) {
            if (m_seqs.value(s) && m_seqs.value(s)->item)
                buildSeqScopes(file->scope, s);
        }
    }
    // Temporary sequences stand outside every file: their own variables are all they have.
    for (int i = 0; i < m_ui->TEMP_TREE->topLevelItemCount(); ++i)
        buildSeqScopes({}, m_ui->TEMP_TREE->topLevelItem(i)->data(2, Qt::UserRole).toInt());
}

void outdef::showScope(QList<QTreeWidgetItem *> *scope, bool file)
{
    m_ui->CURRENT_TREE->clear();
    m_ui->CURRENT_TREE->addTopLevelItems(*scope);
    scope->clear();
    std::function<void(QTreeWidgetItem *)> show = [&](QTreeWidgetItem *item) {
        if (ModelItemRecord *record = m_modelItems.value(idOf(item))) {
            record->scopeItem = item;
            paintScopeItem(item);
        }
        for (int i = 0; i < item->childCount(); ++i)
            show(item->child(i));
    };
    for (int i = 0; i < m_ui->CURRENT_TREE->topLevelItemCount(); ++i)
        show(m_ui->CURRENT_TREE->topLevelItem(i));
    ExpandTree(m_ui->CURRENT_TREE);
    if (file)
        TreeColumnAdjustment(m_ui->CURRENT_TREE);
}

void outdef::refreshSetButton(QTreeWidgetItem *modelItem)
{
    if (!GetBoolVar(RegSlot::FlagOutputOwned))
        return;
    QTreeWidgetItem *cur = m_ui->FILE_TREE->currentItem();
    const int id = modelItem ? modelItem->data(2, Qt::UserRole).toInt() : -1;
    const ModelItemRecord *record = m_modelItems.value(id);
    bool visible = false;
    if (m_pageMode == 1 && record && cur) {
        if (!cur->parent()) {
            visible = !record->scopeItem;
        } else if (const SeqRecord *seq = m_seqs.value(cur->data(2, Qt::UserRole).toInt())) {
            const int level = GetModelLevel(id);
            auto used = [](const QTreeWidgetItem *row) {
                return row && row->data(Scope::Used, Qt::UserRole).toBool();
            };
            if (seq->loop != -1 && IsRepeatable(modelItem)) {
                visible = false;
            } else if (level == 0) {
                QTreeWidgetItem *row = topWithId(topItems(m_ui->CURRENT_TREE), id);
                visible = row && !used(row);
            } else if (!used(record->scopeItem)) {
                const ModelItemRecord *parent = m_modelItems.value(m_nestIds[level - 1]);
                visible = parent && used(parent->scopeItem);
            }
        }
    }
    m_ui->SET_BTN->setVisible(visible);
}

void outdef::refreshUnsetButton(QTreeWidgetItem *row)
{
    if (!GetBoolVar(RegSlot::FlagOutputOwned))
        return;
    QTreeWidgetItem *cur = m_ui->FILE_TREE->currentItem();
    bool visible = m_pageMode == 1 && cur && row && row->data(Scope::Count, Qt::UserRole).toInt() == 0 &&
                   row->childCount() == 0;
    // In a sequence only a row bound there can be unbound: an inherited row was never counted.
    if (visible && cur->parent())
        visible = row->data(Scope::Used, Qt::UserRole).toBool();
    m_ui->UNSET_BTN->setVisible(visible);
}

ScopeTops outdef::scopeOf(QTreeWidgetItem *ident)
{
    if (!ident)
        return {};
    const bool shown = (m_pageMode == 1 && ident == m_ui->FILE_TREE->currentItem()) ||
                       (m_pageMode == 2 && ident == m_ui->TEMP_TREE->currentItem());
    if (shown)
        return {m_ui->CURRENT_TREE, nullptr};
    const int n = ident->data(2, Qt::UserRole).toInt();
    if (ident->treeWidget() == m_ui->FILE_TREE && !ident->parent()) {
        FileRecord *file = m_files.value(n);
        return file ? ScopeTops{nullptr, &file->scope} : ScopeTops{};
    }
    SeqRecord *seq = m_seqs.value(n);
    return seq ? ScopeTops{nullptr, &seq->scope} : ScopeTops{};
}

// A scope row for the element at its level: an existing one is returned; a new one (not used, no
// source) goes under the rows of its large and small class, and nowhere when they are missing.
QTreeWidgetItem *outdef::insertScopeAtLevel(ScopeTops tops, int id)
{
    const int level = GetModelLevel(id);
    if (level < 0 || !tops.valid())
        return nullptr;
    const int lclass = m_nestIds[0];
    const int sclass = m_nestIds[1];
    QTreeWidgetItem *parent = nullptr;
    if (level == 0) {
        if (QTreeWidgetItem *existing = topWithId(tops.items(), id))
            return existing;
    } else {
        parent = topWithId(tops.items(), lclass);
        if (level == 2)
            parent = childWithId(parent, sclass);
        if (!parent)
            return nullptr;
        if (QTreeWidgetItem *existing = childWithId(parent, id))
            return existing;
    }
    QTreeWidgetItem *row = newScopeItem(id, nullptr);
    insertAtModelOrder(parent, tops, row);
    return row;
}

// Takes a scope row out of its parent (or the top level) and frees it with its children; the
// elements' links to the freed rows go first.
void outdef::deleteScopeRow(QTreeWidgetItem *row, ScopeTops tops)
{
    std::function<void(QTreeWidgetItem *)> unlink = [&](QTreeWidgetItem *r) {
        if (ModelItemRecord *record = m_modelItems.value(idOf(r))) {
            if (record->scopeItem == r)
                record->scopeItem = nullptr;
        }
        if (QTreeWidgetItem *var = pointerAt(r, Scope::VarItem))
            var->setData(2, Qt::UserRole, pointerData(nullptr));
        for (int i = 0; i < r->childCount(); ++i)
            unlink(r->child(i));
    };
    unlink(row);
    const bool guard = m_moveGuard;
    m_moveGuard = true;
    if (row->parent())
        row->parent()->removeChild(row);
    else
        tops.take(row);
    m_moveGuard = guard;
    delete row;
}
