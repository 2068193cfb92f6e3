#pragma once

#include "core/globalvar.h"

#include <QByteArray>
#include <QDomDocument>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QUrl>
#include <array>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

// (id, name) as the tracker gives them, in reply order.
using RedminePair = QPair<QString, QString>;

// The issue tracker's REST client: sends the requests of the Redmine pages and the options, keeps
// the last reply, parses it into the store's tracker documents and posts the request kind to the
// dispatcher, which routes the reply to the page that waits for it.
class NwRedmine final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    // The reply error of a body that is not the XML the request asked for.
    static constexpr int XmlErrorCode = 10000;

    explicit NwRedmine(QObject *parent = nullptr);
    ~NwRedmine() override;

    void GetNewTrackers();
    void GetTrackers();
    void SearchUsers(const QString &name);
    void GetGroupUsers(const QString &id);
    void GetGroups();
    void GetMemberships();
    void GetIssueStatuses();
    void GetVersions();
    void GetIssueCategories();
    void GetIssuePriorities();
    void GetProjects();
    void GetProjectDetail();
    void PostProject(const QDomDocument &doc);
    void PutProject(const QDomDocument &doc);
    void GetProject();
    void PostCategory(const QDomDocument &doc);
    void PutCategory(const QString &id, const QDomDocument &doc);
    void DeleteCategory(const QString &id);
    void PostVersion(const QDomDocument &doc);
    void PutVersion(const QString &id, const QDomDocument &doc);
    void DeleteVersion(const QString &id);
    void PostMembership(const QDomDocument &doc);
    void PutMembership(const QString &id, const QDomDocument &doc);
    void DeleteMembership(const QString &id);
    void TestConnection();
    void GetIssueList();
    void GetSyncIssueList();
    void PostIssue(const QDomDocument &doc);
    void PutIssue(const QString &id, const QDomDocument &doc);
    void DeleteIssue(const QString &id);
    void GetIssue(const QString &id);

    // Each returns 0 when its document now holds the reply, else the error number of the reply.
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
    void SetPage(int page) { m_page = page; }
    int RequestKind() const { return m_requestKind; }
    const QList<RedminePair> &GetGroupList() const { return m_groupList; }
    const QList<RedminePair> &GetUserList() const { return m_userList; }
    const QList<RedminePair> &GetProjectList() const { return m_projectList; }
    QString GetErrorText(int mode, int error) const;
    // True from a request until the dispatcher has taken its reply: a page sends nothing meanwhile,
    // since a second request would make the client drop the first chain.
    bool IsBusy() const;
    void ReplyTaken() { m_awaitingDispatch = false; }

public slots:
    void replyFinished(QNetworkReply *reply);

private:
    enum class Method { Get, Post, Put, Delete };
    enum class UserSource { Search, Group };

    void send(int kind, Method method, const QString &path, const QDomDocument *doc = nullptr);
    void sendPaged(int kind, const QString &path);
    void sendPage();
    bool takePage(const QByteArray &body);
    bool sendProjectRequest(int kind, const QString &path);
    QString issueListPath() const;
    void setHeaders(QNetworkRequest &request, int kind);
    void SetApiKeyHeaders(QNetworkRequest &request);
    void SetBasicAuthHeaders(QNetworkRequest &request) const;
    void failLater(int error);
    void finish(int error, const QByteArray &body);
    int checkTrackerAnswer(QNetworkReply *reply, int error, const QByteArray &body) const;
    int parseInto(int slot, const QStringList &roots);
    void buildPairs(int slot, const QString &tag, QList<RedminePair> &list);
    void buildUsers(UserSource source);
    QString projectPath() const;

    QNetworkAccessManager *m_manager;
    int m_requestOrigin = 0;
    QString m_xmlErrorMessage;
    QByteArray m_apiKey;
    QByteArray m_replyBody;
    QUrl m_requestUrl;
    const QByteArray m_userAgent = QByteArrayLiteral("Pelmorine");
    QByteArray m_requestBody;
    // No reply has arrived yet, so there is nothing to parse.
    int m_replyError;
    int m_requestKind = 0;
    QList<RedminePair> m_groupList;
    QList<RedminePair> m_userList;
    QList<RedminePair> m_projectList;
    std::array<QDomDocument, 11> m_docs;
    int m_page = 0;
    // A later request supersedes the pending one: only the reply of the latest serial is taken.
    quint32 m_serial = 0;
    QPointer<QNetworkReply> m_pending;
    bool m_awaitingDispatch = false;
    // The tracker answers lists 25 items at a time unless asked: a paged list is fetched page by
    // page and handed on once, whole.
    QString m_pagedPath;
    int m_pagedOffset = 0;
    QDomDocument m_pagedDoc;
};
