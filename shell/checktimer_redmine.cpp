#include "shell/checktimer.h"

#include "members/addgroup.h"
#include "redmine/nwredmine.h"
#include "redmine/redmineissue.h"
#include "redmine/redmineproject.h"
#include "redmine/redminerefproject.h"
#include "redmine/redmineupdateissue.h"
#include "redmine/rusers.h"
#include "shell/optproject.h"

// Every tracker reply passes through here: the client is asked to take the reply apart, and on
// success the page or dialog that waits for it goes on; on failure the waiting page shows the error
// and the chain of follow-up requests stops.
void CheckTimer::redmineReply(int kind)
{
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    // A reply that the window's Back dropped while it waited here reaches no page.
    if (!client || !client->TakeReply())
        return;
    auto *project = GetObj<RedmineProject>(RegSlot::ObjRedmineProject);
    auto *users = GetObj<RUsers>(RegSlot::ObjRUsers);
    auto *issues = GetObj<RedmineIssue>(RegSlot::ObjRedmineIssue);
    auto *update = GetObj<RedmineUpdateIssue>(RegSlot::ObjRedmineUpdateIssue);

    auto projectStep = [&](int error, int mode, auto &&onSuccess) {
        if (error == 0)
            onSuccess();
        else if (project)
            project->ShowError(mode, error);
    };
    auto usersStep = [&](int error) {
        if (!users)
            return;
        if (error == 0)
            users->ShowUsers();
        else
            users->ShowError(2, error);
    };
    auto updateStep = [&](int error, auto &&onSuccess) {
        if (error == 0)
            onSuccess();
        else if (update)
            update->ShowError(3, error);
    };

    switch (kind) {
    case MsgCode::RedmineTrackers:
        projectStep(client->ParseTrackers(), 0, [&] {
            if (project)
                project->ReadTrackers();
        });
        break;
    case MsgCode::RedmineTrackerStatus:
        projectStep(client->ParseTrackers(), 0, [&] {
            if (project)
                project->ReadTrackerStatus();
        });
        break;
    case MsgCode::RedmineUsers:
        usersStep(client->ParseUsers());
        break;
    case MsgCode::RedmineGroupUsers:
        usersStep(client->ParseGroupUsers());
        break;
    case MsgCode::RedmineGroups:
        redmineGroupsReply();
        break;
    case MsgCode::RedmineMemberships:
        projectStep(client->ParseMemberships(), 2, [&] {
            if (project)
                project->ReadMemberships();
            client->GetTrackers();
        });
        break;
    case MsgCode::RedmineIssueStatuses:
        projectStep(client->ParseIssueStatuses(), 0, [&] {
            if (project)
                project->ReadStatuses();
            client->GetProjectDetail();
        });
        break;
    case MsgCode::RedmineVersions:
        projectStep(client->ParseVersions(), 3, [&] {
            if (project)
                project->ReadVersions();
            client->GetMemberships();
        });
        break;
    case MsgCode::RedmineCategories:
        projectStep(client->ParseIssueCategories(), 3, [&] {
            if (project)
                project->ReadCategories();
            client->GetMemberships();
        });
        break;
    case MsgCode::RedminePriorities:
        projectStep(client->ParsePriorities(), 3, [&] {
            if (project)
                project->ReadPriorities();
            client->GetVersions();
        });
        break;
    case MsgCode::RedmineProjects:
        projectStep(client->ParseProjects(), 3, [&] {
            if (auto *pick = GetObj<RedmineRefProject>(RegSlot::ObjRedmineRefProject)) {
                pick->ShowProjects();
                pick->show();
            }
        });
        break;
    case MsgCode::RedmineProjectDetail:
        projectStep(client->ParseProject(), 1, [&] {
            if (project)
                project->ReadProject();
            client->GetIssuePriorities();
        });
        break;
    case MsgCode::RedmineProjectCreated:
        projectStep(client->ParseProject(), 3, [&] {
            if (project)
                project->ReadNewProject();
        });
        break;
    case MsgCode::RedmineProjectUpdated:
        projectStep(client->IsReplyError(), 3, [&] {
            if (project)
                project->RequestProject();
        });
        break;
    case MsgCode::RedmineProjectReread:
        projectStep(client->ParseProject(), 3, [&] {
            if (project)
                project->CheckUpdatedProject();
        });
        break;
    case MsgCode::RedmineCategoryCreated:
        projectStep(client->ParseIssueCategories(), 3, [&] { client->GetIssueCategories(); });
        break;
    case MsgCode::RedmineCategoryUpdated:
    case MsgCode::RedmineCategoryDeleted:
        projectStep(client->IsReplyError(), 3, [&] { client->GetIssueCategories(); });
        break;
    case MsgCode::RedmineVersionCreated:
        projectStep(client->ParseVersions(), 3, [&] { client->GetVersions(); });
        break;
    case MsgCode::RedmineVersionUpdated:
    case MsgCode::RedmineVersionDeleted:
        projectStep(client->IsReplyError(), 3, [&] { client->GetVersions(); });
        break;
    case MsgCode::RedmineMembershipCreated:
    case MsgCode::RedmineMembershipUpdated:
    case MsgCode::RedmineMembershipDeleted:
        projectStep(client->IsReplyError(), 3, [&] { client->GetMemberships(); });
        break;
    case MsgCode::RedmineTestConnection:
        redmineTestReply();
        break;
    case MsgCode::RedmineIssuesPage: {
        const int error = client->ParseIssues();
        if (issues) {
            if (error == 0)
                issues->ReadIssues();
            else
                issues->ShowError(3, error);
        }
        break;
    }
    case MsgCode::RedmineIssuesUpdatePage:
        updateStep(client->ParseIssues(), [&] {
            if (update)
                update->ReadIssues();
        });
        break;
    case MsgCode::RedmineIssueCreated:
        updateStep(client->ParseIssues(), [&] {
            if (update)
                update->ReadCreatedIssue();
        });
        break;
    case MsgCode::RedmineIssueUpdated:
        updateStep(client->IsReplyError(), [&] {
            if (update)
                update->RequestIssue();
        });
        break;
    case MsgCode::RedmineIssueDeleted:
        updateStep(client->IsReplyError(), [&] {
            if (update)
                update->DeleteIssueDone();
        });
        break;
    case MsgCode::RedmineIssueReread:
        updateStep(client->ParseIssues(), [&] {
            if (update)
                update->ReadUpdatedIssue();
        });
        break;
    default:
        break;
    }
}

void CheckTimer::redmineTestReply()
{
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    auto *options = GetObj<OptProject>(RegSlot::ObjOptProject);
    auto *group = GetObj<AddGroup>(RegSlot::ObjAddGroup);
    auto *project = GetObj<RedmineProject>(RegSlot::ObjRedmineProject);
    const int error = client->IsReplyError();
    switch (client->GetRequestOrigin()) {
    case RedmineOrigin::UrlCheck:
        if (!options)
            break;
        if (error == 0)
            options->ShowMessage(tr("this is Redmine URL"));
        else
            options->ShowReplyError(0, error);
        break;
    case RedmineOrigin::GroupDialog:
        if (error == 0) {
            if (group)
                group->SetResultText(QString());
            client->GetGroups();
        } else if (group) {
            group->SetRedmineResult(0, error);
        }
        break;
    case RedmineOrigin::OptionsUsers:
        if (error == 0) {
            if (options)
                options->ShowMessage(QString());
            client->GetGroups();
        } else if (options) {
            options->ShowReplyError(0, error);
        }
        break;
    case RedmineOrigin::ProjectRef:
        if (error == 0)
            client->GetProjects();
        else if (project)
            project->ShowError(0, error);
        break;
    case RedmineOrigin::ProjectLoad:
    case RedmineOrigin::ProjectLoad2:
        if (error == 0)
            client->GetGroups();
        else if (project)
            project->ShowError(0, error);
        break;
    case RedmineOrigin::LoginTest:
        if (error == 0)
            client->GetGroups();
        else if (options)
            options->ShowReplyError(0, error);
        break;
    default:
        break;
    }
}

void CheckTimer::redmineGroupsReply()
{
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    auto *options = GetObj<OptProject>(RegSlot::ObjOptProject);
    auto *group = GetObj<AddGroup>(RegSlot::ObjAddGroup);
    auto *project = GetObj<RedmineProject>(RegSlot::ObjRedmineProject);
    auto *users = GetObj<RUsers>(RegSlot::ObjRUsers);
    const int error = client->ParseGroups();
    auto showSearch = [users] {
        if (users) {
            users->InitSearch();
            users->show();
        }
    };
    switch (client->GetRequestOrigin()) {
    case RedmineOrigin::GroupDialog:
        if (error == 0) {
            if (group)
                group->SetResultText(QString());
            showSearch();
        } else if (group) {
            group->SetRedmineResult(2, error);
        }
        break;
    case RedmineOrigin::OptionsUsers:
        if (error == 0) {
            showSearch();
            if (options)
                options->ShowMessage(QString());
        } else if (options) {
            options->ShowReplyError(2, error);
        }
        break;
    case RedmineOrigin::ProjectLoad:
        if (error == 0)
            client->GetIssueStatuses();
        else if (project)
            project->ShowError(2, error);
        break;
    case RedmineOrigin::ProjectLoad2:
        if (error != 0 && project)
            project->ShowError(2, error);
        break;
    case RedmineOrigin::LoginTest:
        if (!options)
            break;
        if (error == 0)
            options->ShowMessage(tr("Auth is correct"));
        else
            options->ShowErrorText(tr("Auth login information is incorrect"));
        break;
    default:
        break;
    }
}
