#pragma once

#include "core/globalvar.h"

#include <QWidget>

// The Redmine issue-update page: creates, changes and deletes issues from the class instances.
class RedmineUpdateIssue final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineUpdateIssue(QWidget *parent = nullptr);
    ~RedmineUpdateIssue() override;

    void CheckChangedItems();
    void ReadIssues();
    void ReadCreatedIssue();
    void ReadUpdatedIssue();
    void DeleteIssueDone();
    void RequestIssue();
    void ShowError(int mode, int error);
    void ClearPage();
    void ShowPageState();
    void FillMappingTabs();
    void ResetTarget();
    void TargetShowProc();
    void SetReadOnly(bool on) { m_readOnly = on; }
    bool IsReadOnly() const { return m_readOnly; }

private:
    bool m_readOnly = false;
};
