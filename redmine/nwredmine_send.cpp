#include "core/postbox.h"
#include "core/sharedxml.h"
#include "redmine/nwredmine.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <cstring>

namespace
{
const char *const SerialProperty = "pelRequestSerial";
// Long enough for a slow tracker's page of 100 issues, short enough that a silent one ends.
int g_requestTimeout = 30000;
// What the network library holds of an answer before it waits for the client to take it: without
// it, the library reads as fast as the server sends, whatever the client's limit.
constexpr qint64 ReadChunk = 1024 * 1024;

// A POST body that can be read once only. The network library resends a request by itself when its
// connection closes before the answer, and a POST it resends may be filed twice: the tracker may
// well have made the issue (project, category ...) before the connection dropped. Read from this
// device, the body cannot be read again, so the library ends the request with ContentReSendError
// instead, an outcome the page does not know. PUT and DELETE keep the library's resend: the same
// PUT again sets the same values, and a DELETE that finds its issue gone is answered 404.
class OneShotBody final : public QIODevice
{
public:
    OneShotBody(const QByteArray &data, QObject *parent) : QIODevice(parent), m_data(data)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    bool reset() override { return false; }
    qint64 bytesAvailable() const override { return m_data.size() - m_read + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *to, qint64 max) override
    {
        const qint64 n = qMin<qint64>(max, m_data.size() - m_read);
        memcpy(to, m_data.constData() + m_read, size_t(n));
        m_read += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const QByteArray m_data;
    qint64 m_read = 0;
};

// A gateway's "bad gateway", "unavailable" or "time-out" says nothing of what the tracker behind it
// did with the request.
bool isGatewayStatus(int status)
{
    return status == 502 || status == 503 || status == 504;
}

bool isWebUrl(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
} // namespace

void NwRedmine::SetRequestTimeout(int ms)
{
    g_requestTimeout = ms;
}

int NwRedmine::RequestTimeout()
{
    return g_requestTimeout;
}

bool NwRedmine::IsBusy() const
{
    return m_inFlight || m_awaitingDispatch;
}

void NwRedmine::SetRequestOrigin(int origin)
{
    if (!IsBusy())
        m_requestOrigin = origin;
}

bool NwRedmine::StartTest(int origin)
{
    if (IsBusy())
        return false;
    m_requestOrigin = origin;
    return TestConnection();
}

bool NwRedmine::send(int kind, Method method, const QString &path, const QDomDocument *doc)
{
    if (IsBusy())
        return false;
    m_pagedPath.clear();
    transmit(kind, method, path, doc);
    return true;
}

void NwRedmine::transmit(int kind, Method method, const QString &path, const QDomDocument *doc)
{
    m_requestKind = kind;
    m_inFlight = true;
    m_awaitingDispatch = false;
    m_outcomeKnown = true;
    m_changeRequest = method != Method::Get;
    m_requestUrl = QUrl(GetStrVar(RegSlot::StrRedmineUrl) + path, QUrl::TolerantMode);
    m_requestBody = doc ? doc->toByteArray(1) : QByteArray();
    const quint32 serial = ++m_serial;
    // The tracker's URL is typed by the user: only a web address is asked, never a local file or
    // another protocol that would receive the credentials.
    if (!isWebUrl(m_requestUrl)) {
        failLater(QNetworkReply::ProtocolUnknownError);
        return;
    }

    QNetworkRequest request(m_requestUrl);
    setHeaders(request, kind);
    QNetworkReply *reply = nullptr;
    switch (method) {
    case Method::Get:
        reply = m_manager->get(request);
        break;
    case Method::Post: {
        // Streamed, not buffered: a buffered body is what the library resends (see OneShotBody).
        request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
        auto *body = new OneShotBody(m_requestBody, this);
        reply = m_manager->post(request, body);
        connect(reply, &QNetworkReply::finished, body, &QObject::deleteLater);
        break;
    }
    case Method::Put:
        reply = m_manager->put(request, m_requestBody);
        break;
    case Method::Delete:
        reply = m_manager->deleteResource(request);
        break;
    }
    reply->setProperty(SerialProperty, serial);
    m_pending = reply;
    m_received.clear();
    m_refusal = 0;
    reply->setReadBufferSize(ReadChunk);
    // The body is taken as it comes, so that an answer past its limit is abandoned there, not
    // taken whole first.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { takeBody(reply, false); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { takeBody(reply, false); });
    // A whole-request deadline, not the library's transfer time-out: that one restarts with every
    // byte, so a server that drips its answer would hold the window for ever.
    m_deadline->start(g_requestTimeout);
}

// One answer may take MaxReplyBytes; the pages of a listing share MaxListBytes.
qint64 NwRedmine::bodyLimit() const
{
    return m_pagedPath.isEmpty() ? MaxReplyBytes : qMin(MaxReplyBytes, MaxListBytes - m_pagedBytes);
}

// Takes what has arrived of the pending answer; false once it is past its limit (by its declared
// length as soon as the head is in, or by what came), and then the answer is abandoned: read no
// further and aborted unless it has already ended.
bool NwRedmine::takeBody(QNetworkReply *reply, bool finished)
{
    if (reply != m_pending || m_refusal != 0)
        return m_refusal == 0;
    const qint64 limit = bodyLimit();
    bool declared = false;
    const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&declared);
    if ((declared && length > limit) || m_received.size() + reply->bytesAvailable() > limit) {
        m_refusal = ReplyTooLargeError;
        m_refusedLimit = limit < MaxReplyBytes ? MaxListBytes : MaxReplyBytes;
        m_received.clear();
        if (!finished)
            reply->abort();
        return false;
    }
    m_received += reply->readAll();
    return true;
}

void NwRedmine::timedOut()
{
    if (QNetworkReply *reply = m_pending)
        reply->abort();
}

void NwRedmine::Abort()
{
    // Outdated first: the aborted reply and a failure still on its way are dropped unseen.
    ++m_serial;
    m_deadline->stop();
    m_pagedPath.clear();
    m_pagedDoc.clear();
    m_received.clear();
    m_inFlight = false;
    if (m_awaitingDispatch) {
        m_awaitingDispatch = false;
        ++m_staleReplies;
    }
    if (QNetworkReply *reply = m_pending) {
        m_pending = nullptr;
        reply->abort();
    }
}

bool NwRedmine::TakeReply()
{
    if (m_staleReplies > 0) {
        --m_staleReplies;
        return false;
    }
    m_awaitingDispatch = false;
    return true;
}

bool NwRedmine::IsWindowRequest() const
{
    switch (m_requestKind) {
    case MsgCode::RedmineUsers:
    case MsgCode::RedmineGroupUsers:
        return false;
    case MsgCode::RedmineTestConnection:
    case MsgCode::RedmineGroups:
        return m_requestOrigin == RedmineOrigin::ProjectRef ||
               m_requestOrigin == RedmineOrigin::ProjectLoad ||
               m_requestOrigin == RedmineOrigin::ProjectLoad2;
    default:
        return true;
    }
}

void NwRedmine::setHeaders(QNetworkRequest &request, int kind)
{
    request.setRawHeader(QByteArrayLiteral("User-Agetn"), m_userAgent);
    request.setRawHeader(QByteArrayLiteral("X-Custom-User-Agent"), m_userAgent);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/xml"));
    request.setHeader(QNetworkRequest::ContentLengthHeader, m_requestBody.size());
    // Asked for, a compressed answer is unpacked by the network library whole, before the client
    // counts a byte: a few kilobytes can unpack into gigabytes. Asked plainly, a compressed answer
    // stays the bytes that came, and does not parse.
    request.setRawHeader(QByteArrayLiteral("Accept-Encoding"), QByteArrayLiteral("identity"));
    // A redirect is reported, not followed: the credentials go to the configured tracker only.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // The connection test only proves that the URL answers as a tracker; the credentials are
    // proven by the request that follows it.
    if (kind == MsgCode::RedmineTestConnection)
        return;
    if (GetBoolVar(RegSlot::FlagRedmineKeySet))
        SetApiKeyHeaders(request);
    else
        SetBasicAuthHeaders(request);
}

void NwRedmine::SetApiKeyHeaders(QNetworkRequest &request)
{
    // A key pasted with a line break would otherwise end the header early and start another one.
    QByteArray key = GetStrVar(RegSlot::StrRedmineKey).toLatin1();
    key.replace('\r', QByteArray()).replace('\n', QByteArray());
    m_apiKey = key.trimmed();
    request.setRawHeader(QByteArrayLiteral("X-Redmine-API-Key"), m_apiKey);
}

void NwRedmine::SetBasicAuthHeaders(QNetworkRequest &request) const
{
    // Joined, not substituted: a "%2" in the login id must stay text. UTF-8, as the tracker reads it,
    // so that a password outside Latin-1 still matches.
    const QString pair =
        GetStrVar(RegSlot::StrRedmineLogin) + QLatin1Char(':') + GetStrVar(RegSlot::StrRedminePassword);
    request.setRawHeader(QByteArrayLiteral("Authorization"),
                         QByteArrayLiteral("Basic ") + pair.toUtf8().toBase64());
}

// A request that cannot be sent still ends the way a reply does, from the event loop, so that the
// waiting page shows the failure.
void NwRedmine::failLater(int error)
{
    const quint32 serial = m_serial;
    QTimer::singleShot(0, this, [this, serial, error] {
        if (serial == m_serial)
            finish(error, QByteArray());
    });
}

void NwRedmine::replyFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply->property(SerialProperty).toUInt() != m_serial)
        return;
    m_deadline->stop();
    int error = reply->error();
    if (error == QNetworkReply::NoError)
        takeBody(reply, true);
    m_pending = nullptr;
    // Abort() outdates a request before it cancels it: a cancelled current one ran out of time,
    // unless its answer was abandoned as too large.
    if (m_refusal != 0)
        error = m_refusal;
    else if (error == QNetworkReply::OperationCanceledError)
        error = QNetworkReply::TimeoutError;
    QByteArray body;
    if (error == QNetworkReply::NoError)
        body.swap(m_received);
    m_received.clear();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // A redirect (to a login page, say) arrives without a network error, yet nothing was done.
    if (error == QNetworkReply::NoError && status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        error = QNetworkReply::UnknownContentError;
    if (m_requestKind == MsgCode::RedmineTestConnection)
        error = checkTrackerAnswer(reply, error, body);
    // Any answer of the tracker, a refusal included, says what became of the request; so does a
    // connection that was never made. Without either (a time-out, a dropped connection, a gateway's
    // answer in its place), the request may have been carried out.
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::SslHandshakeFailedError:
        m_outcomeKnown = true;
        break;
    default:
        m_outcomeKnown = error == 0 || (status.isValid() && !isGatewayStatus(status.toInt()));
        break;
    }
    finish(error, body);
}

// Any web server answers a GET; only a tracker's list of trackers, or a tracker's refusal to show it
// without a login, proves that the URL is a tracker.
int NwRedmine::checkTrackerAnswer(QNetworkReply *reply, int error, const QByteArray &body)
{
    if (error == QNetworkReply::NoError) {
        QDomDocument doc;
        if (const int refused = parseBody(doc, body, MaxReplyNodes))
            return refused;
        return doc.documentElement().tagName() == QLatin1String("trackers") ? 0 : XmlErrorCode;
    }
    if (error == QNetworkReply::AuthenticationRequiredError &&
        reply->rawHeader(QByteArrayLiteral("WWW-Authenticate")).contains("Redmine"))
        return 0;
    return error;
}

void NwRedmine::finish(int error, const QByteArray &body)
{
    QByteArray kept = body;
    bool listing = false;
    if (error == 0 && !m_pagedPath.isEmpty()) {
        switch (takePage(body)) {
        case PageStep::More:
            return;
        case PageStep::Capped:
            error = PageCapError;
            break;
        case PageStep::Crowded:
            error = ReplyTooManyNodesError;
            break;
        case PageStep::Done:
            kept = m_pagedDoc.toByteArray(1);
            listing = true;
            break;
        case PageStep::Broken:
            break;
        }
    }
    // The joined pages were counted page by page against the listing's limit.
    m_replyNodeLimit = listing ? MaxListNodes : MaxReplyNodes;
    m_pagedPath.clear();
    m_pagedDoc.clear();
    m_inFlight = false;
    m_replyError = error;
    if (error == 0)
        m_replyBody = kept;
    m_awaitingDispatch = true;
    PostBox::Post(m_requestKind);
}
