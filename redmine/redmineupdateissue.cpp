#include "redmine/redmineupdateissue.h"

RedmineUpdateIssue::RedmineUpdateIssue(QWidget *parent) : QWidget(parent) {}

void RedmineUpdateIssue::CheckChangedItems() {}
void RedmineUpdateIssue::ReadIssues() {}
void RedmineUpdateIssue::ReadCreatedIssue() {}
void RedmineUpdateIssue::ReadUpdatedIssue() {}
void RedmineUpdateIssue::DeleteIssueDone() {}
void RedmineUpdateIssue::RequestIssue() {}
void RedmineUpdateIssue::ShowError(int, int) {}
