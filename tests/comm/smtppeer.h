#pragma once

// The SMTP peers of the mail tests (smtp-server.py: aiosmtpd and scripted servers on 127.0.0.1)
// over certificates made here with openssl; the test CA is trusted through Qt's default SSL
// configuration of this process only.

#include "testsupport.h"

#include <QMap>
#include <QProcess>
#include <QSslConfiguration>
#include <QTemporaryDir>

class SmtpPeer
{
public:
    static QString password() { return QStringLiteral("secret\u00e9"); }

    bool start()
    {
        const QStringList key{"-newkey", "ec",    "-pkeyopt", "ec_paramgen_curve:prime256v1",
                              "-nodes",  "-days", "2"};
        if (!openssl(
                QStringList{"req", "-x509", "-keyout", "ca.key", "-out", "ca.crt", "-subj", "/CN=test CA"} +
                key) ||
            !makeCert("server", "DNS:localhost,IP:127.0.0.1", key) ||
            !makeCert("wrong", "DNS:wrong.example", key))
            return false;
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(QStringLiteral("/usr/bin/python3"),
                       {QStringLiteral(SMTP_SERVER_SCRIPT), m_dir.path()});
        if (!m_server.waitForReadyRead(15000))
            return false;
        for (const QByteArray &entry : m_server.readLine().trimmed().split(' '))
            m_ports.insert(QString::fromLatin1(entry.split('=').first()), entry.split('=').last().toInt());
        trustCa(true);
        return m_ports.size() == 11;
    }

    ~SmtpPeer()
    {
        m_server.closeWriteChannel();
        if (!m_server.waitForFinished(3000))
            m_server.kill();
        m_server.waitForFinished(3000);
    }

    int port(const char *name) const { return m_ports.value(QLatin1String(name)); }

    void trustCa(bool trusted)
    {
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        const auto ca = QSslCertificate::fromPath(m_dir.filePath(QStringLiteral("ca.crt")));
        QList<QSslCertificate> all = config.caCertificates();
        all.removeAll(ca.value(0));
        config.setCaCertificates(trusted ? all + ca : all);
        QSslConfiguration::setDefaultConfiguration(config);
    }

    // What one server saw since clear(): "EHLO localhost", "AUTH LOGIN", "RSET", "RCPT to", "DATA".
    QStringList events(const char *name) const
    {
        return QString::fromUtf8(
                   TestSupport::readFile(m_dir.filePath(QLatin1String(name) + QStringLiteral(".log"))))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // The messages one server accepted since clear(), as the bytes arrived.
    QList<QByteArray> messages(const char *name) const
    {
        QMap<int, QByteArray> byNumber;
        const QString prefix = QLatin1String(name) + QLatin1Char('-');
        for (const QString &f : QDir(m_dir.path()).entryList({prefix + "*.eml"}))
            byNumber.insert(f.mid(prefix.size()).chopped(4).toInt(),
                            TestSupport::readFile(m_dir.filePath(f)));
        return byNumber.values();
    }
    void clear(const char *name)
    {
        QFile::remove(m_dir.filePath(QLatin1String(name) + QStringLiteral(".log")));
        for (const QString &f :
             QDir(m_dir.path()).entryList({QLatin1String(name) + QStringLiteral("-*.eml")}))
            QFile::remove(m_dir.filePath(f));
    }

private:
    bool openssl(const QStringList &args)
    {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(QStringLiteral("openssl"), args);
        return p.waitForFinished(20000) && p.exitCode() == 0;
    }
    bool makeCert(const QString &name, const QString &altNames, const QStringList &key)
    {
        TestSupport::writeFile(m_dir.filePath(name + ".ext"), "subjectAltName=" + altNames.toUtf8());
        return openssl(QStringList{"req", "-keyout", name + ".key", "-out", name + ".csr", "-subj",
                                   "/CN=" + name} +
                       key.mid(0, 5)) &&
               openssl({"x509", "-req", "-in", name + ".csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                        "-CAcreateserial", "-days", "2", "-out", name + ".crt", "-extfile", name + ".ext"});
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    QHash<QString, int> m_ports;
};
