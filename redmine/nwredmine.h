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
class QTimer;

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
    // The reply error of a list that claims more items than a listing reads.
    static constexpr int PageCapError = 10001;
    // A listing reads at most this many pages of PageSize items: no real project comes near it, and
    // a server that claims millions is stopped there instead of being asked for ever.
    static constexpr int PageSize = 100;
    static constexpr int MaxPages = 100;
    // The reply errors of an answer abandoned as too large: more bytes than it may take, or more
    // nodes (elements, attributes, texts) than its tree may hold. The tracker did receive the request.
    static constexpr int ReplyTooLargeError = 10002;
    static constexpr int ReplyTooManyNodesError = 10003;
    // One answer: a page of 100 issues with long descriptions and many custom fields, or a group of
    // tens of thousands of users, stays well below these.
    static constexpr qint64 MaxReplyBytes = qint64(16) * 1024 * 1024;
    static constexpr qint64 MaxReplyNodes = 100000;
    // All the pages of a listing together, handed on as one answer: MaxPages full pages of items of
    // some 40 nodes. With every tracker document at its limit the trees stay near a gigabyte.
    static constexpr qint64 MaxListBytes = qint64(32) * 1024 * 1024;
    static constexpr qint64 MaxListNodes = 400000;

    explicit NwRedmine(QObject *parent = nullptr);
    ~NwRedmine() override;

    // The request operations. Each returns at once: true when the request went out (its reply, or
    // its failure, comes back through the dispatcher), false when it was refused or not sent. While
    // IsBusy() every one of them refuses, sends nothing and changes nothing.
    bool GetNewTrackers();
    bool GetTrackers();
    bool SearchUsers(const QString &name);
    bool GetGroupUsers(const QString &id);
    bool GetGroups();
    bool GetMemberships();
    bool GetIssueStatuses();
    bool GetVersions();
    bool GetIssueCategories();
    bool GetIssuePriorities();
    bool GetProjects();
    bool GetProjectDetail();
    bool PostProject(const QDomDocument &doc);
    bool PutProject(const QDomDocument &doc);
    bool GetProject();
    bool PostCategory(const QDomDocument &doc);
    bool PutCategory(const QString &id, const QDomDocument &doc);
    bool DeleteCategory(const QString &id);
    bool PostVersion(const QDomDocument &doc);
    bool PutVersion(const QString &id, const QDomDocument &doc);
    bool DeleteVersion(const QString &id);
    bool PostMembership(const QDomDocument &doc);
    bool PutMembership(const QString &id, const QDomDocument &doc);
    bool DeleteMembership(const QString &id);
    bool TestConnection();
    bool GetIssueList();
    bool GetSyncIssueList();
    bool PostIssue(const QDomDocument &doc);
    bool PutIssue(const QString &id, const QDomDocument &doc);
    bool DeleteIssue(const QString &id);
    bool GetIssue(const QString &id);
    // The issue with its sub-issues (kind 149 as well): what a delete would take with it.
    bool GetIssueChildren(const QString &id);

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
    // False after a failure whose request may have reached the tracker without its answer coming
    // back (a time-out, a dropped connection, a gateway's 502, 503 or 504): what it asked may well
    // have been done. True when the tracker answered (a refusal too) or nothing could have reached it.
    // A POST is never sent again by the network library on its own (see nwredmine_send.cpp).
    bool IsOutcomeKnown() const { return m_outcomeKnown; }
    // True when the last request was one that changes the tracker (POST, PUT, DELETE).
    bool IsChangeRequest() const { return m_changeRequest; }
    // Ignored while busy: the origin routes the reply of the running chain.
    void SetRequestOrigin(int origin);
    int GetRequestOrigin() const { return m_requestOrigin; }
    void SetPage(int page) { m_page = page; }
    int RequestKind() const { return m_requestKind; }
    const QList<RedminePair> &GetGroupList() const { return m_groupList; }
    const QList<RedminePair> &GetUserList() const { return m_userList; }
    const QList<RedminePair> &GetProjectList() const { return m_projectList; }
    QString GetErrorText(int mode, int error) const;
    // The one busy gate of every sender: true from a request until the dispatcher has taken its
    // reply. A sender that is refused shows "Under Process"; a second request would otherwise drop
    // the running chain.
    bool IsBusy() const;
    // Sets the origin and starts the connection test; false (origin unchanged) while busy.
    bool StartTest(int origin);
    // Called by the dispatcher for every posted reply kind: false for a reply that an abort dropped,
    // which must then not reach any page.
    bool TakeReply();
    // Drops the pending request: its reply, if it still comes, is never posted nor dispatched.
    void Abort();
    // True when the pending request is one of the tracker window's (not the Options page's, the
    // group dialog's or the user search's), which the window's Back, reset and close abort.
    bool IsWindowRequest() const;
    // Every request ends within this time, answered or not; a server that never answers or drips
    // its reply ends in the time-out's error. Tests shorten it.
    static void SetRequestTimeout(int ms);
    static int RequestTimeout();

public slots:
    void replyFinished(QNetworkReply *reply);

private:
    enum class Method { Get, Post, Put, Delete };
    enum class UserSource { Search, Group };

    enum class PageStep { Done, More, Capped, Crowded, Broken };

    bool send(int kind, Method method, const QString &path, const QDomDocument *doc = nullptr);
    void transmit(int kind, Method method, const QString &path, const QDomDocument *doc);
    bool sendPaged(int kind, const QString &path);
    bool sendIssuePage(int kind);
    void sendPage();
    PageStep takePage(const QByteArray &body);
    void timedOut();
    qint64 bodyLimit() const;
    bool takeBody(QNetworkReply *reply, bool finished);
    int parseBody(QDomDocument &doc, const QByteArray &body, qint64 maxNodes, qint64 *nodes = nullptr);
    bool sendProjectRequest(int kind, const QString &path);
    QString issueListPath() const;
    void setHeaders(QNetworkRequest &request, int kind);
    void SetApiKeyHeaders(QNetworkRequest &request);
    void SetBasicAuthHeaders(QNetworkRequest &request) const;
    void failLater(int error);
    void finish(int error, const QByteArray &body);
    int checkTrackerAnswer(QNetworkReply *reply, int error, const QByteArray &body);
    int parseInto(int slot, const QStringList &roots);
    void buildPairs(int slot, const QString &tag, QList<RedminePair> &list);
    void buildUsers(UserSource source);
    QString projectPath() const;

    QNetworkAccessManager *m_manager;
    int m_requestOrigin = 0;
    QString m_xmlErrorMessage;
    QByteArray m_apiKey;
    QByteArray m_replyBody;
    // The body of the pending answer, taken as it arrives and never past bodyLimit().
    QByteArray m_received;
    // Set when the pending answer passed a limit: it is abandoned, with this error.
    int m_refusal = 0;
    // The limit named by the last refusal's text: bytes or nodes.
    qint64 m_refusedLimit = 0;
    // The node limit of the answer in m_replyBody: a listing's pages count together.
    qint64 m_replyNodeLimit = MaxReplyNodes;
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
    // A request is out (or its failure is on its way) and has not ended yet.
    bool m_inFlight = false;
    bool m_awaitingDispatch = false;
    bool m_outcomeKnown = true;
    bool m_changeRequest = false;
    // Replies posted before an abort that the dispatcher has still to skip.
    int m_staleReplies = 0;
    QTimer *m_deadline;
    // The tracker answers lists 25 items at a time unless asked: a paged list is fetched page by
    // page and handed on once, whole.
    QString m_pagedPath;
    int m_pagedOffset = 0;
    int m_pagedCount = 0;
    qint64 m_pagedBytes = 0;
    qint64 m_pagedNodes = 0;
    QDomDocument m_pagedDoc;
};
