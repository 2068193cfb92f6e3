#include "views/schelist.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

ScheList::ScheList(QWidget *parent) : QWidget(parent), m_tree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("ScheList"));
    resize(748, 380);
    setWindowTitle(tr("Form"));
    auto *layout = new QVBoxLayout(this);
    layout->setObjectName(QStringLiteral("verticalLayout"));
    layout->setContentsMargins(0, 0, 0, 0);
    m_tree->setObjectName(QStringLiteral("TREE"));
    m_tree->header()->setDefaultSectionSize(99);
    layout->addWidget(m_tree);

    const QStringList headers = {
        tr("UserName"),   tr("LClass"),         tr("SClass"),          tr("Value"),          tr("StartDate"),
        tr("TargetDate"), tr("CompletionDate"), tr("ProgressRate(%)"), tr("EstimatedHours"), tr("ID")};
    SetHeader(m_tree, headers,
              {"TBL_USER", "TBL_L", "TBL_S", "TBL_E", "TBL_S", "TBL_T", "TBL_C", "TBL_P", "TBL_E", "TBL_ID"});
    m_tree->setExpandsOnDoubleClick(false);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &ScheList::ItemChanged);
    connect(m_tree, &QTreeWidget::expanded, this, &ScheList::SchColumnAdjustment);
    connect(m_tree, &QTreeWidget::collapsed, this, &ScheList::SchColumnAdjustment);
}

void ScheList::SetHeader(QTreeWidget *tree, const QStringList &texts, const QStringList &icons)
{
    auto *header = new QTreeWidgetItem;
    for (int c = 0; c < texts.size(); ++c) {
        header->setText(c, texts[c]);
        header->setIcon(c, QIcon(QStringLiteral(":src/%1.png").arg(icons.value(c))));
        header->setForeground(c, QColor(QStringLiteral("#FFFFFF")));
        header->setBackground(c, QColor(QStringLiteral("#666666")));
    }
    tree->setHeaderItem(header);
}

void ScheList::setMark(QTreeWidgetItem *row, int group, bool on)
{
    static const char *const names[] = {"target", "completion", "progress"};
    if (!row || group < 0 || group > 2)
        return;
    row->setIcon(ColTarget + group,
                 on ? QIcon(QStringLiteral(":src/%1.png").arg(QLatin1String(names[group]))) : QIcon());
}

void ScheList::MarkItem(QTreeWidgetItem *row, bool request, int group)
{
    m_pending = request;
    m_pendingColumn = group;
    if (row != m_tree->currentItem()) {
        m_tree->setCurrentItem(row);
    } else {
        if (m_marked && m_markedColumn != group)
            setMark(row, m_markedColumn, false);
        setMark(row, group, true);
        m_marked = m_pending;
        m_markedColumn = m_pendingColumn;
        m_pending = false;
    }
    TreeColumnAdjustment(m_tree);
}

void ScheList::ClearMark()
{
    if (QTreeWidgetItem *row = m_tree->currentItem()) {
        for (int group = 0; group < 3; ++group)
            setMark(row, group, false);
    }
}

void ScheList::ItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (previous && m_marked) {
        setMark(previous, m_markedColumn, false);
        m_marked = false;
    }
    if (m_pending && current) {
        setMark(current, m_pendingColumn, true);
        m_marked = true;
        m_markedColumn = m_pendingColumn;
        m_pending = false;
    }
}

void ScheList::SchColumnAdjustment(const QModelIndex &)
{
    TreeColumnAdjustment(m_tree);
}
