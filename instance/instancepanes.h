#pragma once

#include "core/globalvar.h"

#include <QWidget>

class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TreeItemData;

// The pane of a large-class instance on the instance tab's class area. Its fields come with the
// pane's own work; until then it shows nothing and commits nothing.
class InstanceLclass final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit InstanceLclass(QWidget *parent = nullptr);
    void SetMemberTree(QTreeWidget *tree) { m_memberTree = tree; }
    void SetLclass(QTreeWidgetItem *item) { m_current = item; }
    void UpdateLclass() {}
    void SaveLclass(QTreeWidgetItem *, int) {}
    void ClearCurrent() { m_current = nullptr; }
    void ClearPane() { m_current = nullptr; }
    void SplitterAdjust() {}
    QString GetOutVar() const;

private:
    QTreeWidget *m_memberTree = nullptr;
    QTreeWidgetItem *m_current = nullptr;
};

// The pane of a small-class instance and of its parameters.
class InstanceSclass final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit InstanceSclass(QTabWidget *classTab, QWidget *parent = nullptr);
    void SetSclass(QTreeWidgetItem *item) { m_current = item; }
    void SetClassItem(QTreeWidgetItem *item) { m_current = item; }
    void SetParam(QTreeWidgetItem *param, QTreeWidgetItem *, QTreeWidgetItem *sclass);
    void SetParamProperty(QTreeWidgetItem *, TreeItemData *, QTreeWidgetItem *) {}
    void UpdateSclass() {}
    void UpdateParam() {}
    void SaveSclass(QTreeWidgetItem *) {}
    void SaveExplanation(QTreeWidgetItem *, QTreeWidgetItem *) {}
    void ClearCurrent() { m_current = m_param = nullptr; }
    void ClearPane() { m_current = m_param = nullptr; }
    void SetEditLock(bool lock) { m_editLock = lock; }
    void SplitterAdjust() {}
    QTreeWidgetItem *GetCurrentItem() const { return m_current; }
    QString GetOutVar() const;

private:
    QTabWidget *m_classTab;
    QTreeWidgetItem *m_current = nullptr;
    QTreeWidgetItem *m_param = nullptr;
    bool m_editLock = false;
};
