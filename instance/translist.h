#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QStringList>

namespace Ui
{
class TransList;
}
class QTreeWidget;
class QTreeWidgetItem;
class TreeItemData;
class ValueTable;

// The dialog in which the owner of a transition small-class instance chooses the From or To
// state of one transition row of the value table.
class TransList final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit TransList(QWidget *parent = nullptr);
    ~TransList() override;

    // Prepares the lists for cell (row, col) of the table: the fixed end alone in its list, the
    // states still free for the chosen end in the other.
    void SetTransition(TreeItemData *record, const QStringList &states, ValueTable *table, int usedRows,
                       int row, int col);

public slots:
    void OkProc(bool checked = false);
    void DblClick(QTreeWidgetItem *item, int column);
    void CancelProc(bool checked = false);

private:
    QTreeWidget *chosenList() const;

    Ui::TransList *m_ui;
    int m_row = 0;
    int m_col = 0;
    TreeItemData *m_record = nullptr;
    ValueTable *m_table = nullptr;
};
