#pragma once

#include "core/globalvar.h"

#include <QWidget>

// The Redmine project page: the tracker project linked to the instance workspace and its settings.
class RedmineProject final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineProject(QWidget *parent = nullptr);

    void CheckUpdatedProject();
    void ReadNewProject();
    void ReadTrackers();
    void ReadTrackerStatus();
    void ReadMemberships();
    void ReadStatuses();
    void ReadVersions();
    void ReadCategories();
    void ReadPriorities();
    void ReadProject();
    void RequestProject();
    void SetEditorFont();
    void ShowError(int mode, int error);
};
