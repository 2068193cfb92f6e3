#pragma once

#include "core/globalvar.h"

#include <QGraphicsItem>
#include <QLineF>
#include <QPolygonF>

class QGraphicsRectItem;
class QGraphicsTextItem;
class StatusEdge;
class StatusGraph;
class StatusLink;

// Item data key 0 tells the diagram's items apart.
enum StatusTag { TagChild = 0, TagNode = 1, TagLink = 2, TagEdge = 3 };

// One state: a labelled box the owner of the element can drag.
class StatusNode final : public QGraphicsItem, protected virtual globalvar
{
public:
    StatusNode(StatusGraph *graph, const QString &name, const QPointF &stored, int seed, int index);

    // Room between two automatically placed states for the arrow, its handles and their names.
    static constexpr double UnplacedGap = 60.0;

    int NextSeed() const { return static_cast<int>(m_nextSeed); }
    int Index() const { return m_index; }
    void AddEdge(StatusEdge *edge);
    QSizeF Size() const { return {m_width, m_height}; }
    QGraphicsTextItem *Text() const { return m_text; }

    QRectF boundingRect() const override { return QRectF(0, 0, m_width, m_height); }
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    QString m_name;
    StatusGraph *m_graph;
    QGraphicsTextItem *m_text;
    QGraphicsRectItem *m_box;
    QList<StatusEdge *> m_edges;
    int m_index;
    bool m_dragStart = false;
    QPointF m_grab;
    qreal m_width = 0;
    qreal m_height = 0;
    qreal m_nextSeed = 0;
};

// One transition, or a pair of opposite ones, as a line with filled arrowheads.
class StatusEdge final : public QGraphicsItem, protected virtual globalvar
{
public:
    StatusEdge(StatusNode *source, StatusNode *target);

    void Adjust();
    QPointF LinkPoint(int which) const;
    void AttachLink(StatusLink *link, int which);
    void PlaceLinks();
    void SetBothArrows() { m_single = false; }
    bool BothArrows() const { return !m_single; }
    QLineF Line() const { return m_line; }
    // The arrowhead at the line's end (or start): apex and two wings.
    QPolygonF Arrowhead(bool atStart) const;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override;

private:
    StatusNode *m_source;
    StatusNode *m_target;
    StatusLink *m_links[2] = {nullptr, nullptr};
    qreal m_arrowSize = 10.0;
    QLineF m_line;
    bool m_single = true;
};

// The handle on an edge carrying the transition's name.
class StatusLink final : public QGraphicsItem, protected virtual globalvar
{
public:
    StatusLink(StatusEdge *edge, const QString &name, int which);

    void PlaceAt(const QPointF &point);
    void ShowLabel(bool shown);
    QGraphicsTextItem *Label() const { return m_label; }

    QRectF boundingRect() const override { return QRectF(0, 0, 10, 10); }
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent *) override { peek(true); }
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *) override { peek(false); }
    void mousePressEvent(QGraphicsSceneMouseEvent *) override { peek(true); }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *) override { peek(false); }

private:
    void peek(bool show);

    bool m_shown = true;
    StatusEdge *m_edge;
    QGraphicsTextItem *m_label;
};
