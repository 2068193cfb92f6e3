#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The one way workspace and settings files are written: into a temporary beside the target,
// committed by rename, so a crash or a full disk leaves the old file whole and other members
// never read half a file.
namespace SafeFile
{
bool Write(const QString &path, const QByteArray &bytes);
bool WriteUtf8(const QString &path, const QString &text);
// Replaces the target by a copy of the source through a temporary beside it, so a failed copy
// leaves the old target whole. The new target is readable and writable by its user and, when
// modified is valid, carries that modification time (false when it cannot be set).
bool ReplaceByCopy(const QString &source, const QString &target, const QDateTime &modified = QDateTime());
// True only when the file's folder exists and can be listed, and the file is not in it: a share
// that is offline or a folder that vanished is not a missing file.
bool IsAbsent(const QString &path);
} // namespace SafeFile
