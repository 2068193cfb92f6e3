#include "views/statuswidget.h"

#include <QSplitter>
#include <QVBoxLayout>

StatusWidget::StatusWidget(QWidget *parent) : QWidget(parent), m_splitter(new QSplitter(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
    m_splitter->addWidget(new QWidget);
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

void StatusWidget::ClearStatus() {}
void StatusWidget::UpdateGraph() {}
