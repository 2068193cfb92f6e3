#pragma once

#include "core/globalvar.h"

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;
class QModelIndex;
namespace Ui
{
class ScheList;
}

// The schedule list: members with their class instances, their dates, progress and hours. It
// marks the row of a hovered chart bar with an icon in the bar's date column.
class ScheList final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Column {
        ColUser,
        ColLClass,
        ColSClass,
        ColValue,
        ColStart,
        ColTarget,
        ColCompletion,
        ColProgress,
        ColHours,
        ColID,
        ColumnCount
    };

    explicit ScheList(QWidget *parent = nullptr);
    ~ScheList() override;

    QTreeWidget *Tree() const;
    // The views' header rows: white text on dark grey, an icon :src/<name>.png per column.
    static void SetHeader(QTreeWidget *tree, const QStringList &texts, const QStringList &icons);
    // The column texts a form gives the tree's header.
    static QStringList HeaderTexts(const QTreeWidget *tree);
    // group: 0 planned, 1 completed, 2 progress bar.
    void MarkItem(QTreeWidgetItem *row, bool request, int group);
    void ClearMark();

public slots:
    void ItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void SchColumnAdjustment(const QModelIndex &index);

private:
    static void setMark(QTreeWidgetItem *row, int group, bool on);

    Ui::ScheList *m_ui;
    bool m_pending = false;
    int m_pendingColumn = 0;
    bool m_marked = false;
    int m_markedColumn = 0;
};
