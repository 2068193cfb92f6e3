#include "outdef/outdef.h"
#include "outdef/outrows.h"
#include "outdef/outseq.h"
#include "outdef/outxml.h"
#include "shell/mainwindow.h"
#include "ui_outdef.h"

#include <QTreeWidget>
#include <functional>

using OutRows::addCount;
using OutRows::idOf;
using OutRows::numberOf;
using OutRows::seqMarker;

namespace
{
QTreeWidgetItem *sourceOf(const QTreeWidgetItem *row)
{
    return OutRows::pointerAt(row, Scope::Source);
}

void setSource(QTreeWidgetItem *row, QTreeWidgetItem *source)
{
    OutRows::setPointer(row, Scope::Source, source);
}

int useOf(const QTreeWidgetItem *row)
{
    return row->data(Scope::Count, Qt::UserRole).toInt() +
           (row->data(Scope::Used, Qt::UserRole).toBool() ? 1 : 0);
}

// Every scope row of the tree, deepest levels first.
QList<QTreeWidgetItem *> deepestFirst(QTreeWidget *tree)
{
    QList<QTreeWidgetItem *> levels[3];
    std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *row, int level) {
        levels[qMin(level, 2)].append(row);
        for (int i = 0; i < row->childCount(); ++i)
            walk(row->child(i), level + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return levels[2] + levels[1] + levels[0];
}
} // namespace

// Removes the element's scope rows from every sequence nested below the identifier, at any depth.
void outdef::removeFromNested(QTreeWidgetItem *identItem, int id)
{
    for (int i = 0; i < identItem->childCount(); ++i) {
        QTreeWidgetItem *child = identItem->child(i);
        removeFromNested(child, id);
        const ScopeTops tops = scopeOf(child);
        if (QTreeWidgetItem *row = FindScopeItem(tops.items(), id))
            deleteScopeRow(row, tops);
    }
}

QList<int> outdef::enclosingLoops(QTreeWidgetItem *ident, bool parameterLoops) const
{
    QList<int> loops;
    for (QTreeWidgetItem *p = ident; p && p->parent(); p = p->parent()) {
        if (const SeqRecord *seq = m_seqs.value(numberOf(p)))
            loops.append(parameterLoops ? seq->pLoop : seq->loop);
    }
    return loops;
}

void outdef::convertToTemp(QTreeWidgetItem *item)
{
    const QString title = item->text(2);
    item->setText(0, seqMarker(numberOf(item)));
    item->setIcon(0, QIcon(QStringLiteral(":src/Sid.png")));
    item->setText(1, title);
    item->setIcon(1, QIcon());
    item->setText(2, QString());
    for (int i = 0; i < item->childCount(); ++i)
        convertToTemp(item->child(i));
}

void outdef::convertToFile(QTreeWidgetItem *item, int indent)
{
    const QString title = item->text(1);
    item->setText(0, QString());
    item->setIcon(0, QIcon());
    item->setText(1, QString(indent * 3, QLatin1Char(' ')) + seqMarker(numberOf(item)));
    item->setIcon(1, QIcon(QStringLiteral(":src/Sid.png")));
    item->setText(2, title);
    for (int i = 0; i < item->childCount(); ++i)
        convertToFile(item->child(i), indent + 1);
}

// The shown scope of a sequence being set aside gives back the uses it counted in the enclosing
// identifiers; rows it only inherited go.
void outdef::detachScope(QTreeWidgetItem *seqItem)
{
    const ScopeTops shown{m_ui->CURRENT_TREE, nullptr};
    for (QTreeWidgetItem *row : deepestFirst(m_ui->CURRENT_TREE)) {
        const int d = useOf(row);
        if (d > 0) {
            for (QTreeWidgetItem *s = sourceOf(row); s; s = sourceOf(s))
                addCount(s, -d);
            setSource(row, nullptr);
        } else if (row->childCount() == 0) {
            removeFromNested(seqItem, idOf(row));
            deleteScopeRow(row, shown);
        } else {
            setSource(row, nullptr);
        }
    }
}

void outdef::MoveSeqTempDiag()
{
    m_treeReaction = false;
    QTreeWidgetItem *s = m_ui->FILE_TREE->currentItem();
    QTreeWidgetItem *p = s ? s->parent() : nullptr;
    SeqRecord *record = s ? m_seqs.value(numberOf(s)) : nullptr;
    // Only the shown sequence can give back its scope: CURRENT_TREE holds its rows.
    if (!p || !record || m_pageMode != 1) {
        m_treeReaction = true;
        return;
    }
    if (!p->parent()) {
        if (FileRecord *file = m_files.value(numberOf(p)))
            file->seqs.removeOne(numberOf(s));
    } else if (SeqRecord *parent = m_seqs.value(numberOf(p))) {
        const int at = parent->nested.indexOf(numberOf(s));
        if (at >= 0) {
            parent->nested.removeAt(at);
            if (at < parent->nestItems.size())
                delete parent->nestItems.takeAt(at);
        }
    }
    detachScope(s);
    m_storing = true;
    storeSeq(record);
    m_storing = false;
    m_ui->SET_BTN->hide();
    m_ui->UNSET_BTN->hide();
    p->removeChild(s);
    convertToTemp(s);
    m_ui->TEMP_TREE->addTopLevelItem(s);
    ExpandTree(m_ui->TEMP_TREE);
    if (m_lastFileItem == s)
        m_lastFileItem = nullptr;
    SetChanged();
    m_treeReaction = true;
    TreeColumnAdjustment(m_ui->FILE_TREE);
    TreeColumnAdjustment(m_ui->TEMP_TREE);
    m_prevStored = true;
    m_ui->TEMP_TREE->setCurrentItem(s);
    if (m_lastTempItem != s)
        TempTreeChanged(s, nullptr);
    m_pageMode = 2;
    m_ui->TEMP_TREE->setFocus();
    m_prevStored = false;
}

bool outdef::CheckMoveToFile()
{
    SetStrVar(RegSlot::StrLastError, QString());
    QTreeWidgetItem *d = m_ui->FILE_TREE->currentItem();
    QTreeWidgetItem *t = m_ui->TEMP_TREE->currentItem();
    if (!d || !t || m_pageMode != 2)
        return false;
    auto refuse = [this](const char *code) {
        SetStrVar(RegSlot::StrLastError, QString::fromLatin1(code));
        return false;
    };
    const QList<QTreeWidgetItem *> *scope = nullptr;
    if (!d->parent()) {
        FileRecord *file = m_files.value(numberOf(d));
        if (!file)
            return refuse("ERROR_OUT_001");
        scope = &file->scope;
    } else {
        SeqRecord *seq = m_seqs.value(numberOf(d));
        if (!seq)
            return refuse("ERROR_OUT_002");
        scope = &seq->scope;
    }
    SeqRecord *temp = m_seqs.value(numberOf(t));
    // A sequence nested in another temporary one moves with it, never on its own.
    if (!temp || t->parent())
        return refuse("ERROR_OUT_003");
    if (CheckLoopScope(temp, d, *scope))
        return true;
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->ShowErrorMsg(tr("connection error"), GetStrVar(RegSlot::StrLastError));
    return false;
}

bool outdef::CheckLoopScope(SeqRecord *temp, QTreeWidgetItem *dest, const QList<QTreeWidgetItem *> &scope)
{
    const bool file = !dest->parent();
    const SeqRecord *dr = file ? nullptr : m_seqs.value(numberOf(dest));
    const QList<int> loops = enclosingLoops(dest->parent(), false) + QList<int>{dr ? dr->loop : -1};
    const QList<int> pLoops = enclosingLoops(dest->parent(), true) + QList<int>{dr ? dr->pLoop : -1};
    auto repeatable = [this](int id) {
        const ModelItemRecord *record = m_modelItems.value(id);
        return record && IsRepeatable(record->item);
    };
    QList<int> missing;
    QList<int> unserved;
    for (int i = 0; i < m_ui->CURRENT_TREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *x = m_ui->CURRENT_TREE->topLevelItem(i);
        if (sourceOf(x) && !FindScopeItem(scope, idOf(x)))
            missing.append(idOf(x));
    }
    auto check = [&](int e) {
        if (repeatable(e) && e != temp->loop && (file || !loops.contains(e)))
            unserved.append(e);
    };
    for (int i = 0; i < m_ui->CURRENT_TREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *x = m_ui->CURRENT_TREE->topLevelItem(i);
        check(idOf(x));
        for (int j = 0; j < x->childCount(); ++j) {
            QTreeWidgetItem *y = x->child(j);
            check(idOf(y));
            if (y->childCount() == 0 || !repeatable(idOf(y->child(0))))
                continue;
            const int k = idOf(y);
            if (!file && (k == temp->pLoop || pLoops.contains(k)))
                continue;
            for (int g = 0; g < y->childCount(); ++g)
                unserved.append(idOf(y->child(g)));
        }
    }
    QString message;
    auto list = [&message](const QString &title, const QList<int> &ids) {
        if (ids.isEmpty())
            return;
        message += title + QLatin1Char('\n');
        for (int id : ids)
            message += QStringLiteral("$Var[") + QString::number(id) + QStringLiteral("]\n");
    };
    list(tr("Lclass is not found next temp lclass"), missing);
    list(tr("loop variable is not found at file tree"), unserved);
    SetStrVar(RegSlot::StrLastError, message);
    return message.isEmpty();
}

void outdef::MoveSeqFileDiag()
{
    if (!CheckMoveToFile() || !nestingFits(m_ui->FILE_TREE->currentItem(), m_ui->TEMP_TREE->currentItem()))
        return;
    placeSeq();
    TreeColumnAdjustment(m_ui->FILE_TREE);
    TreeColumnAdjustment(m_ui->TEMP_TREE);
    SetChanged();
}

void outdef::placeSeq()
{
    QTreeWidgetItem *d = m_ui->FILE_TREE->currentItem();
    QTreeWidgetItem *t = m_ui->TEMP_TREE->currentItem();
    SeqRecord *record = m_seqs.value(numberOf(t));
    const ScopeTops destScope = scopeOf(d);
    const QList<QTreeWidgetItem *> scope = destScope.items();
    m_treeReaction = false;
    std::function<void(QTreeWidgetItem *)> attach = [&](QTreeWidgetItem *row) {
        const int id = idOf(row);
        if (m_modelItems.value(id) && !FindCurrentScopeItem(id)) {
            if (QTreeWidgetItem *added = insertScopeAtLevel({m_ui->CURRENT_TREE, nullptr}, id))
                paintScopeItem(added);
            addToNested(t, id);
        }
        for (int i = 0; i < row->childCount(); ++i)
            attach(row->child(i));
    };
    for (QTreeWidgetItem *row : scope)
        attach(row);
    for (QTreeWidgetItem *row : deepestFirst(m_ui->CURRENT_TREE)) {
        const int d2 = useOf(row);
        QTreeWidgetItem *target = d2 > 0 ? FindScopeItem(scope, idOf(row)) : nullptr;
        if (!target)
            continue;
        setSource(row, target);
        for (QTreeWidgetItem *s = target; s; s = sourceOf(s))
            addCount(s, d2);
    }
    m_storing = true;
    storeSeq(record);
    m_storing = false;
    m_ui->TEMP_TREE->takeTopLevelItem(m_ui->TEMP_TREE->indexOfTopLevelItem(t));
    if (m_lastTempItem == t)
        m_lastTempItem = nullptr;
    int k = 0;
    for (QTreeWidgetItem *p = d->parent(); p; p = p->parent())
        ++k;
    convertToFile(t, k);
    d->addChild(t);
    d->setExpanded(true);
    ExpandTree(m_ui->FILE_TREE);
    const int n = numberOf(t);
    if (!d->parent()) {
        if (FileRecord *file = m_files.value(numberOf(d)))
            file->seqs.append(n);
    } else if (SeqRecord *seq = m_seqs.value(numberOf(d))) {
        seq->nestItems.append(newNestItem(n));
        seq->nested.append(n);
    }
    m_pageMode = 1;
    m_ui->INF_TAB->setTabText(1, tr("Seq"));
    m_shownKind = SeqKind;
    m_treeReaction = true;
    m_prevStored = true;
    m_ui->FILE_TREE->setCurrentItem(t);
    m_prevStored = false;
    m_ui->FILE_TREE->setFocus();
}
