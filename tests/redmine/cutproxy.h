#pragma once

// A proxy on 127.0.0.1 between the client and the real tracker that loses the answer to a POST the
// tracker has carried out: the way a network or a gateway does it, after the work is done.

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

// Writes tiny elements to s as fast as the client takes them, up to cap bytes, then closes. *sent
// counts what was handed on; *early is set when the client closed first.
inline void floodSocket(QTcpSocket *s, qint64 cap, qint64 *sent, bool *early)
{
    const QByteArray chunk = QByteArray("<i/>").repeated(16384);
    const auto feed = [s, cap, sent, chunk] {
        while (*sent < cap && s->bytesToWrite() < 4 * chunk.size() &&
               s->state() == QAbstractSocket::ConnectedState) {
            s->write(chunk);
            *sent += chunk.size();
        }
        if (*sent >= cap)
            s->disconnectFromHost();
    };
    QObject::connect(s, &QTcpSocket::bytesWritten, s, feed);
    QObject::connect(s, &QTcpSocket::disconnected, s, [sent, cap, early] { *early = *sent < cap; });
    feed();
}

struct CutProxy {
    // What becomes of the tracker's answer to the next POST: passed on; the connection closed
    // without a word; a gateway's status in its place; a success whose body never ends.
    enum Cut { Pass, Close, Gateway, Flood };

    QTcpServer server;
    Cut cut = Pass;
    QByteArray gatewayStatus = "504 Gateway Time-out";
    // POSTs that reached the tracker: a resend by the network library counts twice.
    int posts = 0;
    // The flood's bytes, stopped at floodCap; floodEarly when the client hung up first.
    qint64 floodCap = qint64(64) * 1024 * 1024;
    qint64 flooded = 0;
    bool floodEarly = false;

    explicit CutProxy(quint16 target)
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this, target] {
            while (QTcpSocket *in = server.nextPendingConnection())
                join(in, target);
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()); }

private:
    void join(QTcpSocket *in, quint16 target)
    {
        auto *out = new QTcpSocket(in);
        out->connectToHost(QHostAddress::LocalHost, target);
        out->waitForConnected(10000);
        // The client sends a request only after the whole answer to the one before: the first bytes
        // after an answer (or on a new connection) start a request and name its method.
        in->setProperty("fresh", true);
        const auto forward = [this, in, out] {
            const QByteArray bytes = in->readAll();
            if (in->property("fresh").toBool()) {
                const QByteArray head = in->property("head").toByteArray() + bytes;
                in->setProperty("head", head.left(5));
                if (head.size() >= 5) {
                    in->setProperty("fresh", false);
                    const bool post = head.startsWith("POST ");
                    posts += post;
                    in->setProperty("cut", post ? int(cut) : int(Pass));
                    if (post)
                        cut = Pass;
                }
            }
            out->write(bytes);
        };
        QObject::connect(in, &QTcpSocket::readyRead, out, forward);
        // The first byte of the tracker's answer says the work is done: only then is it lost.
        QObject::connect(out, &QTcpSocket::readyRead, in, [this, in, out] {
            const QByteArray bytes = out->readAll();
            const int how = in->property("cut").toInt();
            if (how == Pass) {
                in->setProperty("fresh", true);
                in->setProperty("head", QByteArray());
                return void(in->write(bytes));
            }
            if (how == Gateway)
                in->write("HTTP/1.1 " + gatewayStatus +
                          "\r\nContent-Type: text/html\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            if (how == Flood) {
                QObject::disconnect(out, nullptr, in, nullptr);
                out->abort();
                in->write(
                    "HTTP/1.1 201 Created\r\nContent-Type: application/xml\r\nConnection: close\r\n\r\n");
                return floodSocket(in, floodCap, &flooded, &floodEarly);
            }
            in->disconnectFromHost();
            out->abort();
        });
        QObject::connect(in, &QTcpSocket::disconnected, in, &QObject::deleteLater);
        QObject::connect(out, &QTcpSocket::disconnected, in, &QTcpSocket::disconnectFromHost);
        forward();
    }
};
