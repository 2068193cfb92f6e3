#include "core/postbox.h"
#include "core/sharedxml.h"
#include "redmine/nwredmine.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace
{
const char *const SerialProperty = "pelRequestSerial";

bool isWebUrl(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
} // namespace

void NwRedmine::send(int kind, Method method, const QString &path, const QDomDocument *doc)
{
    m_requestKind = kind;
    m_pagedPath.clear();
    m_awaitingDispatch = false;
    m_requestUrl = QUrl(GetStrVar(RegSlot::StrRedmineUrl) + path, QUrl::TolerantMode);
    m_requestBody = doc ? doc->toByteArray(1) : QByteArray();

    // One request at a time: an earlier reply still on its way would otherwise be dispatched as
    // this request's kind. Its serial is outdated before it is aborted, so it is dropped unseen.
    const quint32 serial = ++m_serial;
    if (QNetworkReply *earlier = m_pending) {
        m_pending = nullptr;
        earlier->abort();
    }
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
    case Method::Post:
        reply = m_manager->post(request, m_requestBody);
        break;
    case Method::Put:
        reply = m_manager->put(request, m_requestBody);
        break;
    case Method::Delete:
        reply = m_manager->deleteResource(request);
        break;
    }
    reply->setProperty(SerialProperty, serial);
    m_pending = reply;
}

bool NwRedmine::IsBusy() const
{
    return !m_pending.isNull() || m_awaitingDispatch;
}

void NwRedmine::sendPaged(int kind, const QString &path)
{
    m_requestKind = kind;
    m_pagedPath = path;
    m_pagedOffset = 0;
    m_pagedDoc.clear();
    sendPage();
}

void NwRedmine::sendPage()
{
    const QString path = m_pagedPath;
    const QChar join = path.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?');
    send(m_requestKind, Method::Get, path + join + QStringLiteral("limit=100&offset=%1").arg(m_pagedOffset));
    m_pagedPath = path;
}

// Keeps one page of a paged list; true when a further page was asked for. A page that does not parse
// ends the list, so that the parse reports it.
bool NwRedmine::takePage(const QByteArray &body)
{
    QDomDocument page;
    if (!SharedXml::SetContent(page, body))
        return false;
    QDomElement root = page.documentElement();
    int count = 0;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        ++count;
    if (m_pagedDoc.isNull() || m_pagedDoc.documentElement().isNull()) {
        m_pagedDoc = page;
    } else {
        QDomElement into = m_pagedDoc.documentElement();
        for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            into.appendChild(m_pagedDoc.importNode(e, true));
    }
    bool ok = false;
    const int total = root.attribute(QStringLiteral("total_count")).toInt(&ok);
    // A tracker that does not page (no total) or a page without items ends the list.
    if (!ok || count == 0 || m_pagedOffset + count >= total)
        return false;
    m_pagedOffset += count;
    sendPage();
    return true;
}

void NwRedmine::setHeaders(QNetworkRequest &request, int kind)
{
    request.setRawHeader(QByteArrayLiteral("User-Agetn"), m_userAgent);
    request.setRawHeader(QByteArrayLiteral("X-Custom-User-Agent"), m_userAgent);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/xml"));
    request.setHeader(QNetworkRequest::ContentLengthHeader, m_requestBody.size());
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
    m_pending = nullptr;
    int error = reply->error();
    const QByteArray body = error == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // A redirect (to a login page, say) arrives without a network error, yet nothing was done.
    if (error == QNetworkReply::NoError && status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        error = QNetworkReply::UnknownContentError;
    if (m_requestKind == MsgCode::RedmineTestConnection)
        error = checkTrackerAnswer(reply, error, body);
    finish(error, body);
}

// Any web server answers a GET; only a tracker's list of trackers, or a tracker's refusal to show it
// without a login, proves that the URL is a tracker.
int NwRedmine::checkTrackerAnswer(QNetworkReply *reply, int error, const QByteArray &body) const
{
    if (error == QNetworkReply::NoError) {
        QDomDocument doc;
        if (!SharedXml::SetContent(doc, body) || doc.documentElement().tagName() != QLatin1String("trackers"))
            return XmlErrorCode;
        return 0;
    }
    if (error == QNetworkReply::AuthenticationRequiredError &&
        reply->rawHeader(QByteArrayLiteral("WWW-Authenticate")).contains("Redmine"))
        return 0;
    return error;
}

void NwRedmine::finish(int error, const QByteArray &body)
{
    if (error == 0 && !m_pagedPath.isEmpty()) {
        if (takePage(body))
            return;
        if (!m_pagedDoc.documentElement().isNull()) {
            m_pagedPath.clear();
            m_replyError = 0;
            m_replyBody = m_pagedDoc.toByteArray(1);
            m_pagedDoc.clear();
            m_awaitingDispatch = true;
            PostBox::Post(m_requestKind);
            return;
        }
    }
    m_pagedPath.clear();
    m_replyError = error;
    if (error == 0)
        m_replyBody = body;
    m_awaitingDispatch = true;
    PostBox::Post(m_requestKind);
}
