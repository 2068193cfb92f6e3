#pragma once

#include "core/globalvar.h"
#include "views/schedulechart.h"
#include "views/scheduleitem.h"

#include <QDate>
#include <QWidget>
#include <memory>
#include <vector>

class QGraphicsScene;
class QTreeWidget;
class QTreeWidgetItem;
class ScheList;
struct MemberInfo;
namespace Ui
{
class Schedule;
}

// The schedule page: a bar chart of the members' class instances over their dates, above the
// schedule list of the same rows.
class Schedule final : public QWidget, public ScheduleItem, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit Schedule(QWidget *parent = nullptr);
    ~Schedule() override;

    void MakeSchedule(QTreeWidget *userTree, bool refresh);
    void SplitterAdjust();
    void ClearSchedule();
    void TakeTopItem(QTreeWidgetItem *item);
    void TakeTreeItem(QTreeWidgetItem *item);

    ScheList *List() const { return m_list; }
    QGraphicsScene *Scene() const { return m_scene; }
    // Opens a member (key: its id) or an element (key: its identifier key) in its own tab.
    void OpenKey(const QString &key);

public slots:
    void AllTreeDblClicked(QTreeWidgetItem *item, int column);

private:
    void UpdateEarliest(const QString &text);
    void UpdateLatest(const QString &text);
    void fillList(QTreeWidget *userTree);
    ScheduleMember *addMember(QTreeWidgetItem *memberRow, const QString &name, int id,
                              const MemberInfo &info);
    void expandAndFit();
    bool drawChart();
    void markOutOfRange(QTreeWidgetItem *row);
    QTreeWidgetItem *fillRow(QTreeWidgetItem *source, int textColumn, const QString &icon);

    Ui::Schedule *m_ui;
    QGraphicsScene *m_scene;
    ScheList *m_list;
    QTreeWidget *m_tree;
    QTreeWidget *m_userTree = nullptr;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    std::vector<std::unique_ptr<ScheduleMember>> m_members;
    QDate m_earliest;
    bool m_haveStart = false;
    QDate m_latest;
    bool m_haveEnd = false;
};
