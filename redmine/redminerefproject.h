#pragma once

#include "core/globalvar.h"

#include <QDialog>

// The pick dialog that lists the tracker's projects for linking one to the workspace.
class RedmineRefProject final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineRefProject(QWidget *parent = nullptr);

    void ShowProjects();
};
