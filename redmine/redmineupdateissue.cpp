#include "redmine/redmineupdateissue.h"

RedmineUpdateIssue::RedmineUpdateIssue(QWidget *parent) : QWidget(parent)
{
    SetObj(RegSlot::ObjRedmineUpdateIssue, this);
}

RedmineUpdateIssue::~RedmineUpdateIssue()
{
    if (GetObj<RedmineUpdateIssue>(RegSlot::ObjRedmineUpdateIssue) == this)
        SetObj<RedmineUpdateIssue>(RegSlot::ObjRedmineUpdateIssue, nullptr);
}

// The synchronisation of issues is built with its own page; until then it answers every call.
void RedmineUpdateIssue::CheckChangedItems() {}
void RedmineUpdateIssue::ReadIssues() {}
void RedmineUpdateIssue::ReadCreatedIssue() {}
void RedmineUpdateIssue::ReadUpdatedIssue() {}
void RedmineUpdateIssue::DeleteIssueDone() {}
void RedmineUpdateIssue::RequestIssue() {}
void RedmineUpdateIssue::ShowError(int, int) {}
void RedmineUpdateIssue::ClearPage() {}
void RedmineUpdateIssue::ShowPageState() {}
void RedmineUpdateIssue::FillMappingTabs() {}
void RedmineUpdateIssue::ResetTarget() {}
void RedmineUpdateIssue::TargetShowProc() {}
