#include "core/treeitemdata.h"
#include "model/calendar.h"
#include "model/model.h"
#include "model/modellclass.h"
#include "model/modelsclass.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_model.h"

#include <QTabBar>

void model::TreeChanged(QTreeWidgetItem *item, QTreeWidgetItem *prev)
{
    if (m_clearing || !item || item == prev)
        return;
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    StorePage(prev);
    showPage(item);
    const int level = GetItemLevel(item);
    const int tab = level == 1 ? 0 : 1;
    QTabWidget *tabs = m_ui->DTAB;
    if (tabs->currentIndex() != tab || !tabs->isTabEnabled(tab)) {
        tabs->setTabEnabled(tab, true);
        tabs->setCurrentIndex(tab);
    }
    tabs->setTabEnabled(1 - tab, false);
    ActivateEditor(item);
    keepMenuStates();
    SetBoolVar(RegSlot::FlagUpdating, updating);
    m_ui->TREE->setFocus();
}

// The page of the current class decides the Model menu and its own editability; with no class
// the owner of an editable model may only add a large class.
void model::keepMenuStates()
{
    const bool editable = GetBoolVar(RegSlot::FlagModelOwned) && !GetBoolVar(RegSlot::FlagModelReadOnly);
    const int level = GetItemLevel(m_ui->TREE->currentItem());
    if (level == 1) {
        m_lclassPage->UpdateEditState();
    } else if (level > 1) {
        m_sclassPage->UpdateEditState();
        if (level == 3 && editable)
            m_sclassPage->SetEditable(false);
    } else if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->KeepModelActions(editable, false, false, false, false, false);
        mw->RestoreModelActions();
    }
}

void model::StorePage(QTreeWidgetItem *prev)
{
    TreeItemData *record = RecordOf(prev);
    if (!record)
        return;
    record->counter1 = m_explain->GetScrollPos();
    record->counter2 = m_explain->GetCursorPos();
    if (!GetBoolVar(RegSlot::FlagModelOwned) || GetBoolVar(RegSlot::FlagModelReadOnly))
        return;
    writePage(prev);
    const int level = GetItemLevel(prev);
    if (level == 1)
        m_lclassPage->ClearLclass();
    else if (level == 2)
        m_sclassPage->ClearSclass();
}

void model::UpdateItem(QTreeWidgetItem *item)
{
    if (item && item == m_ui->TREE->currentItem())
        writePage(item);
}

// Writes the page and the explanation editor back into the record of the item they show; on a
// change of rows the tree already reports the next row as current.
void model::writePage(QTreeWidgetItem *item)
{
    TreeItemData *record = RecordOf(item);
    if (!record)
        return;
    const int level = GetItemLevel(item);
    if (level == 1)
        m_lclassPage->SaveLclass(item);
    else if (level == 2)
        m_sclassPage->StoreSclass(item);
    else
        m_sclassPage->StoreParam(item);
    if (m_explain->EditItem() == record && IsExplanationModified()) {
        record->SetAttr(GetStrVar(RegSlot::StrAttrExpression), GetExplanationText());
        m_explain->ResetModified();
    }
}

// The pages fill themselves and the explanation tab; a parameter shows on its small class's
// page, which first switches to that small class when it shows another.
void model::showPage(QTreeWidgetItem *item)
{
    const int level = GetItemLevel(item);
    if (level == 1) {
        m_lclassPage->SetLclass(item);
        return;
    }
    m_sclassPage->SetTreeLock(true);
    if (level == 2) {
        m_sclassPage->ShowSclass(item);
        m_sclassPage->SetCurrentTab(0);
    } else {
        if (m_sclassPage->GetSclassItem() != item->parent())
            m_sclassPage->ShowParamSclass(item);
        m_sclassPage->SelectParam(item);
        m_sclassPage->ShowParam(item->parent(), item, RecordOf(item)->pageItem);
        m_sclassPage->SetCurrentTab(1);
    }
    m_sclassPage->SetTreeLock(false);
}

void model::ShowExplanation(TreeItemData *record, const QString &title, const QString &given)
{
    QString text = given;
    const QString id = record ? record->GetAttr(GetStrVar(RegSlot::StrAttrID)) : QString();
    // A refused text is read again each time it is shown: its owner may have mended the file. Its
    // editor takes no typing, so a record changed since holds the user's text, never read over.
    if (!ClassTextRefusal(id).isEmpty() && !record->TextChanged()) {
        text = ReadClassText(id);
        record->SetAttr(GetStrVar(RegSlot::StrAttrExpression), text);
    }
    m_ui->DTAB->setTabEnabled(2, true);
    m_ui->DTAB->setTabText(2, title.isEmpty() ? tr("explain") : title);
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    m_explain->SetEditItem(nullptr);
    m_explain->UndoRedoOff();
    m_explain->setPlainText(text);
    if (!text.isEmpty()) {
        m_explain->SetScrollPos(record->counter1);
        m_explain->SetCursorPos(record->counter2);
    }
    m_explain->UndoRedoOn();
    m_explain->ResetModified();
    m_explain->SetRefusal(record ? ClassTextRefusal(id) : QString());
    SetExplanationRecord(record);
    SetBoolVar(RegSlot::FlagUpdating, updating);
}

void model::SetExplanationRecord(TreeItemData *record)
{
    m_explain->SetEditItem(record);
}

QString model::GetExplanationText() const
{
    return m_explain->toPlainText();
}

bool model::IsExplanationModified() const
{
    return m_explain->IsModified();
}

void model::ActivateEditor(QTreeWidgetItem *item)
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (!item) {
        if (mw) {
            mw->ReleaseEditor();
            mw->EnableEditAction(0, false);
        }
        return;
    }
    if (m_ui->DTAB->currentIndex() == 2) {
        m_explain->SetActiveEditor();
        return;
    }
    static const int editorSlots[3] = {RegSlot::ObjModelLclassEditor, RegSlot::ObjModelSclassEditor1,
                                       RegSlot::ObjModelSclassEditor2};
    if (auto *editor = GetObj<NumEditor>(editorSlots[GetItemLevel(item) - 1]))
        editor->SetActiveEditor();
}

void model::ShowCurrent()
{
    ActivateEditor(m_ui->TREE->topLevelItemCount() > 0 ? m_ui->TREE->currentItem() : nullptr);
}

void model::TabChangeProc(int index)
{
    if (GetBoolVar(RegSlot::FlagBusy))
        return;
    QTabBar *bar = m_ui->DTAB->tabBar();
    bar->setTabTextColor(index, Qt::white);
    const QColor green(QStringLiteral("#00dd00"));
    if (index == 0 || index == 1) {
        ActivateEditor(m_ui->TREE->currentItem());
        bar->setTabTextColor(2, green);
        bar->setTabTextColor(1 - index, Qt::gray);
    } else if (index == 2) {
        bar->setTabTextColor(m_prevTab, green);
        m_explain->setFocus();
        m_explain->SetActiveEditor();
    }
    m_prevTab = index;
}

void model::EnableCurrentPage()
{
    keepMenuStates();
}

void model::DisableEmptyTabs()
{
    if (m_ui->TREE->topLevelItemCount() > 0)
        return;
    for (int i = 0; i < 3; ++i)
        m_ui->DTAB->setTabEnabled(i, false);
}

void model::setDateButtons(bool start, bool target, bool completion)
{
    m_ui->SDATEBTN->setEnabled(start);
    m_ui->TDATEBTN->setEnabled(target);
    m_ui->CDATEBTN->setEnabled(completion);
}

void model::SdateBtnProc()
{
    m_calendar->Open(0);
}

void model::TdateBtnProc()
{
    m_calendar->Open(1);
}

void model::CdateBtnProc()
{
    m_calendar->Open(2);
}

void model::SdateChanged(const QString &text)
{
    if (GetBoolVar(RegSlot::FlagBusy) || !text.isEmpty())
        return;
    SetStrVar(RegSlot::StrLclassEarliestStart, QString());
}

// A completed model is read-only for its owner too; only the completion date stays settable.
void model::CdateChanged(const QString &text)
{
    if (GetBoolVar(RegSlot::FlagBusy))
        return;
    const bool owner = GetBoolVar(RegSlot::FlagModelOwned);
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    // What the owner typed so far is kept before the page turns read-only.
    if (owner && !text.isEmpty() && !GetBoolVar(RegSlot::FlagModelReadOnly))
        UpdateItem(m_ui->TREE->currentItem());
    m_completed = !text.isEmpty();
    if (owner) {
        SetBoolVar(RegSlot::FlagModelReadOnly, m_completed);
        m_explain->SetWritable(!m_completed);
        if (mw)
            mw->EnableModelAction(0, !m_completed);
        EnableCurrentPage();
    }
    m_ui->SDATEBTN->setEnabled(!m_completed);
    m_ui->TDATEBTN->setEnabled(!m_completed);
}

void model::ClearCompletion()
{
    if (m_ui->CDATE->text().isEmpty())
        return;
    setDateButtons(false, false, true);
    m_ui->CDATE->clear();
}

// Rows expanded while a model loads (expandAll) must not lay the tree out again from inside
// Qt's own layout pass, which still walks the row list a resize reallocates; the load fits the
// columns once it is done.
void model::MtreeExpanded(const QModelIndex &)
{
    if (!GetBoolVar(RegSlot::FlagBusy))
        TreeColumnAdjustment(m_ui->TREE);
}

void model::MtreeCollapsed(const QModelIndex &)
{
    TreeColumnAdjustment(m_ui->TREE);
}
