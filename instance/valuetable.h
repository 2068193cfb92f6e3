#pragma once

#include "core/globalvar.h"
#include "instance/valuegrid.h"

#include <QStringList>
#include <QTableWidget>
#include <QVector>

class QTreeWidgetItem;
class TransList;
class TreeItemData;

// The value table of the instance tab: the 30 x 30 value grid of one small-class instance, with
// a cell per parameter, or for a transition small class one row per transition with its name
// and the From and To states chosen in TransList.
class ValueTable final : public QTableWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ValueTable(QWidget *parent = nullptr);
    ~ValueTable() override;

    // Shows the small class of a parameter row, committing the one shown before.
    void SetParam(QTreeWidgetItem *param);
    // Writes the shown cells into the record's grid; ReleaseTable also empties the table.
    void ReleaseTable();
    void CommitTable();
    void ClearTable();
    QTreeWidgetItem *GetShownRow() const { return m_shown; }

    // The state index a From or To cell holds (0 "None").
    int StateIndex(int row, int col) const;
    void SetStateCell(int row, int col, const QString &text, int index);

public slots:
    void TextChanged(int row, int col);
    void ValueCellClicked(int row, int col);

private:
    void SetNormalTable();
    void SetTransitionTable();
    void SetTransitionCell(int row, int col);
    void setLook(int row, int col, ValueGrid::CellKind kind, const QString &text);
    void writeBack(bool release);
    bool editable() const;
    int rowBytes(int row) const;
    TreeItemData *readGrid(TreeItemData *record) const;

    bool m_transitionMode = false;
    int m_usedRows = 0;
    QTreeWidgetItem *m_shown = nullptr;
    TreeItemData *m_record = nullptr;
    QStringList m_states;
    QVector<ValueGrid::CellKind> m_layout;
    TransList *m_transList;
    bool m_filling = false;
    bool m_editable = false;
    // The grid shown was refused: its empty cells are none of its values, never written into it.
    bool m_unread = false;
};
