#include "redmine/redmineissue.h"

RedmineIssue::RedmineIssue(QWidget *parent) : QWidget(parent) {}

void RedmineIssue::ReadIssues() {}
void RedmineIssue::ShowError(int, int) {}
