#include "views/statuswidget.h"

#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "instance/deftab.h"
#include "shell/tab.h"
#include "ui_statuswidget.h"
#include "views/schelist.h"
#include "views/statusitems.h"

#include <QHash>
#include <QHeaderView>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace
{
TreeItemData *recordOf(QTreeWidgetItem *item)
{
    return item ? TreeItemData::FromData(item->data(0, Qt::UserRole)) : nullptr;
}
} // namespace

StatusGraph::StatusGraph(QWidget *parent) : QGraphicsView(parent), m_scene(new StatusScene(this))
{
    m_scene->setSceneRect(0, 0, 2000, 1480);
    setScene(m_scene);
    setCacheMode(CacheNone);
    setViewportUpdateMode(BoundingRectViewportUpdate);
    setRenderHint(QPainter::Antialiasing);
    setTransformationAnchor(AnchorUnderMouse);
    setResizeAnchor(AnchorViewCenter);
    installEventFilter(this);
}

void StatusGraph::ClearGraph()
{
    // Children before their parents.
    for (QGraphicsItem *item : m_scene->items(Qt::DescendingOrder)) {
        if (!item->parentItem())
            delete item;
    }
    m_labelsShown = true;
}

void StatusGraph::ShowLabel(StatusLink *link, bool shown)
{
    link->ShowLabel(shown);
}

bool StatusGraph::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_labelsShown = !m_labelsShown;
        for (QGraphicsItem *item : m_scene->items()) {
            if (item->data(0).toInt() == TagLink)
                ShowLabel(static_cast<StatusLink *>(item), m_labelsShown);
        }
    }
    return false;
}

void StatusGraph::revealItems()
{
    if (m_scene->items().isEmpty())
        return;
    const QRectF items = m_scene->itemsBoundingRect();
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
    ensureVisible(QRectF(items.topLeft(), QSizeF(1, 1)), 10, 10);
}

void StatusGraph::showEvent(QShowEvent *event)
{
    QGraphicsView::showEvent(event);
    if (m_revealPending)
        revealItems();
}

void StatusGraph::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    if (m_revealPending)
        revealItems();
}

void StatusGraph::mousePressEvent(QMouseEvent *event)
{
    m_revealPending = false;
    QGraphicsView::mousePressEvent(event);
}

void StatusGraph::wheelEvent(QWheelEvent *event)
{
    m_revealPending = false;
    QGraphicsView::wheelEvent(event);
}

void StatusGraph::keyPressEvent(QKeyEvent *event)
{
    m_revealPending = false;
    QGraphicsView::keyPressEvent(event);
}

void StatusGraph::BuildGraph(QTreeWidgetItem *row)
{
    ClearGraph();
    if (!row)
        return;
    auto *instance = GetObj<deftab>(RegSlot::ObjDeftab);
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    QTreeWidgetItem *stateItem =
        instance ? instance->FindTreeItem(row->data(0, Qt::UserRole).toString()) : nullptr;
    TreeItemData *states = recordOf(stateItem);
    if (!states) {
        UiReport::System(QStringLiteral("SYSTEM ERROR:SGRAPH001"));
        return;
    }
    if (!states->GridLoaded()) {
        instance->ReadInstanceCsv(states, states->name, states->GetAttr(idAttr));
    }
    TreeItemData *transitions = recordOf(instance->FindTreeItem(row->data(1, Qt::UserRole).toString()));
    if (!transitions) {
        UiReport::System(QStringLiteral("SYSTEM ERROR:SGRAPH002"));
        return;
    }
    if (!transitions->PosLoaded()) {
        // A refused file stays unread (read again next time), never taken for no points or rows.
        instance->ReadInstancePos(transitions, transitions->name, transitions->GetAttr(idAttr));
    }
    if (!transitions->GridLoaded()) {
        instance->ReadInstanceCsv(transitions, transitions->name, transitions->GetAttr(idAttr));
    }
    BuildFrom(states, transitions);
}

void StatusGraph::BuildFrom(TreeItemData *states, TreeItemData *transitions)
{
    const QString maxParam = GetStrVar(RegSlot::StrAttrMaxParam);
    QHash<int, StatusNode *> nodes;
    int seed = 10;
    const int stateCount = qMin(states->GetAttr(maxParam).toInt(), int(TreeItemData::GridSize));
    for (int i = 0; i < stateCount; ++i) {
        const QString name = states->Cell(i, 0);
        if (name.isEmpty())
            break;
        while (transitions->positions.size() < i + 1)
            transitions->positions.append(QPointF(-1, -1));
        auto *node = new StatusNode(this, name, transitions->positions[i], seed, i);
        seed = node->NextSeed();
        nodes.insert(i, node);
        node->setData(0, TagNode);
        m_scene->addItem(node);
    }

    QHash<QString, StatusEdge *> edges;
    QHash<QString, int> pairs; // 0: one handle, 1: both directions drawn
    const int transitionCount = qMin(transitions->GetAttr(maxParam).toInt(), int(TreeItemData::GridSize));
    for (int i = 0; i < transitionCount; ++i) {
        const QString name = transitions->Cell(i, 0);
        const int from = transitions->Cell(i, 1).toInt();
        const int to = transitions->Cell(i, 2).toInt();
        if (name.isEmpty() || from == 0 || to == 0)
            continue;
        const QString forward = QStringLiteral("%1_%2").arg(from - 1).arg(to - 1);
        const QString reverse = QStringLiteral("%1_%2").arg(to - 1).arg(from - 1);
        if (pairs.contains(reverse)) {
            if (pairs.value(reverse) != 0)
                continue;
            pairs[reverse] = 1;
            StatusEdge *edge = edges.value(reverse);
            edge->SetBothArrows();
            auto *link = new StatusLink(edge, name, 1);
            link->setData(0, TagLink);
            m_scene->addItem(link);
        } else if (!pairs.contains(forward)) {
            StatusNode *source = nodes.value(from - 1);
            StatusNode *target = nodes.value(to - 1);
            if (!source || !target)
                continue;
            auto *edge = new StatusEdge(source, target);
            edge->setData(0, TagEdge);
            m_scene->addItem(edge);
            edges.insert(forward, edge);
            pairs.insert(forward, 0);
            auto *link = new StatusLink(edge, name, 0);
            link->setData(0, TagLink);
            m_scene->addItem(link);
        }
    }
    m_revealPending = true;
    revealItems();
}

void StatusGraph::SavePositions(QTreeWidgetItem *row)
{
    if (!row || row->data(3, Qt::UserRole).toInt() == 1)
        return;
    auto *instance = GetObj<deftab>(RegSlot::ObjDeftab);
    TreeItemData *transitions =
        instance ? recordOf(instance->FindTreeItem(row->data(1, Qt::UserRole).toString())) : nullptr;
    if (!transitions)
        return;
    for (QGraphicsItem *item : m_scene->items()) {
        if (item->data(0).toInt() != TagNode)
            continue;
        const int index = static_cast<StatusNode *>(item)->Index();
        while (transitions->positions.size() < index + 1)
            transitions->positions.append(QPointF(-1, -1));
        transitions->positions[index] = item->pos();
    }
}

StatusWidget::StatusWidget(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::StatusWidget), m_graph(new StatusGraph)
{
    m_ui->setupUi(this);
    // The form's placeholder pages make way for the diagram.
    delete m_ui->tab;
    delete m_ui->tab_2;

    ScheList::SetHeader(m_ui->STATUS_TREE, ScheList::HeaderTexts(m_ui->STATUS_TREE),
                        {"TBL_USER", "TBL_S", "TBL_ID", "TBL_T", "TBL_ID"});
    connect(m_ui->STATUS_TREE, &QTreeWidget::currentItemChanged, this, &StatusWidget::StateitemChange);
    connect(m_ui->STATUS_TREE, &QTreeWidget::itemDoubleClicked, this, &StatusWidget::StateitemDblClicked);
    m_ui->TAB->addTab(m_graph, tr("State transition diagram"));
    m_ui->TAB->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    m_ui->TAB->tabBar()->setTabTextColor(0, Qt::white);
}

StatusWidget::~StatusWidget()
{
    delete m_ui;
}

QTreeWidget *StatusWidget::GetTree() const
{
    return m_ui->STATUS_TREE;
}

void StatusWidget::LayoutAdjust()
{
    int lower = 0;
    int upper = 0;
    m_ui->splitter->getRange(1, &lower, &upper);
    const int third = static_cast<int>(upper / 3.0);
    m_ui->splitter->setSizes({third, upper - third});
}

void StatusWidget::ClearStatus()
{
    m_clearing = true;
    m_graph->ClearGraph();
    m_ui->STATUS_TREE->clear();
    m_editable = false;
    m_remembered = nullptr;
    m_elementItem = nullptr;
    m_clearing = false;
}

void StatusWidget::UpdateGraph()
{
    if (m_ui->STATUS_TREE->topLevelItemCount() > 0 && m_ui->STATUS_TREE->currentItem() == m_remembered)
        m_graph->SavePositions(m_remembered);
}

void StatusWidget::StateitemChange(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (GetBoolVar(RegSlot::FlagBusy) || m_clearing)
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    if (previous)
        m_graph->SavePositions(previous);
    m_graph->BuildGraph(current);
    m_remembered = current;
    auto *instance = GetObj<deftab>(RegSlot::ObjDeftab);
    m_elementItem =
        current && instance ? instance->FindTreeItem(current->data(1, Qt::UserRole).toString()) : nullptr;
    if (TreeItemData *record = recordOf(m_elementItem))
        m_ownerKey = record->name;
    m_editable = current && current->data(3, Qt::UserRole).toInt() == 0;
    SetBoolVar(RegSlot::FlagBusy, false);
}

void StatusWidget::StateitemDblClicked(QTreeWidgetItem *item, int column)
{
    if (!item || (column != 2 && column != 4))
        return;
    auto *instance = GetObj<deftab>(RegSlot::ObjDeftab);
    QTreeWidgetItem *found = instance ? instance->FindTreeItem(item->text(column).mid(1)) : nullptr;
    if (!found)
        return;
    instance->SetCurrentUserItem(found);
    if (auto *tab = GetObj<Tab>(RegSlot::ObjTab))
        tab->SelectTab(GetStrVar(RegSlot::StrTabInstance));
}
