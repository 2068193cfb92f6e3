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
    storePage(prev);
    showPage(item);
    const int level = GetItemLevel(item);
    const int tab = level == 1 ? 0 : 1;
    QTabWidget *tabs = m_ui->DTAB;
    if (tabs->currentIndex() != tab || !tabs->isTabEnabled(tab)) {
        tabs->setTabEnabled(tab, true);
        tabs->setCurrentIndex(tab);
    }
    tabs->setTabEnabled(1 - tab, false);
    activateEditor(item);
    keepMenuStates();
    SetBoolVar(RegSlot::FlagUpdating, updating);
    m_ui->TREE->setFocus();
}

// Until the class pages decide the Model menu for what they show, the owner of an editable
// model may add a large class always and a small class once a large class exists.
void model::keepMenuStates()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (!mw)
        return;
    const bool editable = GetBoolVar(RegSlot::FlagModelOwned) && !GetBoolVar(RegSlot::FlagModelReadOnly);
    mw->KeepModelActions(editable, false, editable && m_ui->TREE->currentItem(), false, false, false);
    mw->RestoreModelActions();
}

void model::storePage(QTreeWidgetItem *prev)
{
    TreeItemData *record = RecordOf(prev);
    if (!record)
        return;
    record->counter1 = m_explain->GetScrollPos();
    record->counter2 = m_explain->GetCursorPos();
    if (!GetBoolVar(RegSlot::FlagModelOwned) || GetBoolVar(RegSlot::FlagModelReadOnly))
        return;
    UpdateItem(prev);
    const int level = GetItemLevel(prev);
    if (level == 1)
        m_lclassPage->ClearLclass();
    else if (level == 2)
        m_sclassPage->ClearSclass();
}

// Writes the pages and the explanation editor back into the record of the item they show.
void model::UpdateItem(QTreeWidgetItem *item)
{
    TreeItemData *record = RecordOf(item);
    if (!record || item != m_ui->TREE->currentItem())
        return;
    if (GetItemLevel(item) == 1)
        m_lclassPage->StorePage(item);
    else
        m_sclassPage->StorePage(item);
    if (m_explain->EditItem() == record && m_explain->IsModified()) {
        record->SetAttr(GetStrVar(RegSlot::StrAttrExpression), m_explain->toPlainText());
        m_explain->ResetModified();
    }
}

// Until the class pages show their elements themselves, the editor puts the element's
// explanation into its tab; the text file is read once per element.
void model::showPage(QTreeWidgetItem *item)
{
    TreeItemData *record = RecordOf(item);
    if (GetItemLevel(item) == 1)
        m_lclassPage->ShowLclass(item);
    else
        m_sclassPage->ShowSclass(item);
    const QString key = GetStrVar(RegSlot::StrAttrExpression);
    if (!record->flags[0]) {
        record->SetAttr(key, ReadClassText(record->GetAttr(GetStrVar(RegSlot::StrAttrID))));
        record->flags[0] = true;
    }
    ShowExplanation(record, record->GetAttr(GetStrVar(RegSlot::StrAttrName)), record->GetAttr(key));
}

void model::ShowExplanation(TreeItemData *record, const QString &title, const QString &text)
{
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
    m_explain->SetEditItem(record);
    SetBoolVar(RegSlot::FlagUpdating, updating);
}

void model::activateEditor(QTreeWidgetItem *item)
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
    activateEditor(m_ui->TREE->topLevelItemCount() > 0 ? m_ui->TREE->currentItem() : nullptr);
}

void model::TabChangeProc(int index)
{
    if (GetBoolVar(RegSlot::FlagBusy))
        return;
    QTabBar *bar = m_ui->DTAB->tabBar();
    bar->setTabTextColor(index, Qt::white);
    const QColor green(QStringLiteral("#00dd00"));
    if (index == 0 || index == 1) {
        activateEditor(m_ui->TREE->currentItem());
        bar->setTabTextColor(2, green);
        bar->setTabTextColor(1 - index, Qt::gray);
    } else if (index == 2) {
        bar->setTabTextColor(m_prevTab, green);
        m_explain->setFocus();
        m_explain->SetActiveEditor();
    }
    m_prevTab = index;
}

void model::EnableCurrentPage(bool on)
{
    const int level = GetItemLevel(m_ui->TREE->currentItem());
    if (level == 1)
        m_lclassPage->SetReadOnly(!on);
    else if (level > 1)
        m_sclassPage->SetReadOnly(!on);
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

void model::showDate(int mode, const QString &date)
{
    m_calendar->SetDate(date);
    m_calendar->SetMode(mode);
    m_calendar->show();
}

void model::SdateBtnProc()
{
    showDate(0, m_ui->SDATE->text());
}

void model::TdateBtnProc()
{
    const QString target = m_ui->TDATE->text();
    showDate(1, target.isEmpty() ? m_ui->SDATE->text() : target);
}

void model::CdateBtnProc()
{
    const QString completion = m_ui->CDATE->text();
    showDate(2, completion.isEmpty() ? m_ui->TDATE->text() : completion);
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
    m_completed = !text.isEmpty();
    if (owner) {
        SetBoolVar(RegSlot::FlagModelReadOnly, m_completed);
        if (mw)
            mw->EnableModelAction(0, !m_completed);
        EnableCurrentPage(!m_completed);
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

void model::MtreeExpanded(const QModelIndex &)
{
    TreeColumnAdjustment(m_ui->TREE);
}

void model::MtreeCollapsed(const QModelIndex &)
{
    TreeColumnAdjustment(m_ui->TREE);
}
