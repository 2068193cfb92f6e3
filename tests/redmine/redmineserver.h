#pragma once

// The Redmine instance that the tracker tests run against: redmine-server.sh starts it below the
// test's own HOME and leaves its port and the admin's API key there as files.

#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace RedmineServer
{
inline QString dir()
{
    return QDir::homePath() + QStringLiteral("/redmine");
}

inline QString file(const QString &name)
{
    return QString::fromUtf8(TestSupport::readFile(dir() + QLatin1Char('/') + name)).trimmed();
}

inline QString baseUrl()
{
    return QStringLiteral("http://127.0.0.1:") + file(QStringLiteral("port"));
}

// Reads and changes the tracker as an outsider would, with the admin's key.
inline QDomElement rest(const QByteArray &verb, const QString &path, int *status = nullptr,
                        const QByteArray &body = {})
{
    QNetworkAccessManager net;
    QNetworkRequest request(QUrl(baseUrl() + path));
    request.setRawHeader("X-Redmine-API-Key", file(QStringLiteral("apikey")).toLatin1());
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/xml"));
    QNetworkReply *reply = net.sendCustomRequest(request, verb, body);
    QSignalSpy done(reply, &QNetworkReply::finished);
    // Ends with the answer; a busy machine may take many times longer than an idle one.
    done.wait(120000);
    if (status)
        *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QDomDocument doc;
    doc.setContent(reply->readAll());
    reply->deleteLater();
    return doc.documentElement();
}

inline int stop()
{
    return QProcess::execute(QStringLiteral("/bin/bash"),
                             {QStringLiteral(REDMINE_SERVER_SCRIPT), QStringLiteral("stop"), dir()});
}

// Sets *started once the instance answers; where the machine has no Redmine packages (exit 77)
// it leaves the script's reason in *skip so that the tests needing the server skip, not fail (in CI,
// where PEL_REQUIRE_PEERS is set, they fail with that reason).
inline void start(bool *started, QString *skip)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QStringLiteral("/bin/bash"), {QStringLiteral(REDMINE_SERVER_SCRIPT), QStringLiteral("start"),
                                          dir(), QString::number(QCoreApplication::applicationPid())});
    QVERIFY2(p.waitForStarted(60000), "bash did not start");
    // Longer than the script's own bounds together (another run's preparation, the copy, the
    // server's start): the script ends first and says which step failed. The tests' time-outs
    // in CMakeLists.txt are above this wait.
    if (!p.waitForFinished(900000)) {
        p.kill();
        p.waitForFinished(5000);
        stop();
        QFAIL("the Redmine start script did not finish within 900 s");
    }
    const QString err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    if (p.exitCode() == 77) {
        *skip = err;
        return;
    }
    QVERIFY2(p.exitCode() == 0, qPrintable(err));
    *started = true;
}
} // namespace RedmineServer
