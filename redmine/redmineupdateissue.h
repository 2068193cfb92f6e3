#pragma once

#include "core/globalvar.h"

#include <QWidget>

// The Redmine issue-update page: creates, changes and deletes issues from the class instances.
class RedmineUpdateIssue final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineUpdateIssue(QWidget *parent = nullptr);

    void CheckChangedItems();
    void ReadIssues();
    void ReadCreatedIssue();
    void ReadUpdatedIssue();
    void DeleteIssueDone();
    void RequestIssue();
    void ShowError(int mode, int error);
};
