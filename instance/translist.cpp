#include "instance/translist.h"

#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "instance/valuegrid.h"
#include "instance/valuetable.h"
#include "ui_translist.h"

TransList::TransList(QWidget *parent) : QDialog(parent), m_ui(new Ui::TransList)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_ui->FROMLIST->setHeaderLabel(tr("From State"));
    m_ui->TOLIST->setHeaderLabel(tr("To State"));
    connect(m_ui->OK, &QPushButton::clicked, this, &TransList::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &TransList::CancelProc);
    connect(m_ui->FROMLIST, &QTreeWidget::itemDoubleClicked, this, &TransList::DblClick);
    connect(m_ui->TOLIST, &QTreeWidget::itemDoubleClicked, this, &TransList::DblClick);
}

TransList::~TransList()
{
    delete m_ui;
}

QTreeWidget *TransList::chosenList() const
{
    return m_col == 1 ? m_ui->FROMLIST : m_ui->TOLIST;
}

void TransList::SetTransition(TreeItemData *record, const QStringList &states, ValueTable *table,
                              int usedRows, int row, int col)
{
    m_row = row;
    m_col = col;
    m_table = table;
    m_record = record;
    for (QTreeWidget *list : {m_ui->FROMLIST, m_ui->TOLIST}) {
        list->clear();
        list->setEnabled(false);
    }
    QList<QPair<int, int>> rows;
    for (int k = 0; k < usedRows; ++k)
        rows.append(qMakePair(table->StateIndex(k, 1), table->StateIndex(k, 2)));
    const bool fromEnd = col == 1;
    const int fixed = fromEnd ? rows.value(row).second : rows.value(row).first;
    QTreeWidget *fixedList = fromEnd ? m_ui->TOLIST : m_ui->FROMLIST;
    new QTreeWidgetItem(fixedList, QStringList(ValueGrid::StateText(states, QString::number(fixed))));
    QTreeWidget *list = chosenList();
    list->setEnabled(true);
    for (int j : ValueGrid::Choices(states, rows, row, fromEnd)) {
        auto *item = new QTreeWidgetItem(list, QStringList(states.at(j)));
        item->setData(0, Qt::UserRole, j);
    }
    if (list->topLevelItemCount() > 0) {
        list->setCurrentItem(list->topLevelItem(0));
        list->setFocus();
    }
}

void TransList::OkProc(bool)
{
    QTreeWidgetItem *item = chosenList()->currentItem();
    if (item && m_table && m_record) {
        m_table->SetStateCell(m_row, m_col, item->text(0), item->data(0, Qt::UserRole).toInt());
        m_record->GridChanged() = true;
        if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
            tab->SetModify();
    }
    accept();
}

void TransList::DblClick(QTreeWidgetItem *, int)
{
    OkProc();
}

void TransList::CancelProc(bool)
{
    reject();
}
