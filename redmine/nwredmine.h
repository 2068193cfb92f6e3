#pragma once

#include "core/globalvar.h"

#include <QObject>

// The issue tracker's REST client: sends the requests of the Redmine pages and the options and
// parses the replies into the store's tracker documents.
class NwRedmine final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NwRedmine(QObject *parent = nullptr);

    void TestConnection();
    void GetTrackers();
    void GetProjectDetail();
    void GetMemberships();
    void GetVersions();
    void GetIssuePriorities();
    void GetIssueCategories();
    void GetGroups();
    void GetProjects();
    void GetIssueStatuses();

    // Each returns 0 on success, else the error number of the reply.
    int ParseTrackers();
    int ParseUsers();
    int ParseGroupUsers();
    int ParseGroups();
    int ParseMemberships();
    int ParseIssueStatuses();
    int ParseVersions();
    int ParseIssueCategories();
    int ParsePriorities();
    int ParseProjects();
    int ParseProject();
    int ParseIssues();

    int IsReplyError() const { return m_replyError; }
    void SetRequestOrigin(int origin) { m_requestOrigin = origin; }
    int GetRequestOrigin() const { return m_requestOrigin; }
    QString GetErrorText(int mode, int error) const;

public slots:
    void replyFinished();

private:
    int parseReply() const;

    // No reply has arrived yet, so there is nothing to parse.
    int m_replyError = 1;
    int m_requestOrigin = 0;
};
