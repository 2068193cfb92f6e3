#pragma once

#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <atomic>

// A server on 127.0.0.1 that answers every connection with a reply line sent one byte at a time,
// a byte per interval, never ending it: only the client's own deadline ends its wait. It gives up
// after `lastMs`, so a client without a deadline fails a test instead of hanging it.
class DripServer final : public QThread
{
public:
    explicit DripServer(int intervalMs, int lastMs = 10000) : m_interval(intervalMs), m_last(lastMs) {}
    ~DripServer() override
    {
        requestInterruption();
        wait();
    }
    // Starts the thread and waits until it listens.
    quint16 open()
    {
        start();
        m_ready.acquire();
        return m_port;
    }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        m_ready.release();
        while (!isInterruptionRequested()) {
            if (!server.waitForNewConnection(50))
                continue;
            QTcpSocket *socket = server.nextPendingConnection();
            const QByteArray line = "220-slow";
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; !isInterruptionRequested() && clock.elapsed() < m_last; ++i) {
                socket->write(i < line.size() ? line.mid(i, 1) : QByteArray("x"));
                socket->waitForBytesWritten(50);
                if (socket->state() != QAbstractSocket::ConnectedState)
                    break;
                for (int slept = 0; slept < m_interval && !isInterruptionRequested(); slept += 10)
                    msleep(10);
            }
            delete socket;
        }
    }

private:
    const int m_interval;
    const int m_last;
    QSemaphore m_ready;
    std::atomic<quint16> m_port{0};
};
