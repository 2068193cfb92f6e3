#include "views/statusitems.h"

#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "views/statuswidget.h"

#include <QBrush>
#include <QGraphicsEllipseItem>
#include <QGraphicsRectItem>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsTextItem>
#include <QPainter>
#include <QPen>
#include <QTreeWidgetItem>
#include <QtMath>

StatusNode::StatusNode(StatusGraph *graph, const QString &name, const QPointF &stored, int seed, int index)
    : m_name(name), m_graph(graph), m_text(new QGraphicsTextItem(this)), m_box(nullptr), m_index(index)
{
    // State names come from other members' files: shown as text, never as markup.
    m_text->setHtml(name.toHtmlEscaped());
    m_text->setPos(10.0, 5.0);
    m_text->setZValue(3);
    m_text->setData(0, TagChild);
    m_width = m_text->boundingRect().width() + 20.0;
    m_height = m_text->boundingRect().height() + 10.0;
    m_box = new QGraphicsRectItem(0, 0, m_width, m_height, this);
    m_box->setBrush(QColor(198, 243, 197, 128));
    m_box->setZValue(2);
    m_box->setData(0, TagChild);
    setAcceptedMouseButtons(Qt::LeftButton);
    setFlags(ItemIsMovable | ItemSendsGeometryChanges);
    setZValue(5);
    if (stored.x() == -1.0) {
        setPos(10.0, seed);
        m_nextSeed = seed + m_height + UnplacedGap;
    } else {
        setPos(stored);
        m_nextSeed = seed;
    }
}

void StatusNode::AddEdge(StatusEdge *edge)
{
    m_edges.append(edge);
    edge->PlaceLinks();
}

void StatusNode::mousePressEvent(QGraphicsSceneMouseEvent *)
{
    m_dragStart = true;
}

void StatusNode::mouseReleaseEvent(QGraphicsSceneMouseEvent *)
{
    m_dragStart = false;
}

void StatusNode::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    auto *page = GetObj<StatusWidget>(RegSlot::ObjStatusWidget);
    if (!page || !page->IsEditable())
        return;
    if (m_dragStart) {
        m_grab = event->scenePos() - pos();
        m_dragStart = false;
        return;
    }
    setPos(event->scenePos() - m_grab);
    if (auto *instance = GetObj<deftab>(RegSlot::ObjDeftab))
        instance->SetModify();
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->SetInstanceModify(page->OwnerId());
    if (QTreeWidgetItem *item = page->CurrentElementItem()) {
        if (TreeItemData *record = TreeItemData::FromData(item->data(0, Qt::UserRole))) {
            record->PosChanged() = true;
            while (record->positions.size() <= m_index)
                record->positions.append(QPointF(-1, -1));
            record->positions[m_index] = pos();
        }
    }
}

QVariant StatusNode::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemPositionHasChanged) {
        for (StatusEdge *edge : m_edges)
            edge->PlaceLinks();
    }
    return QGraphicsItem::itemChange(change, value);
}

StatusEdge::StatusEdge(StatusNode *source, StatusNode *target) : m_source(source), m_target(target)
{
    source->AddEdge(this);
    target->AddEdge(this);
    Adjust();
}

void StatusEdge::Adjust()
{
    const QPointF s = m_source->pos(), d = m_target->pos();
    const QSizeF S = m_source->Size(), D = m_target->Size();
    if (d.y() > s.y() + S.height()) {
        m_line = QLineF(s.x() + S.width() * 0.5, s.y() + S.height(), d.x() + D.width() * 0.5, d.y());
    } else if (s.y() > d.y() + D.height()) {
        m_line = QLineF(s.x() + S.width() * 0.5, s.y(), d.x() + D.width() * 0.5, d.y() + D.height());
    } else {
        const qreal y1 = s.y() + S.height() * 0.5, y2 = d.y() + D.height() * 0.5;
        if (d.x() + D.width() * 0.5 > s.x() + S.width() * 0.5)
            m_line = QLineF(s.x() + S.width(), y1, d.x(), y2);
        else
            m_line = QLineF(s.x(), y1, d.x() + D.width(), y2);
    }
}

QPointF StatusEdge::LinkPoint(int which) const
{
    const qreal share = which == 0 ? 1.0 : 4.0;
    return QPointF(m_line.x1() + (m_line.x2() - m_line.x1()) * share / 5,
                   m_line.y1() + (m_line.y2() - m_line.y1()) * share / 5);
}

void StatusEdge::AttachLink(StatusLink *link, int which)
{
    m_links[which == 0 ? 0 : 1] = link;
    link->PlaceAt(LinkPoint(which));
}

void StatusEdge::PlaceLinks()
{
    prepareGeometryChange();
    Adjust();
    if (m_links[0])
        m_links[0]->PlaceAt(LinkPoint(0));
    if (!m_single && m_links[1])
        m_links[1]->PlaceAt(LinkPoint(1));
}

QRectF StatusEdge::boundingRect() const
{
    return QRectF(m_line.p1(), m_line.p2()).normalized();
}

QPolygonF StatusEdge::Arrowhead(bool atStart) const
{
    const QPointF apex = atStart ? m_line.p1() : m_line.p2();
    const QPointF other = atStart ? m_line.p2() : m_line.p1();
    const qreal dx = other.x() - apex.x(), dy = other.y() - apex.y();
    const qreal length = qSqrt(dx * dx + dy * dy);
    if (length <= 0)
        return {};
    qreal angle = qAcos(dx / length);
    if (dy >= 0)
        angle = 2 * M_PI - angle;
    const QPointF wing1 =
        apex + QPointF(qSin(angle + M_PI / 2.5) * m_arrowSize, qCos(angle + M_PI / 2.5) * m_arrowSize);
    const QPointF wing2 = apex + QPointF(qSin(angle + M_PI - M_PI / 2.5) * m_arrowSize,
                                         qCos(angle + M_PI - M_PI / 2.5) * m_arrowSize);
    return QPolygonF({apex, wing1, wing2});
}

void StatusEdge::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    Adjust();
    painter->setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->drawLine(m_line);
    painter->setBrush(Qt::blue);
    painter->drawPolygon(Arrowhead(false), Qt::OddEvenFill);
    if (!m_single)
        painter->drawPolygon(Arrowhead(true), Qt::OddEvenFill);
}

StatusLink::StatusLink(StatusEdge *edge, const QString &name, int which)
    : m_edge(edge), m_label(new QGraphicsTextItem(this))
{
    auto *dot = new QGraphicsEllipseItem(0, 0, 10, 10, this);
    dot->setBrush(QBrush(Qt::green));
    dot->setData(0, TagChild);
    // A name from a shared file is plain text: no markup, no links that open on a click.
    m_label->setHtml(name.toHtmlEscaped());
    m_label->setPos(6.0, 0.0);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_label->setOpenExternalLinks(false);
    m_label->setData(0, TagChild);
    setAcceptHoverEvents(true);
    setZValue(10);
    edge->AttachLink(this, which);
}

void StatusLink::PlaceAt(const QPointF &point)
{
    setPos(static_cast<int>(point.x() - 5.0), static_cast<int>(point.y() - 5.0));
}

void StatusLink::ShowLabel(bool shown)
{
    m_shown = shown;
    m_label->setVisible(shown);
}

void StatusLink::peek(bool show)
{
    if (!m_shown)
        m_label->setVisible(show);
}
