#include "views/schedule.h"

#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "members/userinf.h"
#include "shell/tab.h"
#include "ui_schedule.h"
#include "views/schelist.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

Schedule::Schedule(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::Schedule), m_scene(new QGraphicsScene(this)), m_list(new ScheList)
{
    m_ui->setupUi(this);
    // The form's placeholder pages make way for the list.
    delete m_ui->TAB1;
    delete m_ui->TAB2;
    m_ui->TAB->addTab(m_list, tr("Instance Schedule"));
    SetObj(RegSlot::ObjScheduleBarOwner, m_ui->TAB);
    m_tree = m_list->Tree();
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &Schedule::AllTreeDblClicked);
    m_ui->TAB->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    m_ui->TAB->tabBar()->setTabTextColor(0, Qt::white);
    m_ui->GRAPH->setScene(m_scene);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        m_screenWidth = screen->geometry().width();
        m_screenHeight = screen->geometry().height();
    }
}

Schedule::~Schedule()
{
    // The list rows belong to the instance records: detach them before the tree goes.
    ClearSchedule();
    delete m_ui;
}

void Schedule::ClearSchedule()
{
    m_scene->clear();
    m_members.clear();
    while (m_tree->topLevelItemCount() > 0) {
        QTreeWidgetItem *member = m_tree->takeTopLevelItem(0);
        // Detach the element rows below it too: each belongs to its own record.
        for (QTreeWidgetItem *lclass : member->takeChildren()) {
            for (QTreeWidgetItem *sclass : lclass->takeChildren())
                sclass->takeChildren();
        }
    }
    m_earliest = QDate();
    m_latest = QDate();
    m_haveStart = false;
    m_haveEnd = false;
}

void Schedule::SplitterAdjust()
{
    int lower = 0;
    int upper = 0;
    m_ui->splitter->getRange(1, &lower, &upper);
    const int first = static_cast<int>(upper * 0.6666666666666666);
    m_ui->splitter->setSizes({first, upper - first});
}

void Schedule::TakeTopItem(QTreeWidgetItem *item)
{
    const int index = m_tree->indexOfTopLevelItem(item);
    if (index >= 0)
        m_tree->takeTopLevelItem(index);
}

void Schedule::TakeTreeItem(QTreeWidgetItem *item)
{
    if (!item)
        return;
    if (QTreeWidgetItem *parent = item->parent())
        parent->removeChild(item);
    else
        TakeTopItem(item);
}

// A date that is no calendar date (a typo in one file) is left out of the range: it would
// otherwise become the earliest start and blank the whole chart. So is a date outside the chart's
// window: one far date in one member's file would stretch the chart over thousands of years.
void Schedule::UpdateEarliest(const QString &text)
{
    if (!ParseChartDate(text))
        return;
    if (!m_haveStart || m_date < m_earliest) {
        m_earliest = m_date;
        m_haveStart = true;
    }
}

void Schedule::UpdateLatest(const QString &text)
{
    if (!ParseChartDate(text))
        return;
    if (!m_haveEnd || m_date > m_latest) {
        m_latest = m_date;
        m_haveEnd = true;
    }
}

// The list says which dates the chart leaves out for lying outside its window. Rows are reused by
// every build, so a date mended since loses the mark.
void Schedule::markOutOfRange(QTreeWidgetItem *row)
{
    for (int column = ScheList::ColStart; column <= ScheList::ColCompletion; ++column) {
        const bool out = ParseDate(row->text(column)) && (m_year < FirstYear || m_year > LastYear);
        row->setForeground(column, out ? QBrush(QColor(QStringLiteral("#ff0000"))) : QBrush());
        row->setToolTip(column, out ? tr("out of range") : QString());
    }
}

QTreeWidgetItem *Schedule::fillRow(QTreeWidgetItem *source, int textColumn, const QString &icon)
{
    TreeItemData *record = TreeItemData::FromData(source->data(0, Qt::UserRole));
    if (!record || !record->scheduleRow)
        return nullptr;
    const QString start = record->GetAttr(GetStrVar(RegSlot::StrAttrStartDate));
    const QString target = record->GetAttr(GetStrVar(RegSlot::StrAttrTargetDate));
    const QString completion = record->GetAttr(GetStrVar(RegSlot::StrAttrCompletionDate));
    QString progress = record->GetAttr(GetStrVar(RegSlot::StrAttrProgressRate));
    QString hours = record->GetAttr(GetStrVar(RegSlot::StrAttrEstimatedHours));
    UpdateEarliest(start);
    UpdateLatest(target);
    UpdateLatest(completion);
    if (!completion.isEmpty())
        progress = QStringLiteral("100");
    else if (progress.isEmpty())
        progress = QStringLiteral("0");
    if (hours.isEmpty())
        hours = QStringLiteral("0");
    QTreeWidgetItem *row = record->scheduleRow;
    // A row left under a member that had no band last time is still attached there.
    if (QTreeWidgetItem *parent = row->parent())
        parent->removeChild(row);
    row->setText(textColumn, source->text(textColumn));
    row->setIcon(0, QIcon(icon));
    row->setText(ScheList::ColValue, source->text(4));
    const QString texts[] = {start, target, completion, progress, hours};
    for (int i = 0; i < 5; ++i)
        row->setText(ScheList::ColStart + i, texts[i]);
    row->setText(ScheList::ColID, QLatin1Char('I') + row->data(1, Qt::UserRole).toString());
    markOutOfRange(row);
    return row;
}

void Schedule::MakeSchedule(QTreeWidget *userTree, bool refresh)
{
    if (!refresh)
        return;
    ClearSchedule();
    m_userTree = userTree;
    if (!userTree || userTree->topLevelItemCount() == 0)
        return;
    fillList(userTree);
    expandAndFit();
    // Without any start date the list is filled, the chart stays empty and the flag stays set.
    if (!drawChart())
        return;
    if (auto *instance = GetObj<deftab>(RegSlot::ObjDeftab))
        instance->SetScheduleRefresh(false);
}

// Rows expanded one by one would each refit every column over all rows (the list refits on every
// expansion): with thousands of rows the tab froze for most of a minute. The list is built first,
// then expanded with its signals blocked and fitted once. Every member's rows open as before, but
// the last member's large-class rows stay collapsed.
void Schedule::expandAndFit()
{
    const int count = m_tree->topLevelItemCount();
    if (count == 0)
        return;
    {
        const QSignalBlocker blocker(m_tree);
        for (int t = 0; t < count; ++t) {
            QTreeWidgetItem *top = m_tree->topLevelItem(t);
            top->setExpanded(true);
            if (t == count - 1)
                break;
            for (int c = 0; c < top->childCount(); ++c)
                top->child(c)->setExpanded(true);
        }
    }
    TreeColumnAdjustment(m_tree);
}

// A member with a record gets a list row at the top level and a band in the chart.
ScheduleMember *Schedule::addMember(QTreeWidgetItem *memberRow, const QString &name, int id,
                                    const MemberInfo &info)
{
    memberRow->setIcon(
        0, QIcon(info.OtherUser == 0 ? QStringLiteral(":src/user.png") : QStringLiteral(":src/other.png")));
    m_tree->addTopLevelItem(memberRow);
    m_members.push_back(std::make_unique<ScheduleMember>());
    ScheduleMember *member = m_members.back().get();
    member->name = name;
    member->own = info.OtherUser == 0;
    member->row = memberRow;
    member->start = info.Page ? info.Page->StartDate() : info.StartDate;
    member->target = info.Page ? info.Page->TargetDate() : info.TargetDate;
    member->completion = info.Page ? info.Page->CompletionDate() : info.CompletionDate;
    UpdateEarliest(member->start);
    UpdateLatest(member->target);
    UpdateLatest(member->completion);
    memberRow->setText(ScheList::ColStart, member->start);
    memberRow->setText(ScheList::ColTarget, member->target);
    memberRow->setText(ScheList::ColCompletion, member->completion);
    memberRow->setText(ScheList::ColProgress,
                       member->completion.isEmpty() ? QString() : QStringLiteral("100"));
    memberRow->setText(ScheList::ColID, QLatin1Char('I') + QString::number(id));
    markOutOfRange(memberRow);
    return member;
}

void Schedule::fillList(QTreeWidget *userTree)
{
    const auto *members = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    for (int m = 0; m < userTree->topLevelItemCount(); ++m) {
        QTreeWidgetItem *memberItem = userTree->topLevelItem(m);
        TreeItemData *record = TreeItemData::FromData(memberItem->data(0, Qt::UserRole));
        if (!record || !record->scheduleRow)
            continue;
        QTreeWidgetItem *memberRow = record->scheduleRow;
        const QString name = memberItem->text(0);
        memberRow->setText(0, name);
        const int id = memberRow->data(1, Qt::UserRole).toInt();
        MemberInfo *info = members ? members->value(id) : nullptr;
        ScheduleMember *member = info ? addMember(memberRow, name, id, *info) : nullptr;
        for (int l = 0; l < memberItem->childCount(); ++l) {
            QTreeWidgetItem *lItem = memberItem->child(l);
            QTreeWidgetItem *lRow = fillRow(lItem, ScheList::ColLClass, QStringLiteral(":src/lclass.png"));
            if (!lRow)
                continue;
            memberRow->addChild(lRow);
            ScheduleMember::LClass *entry = nullptr;
            if (member) {
                member->lclasses.append(
                    {lRow, !lRow->text(4).isEmpty() && !(lRow->text(5) + lRow->text(6)).isEmpty(), {}});
                entry = &member->lclasses.last();
            }
            for (int s = 0; s < lItem->childCount(); ++s) {
                QTreeWidgetItem *sRow =
                    fillRow(lItem->child(s), ScheList::ColSClass, QStringLiteral(":src/sclass.png"));
                if (!sRow)
                    continue;
                lRow->addChild(sRow);
                if (entry)
                    entry->sclassRows.append(sRow);
            }
        }
    }
}

bool Schedule::drawChart()
{
    if (!m_haveStart)
        return false;
    const QDate end = qMax(m_haveEnd ? m_latest : QDate(), m_earliest.addMonths(12));
    auto *title = new ScheduleTitle(m_ui->GRAPH, m_earliest, end);
    title->setPos(0, 0);
    m_scene->addItem(title);
    int y = title->Bottom();
    for (const auto &member : m_members) {
        member->months = title->MonthColumns();
        member->top = y;
        member->totalWidth = title->TotalWidth();
        member->minHeight = title->HeaderHeight();
        auto *band = new ScheduleUser(m_ui->GRAPH, m_scene, member.get(), title->NameColumnWidth());
        m_scene->addItem(band);
        y = band->Bottom();
    }
    m_scene->setSceneRect(0, 0, qMax(m_screenWidth, title->TotalWidth()), qMax(m_screenHeight, y));
    m_ui->GRAPH->horizontalScrollBar()->setValue(0);
    m_ui->GRAPH->verticalScrollBar()->setValue(0);
    return true;
}

void Schedule::OpenKey(const QString &key)
{
    if (key.contains(QLatin1Char('-'))) {
        auto *instance = GetObj<deftab>(RegSlot::ObjDeftab);
        QTreeWidgetItem *item = instance ? instance->FindTreeItem(key) : nullptr;
        if (!item)
            return;
        instance->SetCurrentUserItem(item);
        if (auto *tab = GetObj<Tab>(RegSlot::ObjTab))
            tab->SelectTab(GetStrVar(RegSlot::StrTabInstance));
        SetObj(RegSlot::ObjScheduleRefresh, item);
        return;
    }
    bool ok = false;
    const int id = key.toInt(&ok);
    const auto *members = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    MemberInfo *info = ok && members ? members->value(id) : nullptr;
    if (!info)
        return;
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->SetCurrentItem(info->TreeItem);
    if (auto *tab = GetObj<Tab>(RegSlot::ObjTab))
        tab->SelectTab(GetStrVar(RegSlot::StrTabManagement));
    SetObj(RegSlot::ObjScheduleRefresh, info->InstanceItem);
}

void Schedule::AllTreeDblClicked(QTreeWidgetItem *item, int)
{
    if (!item)
        return;
    const QVariant key = item->data(1, Qt::UserRole);
    OpenKey(item->parent() ? key.toString() : QString::number(key.toInt()));
}
