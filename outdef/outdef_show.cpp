#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "outdef/outdef.h"
#include "outdef/outfile.h"
#include "outdef/outseq.h"
#include "outdef/outxml.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_outdef.h"

#include <QEvent>
#include <QTextCursor>
#include <QTreeWidget>
#include <functional>

// ---- storing the entry being left ----

void outdef::StoreLeftEntry(QTreeWidgetItem *item, bool throughFileTree)
{
    if (m_pageMode == 0 || !item)
        return;
    const int n = item->data(2, Qt::UserRole).toInt();
    bool seq = false;
    int number = n;
    if (throughFileTree) {
        seq = m_pageMode == 2 || item->parent();
        number = m_pageMode == 1 ? n : m_shownNumber;
    } else {
        seq = m_pageMode == 2 || m_shownKind == SeqKind;
        number = m_pageMode == 2 ? n : m_shownNumber;
    }
    if (number < 0)
        return;
    m_storing = true;
    if (seq) {
        if (SeqRecord *record = m_seqs.value(number))
            storeSeq(record);
    } else if (FileRecord *record = m_files.value(number)) {
        storeFile(record);
    }
    m_storing = false;
}

// The template editor's text goes to the record only when it was edited; a later save without an
// edit must not write the template again.
void outdef::storeText(TreeItemData *data)
{
    if (m_editor->IsModified()) {
        data->SetAttr(OutXml::Expression, m_editor->toPlainText());
        data->TextChanged() = true;
        data->flags[0] = true;
    }
    m_editor->ClearModified();
}

void outdef::storeSeq(SeqRecord *record, bool park)
{
    record->data->SetAttr(OutXml::Title, m_outSeq->GetTitleEdit()->text());
    storeText(record->data);
    record->data->SetAttr(OutXml::Loop, QString::number(record->loop));
    record->data->SetAttr(OutXml::PLoop, QString::number(record->pLoop));
    if (park)
        ParkSeqRows(record);
}

void outdef::storeFile(FileRecord *record, bool park)
{
    record->data->SetAttr(OutXml::Title, m_outFile->GetTitleEdit()->text());
    storeText(record->data);
    if (park)
        ParkFileRows(record);
}

void outdef::ParkSeqRows(SeqRecord *record)
{
    QTreeWidget *nest = m_outSeq->GetNestTree();
    QTreeWidget *vars = m_outSeq->GetVarTree();
    record->nestItems.clear();
    while (nest->topLevelItemCount() > 0)
        record->nestItems.append(nest->takeTopLevelItem(0));
    record->varItems.clear();
    m_selVar = true;
    while (vars->topLevelItemCount() > 0)
        record->varItems.append(vars->takeTopLevelItem(0));
    m_selVar = false;
    UnlinkRows();
    m_moveGuard = true;
    while (m_ui->CURRENT_TREE->topLevelItemCount() > 0)
        record->scope.append(m_ui->CURRENT_TREE->takeTopLevelItem(0));
    m_moveGuard = false;
}

void outdef::ParkFileRows(FileRecord *record)
{
    UnlinkRows();
    m_moveGuard = true;
    while (m_ui->CURRENT_TREE->topLevelItemCount() > 0)
        record->scope.append(m_ui->CURRENT_TREE->takeTopLevelItem(0));
    m_moveGuard = false;
}

void outdef::UnlinkRows()
{
    std::function<void(QTreeWidgetItem *)> unlink = [&](QTreeWidgetItem *row) {
        if (ModelItemRecord *record = m_modelItems.value(row->data(Scope::Id, Qt::UserRole).toInt())) {
            if (record->scopeItem == row)
                record->scopeItem = nullptr;
        }
        for (int i = 0; i < row->childCount(); ++i)
            unlink(row->child(i));
    };
    for (int i = 0; i < m_ui->CURRENT_TREE->topLevelItemCount(); ++i)
        unlink(m_ui->CURRENT_TREE->topLevelItem(i));
}

// ---- loading an entry into the editors ----

// A template is read when it is first shown, and a refused one each time it is shown again: its
// owner may have mended the file meanwhile. A refused template takes no typing, so no edit is read
// over.
QString outdef::LoadTemplate(TreeItemData *data, int kind)
{
    const int number = data->GetAttr(OutXml::Id).toInt();
    const QString path = templatePath(kind, number);
    // Text typed in is the member's own, whatever the file held.
    if (data->flags[0] && !(m_refusedTemplates.contains(path) && !data->TextChanged()))
        return QString();
    data->SetAttr(OutXml::Expression, ReadTemplate(kind, number));
    data->flags[0] = true;
    const QString refusal = TextFiles::RefusalOf(path);
    if (refusal.isEmpty())
        m_refusedTemplates.remove(path);
    else
        m_refusedTemplates.insert(path, refusal);
    return refusal;
}

void outdef::loadText(TreeItemData *data, int kind)
{
    m_editor->SetEditItem(data);
    LoadTemplate(data, kind);
    const QString text = data->GetAttr(OutXml::Expression);
    m_editor->UndoRedoOff();
    m_editor->clear();
    m_editor->SetRefusal(m_refusedTemplates.value(templatePath(kind, data->GetAttr(OutXml::Id).toInt())));
    if (!text.isEmpty())
        m_editor->appendPlainText(text);
    QTextCursor cursor = m_editor->textCursor();
    cursor.movePosition(QTextCursor::Start);
    m_editor->setTextCursor(cursor);
    m_editor->ensureCursorVisible();
    m_editor->UndoRedoOn();
    m_editor->ClearModified();
}

void outdef::loadFile(QTreeWidgetItem *item, FileRecord *record)
{
    m_outFile->GetTitleEdit()->setText(item->text(2));
    m_outFile->GetFileIdEdit()->setText(item->text(0));
    showScope(&record->scope, true);
    m_outFile->SetFileName(record->data->GetAttr(OutXml::OutName));
    m_outFile->SetExtensions(m_extensions, record->data->GetAttr(OutXml::Ext));
    loadText(record->data, FileKind);
}

void outdef::loadSeq(QTreeWidgetItem *item, SeqRecord *record, bool temp)
{
    m_outSeq->SetRecord(record->data);
    m_outSeq->GetTitleEdit()->setText(item->text(temp ? 1 : 2));
    m_outSeq->GetSeqIdEdit()->setText(item->text(temp ? 0 : 1).trimmed());
    m_markerCounts.clear();
    m_markerLists[0].clear();
    m_markerLists[1].clear();
    QTreeWidget *nest = m_outSeq->GetNestTree();
    QTreeWidget *vars = m_outSeq->GetVarTree();
    nest->clear();
    vars->clear();
    for (QTreeWidgetItem *n : qAsConst(record->nestItems)) {
        nest->addTopLevelItem(n);
        m_markerCounts.insert(n->text(0), 1);
        m_markerLists[0].append(n->text(0));
    }
    record->nestItems.clear();
    m_selVar = true;
    for (QTreeWidgetItem *v : qAsConst(record->varItems)) {
        if (!m_modelItems.value(v->data(0, Qt::UserRole).toInt())) {
            delete v;
            continue;
        }
        v->setIcon(0, QIcon(QStringLiteral(":src/variable.png")));
        vars->addTopLevelItem(v);
        m_markerCounts.insert(v->text(0), 1);
        m_markerLists[1].append(v->text(0));
    }
    m_selVar = false;
    record->varItems.clear();
    record->data->SetAttr(OutXml::Loop, QString::number(record->loop));
    record->data->SetAttr(OutXml::PLoop, QString::number(record->pLoop));
    const int loop = record->loop != -1 ? record->loop : record->pLoop;
    if (loop != -1 && m_modelItems.value(loop))
        m_outSeq->ShowLoop(record->data);
    else
        m_outSeq->HideLoop();
    showScope(&record->scope, false);
    m_editor->SetEditItem(record->data);
    LoadTemplate(record->data, SeqKind);
    m_outSeq->UpdateCounts(record->data->GetAttr(OutXml::Expression));
    loadText(record->data, SeqKind);
}

void outdef::SelectFirstRow()
{
    if (QTreeWidgetItem *first = m_ui->CURRENT_TREE->topLevelItem(0))
        m_ui->CURRENT_TREE->setCurrentItem(first);
    else if (QTreeWidgetItem *model = m_ui->MODEL_TREE->topLevelItem(0))
        m_ui->MODEL_TREE->setCurrentItem(model);
}

void outdef::ShowAllModelLevels()
{
    for (int i = 0; i < m_ui->MODEL_TREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *top = m_ui->MODEL_TREE->topLevelItem(i);
        for (int j = 0; j < top->childCount(); ++j)
            top->child(j)->setHidden(false);
    }
    ExpandTree(m_ui->CURRENT_TREE);
}

void outdef::FileTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || !cur || m_clearing ||
        !m_treeReaction)
        return;
    SetBoolVar(RegSlot::FlagUpdating, true);
    // Coming from the temporary tree without a focus change, the sequence shown there is left too.
    if (!m_prevStored && (prev || m_pageMode == 2))
        StoreLeftEntry(prev ? prev : cur, true);
    m_prevStored = false;
    m_pageMode = 1;
    m_ui->INF_TAB->setTabText(1, tr("Seq"));
    m_ui->FILE_TREE->setFocus();
    const int n = cur->data(2, Qt::UserRole).toInt();
    if (cur->parent()) {
        if (SeqRecord *record = m_seqs.value(n)) {
            loadSeq(cur, record, false);
            SelectFirstRow();
        }
        m_shownNumber = n;
        ShowAllModelLevels();
        m_shownKind = SeqKind;
        m_ui->CURRENT_TREE->setColumnHidden(0, false);
        m_editor->SetMarkerCheck(1);
        setTabState(1, 0);
        FitEditorSplitter(SeqKind);
        keepFileStates(cur);
        if (m_lastLayoutFile) {
            AdjustSplitter();
            m_lastLayoutFile = false;
        }
    } else {
        for (int i = 0; i < m_ui->MODEL_TREE->topLevelItemCount(); ++i) {
            QTreeWidgetItem *top = m_ui->MODEL_TREE->topLevelItem(i);
            for (int j = 0; j < top->childCount(); ++j)
                top->child(j)->setHidden(true);
        }
        if (FileRecord *record = m_files.value(n)) {
            loadFile(cur, record);
            SelectFirstRow();
        }
        m_shownNumber = n;
        m_shownKind = FileKind;
        m_ui->CURRENT_TREE->setColumnHidden(0, true);
        m_editor->SetMarkerCheck(0);
        setTabState(0, 1);
        FitEditorSplitter(FileKind);
        keepFileStates(cur);
        if (!m_lastLayoutFile) {
            AdjustSplitter();
            m_lastLayoutFile = true;
        }
    }
    if (QTreeWidgetItem *row = m_ui->CURRENT_TREE->currentItem())
        refreshUnsetButton(row);
    if (QTreeWidgetItem *model = m_ui->MODEL_TREE->currentItem())
        refreshSetButton(model);
    SetBoolVar(RegSlot::FlagUpdating, false);
    m_lastFileItem = cur;
}

void outdef::TempTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || !cur || m_clearing ||
        !m_treeReaction)
        return;
    SetBoolVar(RegSlot::FlagUpdating, true);
    if (!m_prevStored && (prev || m_pageMode == 1))
        StoreLeftEntry(prev ? prev : cur, false);
    m_prevStored = false;
    m_pageMode = 2;
    m_ui->CURRENT_TREE->setColumnHidden(0, false);
    m_ui->INF_TAB->setTabText(1, tr("Temporary Seq"));
    m_ui->TEMP_TREE->setFocus();
    m_ui->SET_BTN->hide();
    m_ui->UNSET_BTN->hide();
    const int n = cur->data(2, Qt::UserRole).toInt();
    if (SeqRecord *record = m_seqs.value(n)) {
        loadSeq(cur, record, true);
        SelectFirstRow();
    }
    m_shownNumber = n;
    ShowAllModelLevels();
    keepTempStates();
    m_ui->SET_BTN->hide();
    m_ui->UNSET_BTN->hide();
    m_shownKind = SeqKind;
    m_editor->SetMarkerCheck(2);
    setTabState(1, 0);
    FitEditorSplitter(SeqKind);
    SetBoolVar(RegSlot::FlagUpdating, false);
    if (m_lastLayoutFile) {
        AdjustSplitter();
        m_lastLayoutFile = false;
    }
    m_lastTempItem = cur;
}

void outdef::FileTreeFocused()
{
    QTreeWidget *files = m_ui->FILE_TREE;
    if (m_pageMode == 1 || files->topLevelItemCount() == 0)
        return;
    if (QTreeWidgetItem *temp = m_ui->TEMP_TREE->currentItem())
        StoreLeftEntry(temp, false);
    m_prevStored = true;
    // A current row that is already current emits nothing, so it is shown here.
    if (QTreeWidgetItem *cur = files->currentItem())
        FileTreeChanged(cur, nullptr);
    else
        files->setCurrentItem(files->topLevelItem(0));
    // A current item that did not change leaves the mark for the next change; it is used up here.
    m_prevStored = false;
    if (GetBoolVar(RegSlot::FlagOutputOwned) && files->currentItem())
        keepFileStates(files->currentItem());
    m_pageMode = 1;
}

void outdef::tempTreeFocused()
{
    QTreeWidget *temps = m_ui->TEMP_TREE;
    if (m_pageMode == 2 || temps->topLevelItemCount() == 0)
        return;
    if (QTreeWidgetItem *file = m_ui->FILE_TREE->currentItem())
        StoreLeftEntry(file, true);
    m_prevStored = true;
    if (QTreeWidgetItem *cur = temps->currentItem())
        TempTreeChanged(cur, nullptr);
    else
        temps->setCurrentItem(temps->topLevelItem(0));
    m_prevStored = false;
    if (GetBoolVar(RegSlot::FlagOutputOwned))
        keepTempStates();
    m_pageMode = 2;
}

bool outdef::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && !GetBoolVar(RegSlot::FlagBusy) &&
        !GetBoolVar(RegSlot::FlagUpdating)) {
        if (watched == m_ui->FILE_TREE)
            FileTreeFocused();
        else if (watched == m_ui->TEMP_TREE)
            tempTreeFocused();
    }
    return QWidget::eventFilter(watched, event);
}

void outdef::CurrentTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || m_clearing)
        return;
    if (m_storing || !m_treeReaction || m_moveGuard || !cur) {
        if (GetBoolVar(RegSlot::FlagOutputOwned))
            m_ui->UNSET_BTN->hide();
        return;
    }
    if (m_selModel) {
        refreshUnsetButton(cur);
        m_selModel = false;
        return;
    }
    m_selCurrent = true;
    refreshUnsetButton(cur);
    if (const ModelItemRecord *record = m_modelItems.value(cur->data(Scope::Id, Qt::UserRole).toInt())) {
        if (record->item)
            m_ui->MODEL_TREE->setCurrentItem(record->item);
    }
    if (auto *var = static_cast<QTreeWidgetItem *>(cur->data(Scope::VarItem, Qt::UserRole).value<void *>())) {
        m_selVar = true;
        m_outSeq->GetVarTree()->setCurrentItem(var);
        m_selVar = false;
    }
    m_selCurrent = false;
}

// ---- markers ----

void outdef::RefreshSeqTrees()
{
    for (QTreeWidget *tree : {m_outSeq->GetNestTree(), m_outSeq->GetVarTree()}) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = tree->topLevelItem(i);
            const int count = m_markerCounts.value(item->text(0), 0);
            item->setText(1, count != 0 ? QString::number(count) : GetStrVar(RegSlot::StrColLast));
        }
    }
    if (QTreeWidgetItem *row = m_ui->CURRENT_TREE->currentItem())
        refreshUnsetButton(row);
}

void outdef::insertMarker(QTreeWidget *tree)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || !tree->currentItem())
        return;
    m_editor->insertPlainText(tree->currentItem()->text(0));
    m_editor->CheckMarkers();
}

void outdef::cutMarker(QTreeWidget *tree)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || !tree->currentItem())
        return;
    const QString text = tree->currentItem()->text(0);
    const int position = m_editor->GetCursorPos();
    m_editor->SetCursorPos(0);
    if (!m_editor->find(text)) {
        m_editor->SetCursorPos(position);
        return;
    }
    m_editor->cut();
    m_editor->CheckMarkers();
}

void outdef::SeqSetClicked(bool)
{
    insertMarker(m_outSeq->GetNestTree());
}

void outdef::SeqDelClicked(bool)
{
    cutMarker(m_outSeq->GetNestTree());
}

void outdef::VarSetClicked(bool)
{
    insertMarker(m_outSeq->GetVarTree());
}

void outdef::VarDelClicked(bool)
{
    QTreeWidgetItem *var = m_outSeq->GetVarTree()->currentItem();
    cutMarker(m_outSeq->GetVarTree());
    QTreeWidgetItem *row = m_ui->CURRENT_TREE->currentItem();
    if (var && row && row->data(Scope::Id, Qt::UserRole).toInt() == var->data(0, Qt::UserRole).toInt())
        refreshUnsetButton(row);
}

void outdef::ModVarSeqCount(bool)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    m_editor->CheckMarkers();
}

// Preview of the file that holds the current entry: loops run twice and values show as forms.
void outdef::FileOutDiag()
{
    QTreeWidgetItem *current = m_ui->FILE_TREE->currentItem();
    if (m_ui->FILE_TREE->topLevelItemCount() == 0 || !current)
        return;
    QStringList &used = m_markerLists[2];
    used.clear();
    QTreeWidgetItem *file = current;
    while (file->parent())
        file = file->parent();
    std::function<void(QTreeWidgetItem *)> collect = [&](QTreeWidgetItem *parent) {
        for (int i = 0; i < parent->childCount(); ++i) {
            QTreeWidgetItem *seq = parent->child(i);
            QList<QTreeWidgetItem *> vars;
            if (seq == current) {
                QTreeWidget *tree = m_outSeq->GetVarTree();
                for (int j = 0; j < tree->topLevelItemCount(); ++j)
                    vars.append(tree->topLevelItem(j));
            } else if (const SeqRecord *record = m_seqs.value(seq->data(2, Qt::UserRole).toInt())) {
                vars = record->varItems;
            }
            for (const QTreeWidgetItem *var : qAsConst(vars)) {
                if (!used.contains(var->text(0)))
                    used.append(var->text(0));
            }
            collect(seq);
        }
    };
    collect(file);
    if (m_pageMode == 1) {
        const int n = current->data(2, Qt::UserRole).toInt();
        TreeItemData *data = nullptr;
        if (current->parent()) {
            if (SeqRecord *record = m_seqs.value(n))
                data = record->data;
        } else if (FileRecord *record = m_files.value(n)) {
            data = record->data;
        }
        if (data) {
            storeText(data);
            data->flags[0] = true;
        }
    }
    m_generator.ClearResults();
    m_generator.Generate(file, OutputGenerator::Preview);
    m_generator.ShowFirst();
    const QString errors = m_generator.Errors();
    if (!errors.isEmpty()) {
        if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
            mw->StatusMessage(errors);
    }
}
