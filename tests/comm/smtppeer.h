#pragma once

// The SMTP peers of the mail tests: Debian's aiosmtpd and a few scripted servers, all on
// 127.0.0.1, run by smtp-server.py from a folder of test certificates made here with openssl.
// The test CA is trusted through Qt's default SSL configuration of this process only.

#include "testsupport.h"

#include <QHash>
#include <QMap>
#include <QProcess>
#include <QSslConfiguration>
#include <QTemporaryDir>

class SmtpPeer
{
public:
    static constexpr const char *Password = "secret\xc3\xa9"; // UTF-8 of "secret" + e-acute

    // Makes the certificates and starts the servers; false (with a warning) when that fails.
    bool start()
    {
        if (!m_dir.isValid() || !makeCa() || !makeCert("server", "DNS:localhost,IP:127.0.0.1") ||
            !makeCert("wrong", "DNS:wrong.example"))
            return false;
        m_server.setProgram(QStringLiteral("/usr/bin/python3"));
        m_server.setArguments({QStringLiteral(SMTP_SERVER_SCRIPT), m_dir.path()});
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start();
        if (!m_server.waitForStarted(5000) || !m_server.waitForReadyRead(15000))
            return false;
        const QList<QByteArray> ports = m_server.readLine().trimmed().split(' ');
        for (const QByteArray &entry : ports) {
            const QList<QByteArray> pair = entry.split('=');
            if (pair.size() == 2)
                m_ports.insert(QString::fromLatin1(pair.at(0)), pair.at(1).toInt());
        }
        trustCa(true);
        return m_ports.size() >= 11;
    }

    ~SmtpPeer()
    {
        m_server.closeWriteChannel();
        if (!m_server.waitForFinished(3000)) {
            m_server.kill();
            m_server.waitForFinished(3000);
        }
    }

    int port(const char *name) const { return m_ports.value(QString::fromLatin1(name)); }

    // Adds or takes away the test CA in the default configuration new sockets start from.
    void trustCa(bool trusted)
    {
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        const auto ca = QSslCertificate::fromPath(m_dir.filePath(QStringLiteral("ca.crt")));
        QList<QSslCertificate> all = config.caCertificates();
        for (const QSslCertificate &c : ca)
            all.removeAll(c);
        if (trusted)
            all += ca;
        config.setCaCertificates(all);
        QSslConfiguration::setDefaultConfiguration(config);
    }

    // The events one server saw ("EHLO localhost", "AUTH LOGIN", "RSET", ...), and forgetting them.
    QStringList events(const char *name) const
    {
        const QByteArray log = TestSupport::readFile(m_dir.filePath(QString::fromLatin1(name) + ".log"));
        return QString::fromUtf8(log).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    void clear(const char *name)
    {
        QFile::remove(m_dir.filePath(QString::fromLatin1(name) + ".log"));
        for (const QString &f : QDir(m_dir.path()).entryList({QString::fromLatin1(name) + "-*.eml"}))
            QFile::remove(m_dir.filePath(f));
    }
    // The messages one server accepted since the last clear(), as the bytes arrived.
    QList<QByteArray> messages(const char *name) const
    {
        QMap<int, QByteArray> byNumber;
        const QString prefix = QString::fromLatin1(name) + QLatin1Char('-');
        for (const QString &f : QDir(m_dir.path()).entryList({prefix + "*.eml"}))
            byNumber.insert(f.mid(prefix.size()).chopped(4).toInt(),
                            TestSupport::readFile(m_dir.filePath(f)));
        return byNumber.values();
    }

private:
    bool openssl(const QStringList &args)
    {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(QStringLiteral("openssl"), args);
        if (!p.waitForFinished(20000) || p.exitCode() != 0) {
            qWarning() << "openssl" << args << p.readAllStandardError();
            return false;
        }
        return true;
    }
    bool makeCa()
    {
        return openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", "ca.key", "-out", "ca.crt", "-subj", "/CN=Pelmorine test CA", "-days",
                        "2"});
    }
    bool makeCert(const QString &name, const QString &altNames)
    {
        TestSupport::writeFile(m_dir.filePath(name + ".ext"), "subjectAltName=" + altNames.toUtf8() + "\n");
        return openssl({"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", name + ".key", "-out", name + ".csr", "-subj", "/CN=" + name}) &&
               openssl({"x509", "-req", "-in", name + ".csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                        "-CAcreateserial", "-days", "2", "-out", name + ".crt", "-extfile", name + ".ext"});
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    QHash<QString, int> m_ports;
};
