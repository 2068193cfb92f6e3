#include "redmine/nwredmine.h"

NwRedmine::NwRedmine(QObject *parent) : QObject(parent) {}

int NwRedmine::parseReply() const
{
    return m_replyError != 0 ? m_replyError : 1;
}

QString NwRedmine::GetErrorText(int, int error) const
{
    return QStringLiteral("Redmine error:%1").arg(error);
}

void NwRedmine::TestConnection() {}
void NwRedmine::GetTrackers() {}
void NwRedmine::GetProjectDetail() {}
void NwRedmine::GetMemberships() {}
void NwRedmine::GetVersions() {}
void NwRedmine::GetIssuePriorities() {}
void NwRedmine::GetIssueCategories() {}
void NwRedmine::GetGroups() {}
void NwRedmine::GetProjects() {}
void NwRedmine::GetIssueStatuses() {}
void NwRedmine::replyFinished() {}

int NwRedmine::ParseTrackers()
{
    return parseReply();
}
int NwRedmine::ParseUsers()
{
    return parseReply();
}
int NwRedmine::ParseGroupUsers()
{
    return parseReply();
}
int NwRedmine::ParseGroups()
{
    return parseReply();
}
int NwRedmine::ParseMemberships()
{
    return parseReply();
}
int NwRedmine::ParseIssueStatuses()
{
    return parseReply();
}
int NwRedmine::ParseVersions()
{
    return parseReply();
}
int NwRedmine::ParseIssueCategories()
{
    return parseReply();
}
int NwRedmine::ParsePriorities()
{
    return parseReply();
}
int NwRedmine::ParseProjects()
{
    return parseReply();
}
int NwRedmine::ParseProject()
{
    return parseReply();
}
int NwRedmine::ParseIssues()
{
    return parseReply();
}
