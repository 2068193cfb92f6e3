#pragma once

#include "core/globalvar.h"
#include "views/scheduleitem.h"

#include <QGraphicsItem>
#include <QGraphicsTextItem>
#include <QObject>
#include <QPixmap>
#include <QRectF>
#include <QStringList>

class QGraphicsView;
class QGraphicsScene;
class QGraphicsRectItem;
class QTreeWidgetItem;

// One month column of the chart header.
struct ScheduleMonth {
    QGraphicsTextItem *yearLabel = nullptr;
    QGraphicsTextItem *monthLabel = nullptr;
    int year = 0;
    int month = 0;
    int x = 0;
};

// A member's rows in the schedule, rebuilt with every chart.
struct ScheduleMember {
    struct LClass {
        QTreeWidgetItem *row = nullptr;
        bool hasBar = false;
        QList<QTreeWidgetItem *> sclassRows;
    };
    QString name;
    bool own = false;
    QString start;
    QString target;
    QString completion;
    QTreeWidgetItem *row = nullptr;
    int top = 0;
    int totalWidth = 0;
    int minHeight = 0;
    QList<ScheduleMonth> months;
    QList<LClass> lclasses;
};

// The header band: column titles, years and one 90-unit column per month.
class ScheduleTitle final : public QObject,
                            public QGraphicsItem,
                            public ScheduleItem,
                            protected virtual globalvar
{
    Q_OBJECT
    Q_INTERFACES(QGraphicsItem)
public:
    ScheduleTitle(QGraphicsView *view, const QDate &start, const QDate &end);

    QList<ScheduleMonth> MonthColumns() const { return m_months; }
    int HeaderHeight() const { return m_headerHeight; }
    int NameColumnWidth() const { return m_nameWidth; }
    int TotalWidth() const { return m_totalWidth; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override;

private:
    QGraphicsView *m_view;
    int m_monthCount = 0;
    int m_nameWidth = 0;
    int m_idWidth = 0;
    int m_x0 = 0;
    int m_totalWidth = 0;
    int m_headerHeight = 0;
    int m_textHeight = 0;
    QList<ScheduleMonth> m_months;
};

// One member band: a line for the member and for each of its class instances, with their bars.
class ScheduleUser final : public QObject,
                           public QGraphicsItem,
                           public ScheduleItem,
                           protected virtual globalvar
{
    Q_OBJECT
    Q_INTERFACES(QGraphicsItem)
public:
    ScheduleUser(QGraphicsView *view, QGraphicsScene *scene, ScheduleMember *member, int nameWidth);

    // Adds the bars of one 27-unit line at y and returns the next line's y.
    int AddBars(QTreeWidgetItem *row, int y, const QString &start, const QString &target,
                const QString &completion, const QString &progress, int planned, int completed,
                int progressKind);
    // The completed or progress bar of a line; empty when there is none.
    QRectF BarRect(int y, const QString &start, const QString &target, const QString &completion,
                   int percent);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override;

private:
    int xOf(int year, int month, int day) const;
    static int distance(int y1, int m1, int d1, int y2, int m2, int d2);
    void addLine(QTreeWidgetItem *row, int y, const QColor &color, const QPixmap &icon, int iconDy);

    QGraphicsView *m_view;
    QGraphicsScene *m_scene;
    ScheduleMember *m_member;
    int m_nameWidth;
    int m_top = 0;
    int m_height = 0;
    QPixmap m_user, m_other, m_lclass, m_sclass;
};

// One bar with its hover label; hovering marks the bar's row in the schedule list.
class ScheduleBar final : public QObject,
                          public QGraphicsItem,
                          public ScheduleItem,
                          protected virtual globalvar
{
    Q_OBJECT
    Q_INTERFACES(QGraphicsItem)
public:
    struct Record {
        int kind = 0;
        QString label;
        QRectF rect;
        QTreeWidgetItem *row = nullptr;
    };
    explicit ScheduleBar(const Record &record);

    const Record &BarRecord() const { return m_record; }
    QGraphicsTextItem *Label() const { return m_label; }
    QGraphicsRectItem *RectItem() const { return m_rect; }

    QRectF boundingRect() const override;
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;

private:
    void mark();

    Record m_record;
    QGraphicsTextItem *m_label;
    QGraphicsRectItem *m_rect;
};

// The identifier at the head of a line; a double-click opens the member or element.
class SchUserText final : public QGraphicsTextItem, protected virtual globalvar
{
    Q_OBJECT
public:
    SchUserText() = default;
    void SetKey(const QString &text) { m_key = text.mid(1); }
    QString Key() const { return m_key; }

protected:
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QString m_key;
};
