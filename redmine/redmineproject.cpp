#include "redmine/redmineproject.h"

RedmineProject::RedmineProject(QWidget *parent) : QWidget(parent) {}

void RedmineProject::CheckUpdatedProject() {}
void RedmineProject::ReadNewProject() {}
void RedmineProject::ReadTrackers() {}
void RedmineProject::ReadTrackerStatus() {}
void RedmineProject::ReadMemberships() {}
void RedmineProject::ReadStatuses() {}
void RedmineProject::ReadVersions() {}
void RedmineProject::ReadCategories() {}
void RedmineProject::ReadPriorities() {}
void RedmineProject::ReadProject() {}
void RedmineProject::RequestProject() {}
void RedmineProject::SetEditorFont() {}
void RedmineProject::ShowError(int, int) {}
