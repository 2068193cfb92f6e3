#pragma once

// Small file helpers every test area shares; no widgets, so core tests may include it.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QtTest>

namespace TestSupport
{
// CI sets PEL_REQUIRE_PEERS=1: there every peer a test needs (the tracker, the SMTP server, the
// virtual display, Qt's translations) is installed, so a missing one is a broken run, not a skip.
inline bool peersRequired()
{
    return qEnvironmentVariableIntValue("PEL_REQUIRE_PEERS") == 1;
}

// The file's bytes, or nothing when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the bytes, making missing folders first. A failed open fails the calling test.
inline void writeFile(const QString &path, const QByteArray &bytes,
                      QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(mode));
    f.write(bytes);
}

// A file of that size that costs no disk (sparse); a failed open fails the calling test.
inline void writeSparse(const QString &path, qint64 size)
{
    QSaveFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(size) && f.commit());
}

// Writes the bytes and dates the file, as another member's program would have left it (making
// missing folders, as its first write would).
inline void writeAt(const QString &path, const QByteArray &bytes, const QDateTime &time)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    QVERIFY(out.commit());
    // Dated through a read handle: the time is the owner's to set, no write is needed.
    QFile touch(path);
    QVERIFY(touch.open(QIODevice::ReadOnly));
    QVERIFY(touch.setFileTime(time, QFileDevice::FileModificationTime));
}
} // namespace TestSupport

// Skips the calling test for want of a peer, or fails it, naming the peer, where peers are required.
#define PEL_SKIP_PEER(reason)                                                                                \
    do {                                                                                                     \
        const QString pelPeerReason_ = (reason);                                                             \
        if (TestSupport::peersRequired())                                                                    \
            QFAIL(qPrintable(QStringLiteral("missing peer (PEL_REQUIRE_PEERS=1): ") + pelPeerReason_));      \
        QSKIP(qPrintable(pelPeerReason_));                                                                   \
    } while (0)
