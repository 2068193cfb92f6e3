#pragma once

#include "instance/instancelclass.h"
#include "instance/instancesclass.h"

#include <QWidget>

class QTreeWidgetItem;

// The value table of a parameter: the 30 x 30 grid of its small-class instance.
class ValueTable final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ValueTable(QWidget *parent = nullptr);
    void SetParam(QTreeWidgetItem *param) { m_shown = param; }
    void ReleaseTable() { m_shown = nullptr; }
    void CommitTable() {}
    void ClearTable() { m_shown = nullptr; }
    QTreeWidgetItem *GetShownRow() const { return m_shown; }

private:
    QTreeWidgetItem *m_shown = nullptr;
};
