#include "core/uireport.h"
#include "outdef/outdef.h"
#include "outdef/outfile.h"
#include "outdef/outrows.h"
#include "outdef/outseq.h"
#include "outdef/outxml.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_outdef.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>

using OutRows::numberOf;
using OutRows::seqMarker;

namespace
{
int ancestors(const QTreeWidgetItem *item)
{
    int n = 0;
    for (const QTreeWidgetItem *p = item->parent(); p; p = p->parent())
        ++n;
    return n;
}

// Levels of sequences a row and those below it take, the row's own included.
int heightOf(const QTreeWidgetItem *item)
{
    int height = 0;
    QList<QPair<const QTreeWidgetItem *, int>> open{{item, 1}};
    while (!open.isEmpty()) {
        const auto [row, level] = open.takeLast();
        height = qMax(height, level);
        for (int i = 0; i < row->childCount(); ++i)
            open.append({row->child(i), level + 1});
    }
    return height;
}
} // namespace

// Sequences placed below dest (a file row: none enclose them; a sequence row: it and those above
// it do) may not reach deeper than the loader keeps, or a reopen would lose them.
bool outdef::nestingFits(const QTreeWidgetItem *dest, const QTreeWidgetItem *placed)
{
    const int deepest = ancestors(dest) + (placed ? heightOf(placed) : 1);
    if (deepest <= OutXml::MaxDepth)
        return true;
    UiReport::Error(
        tr("Output Definition"),
        tr("Sequences nest at most %1 deep; this would nest %2 deep.").arg(OutXml::MaxDepth).arg(deepest));
    return false;
}

QTreeWidgetItem *outdef::newNestItem(int number) const
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, seqMarker(number));
    item->setIcon(0, QIcon(QStringLiteral(":src/Sid.png")));
    item->setData(0, Qt::UserRole, number);
    return item;
}

QTreeWidgetItem *outdef::newSeqItem(int number, int indent)
{
    auto *record = new SeqRecord;
    record->data = new TreeItemData;
    record->data->SetAttr(GetStrVar(RegSlot::StrAttrID), QString::number(number));
    record->data->flags[0] = true;
    QTreeWidgetItem *item = identItem(1, QString(indent * 3, QLatin1Char(' ')) + seqMarker(number),
                                      QStringLiteral(":src/Sid.png"), 2, QString(), number, record->data);
    record->item = item;
    delete m_seqs.take(number);
    m_seqs.insert(number, record);
    return item;
}

// ---- creating ----

// A number in use belongs to a record a row points at, or names a template file, perhaps one a
// failed save left: it is never handed out again, and when none is left the creation is refused
// before anything changes.
int outdef::newNumber(int kind)
{
    const bool seq = kind == SeqKind;
    QSet<int> &given = seq ? m_kept.seqNumbers : m_kept.fileNumbers;
    const QList<int> records = seq ? m_seqs.keys() : m_files.keys();
    for (const int n : records)
        given.insert(n);
    QString why;
    const int n = OutXml::NewNumber(m_folder, seq, seq ? &m_seqCounter : &m_fileCounter, &given, &why);
    if (n < 0)
        UiReport::Error(tr("Output Definition"), why);
    return n;
}

void outdef::CreateFileDiag()
{
    const int n = newNumber(FileKind);
    if (n < 0)
        return;
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    const bool first = m_ui->FILE_TREE->topLevelItemCount() == 0;
    if (first) {
        if (mw)
            mw->EnableEditAction(0, true);
        m_editor->setEnabled(true);
    }
    auto *record = new FileRecord;
    record->data = new TreeItemData;
    record->data->SetAttr(GetStrVar(RegSlot::StrAttrID), QString::number(n));
    record->data->flags[0] = true;
    QTreeWidgetItem *item = identItem(0, QStringLiteral("$File[") + QString::number(n) + QLatin1Char(']'),
                                      QStringLiteral(":src/Fid.png"), 2, QString(), n, record->data);
    record->item = item;
    delete m_files.take(n);
    m_files.insert(n, record);
    if (first) {
        m_outFile->SetEnabled(true);
        m_editor->setEnabled(true);
        QTreeWidgetItem *model = m_ui->MODEL_TREE->topLevelItem(0);
        if (model && !m_ui->MODEL_TREE->currentItem())
            m_ui->MODEL_TREE->setCurrentItem(model);
        m_ui->SET_BTN->setVisible(model != nullptr);
        m_ui->UNSET_BTN->hide();
        if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
            timer->StartLayoutTimer();
    }
    m_ui->FILE_TREE->addTopLevelItem(item);
    m_ui->FILE_TREE->setCurrentItem(item);
    SetChanged();
    TreeColumnAdjustment(m_ui->FILE_TREE);
}

void outdef::CreateNestingSeqDiag()
{
    QTreeWidgetItem *parent = m_ui->FILE_TREE->currentItem();
    if (!parent || !nestingFits(parent, nullptr))
        return;
    const int n = newNumber(SeqKind);
    if (n < 0)
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    QTreeWidgetItem *item = newSeqItem(n, ancestors(parent));
    parent->addChild(item);
    parent->setExpanded(true);
    // The parent is shown unless a temporary sequence is: its rows are then parked in its record.
    const bool shown = m_pageMode == 1;
    const QList<QTreeWidgetItem *> parentScope = scopeOf(parent).items();
    if (!parent->parent()) {
        if (FileRecord *file = m_files.value(numberOf(parent)))
            file->seqs.append(n);
    } else if (SeqRecord *seq = m_seqs.value(numberOf(parent))) {
        QTreeWidgetItem *nest = newNestItem(n);
        nest->setText(1, GetStrVar(RegSlot::StrColLast));
        if (shown) {
            m_outSeq->GetNestTree()->addTopLevelItem(nest);
            m_markerCounts.insert(nest->text(0), 1);
            m_markerLists[0].append(nest->text(0));
        } else {
            seq->nestItems.append(nest);
        }
        seq->nested.append(n);
    }
    SeqRecord *record = m_seqs.value(n);
    for (const QTreeWidgetItem *row : parentScope)
        record->scope.append(copyScopeItem(row, false, true));
    if (QTreeWidgetItem *model = m_ui->MODEL_TREE->topLevelItem(0)) {
        if (!m_ui->MODEL_TREE->currentItem())
            m_ui->MODEL_TREE->setCurrentItem(model);
        m_ui->SET_BTN->setVisible(m_ui->CURRENT_TREE->topLevelItemCount() > 0);
    }
    SetBoolVar(RegSlot::FlagBusy, false);
    m_ui->FILE_TREE->setCurrentItem(item);
    SetChanged();
}

void outdef::CreateNextSeqDiag()
{
    QTreeWidgetItem *current = m_ui->FILE_TREE->currentItem();
    if (!current)
        return;
    QTreeWidgetItem *parent = current->parent();
    if (!parent) {
        SetChanged();
        TreeColumnAdjustment(m_ui->FILE_TREE);
        return;
    }
    const int n = newNumber(SeqKind);
    if (n < 0)
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    const int after = numberOf(current);
    QTreeWidgetItem *item = newSeqItem(n, ancestors(parent));
    parent->insertChild(parent->indexOfChild(current) + 1, item);
    SeqRecord *record = m_seqs.value(n);
    const QList<QTreeWidgetItem *> *from = nullptr;
    // The lists may hold numbers of sequences that are not shown: the new one follows the number of
    // the current one rather than its row index.
    if (!parent->parent()) {
        if (FileRecord *file = m_files.value(numberOf(parent))) {
            file->seqs.insert(file->seqs.indexOf(after) + 1, n);
            from = &file->scope;
        }
    } else if (SeqRecord *seq = m_seqs.value(numberOf(parent))) {
        const int at = seq->nested.indexOf(after) + 1;
        seq->nested.insert(at, n);
        QTreeWidgetItem *nest = newNestItem(n);
        nest->setText(1, GetStrVar(RegSlot::StrColLast));
        seq->nestItems.insert(qMin(at, seq->nestItems.size()), nest);
        from = &seq->scope;
    }
    for (const QTreeWidgetItem *row : from ? *from : QList<QTreeWidgetItem *>()) {
        if (m_modelItems.value(row->data(Scope::Id, Qt::UserRole).toInt()))
            record->scope.append(copyScopeItem(row, false, true));
    }
    SetBoolVar(RegSlot::FlagBusy, false);
    m_ui->FILE_TREE->setCurrentItem(item);
    SetChanged();
    TreeColumnAdjustment(m_ui->FILE_TREE);
}

// ---- deleting ----

void outdef::clearShownScope()
{
    m_editor->clear();
    m_editor->SetRefusal(QString());
    m_moveGuard = true;
    while (QTreeWidgetItem *row = m_ui->CURRENT_TREE->topLevelItem(0)) {
        std::function<void(QTreeWidgetItem *)> unlink = [&](QTreeWidgetItem *r) {
            if (ModelItemRecord *record = m_modelItems.value(r->data(Scope::Id, Qt::UserRole).toInt())) {
                record->scopeItem = nullptr;
                if (!r->text(0).isEmpty() && record->item) {
                    for (int c = 0; c < 4; ++c)
                        record->item->setBackground(c, QBrush(Qt::white));
                }
            }
            for (int i = 0; i < r->childCount(); ++i)
                unlink(r->child(i));
        };
        unlink(row);
        delete m_ui->CURRENT_TREE->takeTopLevelItem(0);
    }
    m_moveGuard = false;
}

bool outdef::askDelete(const QString &title, const QString &question)
{
    QMessageBox box(this);
    box.setWindowTitle(title);
    box.setWindowIcon(GetLogoIcon());
    box.setIcon(QMessageBox::Information);
    box.setText(title);
    box.setInformativeText(question);
    box.addButton(QMessageBox::Ok)->setObjectName(QStringLiteral("OK"));
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    cancel->setObjectName(QStringLiteral("Cancel"));
    box.setEscapeButton(cancel);
    return box.exec() == QMessageBox::Ok;
}

void outdef::DeleteFileDiag()
{
    QTreeWidgetItem *cur = m_ui->FILE_TREE->currentItem();
    // A file that still holds sequences is not deleted: their records point into its rows.
    if (cur && !cur->parent() && cur->childCount() > 0)
        return;
    const bool ok =
        askDelete(tr("Delete file identifier"), tr("Do you want to delete current file identifier?"));
    cur = m_ui->FILE_TREE->currentItem();
    if (ok && cur && !cur->parent() && cur->childCount() == 0) {
        // Shown, its rows go with it and the next file is shown; behind a shown temporary
        // sequence its rows are parked in the record and the sequence stays shown.
        const bool shown = m_pageMode == 1;
        if (shown) {
            m_editor->SetEditItem(nullptr);
            clearShownScope();
            m_shownNumber = -1;
        }
        m_prevStored = true;
        m_treeReaction = shown;
        delete m_files.take(numberOf(cur));
        if (m_lastFileItem == cur)
            m_lastFileItem = nullptr;
        delete cur;
        m_treeReaction = true;
        m_prevStored = false;
        if (m_ui->FILE_TREE->topLevelItemCount() == 0) {
            m_outFile->Clear();
            m_outFile->SetEnabled(false);
            m_ui->SET_BTN->hide();
            m_ui->UNSET_BTN->hide();
        }
    }
    if (m_ui->FILE_TREE->topLevelItemCount() == 0 && m_ui->TEMP_TREE->topLevelItemCount() == 0) {
        if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
            mw->EnableEditAction(0, false);
        m_editor->setEnabled(false);
        m_editor->SetEditItem(nullptr);
        m_editor->clear();
        m_editor->SetRefusal(QString());
        m_editor->SetNumber(false);
    }
    SetChanged();
    TreeColumnAdjustment(m_ui->FILE_TREE);
}

void outdef::deleteSeqTree(QTreeWidgetItem *item)
{
    while (item->childCount() > 0)
        deleteSeqTree(item->child(0));
    delete m_seqs.take(numberOf(item));
    if (m_lastTempItem == item)
        m_lastTempItem = nullptr;
    delete item;
}

void outdef::DeleteSeqDiag()
{
    if (!askDelete(tr("Delete seq identifier"), tr("Do you want to delete current seq identifier?")))
        return;
    QTreeWidgetItem *t = m_ui->TEMP_TREE->currentItem();
    // Behind a shown file entry the sequence's rows are parked in its record and go with it.
    const bool shown = m_pageMode == 2;
    if (t) {
        if (shown) {
            // The shown rows belong to the sequence going away: nothing may keep pointing at them.
            m_shownNumber = -1;
            m_editor->SetEditItem(nullptr);
            m_outSeq->Clear();
            clearShownScope();
        }
        m_treeReaction = false;
        if (QTreeWidgetItem *p = t->parent()) {
            if (SeqRecord *parent = m_seqs.value(numberOf(p))) {
                const int at = parent->nested.indexOf(numberOf(t));
                if (at >= 0) {
                    parent->nested.removeAt(at);
                    if (at < parent->nestItems.size())
                        delete parent->nestItems.takeAt(at);
                }
            }
            p->removeChild(t);
        } else {
            m_ui->TEMP_TREE->takeTopLevelItem(m_ui->TEMP_TREE->indexOfTopLevelItem(t));
        }
        deleteSeqTree(t);
        m_treeReaction = true;
        if (shown)
            showAfterTempDelete();
    }
    TreeColumnAdjustment(m_ui->TEMP_TREE);
    SetChanged();
}

// The next temporary sequence is shown, or the file tree's entry when none is left.
void outdef::showAfterTempDelete()
{
    if (QTreeWidgetItem *next = m_ui->TEMP_TREE->currentItem()) {
        m_prevStored = true;
        TempTreeChanged(next, nullptr);
        m_prevStored = false;
    } else if (QTreeWidgetItem *file = m_ui->FILE_TREE->currentItem()) {
        m_pageMode = 1;
        FileTreeChanged(file, nullptr);
    } else {
        m_outFile->SetEnabled(false);
        m_editor->setEnabled(false);
        m_ui->SET_BTN->hide();
        m_ui->UNSET_BTN->hide();
        m_ui->INF_TAB->setCurrentIndex(0);
        FitEditorSplitter(FileKind);
    }
}

// ---- moving within a parent ----

void outdef::moveSeq(int step)
{
    QTreeWidgetItem *s = m_ui->FILE_TREE->currentItem();
    QTreeWidgetItem *p = s ? s->parent() : nullptr;
    const int i = p ? p->indexOfChild(s) : -1;
    if (!p || i + step < 0 || i + step >= p->childCount())
        return;
    QTreeWidgetItem *other = p->child(i + step);
    // The sequence stays shown while its row moves.
    m_treeReaction = false;
    p->takeChild(i);
    p->insertChild(i + step, s);
    m_ui->FILE_TREE->setCurrentItem(s);
    m_treeReaction = true;
    QList<int> *numbers = nullptr;
    QList<QTreeWidgetItem *> *items = nullptr;
    if (!p->parent()) {
        if (FileRecord *file = m_files.value(numberOf(p)))
            numbers = &file->seqs;
    } else if (SeqRecord *seq = m_seqs.value(numberOf(p))) {
        numbers = &seq->nested;
        items = &seq->nestItems;
    }
    // The lists may hold numbers that are not shown: the two numbers trade places, not indexes.
    const int a = numbers ? numbers->indexOf(numberOf(s)) : -1;
    const int b = numbers ? numbers->indexOf(numberOf(other)) : -1;
    if (a >= 0 && b >= 0) {
        numbers->swapItemsAt(a, b);
        if (items && a < items->size() && b < items->size())
            items->swapItemsAt(a, b);
    }
    if (m_pageMode == 1)
        keepFileStates(s);
    SetChanged();
}

void outdef::MoveUpSeqDiag()
{
    moveSeq(-1);
}

void outdef::MoveDownSeqDiag()
{
    moveSeq(1);
}
