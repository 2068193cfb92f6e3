#pragma once

#include "core/globalvar.h"

#include <QWidget>

// The Redmine window: the project, issue and issue-update pages of the linked tracker project.
class Redmine final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit Redmine(QWidget *parent = nullptr);

    void InitPages();
    void ResetTarget();
    void RefreshTarget();
    void ResetRedmine();
};
