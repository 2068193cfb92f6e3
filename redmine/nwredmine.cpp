#include "redmine/nwredmine.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace
{
// Ids and search names are values, never URL syntax: "&", "#", "/" or "?" in them must not change the
// path or the query.
QString asValue(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}
} // namespace

NwRedmine::NwRedmine(QObject *parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)),
      m_replyError(QNetworkReply::UnknownNetworkError)
{
    connect(m_manager, &QNetworkAccessManager::finished, this, &NwRedmine::replyFinished);
}

NwRedmine::~NwRedmine()
{
    // Replies torn down with the manager must not post into a dispatcher that may be gone.
    disconnect(m_manager, nullptr, this, nullptr);
}

QString NwRedmine::projectPath() const
{
    return QStringLiteral("/projects/") + QString::number(GetIntVar(RegSlot::IntRedmineProjectId));
}

// The project-scoped lists make no sense without a project: they are not sent, which also ends the
// chain that asked for them.
bool NwRedmine::sendProjectRequest(int kind, const QString &path)
{
    if (GetIntVar(RegSlot::IntRedmineProjectId) < 0)
        return false;
    send(kind, Method::Get, path);
    return true;
}

QString NwRedmine::issueListPath() const
{
    return QStringLiteral("/issues.xml?project_id=%1&status_id=*&offset=%2&limit=100")
        .arg(GetIntVar(RegSlot::IntRedmineProjectId))
        .arg(qint64(m_page) * 100);
}

void NwRedmine::GetNewTrackers()
{
    send(MsgCode::RedmineTrackers, Method::Get, QStringLiteral("/trackers.xml"));
}
void NwRedmine::GetTrackers()
{
    send(MsgCode::RedmineTrackerStatus, Method::Get, QStringLiteral("/trackers.xml"));
}
void NwRedmine::SearchUsers(const QString &name)
{
    sendPaged(MsgCode::RedmineUsers, QStringLiteral("/users.xml?name=") + asValue(name));
}
void NwRedmine::GetGroupUsers(const QString &id)
{
    send(MsgCode::RedmineGroupUsers, Method::Get,
         QStringLiteral("/groups/") + asValue(id) + QStringLiteral(".xml?include=users"));
}
void NwRedmine::GetGroups()
{
    send(MsgCode::RedmineGroups, Method::Get, QStringLiteral("/groups.xml"));
}
void NwRedmine::GetMemberships()
{
    if (GetIntVar(RegSlot::IntRedmineProjectId) >= 0)
        sendPaged(MsgCode::RedmineMemberships, projectPath() + QStringLiteral("/memberships.xml"));
}
void NwRedmine::GetIssueStatuses()
{
    send(MsgCode::RedmineIssueStatuses, Method::Get, QStringLiteral("/issue_statuses.xml"));
}
void NwRedmine::GetVersions()
{
    sendProjectRequest(MsgCode::RedmineVersions, projectPath() + QStringLiteral("/versions.xml"));
}
void NwRedmine::GetIssueCategories()
{
    sendProjectRequest(MsgCode::RedmineCategories, projectPath() + QStringLiteral("/issue_categories.xml"));
}
void NwRedmine::GetIssuePriorities()
{
    send(MsgCode::RedminePriorities, Method::Get, QStringLiteral("/enumerations/issue_priorities.xml"));
}
void NwRedmine::GetProjects()
{
    sendPaged(MsgCode::RedmineProjects, QStringLiteral("/projects.xml"));
}
void NwRedmine::GetProjectDetail()
{
    send(MsgCode::RedmineProjectDetail, Method::Get,
         projectPath() + QStringLiteral(".xml?include=trackers,issue_categories"));
}
void NwRedmine::PostProject(const QDomDocument &doc)
{
    send(MsgCode::RedmineProjectCreated, Method::Post, QStringLiteral("/projects.xml"), &doc);
}
void NwRedmine::PutProject(const QDomDocument &doc)
{
    send(MsgCode::RedmineProjectUpdated, Method::Put, projectPath() + QStringLiteral(".xml"), &doc);
}
void NwRedmine::GetProject()
{
    send(MsgCode::RedmineProjectReread, Method::Get, projectPath() + QStringLiteral(".xml"));
}
void NwRedmine::PostCategory(const QDomDocument &doc)
{
    send(MsgCode::RedmineCategoryCreated, Method::Post,
         projectPath() + QStringLiteral("/issue_categories.xml"), &doc);
}
void NwRedmine::PutCategory(const QString &id, const QDomDocument &doc)
{
    send(MsgCode::RedmineCategoryUpdated, Method::Put,
         QStringLiteral("/issue_categories/") + asValue(id) + QStringLiteral(".xml"), &doc);
}
void NwRedmine::DeleteCategory(const QString &id)
{
    send(MsgCode::RedmineCategoryDeleted, Method::Delete,
         QStringLiteral("/issue_categories/") + asValue(id) + QStringLiteral(".xml"));
}
void NwRedmine::PostVersion(const QDomDocument &doc)
{
    send(MsgCode::RedmineVersionCreated, Method::Post, projectPath() + QStringLiteral("/versions.xml"), &doc);
}
void NwRedmine::PutVersion(const QString &id, const QDomDocument &doc)
{
    send(MsgCode::RedmineVersionUpdated, Method::Put,
         QStringLiteral("/versions/") + asValue(id) + QStringLiteral(".xml"), &doc);
}
void NwRedmine::DeleteVersion(const QString &id)
{
    send(MsgCode::RedmineVersionDeleted, Method::Delete,
         QStringLiteral("/versions/") + asValue(id) + QStringLiteral(".xml"));
}
void NwRedmine::PostMembership(const QDomDocument &doc)
{
    send(MsgCode::RedmineMembershipCreated, Method::Post, projectPath() + QStringLiteral("/memberships.xml"),
         &doc);
}
void NwRedmine::PutMembership(const QString &id, const QDomDocument &doc)
{
    send(MsgCode::RedmineMembershipUpdated, Method::Put,
         QStringLiteral("/memberships/") + asValue(id) + QStringLiteral(".xml"), &doc);
}
void NwRedmine::DeleteMembership(const QString &id)
{
    send(MsgCode::RedmineMembershipDeleted, Method::Delete,
         QStringLiteral("/memberships/") + asValue(id) + QStringLiteral(".xml"));
}
void NwRedmine::TestConnection()
{
    send(MsgCode::RedmineTestConnection, Method::Get, QStringLiteral("/trackers.xml"));
}
void NwRedmine::GetIssueList()
{
    sendProjectRequest(MsgCode::RedmineIssuesPage, issueListPath());
}
void NwRedmine::GetSyncIssueList()
{
    sendProjectRequest(MsgCode::RedmineIssuesUpdatePage, issueListPath());
}
void NwRedmine::PostIssue(const QDomDocument &doc)
{
    send(MsgCode::RedmineIssueCreated, Method::Post, QStringLiteral("/issues.xml"), &doc);
}
void NwRedmine::PutIssue(const QString &id, const QDomDocument &doc)
{
    send(MsgCode::RedmineIssueUpdated, Method::Put,
         QStringLiteral("/issues/") + asValue(id) + QStringLiteral(".xml"), &doc);
}
void NwRedmine::DeleteIssue(const QString &id)
{
    send(MsgCode::RedmineIssueDeleted, Method::Delete,
         QStringLiteral("/issues/") + asValue(id) + QStringLiteral(".xml"));
}
void NwRedmine::GetIssue(const QString &id)
{
    send(MsgCode::RedmineIssueReread, Method::Get,
         QStringLiteral("/issues/") + asValue(id) + QStringLiteral(".xml"));
}
