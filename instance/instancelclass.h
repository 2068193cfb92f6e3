#pragma once

#include "core/globalvar.h"
#include "instance/classpaneparts.h"

#include <QWidget>

namespace Ui
{
class InstanceLclass;
}
class NumEditor;
class QTreeWidget;
class QTreeWidgetItem;
class TreeItemData;

// The pane of a large-class instance on the instance tab's class area: its element, dates,
// scope, progress, estimated hours and output variable, its small classes and references.
class InstanceLclass final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit InstanceLclass(QWidget *parent = nullptr);
    ~InstanceLclass() override;

    void SetMemberTree(QTreeWidget *tree) { m_memberTree = tree; }
    void SetLclass(QTreeWidgetItem *item);
    void UpdateLclass();
    void SaveLclass(QTreeWidgetItem *item, int member);
    void ClearCurrent();
    void ClearPane();
    void SplitterAdjust();
    QString GetOutVar() const;
    void TakeSclassItem(QTreeWidgetItem *companion);
    void ReleaseRow(QTreeWidgetItem *row);
    QTreeWidgetItem *GetCurrentItem() const { return m_current; }

public slots:
    void ElementChanged(const QString &text);
    void SdateChanged(const QString &text);
    void TdateChanged(const QString &text);
    void CdateChanged(const QString &text);
    void ProgressRateChanged(int value);
    void EstimatedHoursChanged(int value);
    void OutVarChanged(const QString &text);
    void ScopeChanged(int index);
    void SdateBtnProc();
    void TdateBtnProc();
    void CdateBtnProc();
    void TreeDblClicked(QTreeWidgetItem *item, int column);

private:
    bool editable() const { return m_own && !m_memberCompleted && !m_completed; }
    bool guarded() const;
    void SetFlags(QTreeWidgetItem *item);
    void SetAccess();
    void SetLclassProperty(TreeItemData *record);
    void SetPropertyState();
    void SetMemberStartDate();
    void storeAttr(int slot, const QString &text);
    void emptyFields();

    Ui::InstanceLclass *m_ui;
    ClassPaneParts m_parts;
    NumEditor *m_explain;
    QTreeWidget *m_memberTree = nullptr;
    QTreeWidgetItem *m_current = nullptr;
    int m_member = 0;
    bool m_own = false;
    bool m_memberCompleted = false;
    bool m_completed = false;
    bool m_elementEditable = false;
    bool m_filling = false;
};
