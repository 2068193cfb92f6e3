#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "views/statusitems.h"
#include "views/statuswidget.h"

#include <QGraphicsSceneMouseEvent>
#include <QGraphicsTextItem>
#include <QTreeWidget>
#include <QtTest>

namespace
{
struct Diagram : public RegistryScope {
    TreeItemData states;
    TreeItemData transitions;
    StatusWidget *page;

    Diagram(const QStringList &stateNames, const QList<QStringList> &rows)
    {
        DefVar().InitVar();
        page = new StatusWidget;
        SetObj(RegSlot::ObjStatusWidget, page);
        const QString maxParam = GetStrVar(RegSlot::StrAttrMaxParam);
        states.SetAttr(maxParam, QString::number(stateNames.size()));
        for (int i = 0; i < stateNames.size(); ++i)
            states.SetCell(i, 0, stateNames[i]);
        transitions.SetAttr(maxParam, QString::number(rows.size()));
        for (int i = 0; i < rows.size(); ++i)
            for (int c = 0; c < rows[i].size(); ++c)
                transitions.SetCell(i, c, rows[i][c]);
    }
    ~Diagram() override { delete page; }
    void build() { page->Graph()->BuildFrom(&states, &transitions); }
    template <class T> QList<T *> items(int tag) const
    {
        QList<T *> found;
        for (QGraphicsItem *i : page->Graph()->scene()->items(Qt::AscendingOrder))
            if (i->data(0).toInt() == tag)
                found.append(static_cast<T *>(i));
        return found;
    }
    StatusNode *node(int index) const
    {
        for (StatusNode *n : items<StatusNode>(TagNode))
            if (n->Index() == index)
                return n;
        return nullptr;
    }
};
} // namespace

class TestStatusGraph : public QObject
{
    Q_OBJECT
private slots:
    void nodes_unplaced_stackBelowWithGap();
    void edges_pairsRepeatsAndMissingStates();
    void arrowheads_apexOnNodeWingsBack_data();
    void arrowheads_apexOnNodeWingsBack();
    void labels_markupEscaped_doubleClickToggles();
    void drag_onlyOwnNodes_positionRecorded();
    void build_missingStateSource_reportsError();
    void build_shownPage_itemsInViewWithoutScrolling();
};

void TestStatusGraph::nodes_unplaced_stackBelowWithGap()
{
    Diagram d({"A", "B", "C", "", "E"}, {});
    d.transitions.positions = {QPointF(-1, -1), QPointF(300, 400)};
    d.build();
    QCOMPARE(d.items<StatusNode>(TagNode).size(), 3); // names stop at the first empty one
    QCOMPARE(d.node(0)->pos(), QPointF(10, 10));
    QCOMPARE(d.node(1)->pos(), QPointF(300, 400));
    QCOMPARE(d.node(2)->pos(),
             QPointF(10, 10 + d.node(0)->boundingRect().height() + StatusNode::UnplacedGap));
    // Far enough apart that an arrow between them shows its head and both handles.
    QVERIFY(StatusNode::UnplacedGap >= 40);
    QCOMPARE(d.transitions.positions.size(), 3);
    QCOMPARE(d.transitions.positions[2], QPointF(-1, -1));
    QCOMPARE(d.page->Graph()->sceneRect(), QRectF(0, 0, 2000, 1480));
}

void TestStatusGraph::edges_pairsRepeatsAndMissingStates()
{
    Diagram d({"A", "B", "C"}, {{"go", "1", "2"},
                                {"back", "2", "1"},
                                {"again", "1", "2"},
                                {"loop", "3", "3"},
                                {"nowhere", "1", "9"},
                                {"none", "0", "1"},
                                {"", "1", "3"}});
    d.transitions.positions = {QPointF(10, 10), QPointF(10, 200), QPointF(200, 10)};
    d.build();
    const QList<StatusEdge *> edges = d.items<StatusEdge>(TagEdge);
    QCOMPARE(edges.size(), 2);
    StatusEdge *pair = edges[0];
    QVERIFY(pair->BothArrows());
    QVERIFY(!edges[1]->BothArrows());
    const QList<StatusLink *> links = d.items<StatusLink>(TagLink);
    QCOMPARE(links.size(), 3);
    const QLineF line = pair->Line();
    QCOMPARE(line.p1(),
             QPointF(10 + d.node(0)->boundingRect().width() / 2, 10 + d.node(0)->boundingRect().height()));
    auto handleAt = [](const QPointF &p) { return QPointF(int(p.x() - 5.0), int(p.y() - 5.0)); };
    QCOMPARE(links[0]->pos(), handleAt(line.pointAt(0.2)));
    QCOMPARE(links[1]->pos(), handleAt(line.pointAt(0.8)));
    // A self-transition runs across its own box at mid-height.
    const QLineF self = edges[1]->Line();
    QCOMPARE(self.y1(), self.y2());
    QCOMPARE(self.x1(), 200.0);
    QCOMPARE(self.x2(), 200 + d.node(2)->boundingRect().width());
}

void TestStatusGraph::arrowheads_apexOnNodeWingsBack_data()
{
    QTest::addColumn<QPointF>("target");
    QTest::newRow("below") << QPointF(10, 300);
    QTest::newRow("above") << QPointF(10, -300);
    QTest::newRow("right") << QPointF(400, 10);
    QTest::newRow("left") << QPointF(-400, 10);
}

void TestStatusGraph::arrowheads_apexOnNodeWingsBack()
{
    QFETCH(QPointF, target);
    Diagram d({"A", "B"}, {{"go", "1", "2"}, {"back", "2", "1"}});
    d.transitions.positions = {QPointF(500, 500), QPointF(500, 500) + target};
    d.build();
    StatusEdge *edge = d.items<StatusEdge>(TagEdge).value(0);
    QVERIFY(edge);
    for (bool atStart : {false, true}) {
        const QPolygonF head = edge->Arrowhead(atStart);
        const QPointF apex = atStart ? edge->Line().p1() : edge->Line().p2();
        const QPointF back = atStart ? edge->Line().p2() : edge->Line().p1();
        QCOMPARE(head.size(), 3);
        QCOMPARE(head[0], apex);
        const QLineF toBack(apex, back);
        for (int w : {1, 2}) {
            const QLineF wing(apex, head[w]);
            QVERIFY(qAbs(wing.length() - 10.0) < 1e-6);
            const qreal angle = qMin(wing.angleTo(toBack), toBack.angleTo(wing));
            QVERIFY2(qAbs(angle - 18.0) < 1e-6, qPrintable(QString::number(angle)));
        }
    }
}

void TestStatusGraph::labels_markupEscaped_doubleClickToggles()
{
    const QString evil = QStringLiteral("<a href='http://x'>go</a>");
    Diagram d({evil, "B"}, {{evil, "1", "2"}});
    d.build();
    StatusLink *link = d.items<StatusLink>(TagLink).value(0);
    QCOMPARE(link->Label()->toPlainText(), evil);
    QVERIFY(!link->Label()->openExternalLinks());
    QCOMPARE(d.node(0)->Text()->toPlainText(), evil);

    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(d.page->Graph()->viewport(), &dbl);
    QVERIFY(!link->Label()->isVisible());
    QGraphicsSceneHoverEvent enter(QEvent::GraphicsSceneHoverEnter);
    d.page->Graph()->scene()->sendEvent(link, &enter);
    QVERIFY(link->Label()->isVisible());
    QGraphicsSceneHoverEvent leave(QEvent::GraphicsSceneHoverLeave);
    d.page->Graph()->scene()->sendEvent(link, &leave);
    QVERIFY(!link->Label()->isVisible());
    QCoreApplication::sendEvent(d.page->Graph()->viewport(), &dbl);
    QVERIFY(link->Label()->isVisible());
}

void TestStatusGraph::drag_onlyOwnNodes_positionRecorded()
{
    Diagram d({"A"}, {});
    d.build();
    StatusNode *node = d.node(0);
    QGraphicsScene *scene = d.page->Graph()->scene();
    auto drag = [&](const QPointF &from, const QPointF &to) {
        QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
        scene->sendEvent(node, &press);
        for (const QPointF &p : {from, to}) {
            QGraphicsSceneMouseEvent move(QEvent::GraphicsSceneMouseMove);
            move.setScenePos(p);
            scene->sendEvent(node, &move);
        }
    };
    // Nothing is editable until an own row is chosen.
    drag(QPointF(15, 15), QPointF(115, 65));
    QCOMPARE(node->pos(), QPointF(10, 10));

    QTreeWidgetItem *own = new QTreeWidgetItem(d.page->GetTree());
    own->setData(3, Qt::UserRole, 0);
    d.page->StateitemChange(own, nullptr); // no instance tab: the diagram is empty, editable is set
    QVERIFY(d.page->IsEditable());
    d.build();
    node = d.node(0);
    drag(QPointF(15, 15), QPointF(115, 65));
    QCOMPARE(node->pos(), QPointF(110, 60));
}

void TestStatusGraph::build_missingStateSource_reportsError()
{
    Diagram d({"A"}, {});
    UiReport::ClearLast();
    auto *row = new QTreeWidgetItem(d.page->GetTree());
    row->setData(0, Qt::UserRole, QStringLiteral("0-404"));
    d.page->Graph()->BuildGraph(row);
    QCOMPARE(UiReport::LastText(), QStringLiteral("SYSTEM ERROR:SGRAPH001"));
    QVERIFY(d.page->Graph()->scene()->items().isEmpty());
}

QTEST_MAIN(TestStatusGraph)
#include "tst_statusgraph.moc"

// The scene is far larger than the view: a new diagram must open on its items, also when it was
// built while the page was hidden and laid out later.
void TestStatusGraph::build_shownPage_itemsInViewWithoutScrolling()
{
    Diagram d({"open", "doing", "done"}, {{"start", "1", "2"}, {"finish", "2", "3"}});
    StatusGraph *view = d.page->Graph();
    auto allInView = [&d, view] {
        const QRectF seen = view->mapToScene(view->viewport()->rect()).boundingRect();
        for (QGraphicsItem *item : view->scene()->items())
            if (item->data(0).toInt() != TagChild && !seen.contains(item->sceneBoundingRect()))
                return false;
        return true;
    };
    d.build(); // while hidden
    d.page->resize(900, 700);
    d.page->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.page));
    d.page->LayoutAdjust();
    QCoreApplication::processEvents();
    QVERIFY(allInView());
    d.page->resize(700, 500);
    QCoreApplication::processEvents();
    QVERIFY(allInView());

    view->centerOn(1500, 1200); // scrolled away, then another row's diagram is built
    d.build();
    QCoreApplication::processEvents();
    QVERIFY(allInView());
    QVERIFY(view->sceneRect() == QRectF(0, 0, 2000, 1480));
}
