#include "core/globalvar.h"
#include "core/postbox.h"
#include "core/xmlclass.h"
#include "cutproxy.h"
#include "redmine/nwredmine.h"
#include "redmineserver.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace TestSupport;
using namespace RedmineServer;

namespace
{
// Stands in for the dispatcher: keeps every code the client posts.
class PostRecorder final : public QObject, public PostBox
{
    Q_OBJECT
public:
    void PostMessage(int code) override
    {
        codes.append(code);
        emit posted(code);
    }
    QList<int> codes;
signals:
    void posted(int code);
};

// A one-shot HTTP peer on 127.0.0.1 that keeps each request as it arrived and answers every one
// with the same canned reply.
class CapturePeer final : public QObject
{
    Q_OBJECT
public:
    explicit CapturePeer(QByteArray reply) : m_reply(std::move(reply))
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] { take(s); });
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    QList<QByteArray> requests;

private:
    void take(QTcpSocket *s)
    {
        QByteArray &buf = m_buffers[s];
        buf += s->readAll();
        const int end = buf.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = buf.left(end).toLower();
        const int at = head.indexOf("content-length:");
        const int length = at < 0 ? 0 : head.mid(at + 15, head.indexOf('\r', at) - at - 15).trimmed().toInt();
        if (buf.size() < end + 4 + length)
            return;
        requests.append(buf);
        buf.clear();
        s->write(m_reply);
        s->disconnectFromHost();
    }
    QTcpServer m_server;
    QByteArray m_reply;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

// A peer on 127.0.0.1 that takes every request and never answers it, or answers a byte at a time,
// each long after the one before, or answers with a body that goes on as long as it is read.
class HostilePeer final : public QObject
{
    Q_OBJECT
public:
    enum Mode { Silent, Drip, Flood };
    explicit HostilePeer(Mode mode) : m_mode(mode)
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                ++connections;
                connect(s, &QTcpSocket::readyRead, s, [s] { s->readAll(); });
                if (m_mode == Drip)
                    drip(s);
                if (m_mode == Flood) {
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nConnection: close\r\n\r\n");
                    floodSocket(s, 4 * NwRedmine::MaxReplyBytes, &flooded, &floodEarly);
                }
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    int connections = 0;
    int dripped = 0;
    qint64 flooded = 0;
    bool floodEarly = false;

private:
    void drip(QTcpSocket *s)
    {
        const QByteArray reply =
            "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Length: 4000\r\n\r\n" +
            QByteArray(4000, ' ');
        auto *timer = new QTimer(s);
        connect(timer, &QTimer::timeout, s, [this, s, reply, at = 0]() mutable {
            if (at < reply.size() && s->state() == QAbstractSocket::ConnectedState) {
                s->write(reply.mid(at++, 1));
                ++dripped;
            }
        });
        timer->start(100);
    }
    Mode m_mode;
    QTcpServer m_server;
};

// Shortens every request's time-out for one test.
struct TimeoutScope {
    int saved = NwRedmine::RequestTimeout();
    explicit TimeoutScope(int ms) { NwRedmine::SetRequestTimeout(ms); }
    ~TimeoutScope() { NwRedmine::SetRequestTimeout(saved); }
};

QByteArray okReply(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nConnection: close\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

const QByteArray TrackersBody =
    "<?xml version=\"1.0\"?><trackers><tracker><id>1</id><name>Bug</name></tracker></trackers>";

// Fresh registry, store, dispatcher stand-in and client for one test.
struct Fixture {
    RegistryScope reg;
    xmlclass store;
    PostRecorder box;
    NwRedmine client;
    Fixture()
    {
        reg.SetObj(RegSlot::ObjXmlStore, &store);
        reg.SetIntVar(RegSlot::IntRedmineProjectId, -1);
        PostBox::Install(&box);
    }
    // Sends one request and waits for the kind it posts; -1 when nothing came. The client ends every
    // request by its own deadline (30 s), and the wait outlasts it: a busy machine changes no verdict.
    int run(const std::function<void()> &request, int waitMs = 120000)
    {
        QSignalSpy spy(&box, &PostRecorder::posted);
        request();
        if (!spy.wait(waitMs))
            return -1;
        // Taken as the dispatcher takes it: the client is free for the next request.
        client.TakeReply();
        return spy.takeFirst().at(0).toInt();
    }
    void useKey(const QString &key)
    {
        reg.SetBoolVar(RegSlot::FlagRedmineKeySet, true);
        reg.SetStrVar(RegSlot::StrRedmineKey, key);
    }
    // The tracker at url, reached with an API key.
    void useServer(const QString &url, const QString &key)
    {
        reg.SetStrVar(RegSlot::StrRedmineUrl, url);
        useKey(key);
    }
    void useLogin(const QString &login, const QString &password)
    {
        reg.SetBoolVar(RegSlot::FlagRedmineKeySet, false);
        reg.SetStrVar(RegSlot::StrRedmineLogin, login);
        reg.SetStrVar(RegSlot::StrRedminePassword, password);
    }
    QStringList names(int index, const QString &tag)
    {
        QStringList list;
        const int n = store.OpenDomTag(index, tag, 1);
        for (int i = 0; i < n; ++i)
            list << store.GetDomNode(i).firstChildElement(QStringLiteral("name")).text();
        store.DomDocClose();
        return list;
    }
};

QString text(const QDomElement &e, const char *tag)
{
    return e.firstChildElement(QLatin1String(tag)).text();
}

QDomDocument xmlDoc(const QString &xml)
{
    QDomDocument doc;
    doc.setContent(xml);
    return doc;
}

QDomDocument categoryDoc(const QString &name)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("issue_category"));
    QDomElement e = doc.createElement(QStringLiteral("name"));
    e.appendChild(doc.createTextNode(name));
    root.appendChild(e);
    doc.appendChild(root);
    return doc;
}
} // namespace

class tst_nwredmine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void connection_apiKey_testsUrlThenGroupsProveKey();
    void connection_wrongKeyWhenLoginRequired_isRefusedWithText();
    void basicAuth_loginTestFlow_provesAndRefuses();
    void lists_parseIntoStoreDocumentsAndLists();
    void categories_createUpdateDelete();
    void projectLists_withoutProject_sendNothing();
    void garbage_htmlRedirectClosedPortAndFile_giveErrors();
    void failedReply_keepsPreviousDocument();

    void headers_basicAuthEncodesJoinedUtf8Pair();
    void headers_connectionTestCarriesNoCredentials();
    void headers_bodyLengthAndKeyWithoutLineBreaks();
    void url_searchNameAndIdsStayValues();
    void request_whileBusy_refusedAndFirstEnds();
    void abort_dropsPendingAndPostedReply();
    void timeout_silentOrDrippingServer_endsInError_data();
    void timeout_silentOrDrippingServer_endsInError();
    void paging_serverClaimingMillions_stopsAtCap();
    void paging_fetchesFurtherPagesByTotal_data();
    void paging_fetchesFurtherPagesByTotal();
    void reply_pastItsLimit_abandonedWithClearText_data();
    void reply_pastItsLimit_abandonedWithClearText();
    void errorText_modesAndXmlError();
    void post_answerLostAfterWork_sentOnceOutcomeUnknown_data();
    void post_answerLostAfterWork_sentOnceOutcomeUnknown();

private:
    bool serverUp();
    QString m_skip;
    bool m_started = false;
};

void tst_nwredmine::initTestCase()
{
    QElapsedTimer clock;
    clock.start();
    start(&m_started, &m_skip);
    if (m_started)
        qInfo("Redmine answered after %lld ms", static_cast<long long>(clock.elapsed()));
}

void tst_nwredmine::cleanupTestCase()
{
    if (m_started)
        QCOMPARE(stop(), 0);
}

bool tst_nwredmine::serverUp()
{
    return m_started;
}

#define NEED_SERVER()                                                                                        \
    do {                                                                                                     \
        if (!serverUp())                                                                                     \
            PEL_SKIP_PEER(QStringLiteral("Redmine packages unavailable: ") + m_skip);                        \
    } while (0)

void tst_nwredmine::connection_apiKey_testsUrlThenGroupsProveKey()
{
    NEED_SERVER();
    Fixture f;
    f.useServer(baseUrl(), file(QStringLiteral("apikey")));
    f.client.SetRequestOrigin(RedmineOrigin::OptionsUsers);
    QCOMPARE(f.run([&] { f.client.TestConnection(); }), int(MsgCode::RedmineTestConnection));
    QCOMPARE(f.client.IsReplyError(), 0);
    QCOMPARE(f.client.GetRequestOrigin(), int(RedmineOrigin::OptionsUsers));

    QCOMPARE(f.run([&] { f.client.GetGroups(); }), int(MsgCode::RedmineGroups));
    QCOMPARE(f.client.ParseGroups(), 0);
    QCOMPARE(f.client.GetGroupList().size(), 1);
    QCOMPARE(f.client.GetGroupList().first().second, QStringLiteral("Pelmorine testers"));
}

void tst_nwredmine::connection_wrongKeyWhenLoginRequired_isRefusedWithText()
{
    NEED_SERVER();
    Fixture f;
    f.useServer(baseUrl(), QStringLiteral("0123456789abcdef0123456789abcdef01234567"));
    // The URL still answers as a tracker; the key is what the next request proves.
    QCOMPARE(f.run([&] { f.client.TestConnection(); }), int(MsgCode::RedmineTestConnection));
    QCOMPARE(f.client.IsReplyError(), 0);

    QCOMPARE(f.run([&] { f.client.GetGroups(); }), int(MsgCode::RedmineGroups));
    const int error = f.client.ParseGroups();
    QVERIFY(error != 0);
    QVERIFY(error != NwRedmine::XmlErrorCode);
    QCOMPARE(f.client.GetErrorText(2, error), QStringLiteral("check Api error(%1)").arg(error));
    QVERIFY(f.client.GetGroupList().isEmpty());

    QCOMPARE(f.run([&] { f.client.GetNewTrackers(); }), int(MsgCode::RedmineTrackers));
    QVERIFY(f.client.ParseTrackers() != 0);
}

void tst_nwredmine::basicAuth_loginTestFlow_provesAndRefuses()
{
    NEED_SERVER();
    Fixture f;
    f.reg.SetStrVar(RegSlot::StrRedmineUrl, baseUrl());
    f.useLogin(QStringLiteral("admin"), file(QStringLiteral("password")));
    f.client.SetRequestOrigin(RedmineOrigin::LoginTest);
    QCOMPARE(f.run([&] { f.client.TestConnection(); }), int(MsgCode::RedmineTestConnection));
    QCOMPARE(f.client.IsReplyError(), 0);
    QCOMPARE(f.run([&] { f.client.GetGroups(); }), int(MsgCode::RedmineGroups));
    QCOMPARE(f.client.ParseGroups(), 0);

    f.useLogin(QStringLiteral("admin"), QStringLiteral("not-the-password"));
    QCOMPARE(f.run([&] { f.client.GetGroups(); }), int(MsgCode::RedmineGroups));
    const int error = f.client.ParseGroups();
    QVERIFY(error != 0);
    QCOMPARE(f.client.GetErrorText(2, error), QStringLiteral("check basic author  error(%1)").arg(error));
}

void tst_nwredmine::lists_parseIntoStoreDocumentsAndLists()
{
    NEED_SERVER();
    Fixture f;
    f.useServer(baseUrl(), file(QStringLiteral("apikey")));
    const QStringList trackers{QStringLiteral("Bug"), QStringLiteral("Feature"), QStringLiteral("Support")};
    QCOMPARE(f.run([&] { f.client.GetNewTrackers(); }), int(MsgCode::RedmineTrackers));
    QCOMPARE(f.client.ParseTrackers(), 0);
    QCOMPARE(f.names(XmlIndex::RedmineFirst, QStringLiteral("tracker")), trackers);
    QDomDocument *registered = f.store.GetXmlDoc(XmlIndex::RedmineFirst);
    // The refill of kind 120 lands in the very document the store already holds.
    QCOMPARE(f.run([&] { f.client.GetTrackers(); }), int(MsgCode::RedmineTrackerStatus));
    QCOMPARE(f.client.ParseTrackers(), 0);
    QCOMPARE(f.store.GetXmlDoc(XmlIndex::RedmineFirst), registered);
    QCOMPARE(f.names(XmlIndex::RedmineFirst, QStringLiteral("tracker")), trackers);

    QCOMPARE(f.run([&] { f.client.GetIssueStatuses(); }), int(MsgCode::RedmineIssueStatuses));
    QCOMPARE(f.client.ParseIssueStatuses(), 0);
    QCOMPARE(f.names(XmlIndex::RedmineFirst + 4, QStringLiteral("issue_status")).first(),
             QStringLiteral("New"));

    QCOMPARE(f.run([&] { f.client.SearchUsers(QStringLiteral("Admin")); }), int(MsgCode::RedmineUsers));
    QCOMPARE(f.client.ParseUsers(), 0);
    QVERIFY(
        f.client.GetUserList().contains(RedminePair(QStringLiteral("1"), QStringLiteral("Redmine Admin"))));

    QCOMPARE(f.run([&] { f.client.GetGroups(); }), int(MsgCode::RedmineGroups));
    QCOMPARE(f.client.ParseGroups(), 0);
    const QString group = f.client.GetGroupList().value(0).first;
    QCOMPARE(f.run([&] { f.client.GetGroupUsers(group); }), int(MsgCode::RedmineGroupUsers));
    QCOMPARE(f.client.ParseGroupUsers(), 0);
    QCOMPARE(f.client.GetUserList(),
             QList<RedminePair>{RedminePair(QStringLiteral("1"), QStringLiteral("Redmine Admin"))});

    QCOMPARE(f.run([&] { f.client.GetProjects(); }), int(MsgCode::RedmineProjects));
    QCOMPARE(f.client.ParseProjects(), 0);
    const QString project = file(QStringLiteral("project"));
    QVERIFY(f.client.GetProjectList().contains(RedminePair(project, QStringLiteral("Pelmorine test"))));
}

void tst_nwredmine::categories_createUpdateDelete()
{
    NEED_SERVER();
    Fixture f;
    f.useServer(baseUrl(), file(QStringLiteral("apikey")));
    f.reg.SetIntVar(RegSlot::IntRedmineProjectId, file(QStringLiteral("project")).toInt());

    QCOMPARE(f.run([&] { f.client.GetProjectDetail(); }), int(MsgCode::RedmineProjectDetail));
    QCOMPARE(f.client.ParseProject(), 0);
    QCOMPARE(f.names(XmlIndex::RedmineFirst + 3, QStringLiteral("project")),
             {QStringLiteral("Pelmorine test")});

    // Named per run: another run at the same time works on the same project.
    const QString name = QStringLiteral("Vormen & \u00c4pfel %1").arg(QCoreApplication::applicationPid());
    QCOMPARE(f.run([&] { f.client.PostCategory(categoryDoc(name)); }), int(MsgCode::RedmineCategoryCreated));
    QCOMPARE(f.client.ParseIssueCategories(), 0);
    const QDomElement created = f.store.GetXmlDoc(XmlIndex::RedmineFirst + 1)->documentElement();
    const QString id = created.firstChildElement(QStringLiteral("id")).text();
    QVERIFY(!id.isEmpty());
    QCOMPARE(created.firstChildElement(QStringLiteral("name")).text(), name);

    const QString renamed = name + QStringLiteral(" renamed");
    QCOMPARE(f.run([&] { f.client.PutCategory(id, categoryDoc(renamed)); }),
             int(MsgCode::RedmineCategoryUpdated));
    QCOMPARE(f.client.IsReplyError(), 0);
    QCOMPARE(f.run([&] { f.client.GetIssueCategories(); }), int(MsgCode::RedmineCategories));
    QCOMPARE(f.client.ParseIssueCategories(), 0);
    QVERIFY(f.names(XmlIndex::RedmineFirst + 1, QStringLiteral("issue_category")).contains(renamed));

    QCOMPARE(f.run([&] { f.client.DeleteCategory(id); }), int(MsgCode::RedmineCategoryDeleted));
    QCOMPARE(f.client.IsReplyError(), 0);
    QCOMPARE(f.run([&] { f.client.GetIssueCategories(); }), int(MsgCode::RedmineCategories));
    QCOMPARE(f.client.ParseIssueCategories(), 0);
    QVERIFY(!f.names(XmlIndex::RedmineFirst + 1, QStringLiteral("issue_category")).contains(renamed));

    // Deleting it twice is a refusal the page sees, not a success.
    QCOMPARE(f.run([&] { f.client.DeleteCategory(id); }), int(MsgCode::RedmineCategoryDeleted));
    QVERIFY(f.client.IsReplyError() != 0);
}

void tst_nwredmine::projectLists_withoutProject_sendNothing()
{
    CapturePeer peer(okReply(TrackersBody));
    Fixture f;
    f.useServer(peer.url(), QStringLiteral("k"));
    QCOMPARE(f.run([&] { f.client.GetNewTrackers(); }), int(MsgCode::RedmineTrackers));
    for (auto request : {&NwRedmine::GetIssueList, &NwRedmine::GetSyncIssueList, &NwRedmine::GetMemberships,
                         &NwRedmine::GetVersions, &NwRedmine::GetIssueCategories})
        QCOMPARE(f.run([&] { (f.client.*request)(); }, 200), -1);
    QCOMPARE(f.client.RequestKind(), int(MsgCode::RedmineTrackers));
    QCOMPARE(peer.requests.size(), 1);

    f.reg.SetIntVar(RegSlot::IntRedmineProjectId, 7);
    f.client.SetPage(2);
    QCOMPARE(f.run([&] { f.client.GetSyncIssueList(); }), int(MsgCode::RedmineIssuesUpdatePage));
    QVERIFY(peer.requests.last().startsWith(
        "GET /issues.xml?project_id=7&status_id=*&offset=200&limit=100 HTTP/1.1\r\n"));
}

void tst_nwredmine::garbage_htmlRedirectClosedPortAndFile_giveErrors()
{
    NEED_SERVER();
    Fixture f;
    f.useKey(file(QStringLiteral("apikey")));
    // A page of the tracker's web interface: HTML with status 200 once logged in, a redirect to
    // the login page without credentials.
    f.reg.SetStrVar(RegSlot::StrRedmineUrl, baseUrl() + QStringLiteral("/projects?x="));
    QCOMPARE(f.run([&] { f.client.GetNewTrackers(); }), int(MsgCode::RedmineTrackers));
    QCOMPARE(f.client.ParseTrackers(), NwRedmine::XmlErrorCode);
    QCOMPARE(f.client.GetErrorText(3, f.client.IsReplyError()),
             QStringLiteral("received data is not xml format"));
    QCOMPARE(f.run([&] { f.client.TestConnection(); }), int(MsgCode::RedmineTestConnection));
    QVERIFY(f.client.IsReplyError() != 0);

    // A web server that is not a tracker answers the test with some other page.
    CapturePeer plain(okReply("<html><body>It works</body></html>"));
    f.reg.SetStrVar(RegSlot::StrRedmineUrl, plain.url());
    QCOMPARE(f.run([&] { f.client.TestConnection(); }), int(MsgCode::RedmineTestConnection));
    QCOMPARE(f.client.IsReplyError(), int(NwRedmine::XmlErrorCode));

    // A port held bound but not listening refuses every connection. A port only freed could be
    // taken meanwhile by another test's server, which would then answer.
    QTcpSocket closed;
    QVERIFY(closed.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
    const quint16 port = closed.localPort();
    f.reg.SetStrVar(RegSlot::StrRedmineUrl, QStringLiteral("http://127.0.0.1:%1").arg(port));
    QCOMPARE(f.run([&] { f.client.TestConnection(); }), int(MsgCode::RedmineTestConnection));
    const int refused = f.client.IsReplyError();
    QVERIFY(refused != 0);
    QCOMPARE(f.client.GetErrorText(0, refused),
             QStringLiteral("1.not connect 2.not URL(check Toole Option) error(%1)").arg(refused));

    writeFile(QDir::homePath() + QStringLiteral("/local/trackers.xml"), TrackersBody);
    f.reg.SetStrVar(RegSlot::StrRedmineUrl,
                    QUrl::fromLocalFile(QDir::homePath() + QStringLiteral("/local")).toString());
    QCOMPARE(f.run([&] { f.client.GetNewTrackers(); }), int(MsgCode::RedmineTrackers));
    QVERIFY(f.client.ParseTrackers() != 0);
}

void tst_nwredmine::failedReply_keepsPreviousDocument()
{
    CapturePeer peer(okReply(TrackersBody));
    Fixture f;
    f.useServer(peer.url(), QStringLiteral("k"));
    QCOMPARE(f.run([&] { f.client.GetNewTrackers(); }), int(MsgCode::RedmineTrackers));
    QCOMPARE(f.client.ParseTrackers(), 0);

    CapturePeer failing(
        "HTTP/1.1 500 Internal Server Error\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
    f.reg.SetStrVar(RegSlot::StrRedmineUrl, failing.url());
    QCOMPARE(f.run([&] { f.client.GetTrackers(); }), int(MsgCode::RedmineTrackerStatus));
    const int error = f.client.ParseTrackers();
    QVERIFY(error != 0);
    QCOMPARE(f.names(XmlIndex::RedmineFirst, QStringLiteral("tracker")), {QStringLiteral("Bug")});
    QCOMPARE(f.client.ParseTrackers(), error);

    // A redirect is no network error, yet nothing was done: it must not pass as success.
    CapturePeer moved("HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/login\r\nConnection: close\r\n"
                      "Content-Length: 0\r\n\r\n");
    f.reg.SetStrVar(RegSlot::StrRedmineUrl, moved.url());
    QCOMPARE(f.run([&] { f.client.DeleteIssue(QStringLiteral("3")); }), int(MsgCode::RedmineIssueDeleted));
    QVERIFY(f.client.IsReplyError() != 0);
}

void tst_nwredmine::headers_basicAuthEncodesJoinedUtf8Pair()
{
    CapturePeer peer(okReply(TrackersBody));
    Fixture f;
    f.reg.SetStrVar(RegSlot::StrRedmineUrl, peer.url());
    // Made-up credentials: a place marker in the login id and a letter outside ASCII.
    f.useLogin(QStringLiteral("ann%2"), QStringLiteral("p\u00e4ss"));
    QCOMPARE(f.run([&] { f.client.GetGroups(); }), int(MsgCode::RedmineGroups));
    const QByteArray expected =
        "\r\nAuthorization: Basic " + QByteArray("ann%2:p\xc3\xa4ss").toBase64() + "\r\n";
    QVERIFY2(peer.requests.last().contains(expected),
             "Authorization is not Basic of login:password in UTF-8");
    QVERIFY(!peer.requests.last().contains("X-Redmine-API-Key"));

    f.useLogin(QStringLiteral("ann"), QString());
    QCOMPARE(f.run([&] { f.client.GetGroups(); }), int(MsgCode::RedmineGroups));
    QVERIFY(
        peer.requests.last().contains("\r\nAuthorization: Basic " + QByteArray("ann:").toBase64() + "\r\n"));
}

void tst_nwredmine::headers_connectionTestCarriesNoCredentials()
{
    CapturePeer peer(okReply(TrackersBody));
    Fixture f;
    f.useServer(peer.url(), QStringLiteral("made-up-key"));
    QCOMPARE(f.run([&] { f.client.TestConnection(); }), int(MsgCode::RedmineTestConnection));
    f.useLogin(QStringLiteral("ann"), QStringLiteral("made-up"));
    QCOMPARE(f.run([&] { f.client.TestConnection(); }), int(MsgCode::RedmineTestConnection));
    QCOMPARE(peer.requests.size(), 2);
    for (const QByteArray &r : qAsConst(peer.requests)) {
        QVERIFY(r.startsWith("GET /trackers.xml HTTP/1.1\r\n"));
        QVERIFY(!r.contains("Authorization"));
        QVERIFY(!r.contains("X-Redmine-API-Key"));
        QVERIFY(r.contains("\r\nUser-Agetn: Pelmorine\r\n"));
        QVERIFY(r.contains("\r\nX-Custom-User-Agent: Pelmorine\r\n"));
    }
    QCOMPARE(f.client.IsReplyError(), 0);
}

void tst_nwredmine::headers_bodyLengthAndKeyWithoutLineBreaks()
{
    CapturePeer peer("HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n");
    Fixture f;
    f.useServer(peer.url(), QStringLiteral("abc123\r\nX-Injected: 1\r\n"));
    f.reg.SetIntVar(RegSlot::IntRedmineProjectId, 4);
    const QDomDocument doc = categoryDoc(QStringLiteral("\u00c4pfel"));
    QCOMPARE(f.run([&] { f.client.PutProject(doc); }), int(MsgCode::RedmineProjectUpdated));
    QCOMPARE(f.client.IsReplyError(), 0);
    const QByteArray put = peer.requests.last();
    QVERIFY(put.startsWith("PUT /projects/4.xml HTTP/1.1\r\n"));
    QVERIFY(put.contains("\r\nContent-Length: " + QByteArray::number(doc.toByteArray(1).size()) + "\r\n"));
    QVERIFY(put.contains("\r\nContent-Type: application/xml\r\n"));
    QVERIFY(put.endsWith(doc.toByteArray(1)));
    QVERIFY(put.contains("\r\nX-Redmine-API-Key: abc123X-Injected: 1\r\n"));
    QVERIFY(!put.contains("\r\nX-Injected"));

    QCOMPARE(f.run([&] { f.client.DeleteVersion(QStringLiteral("9")); }),
             int(MsgCode::RedmineVersionDeleted));
    QVERIFY(peer.requests.last().startsWith("DELETE /versions/9.xml HTTP/1.1\r\n"));
    QVERIFY(peer.requests.last().contains("\r\nContent-Length: 0\r\n"));
}

void tst_nwredmine::url_searchNameAndIdsStayValues()
{
    CapturePeer peer(okReply("<users/>"));
    Fixture f;
    f.useServer(peer.url(), QStringLiteral("k"));
    QCOMPARE(f.run([&] { f.client.SearchUsers(QStringLiteral("Ann & Lee#x=1")); }),
             int(MsgCode::RedmineUsers));
    QVERIFY2(peer.requests.last().startsWith(
                 "GET /users.xml?name=Ann%20%26%20Lee%23x%3D1&limit=100&offset=0 HTTP/1.1\r\n"),
             peer.requests.last().left(60).constData());
    QCOMPARE(f.run([&] { f.client.GetGroupUsers(QStringLiteral("../1?x")); }),
             int(MsgCode::RedmineGroupUsers));
    QVERIFY2(peer.requests.last().startsWith("GET /groups/..%2F1%3Fx.xml?include=users HTTP/1.1\r\n"),
             peer.requests.last().left(60).constData());
    // A users reply to a group request is not the group's users.
    QCOMPARE(f.client.ParseGroupUsers(), int(NwRedmine::XmlErrorCode));
}

// One request at a time: a second sender is refused, changes nothing of the running request (not
// even its origin), and the first reply is the one posted.
void tst_nwredmine::request_whileBusy_refusedAndFirstEnds()
{
    CapturePeer peer(okReply(TrackersBody));
    Fixture f;
    f.useServer(peer.url(), QStringLiteral("k"));
    f.client.SetRequestOrigin(RedmineOrigin::ProjectLoad);
    QSignalSpy posted(&f.box, &PostRecorder::posted);
    QVERIFY(f.client.TestConnection());
    QVERIFY(f.client.IsBusy());
    QVERIFY(!f.client.GetNewTrackers());
    QVERIFY(!f.client.StartTest(RedmineOrigin::LoginTest));
    f.client.SetRequestOrigin(RedmineOrigin::UrlCheck);
    QVERIFY(!f.client.SearchUsers(QStringLiteral("x")));
    QCOMPARE(f.client.RequestKind(), int(MsgCode::RedmineTestConnection));
    QCOMPARE(f.client.GetRequestOrigin(), int(RedmineOrigin::ProjectLoad));
    QVERIFY(posted.wait(120000));
    // Posted but not yet taken by the dispatcher: still busy.
    QVERIFY(f.client.IsBusy());
    QVERIFY(!f.client.GetGroups());
    QTest::qWait(200);
    QCOMPARE(f.box.codes, QList<int>{MsgCode::RedmineTestConnection});
    QCOMPARE(peer.requests.size(), 1);
    QVERIFY(f.client.TakeReply());
    QCOMPARE(f.client.IsReplyError(), 0);
    QCOMPARE(f.run([&] { f.client.GetGroups(); }), int(MsgCode::RedmineGroups));
}

// Back drops the pending request and a reply already posted: the client is free at once and the
// dispatcher skips the dropped reply.
void tst_nwredmine::abort_dropsPendingAndPostedReply()
{
    HostilePeer silent(HostilePeer::Silent);
    Fixture f;
    f.useServer(silent.url(), QStringLiteral("k"));
    f.reg.SetIntVar(RegSlot::IntRedmineProjectId, 3);
    QVERIFY(f.client.GetVersions());
    QVERIFY(f.client.IsWindowRequest());
    QTRY_COMPARE_WITH_TIMEOUT(silent.connections, 1, 120000);
    f.client.Abort();
    QVERIFY(!f.client.IsBusy());
    QTest::qWait(200);
    QVERIFY(f.box.codes.isEmpty());

    CapturePeer peer(okReply(TrackersBody));
    f.reg.SetStrVar(RegSlot::StrRedmineUrl, peer.url());
    QSignalSpy posted(&f.box, &PostRecorder::posted);
    QVERIFY(f.client.GetNewTrackers());
    QVERIFY(posted.wait(120000));
    f.client.Abort();
    QVERIFY(!f.client.IsBusy());
    QVERIFY(!f.client.TakeReply());
    QCOMPARE(f.run([&] { f.client.GetTrackers(); }), int(MsgCode::RedmineTrackerStatus));
    QCOMPARE(f.client.ParseTrackers(), 0);

    // Requests of the Options page, the group dialog and the user search are not the window's.
    f.client.SetRequestOrigin(RedmineOrigin::LoginTest);
    QVERIFY(f.client.TestConnection());
    QVERIFY(!f.client.IsWindowRequest());
    f.client.Abort();
    f.client.SetRequestOrigin(RedmineOrigin::ProjectRef);
    QVERIFY(f.client.TestConnection());
    QVERIFY(f.client.IsWindowRequest());
    f.client.Abort();
}

void tst_nwredmine::timeout_silentOrDrippingServer_endsInError_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("never answers") << int(HostilePeer::Silent);
    QTest::newRow("drips") << int(HostilePeer::Drip);
}

void tst_nwredmine::timeout_silentOrDrippingServer_endsInError()
{
    QFETCH(int, mode);
    HostilePeer peer(static_cast<HostilePeer::Mode>(mode));
    Fixture f;
    // Long enough for several drips even when a busy machine is slow to connect; the drip's
    // bytes must not push the deadline on.
    TimeoutScope shortTimeout(3000);
    f.useServer(peer.url(), QStringLiteral("k"));
    QElapsedTimer clock;
    clock.start();
    // Below the client's usual deadline of 30 s, which would end a request that its short one
    // does not; the margin above 3 s is for a busy machine.
    QCOMPARE(f.run([&] { f.client.GetIssueStatuses(); }, 28000), int(MsgCode::RedmineIssueStatuses));
    QVERIFY2(clock.elapsed() >= 2700 && clock.elapsed() < 28000,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(f.client.IsReplyError(), int(QNetworkReply::TimeoutError));
    QCOMPARE(f.client.ParseIssueStatuses(), int(QNetworkReply::TimeoutError));
    QCOMPARE(f.client.GetErrorText(0, f.client.IsReplyError()),
             QStringLiteral("1.not connect 2.not URL(check Toole Option) error(4)"));
    QVERIFY(!f.client.IsBusy());
    if (mode == HostilePeer::Drip)
        QVERIFY(peer.dripped > 3);
}

// A server that claims a hundred million items is asked for the cap's pages and no more; the list
// ends in the cap's message. The issue lists, paged by their pages, stop at the same cap.
void tst_nwredmine::paging_serverClaimingMillions_stopsAtCap()
{
    QByteArray body = "<projects total_count=\"100000000\" limit=\"100\">";
    for (int i = 0; i < NwRedmine::PageSize; ++i)
        body += "<project><id>" + QByteArray::number(i + 1) + "</id><name>p</name></project>";
    body += "</projects>";
    CapturePeer peer(okReply(body));
    Fixture f;
    f.useServer(peer.url(), QStringLiteral("k"));
    QCOMPARE(f.run([&] { f.client.GetProjects(); }, 60000), int(MsgCode::RedmineProjects));
    QTest::qWait(100);
    QCOMPARE(f.box.codes, QList<int>{MsgCode::RedmineProjects});
    QCOMPARE(peer.requests.size(), NwRedmine::MaxPages);
    QVERIFY(peer.requests.last().startsWith("GET /projects.xml?limit=100&offset=9900 "));
    QCOMPARE(f.client.ParseProjects(), int(NwRedmine::PageCapError));
    QCOMPARE(f.client.GetErrorText(3, NwRedmine::PageCapError),
             QStringLiteral("the tracker lists more than 10000 items: the list stops there"));
    QVERIFY(f.client.GetProjectList().isEmpty());

    f.reg.SetIntVar(RegSlot::IntRedmineProjectId, 7);
    f.client.SetPage(NwRedmine::MaxPages - 1);
    QCOMPARE(f.run([&] { f.client.GetIssueList(); }), int(MsgCode::RedmineIssuesPage));
    QVERIFY(peer.requests.last().contains("&offset=9900&limit=100 "));
    f.client.SetPage(NwRedmine::MaxPages);
    QCOMPARE(f.run([&] { f.client.GetIssueList(); }), int(MsgCode::RedmineIssuesPage));
    QCOMPARE(peer.requests.size(), NwRedmine::MaxPages + 1);
    QCOMPARE(f.client.IsReplyError(), int(NwRedmine::PageCapError));
}

void tst_nwredmine::paging_fetchesFurtherPagesByTotal_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("total");
    QTest::addColumn<QStringList>("offsets");
    QTest::addColumn<int>("listed");
    QTest::newRow("none") << 0 << 0 << QStringList{"0"} << 0;
    QTest::newRow("exactly one page") << 25 << 25 << QStringList{"0"} << 25;
    QTest::newRow("more than one page") << 25 << 30 << QStringList{"0", "25"} << 50;
    QTest::newRow("no total") << 3 << -1 << QStringList{"0"} << 3;
}

// The tracker answers 25 items unless asked otherwise: every page is fetched, and the kind is posted
// once, with the pages joined. The peer answers each page alike, so the pages are counted, not read.
void tst_nwredmine::paging_fetchesFurtherPagesByTotal()
{
    QFETCH(int, items);
    QFETCH(int, total);
    QFETCH(QStringList, offsets);
    QFETCH(int, listed);
    QByteArray body = total < 0 ? "<projects>"
                                : "<projects total_count=\"" + QByteArray::number(total) + "\" limit=\"25\">";
    for (int i = 0; i < items; ++i)
        body += "<project><id>" + QByteArray::number(i + 1) + "</id><name>p</name></project>";
    body += "</projects>";
    CapturePeer peer(okReply(body));
    Fixture f;
    f.useServer(peer.url(), QStringLiteral("k"));
    QCOMPARE(f.run([&] { f.client.GetProjects(); }), int(MsgCode::RedmineProjects));
    QTest::qWait(100);
    QCOMPARE(f.box.codes, QList<int>{MsgCode::RedmineProjects});
    QStringList seen;
    for (const QByteArray &request : qAsConst(peer.requests)) {
        QVERIFY(request.startsWith("GET /projects.xml?limit=100&offset="));
        seen << QString::fromLatin1(request.mid(35, request.indexOf(' ', 35) - 35));
    }
    QCOMPARE(seen, offsets);
    QCOMPARE(f.client.ParseProjects(), 0);
    QCOMPARE(f.client.GetProjectList().size(), listed);
}

void tst_nwredmine::reply_pastItsLimit_abandonedWithClearText_data()
{
    QTest::addColumn<QByteArray>("reply"); // none: a body without end
    QTest::addColumn<int>("request");      // the kind asked
    QTest::addColumn<int>("error");
    const int large = NwRedmine::ReplyTooLargeError;
    const int crowded = NwRedmine::ReplyTooManyNodesError;
    const int statuses = MsgCode::RedmineIssueStatuses;
    // Well under the size limit, and under the node count of a shared file.
    const QByteArray tiny = QByteArray("<i/>").repeated(1000000);
    // Pages each well within one answer's limits, past the listing's together.
    const auto pages = [](const QByteArray &item) {
        return okReply("<projects total_count=\"100000000\">" + item.repeated(100) + "</projects>");
    };
    QTest::newRow("endless body") << QByteArray() << statuses << large;
    const QByteArray bomb = qCompress("<issue_statuses>" + QByteArray(64 << 20, ' '), 9).mid(4);
    QTest::newRow("compressed body, unpacking past the limit")
        << "HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\nContent-Length: " +
               QByteArray::number(bomb.size()) + "\r\n\r\n" + bomb
        << statuses << int(NwRedmine::XmlErrorCode);
    QTest::newRow("length past the limit")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1000000000\r\n\r\n<issue_statuses>") << statuses
        << large;
    QTest::newRow("a million tiny elements")
        << okReply("<issue_statuses>" + tiny + "</issue_statuses>") << statuses << crowded;
    QTest::newRow("connection test, a million tiny elements")
        << okReply("<trackers>" + tiny + "</trackers>") << int(MsgCode::RedmineTestConnection) << crowded;
    QTest::newRow("listing, pages of many bytes")
        << pages("<project><id>1</id><description>" + QByteArray(6000, 'x') + "</description></project>")
        << int(MsgCode::RedmineProjects) << large;
    QTest::newRow("listing, pages of many nodes")
        << pages("<project>" + QByteArray("<f id=\"1\" name=\"f\"><value>v</value></f>").repeated(12) +
                 "</project>")
        << int(MsgCode::RedmineProjects) << crowded;
}

// An answer past its limit is abandoned where it passes it, read no further, and ends in an error
// that names the limit; the tracker did answer, and nothing is asked again. A compressed answer is
// not unpacked behind the count.
void tst_nwredmine::reply_pastItsLimit_abandonedWithClearText()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, request);
    QFETCH(int, error);
    HostilePeer endless(HostilePeer::Flood);
    CapturePeer peer(reply);
    Fixture f;
    f.useServer(reply.isEmpty() ? endless.url() : peer.url(), QStringLiteral("k"));
    const bool listing = request == MsgCode::RedmineProjects;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(f.run(
                 [&] {
                     if (request == MsgCode::RedmineTestConnection)
                         f.client.TestConnection();
                     else
                         listing ? f.client.GetProjects() : f.client.GetIssueStatuses();
                 },
                 120000),
             request);
    QCOMPARE(request == MsgCode::RedmineTestConnection ? f.client.IsReplyError()
             : listing                                 ? f.client.ParseProjects()
                                                       : f.client.ParseIssueStatuses(),
             error);
    // Ended by the limit, not by the client's deadline.
    QVERIFY2(clock.elapsed() < NwRedmine::RequestTimeout(), qPrintable(QString::number(clock.elapsed())));
    QVERIFY(f.client.IsOutcomeKnown());
    QVERIFY(!f.client.IsBusy());
    QCOMPARE(
        f.client.GetErrorText(3, error),
        error == NwRedmine::XmlErrorCode ? QStringLiteral("received data is not xml format")
        : error == NwRedmine::ReplyTooLargeError
            ? QStringLiteral("the tracker's answer is larger than %1 MB: it was left unread")
                  .arg(listing ? 32 : 16)
            : QStringLiteral("the tracker's answer holds more than %1 elements, attributes and texts: it was "
                             "left unread")
                  .arg(listing ? 400000 : 100000));
    if (reply.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(endless.floodEarly, 120000);
        QVERIFY2(endless.flooded < 2 * NwRedmine::MaxReplyBytes,
                 qPrintable(QString::number(endless.flooded)));
    }
    // Long before the cap on pages, a listing stops at its limits.
    QVERIFY2(peer.requests.size() <= (listing ? NwRedmine::MaxPages * 3 / 4 : 1),
             qPrintable(QString::number(peer.requests.size())));
}

void tst_nwredmine::errorText_modesAndXmlError()
{
    Fixture f;
    f.reg.SetBoolVar(RegSlot::FlagRedmineKeySet, true);
    QCOMPARE(f.client.GetErrorText(1, NwRedmine::XmlErrorCode),
             QStringLiteral("received data is not xml format"));
    QCOMPARE(f.client.GetErrorText(1, 203), QStringLiteral("maybe project is deleted"));
    QCOMPARE(f.client.GetErrorText(3, 203),
             QStringLiteral("1.not connect 2.not URL(check Toole Option) 3.check Api error(203)"));
    f.reg.SetBoolVar(RegSlot::FlagRedmineKeySet, false);
    QCOMPARE(f.client.GetErrorText(5, 204),
             QStringLiteral("1.not connect 2.not URL(check Toole Option) 3.check basic author error(204)"));
    // Before any reply there is nothing to parse.
    QVERIFY(f.client.IsReplyError() != 0);
    QCOMPARE(f.client.ParseProjects(), f.client.IsReplyError());
}

void tst_nwredmine::post_answerLostAfterWork_sentOnceOutcomeUnknown_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("cut");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<bool>("known");
    const int close = CutProxy::Close;
    const int gateway = CutProxy::Gateway;
    QTest::newRow("issue, connection closed") << "issues" << close << QByteArray() << false;
    QTest::newRow("issue, 502") << "issues" << gateway << QByteArray("502 Bad Gateway") << false;
    QTest::newRow("issue, 503") << "issues" << gateway << QByteArray("503 Service Unavailable") << false;
    QTest::newRow("issue, 504") << "issues" << gateway << QByteArray("504 Gateway Time-out") << false;
    // The tracker's own answer, a refusal too, says what became of the request.
    QTest::newRow("issue, 500") << "issues" << gateway << QByteArray("500 Internal Server Error") << true;
    QTest::newRow("category, connection closed") << "issue_categories" << close << QByteArray() << false;
    QTest::newRow("version, connection closed") << "versions" << close << QByteArray() << false;
    QTest::newRow("membership, 504") << "memberships" << gateway << QByteArray("504 Gateway Time-out")
                                     << false;
    QTest::newRow("project, connection closed") << "projects" << close << QByteArray() << false;
    // A success whose body never ends: abandoned, and the tracker's answer it was.
    QTest::newRow("issue, endless answer") << "issues" << int(CutProxy::Flood) << QByteArray() << true;
}

// The tracker carries out a POST and its answer is lost on the way back: the request reached the
// tracker once (the network library must not send it again by itself), the client reports an
// outcome it does not know unless the answer came from the tracker, and the tracker holds one.
void tst_nwredmine::post_answerLostAfterWork_sentOnceOutcomeUnknown()
{
    NEED_SERVER();
    QFETCH(QString, what);
    QFETCH(int, cut);
    QFETCH(QByteArray, status);
    QFETCH(bool, known);
    const QString ident = QStringLiteral("pel-cut-%1-%2")
                              .arg(QCoreApplication::applicationPid())
                              .arg(QLatin1String(QTest::currentDataTag()))
                              .replace(QRegularExpression(QStringLiteral("[^a-z0-9-]")), QStringLiteral("-"));
    const QString project =
        text(rest("POST", QStringLiteral("/projects.xml"), nullptr,
                  QStringLiteral("<project><name>%1</name><identifier>%1</identifier></project>")
                      .arg(ident)
                      .toUtf8()),
             "id");
    QVERIFY(!project.isEmpty());
    const auto cleanup = qScopeGuard([&] {
        rest("DELETE", QStringLiteral("/projects/%1.xml").arg(project));
        rest("DELETE", QStringLiteral("/projects/%1-made.xml").arg(ident));
    });
    const QString taro = text(
        rest("GET", QStringLiteral("/users.xml?name=pel-taro")).firstChildElement(QStringLiteral("user")),
        "id");

    CutProxy proxy(file(QStringLiteral("port")).toUShort());
    proxy.cut = CutProxy::Cut(cut);
    proxy.gatewayStatus = status;
    Fixture f;
    f.useServer(proxy.url(), file(QStringLiteral("apikey")));
    f.reg.SetIntVar(RegSlot::IntRedmineProjectId, project.toInt());
    const QHash<QString, std::function<void()>> requests = {
        {"issues",
         [&] {
             f.client.PostIssue(
                 xmlDoc(QStringLiteral("<issue><project_id>%1</project_id><subject>cut</subject></issue>")
                            .arg(project)));
         }},
        {"issue_categories", [&] { f.client.PostCategory(categoryDoc(QStringLiteral("cut"))); }},
        {"versions",
         [&] { f.client.PostVersion(xmlDoc(QStringLiteral("<version><name>cut</name></version>"))); }},
        {"memberships",
         [&] {
             f.client.PostMembership(xmlDoc(QStringLiteral("<membership><user_id>%1</user_id><role_ids "
                                                           "type=\"array\"><role_id>4</role_id></role_ids>"
                                                           "</membership>")
                                                .arg(taro)));
         }},
        {"projects", [&] {
             f.client.PostProject(xmlDoc(
                 QStringLiteral("<project><name>%1-made</name><identifier>%1-made</identifier></project>")
                     .arg(ident)));
         }}};
    QVERIFY(f.run(requests.value(what)) > 0);
    QVERIFY(f.client.IsReplyError() != 0);
    QCOMPARE(f.client.IsOutcomeKnown(), known);
    QCOMPARE(proxy.posts, 1);
    if (cut == CutProxy::Flood) {
        QCOMPARE(f.client.IsReplyError(), int(NwRedmine::ReplyTooLargeError));
        QTRY_VERIFY_WITH_TIMEOUT(proxy.floodEarly, 120000);
        QVERIFY2(proxy.flooded < 2 * NwRedmine::MaxReplyBytes, qPrintable(QString::number(proxy.flooded)));
    }

    // What the tracker holds, asked past the proxy.
    int httpStatus = 0;
    if (what == QLatin1String("projects")) {
        rest("GET", QStringLiteral("/projects/%1-made.xml").arg(ident), &httpStatus);
        QCOMPARE(httpStatus, 200);
        return;
    }
    const QDomElement root =
        rest("GET", QStringLiteral("/projects/%1/%2.xml?status_id=*").arg(project, what), &httpStatus);
    QCOMPARE(httpStatus, 200);
    int made = 0;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        ++made;
    QCOMPARE(made, 1);
}

QTEST_GUILESS_MAIN(tst_nwredmine)
#include "tst_nwredmine.moc"
