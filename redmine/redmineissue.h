#pragma once

#include "core/globalvar.h"

#include <QWidget>

// The Redmine issue page: the issues of the linked tracker project.
class RedmineIssue final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineIssue(QWidget *parent = nullptr);

    void ReadIssues();
    void ShowError(int mode, int error);
};
