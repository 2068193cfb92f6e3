#include "views/schelist.h"

#include "ui_schelist.h"

#include <QHeaderView>
#include <QTreeWidget>

ScheList::ScheList(QWidget *parent) : QWidget(parent), m_ui(new Ui::ScheList)
{
    m_ui->setupUi(this);
    SetHeader(m_ui->TREE, HeaderTexts(m_ui->TREE),
              {"TBL_USER", "TBL_L", "TBL_S", "TBL_E", "TBL_S", "TBL_T", "TBL_C", "TBL_P", "TBL_E", "TBL_ID"});
    m_ui->TREE->setExpandsOnDoubleClick(false);
    connect(m_ui->TREE, &QTreeWidget::currentItemChanged, this, &ScheList::ItemChanged);
    connect(m_ui->TREE, &QTreeWidget::expanded, this, &ScheList::SchColumnAdjustment);
    connect(m_ui->TREE, &QTreeWidget::collapsed, this, &ScheList::SchColumnAdjustment);
}

ScheList::~ScheList()
{
    delete m_ui;
}

QTreeWidget *ScheList::Tree() const
{
    return m_ui->TREE;
}

QStringList ScheList::HeaderTexts(const QTreeWidget *tree)
{
    QStringList texts;
    for (int c = 0; c < tree->columnCount(); ++c)
        texts << tree->headerItem()->text(c);
    return texts;
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
    if (row != m_ui->TREE->currentItem()) {
        m_ui->TREE->setCurrentItem(row);
    } else {
        if (m_marked && m_markedColumn != group)
            setMark(row, m_markedColumn, false);
        setMark(row, group, true);
        m_marked = m_pending;
        m_markedColumn = m_pendingColumn;
        m_pending = false;
    }
    TreeColumnAdjustment(m_ui->TREE);
}

void ScheList::ClearMark()
{
    if (QTreeWidgetItem *row = m_ui->TREE->currentItem()) {
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
    TreeColumnAdjustment(m_ui->TREE);
}
