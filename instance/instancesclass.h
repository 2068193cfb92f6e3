#pragma once

#include "core/globalvar.h"
#include "instance/classpaneparts.h"

#include <QWidget>

namespace Ui
{
class InstanceSclass;
}
class Calendar;
class NumEditor;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTreeWidgetItem;
class TreeItemData;

// The pane of a small-class instance and of its parameters: the small class's element, dates,
// scope, progress, hours, output variable and maximum parameter count, and per parameter its
// explanation and the state or transition the small class stands for.
class InstanceSclass final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit InstanceSclass(QWidget *parent = nullptr);
    ~InstanceSclass() override;

    void SetSclass(QTreeWidgetItem *item);
    void SetClassItem(QTreeWidgetItem *item);
    void SetParam(QTreeWidgetItem *param, QTreeWidgetItem *pageItem, QTreeWidgetItem *sclass);
    void SetParamProperty(QTreeWidgetItem *param, TreeItemData *record, QTreeWidgetItem *sclass);
    void UpdateSclass();
    void UpdateParam();
    void SaveSclass(QTreeWidgetItem *item);
    void SaveExplanation(QTreeWidgetItem *sclass, QTreeWidgetItem *param);
    void ClearCurrent();
    void ClearPane();
    void SetEditLock(bool lock) { m_editLock = lock; }
    void SplitterAdjust();
    void TakeParamItem(QTreeWidgetItem *pageItem);
    void ReleaseRow(QTreeWidgetItem *row);
    QTreeWidgetItem *GetCurrentItem() const { return m_current; }
    QTreeWidgetItem *GetCurrentParam() const { return m_param; }
    QString GetOutVar() const;
    Calendar *GetCalendar() const { return m_parts.calendar; }

public slots:
    void ElementChanged(const QString &text);
    void SdateChanged(const QString &text);
    void TdateChanged(const QString &text);
    void CdateChanged(const QString &text);
    void ProgressRateChanged(int value);
    void EstimatedHoursChanged(int value);
    void OutvarChanged(const QString &text);
    void MaxParamChanged(int value);
    void ScopeChanged(int index);
    void ParamStateEditChanged(const QString &text);
    void ParamTransitionChanged(const QString &text);
    void ChangeStateCbx(const QString &text);
    void SdateBtnProc();
    void TdateBtnProc();
    void CdateBtnProc();
    void TabChangeProc(int index);
    void ParamTreeChangeProc(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void ParamTreeClickedProc(QTreeWidgetItem *item, int column);
    void ParamTreeDblClickedProc(QTreeWidgetItem *item, int column);

private:
    bool editable() const { return m_own && !m_memberCompleted && !m_sclassCompleted; }
    bool paramEditable() const { return m_ownParam && !m_memberCompleted && !m_sclassCompleted; }
    bool guarded() const;
    void buildParamRows();
    void SetFlags(QTreeWidgetItem *sclass, bool *own);
    void showFields(TreeItemData *record);
    void fillParamTree(QTreeWidgetItem *sclass);
    void SetAccess();
    void applyAccess(bool own, bool atParam);
    void SetSclassProperty(TreeItemData *record, bool e);
    void showMaxParam(TreeItemData *record);
    void fillStateCombo(TreeItemData *srec);
    void shade(std::initializer_list<int> rows);
    void storeAttr(int slot, const QString &text);
    void emptyFields();
    void selectMemberRow(QTreeWidgetItem *pageItem);

    Ui::InstanceSclass *m_ui;
    ClassPaneParts m_parts;
    NumEditor *m_explain;
    NumEditor *m_paramExplain;
    QSpinBox *m_maxParam = nullptr;
    QLineEdit *m_stateName = nullptr;
    QLineEdit *m_transition = nullptr;
    QComboBox *m_stateCbx = nullptr;
    QLineEdit *m_fromState = nullptr;
    QLineEdit *m_toState = nullptr;
    QTreeWidgetItem *m_current = nullptr;
    QTreeWidgetItem *m_param = nullptr;
    QString m_noneText;
    int m_member = 0;
    int m_lastTab = 0;
    bool m_own = false;
    bool m_memberCompleted = false;
    bool m_lclassCompleted = false;
    bool m_sclassCompleted = true;
    bool m_elementEditable = false;
    bool m_ownParam = false;
    bool m_editLock = false;
    bool m_filling = false;
};
