#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "instance/classinstanceindex.h"
#include "instance/deftab.h"
#include "instance/instancepanes.h"
#include "instance/valuetable.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "model/model.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "shell/tab.h"
#include "ui_deftab.h"

#include <QMenu>
#include <QScopedValueRollback>
#include <QSet>
#include <QSignalBlocker>
#include <QTabBar>

namespace
{
const QColor kGreen(QStringLiteral("#00dd00"));
} // namespace

void deftab::setTabColours(int shown)
{
    QTabBar *bar = m_ui->CLASSTAB->tabBar();
    for (int i = 0; i < bar->count(); ++i)
        bar->setTabTextColor(i, Qt::gray);
    if (shown < 0)
        return;
    if (shown == m_explainTab) {
        if (m_lastDataTab >= 0 && m_lastDataTab < m_explainTab)
            bar->setTabTextColor(m_lastDataTab, kGreen);
    } else {
        bar->setTabTextColor(m_explainTab, kGreen);
    }
    bar->setTabTextColor(shown, Qt::white);
}

void deftab::ResetClassArea()
{
    EnableClassTabs(0);
    m_selecting = false;
    m_suppressParamClick = false;
    m_scheduleRefresh = m_documentRefresh = m_qandaRefresh = true;
    for (bool &state : m_actions)
        state = false;
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SetInstanceActions(false, false, false, false);
}

void deftab::EnableClassTabs(int level)
{
    QTabWidget *area = m_ui->CLASSTAB;
    // Disabling the shown tab moves the tab widget to another one: only the tab chosen below
    // counts as a change.
    const auto enable = [area](bool t0, bool t1, bool t2, bool t3) {
        const QSignalBlocker block(area);
        const bool on[4] = {t0, t1, t2, t3};
        for (int i = 0; i < 4; ++i)
            area->setTabEnabled(i, on[i]);
    };
    switch (level) {
    case 0:
        enable(false, false, false, false);
        break;
    case 1:
        if (auto *editor = GetObj<NumEditor>(RegSlot::ObjInstLclassEditor))
            editor->SetActiveEditor();
        enable(true, false, false, true);
        area->setCurrentIndex(0);
        break;
    case 2: {
        const int current = Level(GetCurrentUserItem());
        if (current != 2 && current != 3)
            return;
        const int slot = current == 3 ? RegSlot::ObjInstSclassEditor2 : RegSlot::ObjInstSclassEditor1;
        if (auto *editor = GetObj<NumEditor>(slot))
            editor->SetActiveEditor();
        enable(false, true, false, true);
        area->setCurrentIndex(1);
        break;
    }
    case 3:
        enable(false, false, true, true);
        area->setCurrentIndex(2);
        break;
    default:
        break;
    }
}

void deftab::UserTreeChanged(QTreeWidgetItem *cur_item, QTreeWidgetItem *prev_item)
{
    if (m_takingRows || m_clearing || !cur_item || cur_item == prev_item)
        return;
    if (!cur_item->parent())
        EnsureMemberRows(cur_item->data(1, Qt::UserRole).toInt());
    SetBoolVar(RegSlot::FlagUpdating, true);
    m_selecting = true;
    if (QTreeWidgetItem *modelRow = LinkedRow(cur_item, 4))
        m_ui->MODELTREE->setCurrentItem(modelRow);
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (mw)
        mw->KeepInstanceActions(false, false, false, false);
    const int level = Level(cur_item);
    m_sclassPane->SetEditLock(true);
    if (level == 0)
        m_ui->CLASSTAB->setTabText(m_explainTab, m_explainLabel);
    CommitAndShowItem(prev_item, cur_item);
    if (level > 0)
        SetExplanationRecord(RecordOf(cur_item));
    EnableClassTabs(level == 3 ? 2 : level);
    if (level >= 2) {
        m_ui->CLASSTAB->setTabText(1, level == 3 ? tr("TabParam") : tr("TabSclass"));
        m_lastDataTab = 1;
    } else {
        m_lastDataTab = level == 1 ? 0 : -1;
        if (level == 0)
            m_lclassPane->hide();
    }
    setTabColours(level == 0 ? -1 : m_lastDataTab);
    m_sclassPane->SetEditLock(false);

    m_actions[0] = m_actions[2] = false;
    const bool mayEdit = ComputeDeleteActions(cur_item);
    if (!mayEdit) {
        if (mw)
            mw->SetInstanceActions(m_actions[0], m_actions[1], m_actions[2], m_actions[3]);
    } else if (level > 0) {
        QTreeWidgetItem *mm = LinkedRow(m_ui->MODELTREE->currentItem(), 0);
        if (mm && !mm->parent())
            SetAddActions(cur_item, mm);
        else
            ApplyInstanceActions();
    }
    if (mw)
        mw->RestoreInstanceActions();
    m_selecting = false;
    SetBoolVar(RegSlot::FlagUpdating, false);
    m_ui->USERTREE->setFocus(Qt::OtherFocusReason);
}

bool deftab::ComputeDeleteActions(QTreeWidgetItem *cur)
{
    QTreeWidgetItem *memberRow = memberRowOf(cur);
    const bool mayEdit = memberRow && IsWritableMember(memberRow->data(1, Qt::UserRole).toInt());
    const int level = Level(cur);
    m_actions[1] = level == 1 && cur->childCount() == 0 && mayEdit;
    m_actions[3] = !m_actions[1] && level == 2 && mayEdit;
    return mayEdit;
}

void deftab::SetUserRowActions(QTreeWidgetItem *userRow)
{
    const TreeItemData *record = RecordOf(userRow);
    bool ok = false;
    const int n = record ? record->name.toInt(&ok) : -1;
    const MemberInfo *m = ok ? memberOf(n) : nullptr;
    const bool allowed = m && IsWritableMember(n) && !m->Completed;
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->KeepInstanceActions(allowed, false, false, false);
}

void deftab::ShowItemPane(QTreeWidgetItem *row)
{
    const int level = Level(row);
    switch (level) {
    case 0:
        SetUserRowActions(row);
        break;
    case 1:
        m_lclassPane->setVisible(true);
        m_lclassPane->SetLclass(row);
        break;
    case 2:
        m_sclassPane->SetSclass(row);
        break;
    default:
        if (m_sclassPane->GetCurrentItem() != row->parent())
            m_sclassPane->SetClassItem(row->parent());
        if (const TreeItemData *record = RecordOf(row))
            m_sclassPane->SetParam(row, record->pageItem, row->parent());
        break;
    }
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        if (level == 0)
            mw->ReleaseEditor();
        mw->EnableEditAction(0, level != 0);
    }
}

void deftab::UserTreeClicked(QTreeWidgetItem *item, int)
{
    if (!item || item != m_ui->USERTREE->currentItem() || !item->parent())
        return;
    switch (Level(item)) {
    case 3:
        if (!m_suppressParamClick) {
            const bool wasBusy = GetBoolVar(RegSlot::FlagBusy);
            SetBoolVar(RegSlot::FlagBusy, true);
            m_valueTable->ReleaseTable();
            if (!wasBusy)
                SetBoolVar(RegSlot::FlagBusy, false);
            EnableClassTabs(2);
        }
        break;
    case 2:
        if (m_ui->CLASSTAB->currentIndex() != 1)
            EnableClassTabs(2);
        break;
    default:
        if (m_ui->CLASSTAB->currentIndex() != 0)
            EnableClassTabs(1);
        break;
    }
    m_suppressParamClick = false;
}

void deftab::UserDblTreeClicked(QTreeWidgetItem *item, int)
{
    if (!item || item != m_ui->USERTREE->currentItem())
        return;
    const int level = Level(item);
    if (level == 0) {
        const MemberInfo *m = memberOf(item->data(1, Qt::UserRole).toInt());
        if (!m)
            return;
        if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
            mgr->SetCurrentItem(m->TreeItem);
        if (auto *tabs = GetObj<Tab>(RegSlot::ObjTab))
            tabs->SelectTab(GetStrVar(RegSlot::StrTabManagement));
        return;
    }
    if (level != 3)
        return;
    m_suppressParamClick = true;
    const bool wasBusy = GetBoolVar(RegSlot::FlagBusy);
    SetBoolVar(RegSlot::FlagBusy, true);
    QTreeWidgetItem *sclass = item->parent();
    const TreeItemData *srec = RecordOf(sclass);
    bool show = srec != nullptr;
    if (show && srec->GetAttr(GetStrVar(RegSlot::StrAttrParamType)) == QLatin1String("2"))
        show = FindTreeItem(srec->GetAttr(GetStrVar(RegSlot::StrAttrState))) != nullptr;
    if (show) {
        m_sclassPane->SaveExplanation(sclass, item);
        LoadValueGrid(item);
        m_valueTable->SetParam(item);
    }
    if (!wasBusy)
        SetBoolVar(RegSlot::FlagBusy, false);
    if (show)
        EnableClassTabs(3);
}

void deftab::UserColumnAdjustment(const QModelIndex &)
{
    if (!m_bulkExpand)
        TreeColumnAdjustment(m_ui->USERTREE);
}

void deftab::ModelColumnAdjustment(const QModelIndex &)
{
    if (!m_bulkExpand)
        TreeColumnAdjustment(m_ui->MODELTREE);
}

void deftab::ModelDblTreeClicked(QTreeWidgetItem *item, int)
{
    model *mdl = modelEditor();
    QTreeWidgetItem *row = item && mdl ? mdl->FindItem(item->text(4).mid(1)) : nullptr;
    if (!row)
        return;
    mdl->SetCurrentItem(row);
    if (auto *tabs = GetObj<Tab>(RegSlot::ObjTab))
        tabs->SelectTab(GetStrVar(RegSlot::StrTabModel));
}

void deftab::TabChangeProc(int index)
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    switch (index) {
    case 0:
        if (auto *editor = GetObj<NumEditor>(RegSlot::ObjInstLclassEditor))
            editor->SetActiveEditor();
        break;
    case 1: {
        const int level = Level(GetCurrentUserItem());
        const int slot = level == 3 ? RegSlot::ObjInstSclassEditor2 : RegSlot::ObjInstSclassEditor1;
        if (level >= 2) {
            if (auto *editor = GetObj<NumEditor>(slot))
                editor->SetActiveEditor();
        }
        break;
    }
    case 2:
        if (mw) {
            mw->ReleaseEditor();
            mw->EnableEditAction(0, false);
        }
        break;
    case 3:
        setTabColours(3);
        m_explain->SetActiveEditor();
        return;
    default:
        return;
    }
    m_lastDataTab = index;
    setTabColours(index);
}

void deftab::TreePopupMenu(const QPoint &pt)
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->PushInstanceActions();
    m_popup->popup(m_ui->USERTREE->mapToGlobal(pt));
}

void deftab::SetActiveEditor()
{
    QTreeWidgetItem *cur = GetCurrentUserItem();
    const int level = cur ? Level(cur) : 0;
    if (level > 0) {
        const int editorSlots[4] = {0, RegSlot::ObjInstLclassEditor, RegSlot::ObjInstSclassEditor1,
                                    RegSlot::ObjInstSclassEditor2};
        if (auto *editor = GetObj<NumEditor>(editorSlots[level]))
            editor->SetActiveEditor();
        return;
    }
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->ReleaseEditor();
        mw->EnableEditAction(0, false);
    }
}

void deftab::SelectFirstUser()
{
    QTreeWidget *tree = m_ui->USERTREE;
    if (tree->topLevelItemCount() == 0)
        return;
    if (!tree->currentItem())
        tree->setCurrentItem(tree->topLevelItem(0));
    else if (Level(tree->currentItem()) == 0)
        m_lclassPane->hide();
}

void deftab::RefreshCurrentItem()
{
    QTreeWidgetItem *cur = GetCurrentUserItem();
    if (!cur)
        return;
    switch (Level(cur)) {
    case 0:
        SetUserRowActions(cur);
        break;
    case 1:
        m_lclassPane->UpdateLclass();
        break;
    case 2:
        m_sclassPane->UpdateSclass();
        break;
    default:
        m_sclassPane->UpdateParam();
        break;
    }
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->RestoreInstanceActions();
}

void deftab::LoadModelTree()
{
    clearModelTree(true);
    model *mdl = modelEditor();
    if (!mdl)
        return;
    if (GetIntVar(RegSlot::IntDocKind) != 0) {
        if (GetBoolVar(RegSlot::FlagModelModified))
            mdl->SaveModel();
    } else if (!mdl->LoadModel()) {
        // Quiet inside the model editor; here the instance would simply show no classes, as
        // if the model were empty.
        UiReport::Error(tr("Open Model"), GetStrVar(RegSlot::StrLastError));
    }
    mdl->SetReadOnly();
    QTreeWidget *source = mdl->GetTree();
    QTreeWidget *target = m_ui->MODELTREE;
    const QScopedValueRollback<bool> bulk(m_bulkExpand, true);
    const auto copy = [](QTreeWidgetItem *from, QTreeWidgetItem *to, std::initializer_list<int> columns,
                         SharedIcon::Id icon) {
        for (int c : columns)
            to->setText(c, from->text(c));
        to->setIcon(0, SharedIcon::Get(icon));
        to->setData(0, Qt::UserRole, QVariant::fromValue<void *>(from));
        to->setData(1, Qt::UserRole, QVariant::fromValue<void *>(new ClassInstanceIndex));
        if (TreeItemData *record = model::RecordOf(from))
            record->instanceItem = to;
    };
    // Built apart from the view and added at once, then expanded: one layout instead of one per row.
    QList<QTreeWidgetItem *> lrows;
    for (int i = 0; source && i < source->topLevelItemCount(); ++i) {
        QTreeWidgetItem *lclass = source->topLevelItem(i);
        auto *lrow = new QTreeWidgetItem;
        lrows.append(lrow);
        copy(lclass, lrow, {0, 3, 4}, SharedIcon::Lclass);
        for (int j = 0; j < lclass->childCount(); ++j) {
            QTreeWidgetItem *sclass = lclass->child(j);
            auto *srow = new QTreeWidgetItem(lrow);
            copy(sclass, srow, {1, 3, 4}, SharedIcon::Sclass);
            for (int k = 0; k < sclass->childCount(); ++k)
                copy(sclass->child(k), new QTreeWidgetItem(srow), {2, 3, 4}, SharedIcon::Param);
        }
    }
    target->addTopLevelItems(lrows);
    for (QTreeWidgetItem *lrow : qAsConst(lrows)) {
        lrow->setExpanded(true);
        for (int j = 0; j < lrow->childCount(); ++j)
            lrow->child(j)->setExpanded(true);
    }
    TreeColumnAdjustment(target);
}

void deftab::clearModelTree(bool shared)
{
    QTreeWidget *tree = m_ui->MODELTREE;
    while (tree->topLevelItemCount() > 0) {
        std::unique_ptr<QTreeWidgetItem> top(tree->takeTopLevelItem(0));
        QList<QTreeWidgetItem *> rows{top.get()};
        for (int i = 0; i < rows.size(); ++i) {
            for (int c = 0; c < rows.at(i)->childCount(); ++c)
                rows.append(rows.at(i)->child(c));
            delete ClassIndexOf(rows.at(i));
            QTreeWidgetItem *from = shared ? LinkedRow(rows.at(i), 0) : nullptr;
            if (TreeItemData *record = model::RecordOf(from); record && record->instanceItem == rows.at(i))
                record->instanceItem = nullptr;
        }
    }
}

// The mirrored rows of a whole subtree leave the other views level by level, each level taken at
// once, before any record goes: freed one row at a time, each mirror was searched for among its
// thousands of siblings and a shown view renumbered the rest, and a member of 20,000 classes took
// most of a minute to close. Rows the views hung below a mirror that are no record's go with it,
// as they did when the mirror was deleted with them.
void deftab::freeRow(QTreeWidgetItem *row)
{
    QList<QTreeWidgetItem *> rows{row};
    QSet<const QTreeWidgetItem *> mirrors;
    for (int i = 0; i < rows.size(); ++i) {
        for (int c = 0; c < rows.at(i)->childCount(); ++c)
            rows.append(rows.at(i)->child(c));
        if (const TreeItemData *record = RecordOf(rows.at(i)))
            mirrors << record->docRow << record->scheduleRow << record->qandaRow;
    }
    QList<QTreeWidgetItem *> foreign;
    for (QTreeWidgetItem *r : qAsConst(rows)) {
        const TreeItemData *record = RecordOf(r);
        for (QTreeWidgetItem *mirror :
             {record ? record->docRow : nullptr, record ? record->scheduleRow : nullptr,
              record ? record->qandaRow : nullptr}) {
            if (!mirror)
                continue;
            // Detached already when its parent was a mirror above it; else one removal.
            takeFromParent(mirror);
            for (QTreeWidgetItem *child : mirror->takeChildren()) {
                if (!mirrors.contains(child))
                    foreign << child;
            }
        }
    }
    qDeleteAll(foreign);
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    for (QTreeWidgetItem *r : qAsConst(rows)) {
        TreeItemData *record = RecordOf(r);
        if (!record)
            continue;
        const QString key = KeyOf(record, idAttr);
        if (m_rows.value(key) == r)
            m_rows.remove(key);
        freeRecord(r, record);
    }
}

// With shared off (the tab's destruction) neither the store nor the member table is touched.
void deftab::clearUserTree(bool shared)
{
    QTreeWidget *tree = m_ui->USERTREE;
    auto *store = shared ? GetObj<xmlclass>(RegSlot::ObjXmlStore) : nullptr;
    m_takingRows = true;
    // Taken all at once: each row taken alone has the view renumber every row after it and every
    // expanded row it keeps, and a group of thousands took minutes to close.
    const QList<QTreeWidgetItem *> rows = tree->invisibleRootItem()->takeChildren();
    for (QTreeWidgetItem *row : rows) {
        std::unique_ptr<QTreeWidgetItem> top(row);
        const int n = top->data(1, Qt::UserRole).toInt();
        if (MemberInfo *m = shared ? memberOf(n) : nullptr; m && m->InstanceItem == top.get())
            m->InstanceItem = nullptr;
        freeRow(top.get());
        m_keptLclasses.remove(n);
        if (store)
            store->CloseXmlDoc(XmlIndex::Instance + n);
    }
    // Members without a row (a file that did not load, a member gone) had documents opened too.
    if (store)
        m_files.CloseMemberDocuments();
    m_takingRows = false;
}

void deftab::ClearTab()
{
    m_clearing = true;
    for (QLineEdit *field : {m_ui->INSTNAME, m_ui->INSTVERSION, m_ui->MODELNAME, m_ui->MODELVERSION})
        field->clear();
    m_lclassPane->ClearPane();
    m_sclassPane->ClearPane();
    m_valueTable->ClearTable();
    m_propParam = m_propSclass = nullptr;
    m_propRecord = nullptr;
    clearUserTree(true);
    clearModelTree(true);
    ResetClassArea();
    m_lastDataTab = 0;
    m_defaultMaxParam = 10;
    m_clearing = false;
    ClearTables();
    m_explain->SetEditItem(nullptr);
    m_explain->clear();
    m_explain->SetRefusal(QString());
}

void deftab::ClearTables()
{
    m_rows.clear();
    m_ownMembers.clear();
    m_modelInstances.clear();
    m_stateInstances.clear();
    m_transitions.clear();
    m_unreadMembers.clear();
    m_keptLclasses.clear();
    m_unbuilt.clear();
    m_refusedTexts.clear();
}

void deftab::RemoveUser(QTreeWidgetItem *userItem)
{
    QTreeWidget *tree = m_ui->USERTREE;
    const int index = userItem && userItem->treeWidget() == tree ? tree->indexOfTopLevelItem(userItem) : -1;
    if (index < 0)
        return;
    const int n = userItem->data(1, Qt::UserRole).toInt();
    ReleaseRow(userItem);
    m_takingRows = true;
    std::unique_ptr<QTreeWidgetItem> row(tree->takeTopLevelItem(index));
    m_takingRows = false;
    freeRow(row.get());
    row.reset();
    CloseMember(n);
    UserTreeChanged(tree->currentItem(), nullptr);
}

void deftab::CloseMember(int n)
{
    m_unbuilt.remove(n);
    m_keptLclasses.remove(n);
    m_unreadMembers.remove(n);
    m_files.CloseMemberDocument(n);
}
