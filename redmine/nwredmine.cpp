#include "redmine/nwredmine.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

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
      m_replyError(QNetworkReply::UnknownNetworkError), m_deadline(new QTimer(this))
{
    connect(m_manager, &QNetworkAccessManager::finished, this, &NwRedmine::replyFinished);
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, &NwRedmine::timedOut);
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
    return send(kind, Method::Get, path);
}

QString NwRedmine::issueListPath() const
{
    return QStringLiteral("/issues.xml?project_id=%1&status_id=*&offset=%2&limit=100")
        .arg(GetIntVar(RegSlot::IntRedmineProjectId))
        .arg(qint64(m_page) * 100);
}

bool NwRedmine::GetNewTrackers()
{
    return send(MsgCode::RedmineTrackers, Method::Get, QStringLiteral("/trackers.xml"));
}
bool NwRedmine::GetTrackers()
{
    return send(MsgCode::RedmineTrackerStatus, Method::Get, QStringLiteral("/trackers.xml"));
}
bool NwRedmine::SearchUsers(const QString &name)
{
    return sendPaged(MsgCode::RedmineUsers, QStringLiteral("/users.xml?name=") + asValue(name));
}
bool NwRedmine::GetGroupUsers(const QString &id)
{
    return send(MsgCode::RedmineGroupUsers, Method::Get,
                QStringLiteral("/groups/") + asValue(id) + QStringLiteral(".xml?include=users"));
}
bool NwRedmine::GetGroups()
{
    return send(MsgCode::RedmineGroups, Method::Get, QStringLiteral("/groups.xml"));
}
bool NwRedmine::GetMemberships()
{
    if (GetIntVar(RegSlot::IntRedmineProjectId) < 0)
        return false;
    return sendPaged(MsgCode::RedmineMemberships, projectPath() + QStringLiteral("/memberships.xml"));
}
bool NwRedmine::GetIssueStatuses()
{
    return send(MsgCode::RedmineIssueStatuses, Method::Get, QStringLiteral("/issue_statuses.xml"));
}
bool NwRedmine::GetVersions()
{
    return sendProjectRequest(MsgCode::RedmineVersions, projectPath() + QStringLiteral("/versions.xml"));
}
bool NwRedmine::GetIssueCategories()
{
    return sendProjectRequest(MsgCode::RedmineCategories,
                              projectPath() + QStringLiteral("/issue_categories.xml"));
}
bool NwRedmine::GetIssuePriorities()
{
    return send(MsgCode::RedminePriorities, Method::Get,
                QStringLiteral("/enumerations/issue_priorities.xml"));
}
bool NwRedmine::GetProjects()
{
    return sendPaged(MsgCode::RedmineProjects, QStringLiteral("/projects.xml"));
}
bool NwRedmine::GetProjectDetail()
{
    return send(MsgCode::RedmineProjectDetail, Method::Get,
                projectPath() + QStringLiteral(".xml?include=trackers,issue_categories"));
}
bool NwRedmine::PostProject(const QDomDocument &doc)
{
    return send(MsgCode::RedmineProjectCreated, Method::Post, QStringLiteral("/projects.xml"), &doc);
}
bool NwRedmine::PutProject(const QDomDocument &doc)
{
    return send(MsgCode::RedmineProjectUpdated, Method::Put, projectPath() + QStringLiteral(".xml"), &doc);
}
bool NwRedmine::GetProject()
{
    return send(MsgCode::RedmineProjectReread, Method::Get, projectPath() + QStringLiteral(".xml"));
}
bool NwRedmine::PostCategory(const QDomDocument &doc)
{
    return send(MsgCode::RedmineCategoryCreated, Method::Post,
                projectPath() + QStringLiteral("/issue_categories.xml"), &doc);
}
bool NwRedmine::PutCategory(const QString &id, const QDomDocument &doc)
{
    return send(MsgCode::RedmineCategoryUpdated, Method::Put,
                QStringLiteral("/issue_categories/") + asValue(id) + QStringLiteral(".xml"), &doc);
}
bool NwRedmine::DeleteCategory(const QString &id)
{
    return send(MsgCode::RedmineCategoryDeleted, Method::Delete,
                QStringLiteral("/issue_categories/") + asValue(id) + QStringLiteral(".xml"));
}
bool NwRedmine::PostVersion(const QDomDocument &doc)
{
    return send(MsgCode::RedmineVersionCreated, Method::Post, projectPath() + QStringLiteral("/versions.xml"),
                &doc);
}
bool NwRedmine::PutVersion(const QString &id, const QDomDocument &doc)
{
    return send(MsgCode::RedmineVersionUpdated, Method::Put,
                QStringLiteral("/versions/") + asValue(id) + QStringLiteral(".xml"), &doc);
}
bool NwRedmine::DeleteVersion(const QString &id)
{
    return send(MsgCode::RedmineVersionDeleted, Method::Delete,
                QStringLiteral("/versions/") + asValue(id) + QStringLiteral(".xml"));
}
bool NwRedmine::PostMembership(const QDomDocument &doc)
{
    return send(MsgCode::RedmineMembershipCreated, Method::Post,
                projectPath() + QStringLiteral("/memberships.xml"), &doc);
}
bool NwRedmine::PutMembership(const QString &id, const QDomDocument &doc)
{
    return send(MsgCode::RedmineMembershipUpdated, Method::Put,
                QStringLiteral("/memberships/") + asValue(id) + QStringLiteral(".xml"), &doc);
}
bool NwRedmine::DeleteMembership(const QString &id)
{
    return send(MsgCode::RedmineMembershipDeleted, Method::Delete,
                QStringLiteral("/memberships/") + asValue(id) + QStringLiteral(".xml"));
}
bool NwRedmine::TestConnection()
{
    return send(MsgCode::RedmineTestConnection, Method::Get, QStringLiteral("/trackers.xml"));
}
bool NwRedmine::GetIssueList()
{
    return sendIssuePage(MsgCode::RedmineIssuesPage);
}
bool NwRedmine::GetSyncIssueList()
{
    return sendIssuePage(MsgCode::RedmineIssuesUpdatePage);
}
bool NwRedmine::PostIssue(const QDomDocument &doc)
{
    return send(MsgCode::RedmineIssueCreated, Method::Post, QStringLiteral("/issues.xml"), &doc);
}
bool NwRedmine::PutIssue(const QString &id, const QDomDocument &doc)
{
    return send(MsgCode::RedmineIssueUpdated, Method::Put,
                QStringLiteral("/issues/") + asValue(id) + QStringLiteral(".xml"), &doc);
}
bool NwRedmine::DeleteIssue(const QString &id)
{
    return send(MsgCode::RedmineIssueDeleted, Method::Delete,
                QStringLiteral("/issues/") + asValue(id) + QStringLiteral(".xml"));
}
bool NwRedmine::GetIssue(const QString &id)
{
    return send(MsgCode::RedmineIssueReread, Method::Get,
                QStringLiteral("/issues/") + asValue(id) + QStringLiteral(".xml"));
}
bool NwRedmine::GetIssueChildren(const QString &id)
{
    return send(MsgCode::RedmineIssueReread, Method::Get,
                QStringLiteral("/issues/") + asValue(id) + QStringLiteral(".xml?include=children"));
}

bool NwRedmine::sendPaged(int kind, const QString &path)
{
    if (IsBusy())
        return false;
    m_requestKind = kind;
    m_pagedPath = path;
    m_pagedOffset = 0;
    m_pagedCount = 0;
    m_pagedBytes = 0;
    m_pagedNodes = 0;
    m_pagedDoc.clear();
    sendPage();
    return true;
}

void NwRedmine::sendPage()
{
    const QChar join = m_pagedPath.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?');
    transmit(m_requestKind, Method::Get,
             m_pagedPath + join + QStringLiteral("limit=%1&offset=%2").arg(PageSize).arg(m_pagedOffset),
             nullptr);
}

// The issue lists are paged by their pages; past the last page a listing may read, the request ends
// in the cap's error instead of going out.
bool NwRedmine::sendIssuePage(int kind)
{
    if (IsBusy() || GetIntVar(RegSlot::IntRedmineProjectId) < 0)
        return false;
    if (m_page < MaxPages)
        return send(kind, Method::Get, issueListPath());
    m_pagedPath.clear();
    m_requestKind = kind;
    m_inFlight = true;
    m_awaitingDispatch = false;
    m_outcomeKnown = true;
    m_changeRequest = false;
    ++m_serial;
    failLater(PageCapError);
    return true;
}
