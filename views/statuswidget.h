#pragma once

#include "core/globalvar.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;
class StatusLink;
class TreeItemData;
namespace Ui
{
class StatusWidget;
}

// The diagram's scene; no behaviour of its own.
class StatusScene final : public QGraphicsScene
{
    Q_OBJECT
public:
    using QGraphicsScene::QGraphicsScene;
};

// The state-transition diagram of one state-page row.
class StatusGraph final : public QGraphicsView, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit StatusGraph(QWidget *parent = nullptr);

    void BuildGraph(QTreeWidgetItem *row);
    // The nodes of the state source's states and the arrows of the transition source's rows.
    void BuildFrom(TreeItemData *states, TreeItemData *transitions);
    void SavePositions(QTreeWidgetItem *row);
    void ClearGraph();
    static void ShowLabel(StatusLink *link, bool shown);
    bool LabelsShown() const { return m_labelsShown; }

protected:
    bool eventFilter(QObject *object, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void revealItems();

    StatusScene *m_scene;
    bool m_labelsShown = true;
    // A new diagram is brought into view until the user moves the view himself: the page is often
    // built while hidden and laid out afterwards.
    bool m_revealPending = false;
};

// The state page: the elements with a state source, and the diagram of the chosen one.
class StatusWidget final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit StatusWidget(QWidget *parent = nullptr);
    ~StatusWidget() override;

    void ClearStatus();
    void UpdateGraph();
    void LayoutAdjust();
    QTreeWidget *GetTree() const;
    StatusGraph *Graph() const { return m_graph; }

    bool IsEditable() const { return m_editable; }
    int OwnerId() const { return m_ownerKey.toInt(); }
    QTreeWidgetItem *CurrentElementItem() const { return m_elementItem; }

public slots:
    void StateitemChange(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void StateitemDblClicked(QTreeWidgetItem *item, int column);

private:
    Ui::StatusWidget *m_ui;
    StatusGraph *m_graph;
    bool m_editable = false;
    QString m_ownerKey;
    QTreeWidgetItem *m_remembered = nullptr;
    QTreeWidgetItem *m_elementItem = nullptr;
    bool m_clearing = false;
};
