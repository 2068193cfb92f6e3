#pragma once

#include "core/globalvar.h"

#include <QWidget>

class QSplitter;
class QTreeWidget;

// The state-transition page: the states and transitions of the current class instance.
class StatusWidget final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit StatusWidget(QWidget *parent = nullptr);

    void ClearStatus();
    void UpdateGraph();
    void LayoutAdjust();
    QTreeWidget *GetTree() const { return m_tree; }

private:
    QSplitter *m_splitter;
    QTreeWidget *m_tree;
};
