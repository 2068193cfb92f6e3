#include "views/statuswidget.h"

#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

StatusWidget::StatusWidget(QWidget *parent)
    : QWidget(parent), m_splitter(new QSplitter(this)), m_tree(new QTreeWidget)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
    // The states and transitions the instance tab lists; the diagram beside it.
    m_tree->setObjectName(QStringLiteral("STATUS_TREE"));
    m_tree->setColumnCount(5);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(new QWidget);
}

void StatusWidget::LayoutAdjust()
{
    int lower = 0;
    int upper = 0;
    m_splitter->getRange(1, &lower, &upper);
    const int third = static_cast<int>(upper / 3.0);
    m_splitter->setSizes({third, upper - third});
}

void StatusWidget::ClearStatus()
{
    m_tree->clear();
}
void StatusWidget::UpdateGraph() {}
