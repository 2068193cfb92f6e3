#include "core/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

bool SafeFile::Write(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Qt's commit puts the file in place and reports success even when flushing its last buffer
    // failed (a full disk, a size limit): flushed and checked first, a cut file is cancelled, and
    // the commit then discards it and fails.
    if (file.write(bytes) != bytes.size() || !file.flush())
        file.cancelWriting();
    return file.commit();
}

bool SafeFile::WriteUtf8(const QString &path, const QString &text)
{
    return Write(path, text.toUtf8());
}

bool SafeFile::ReplaceByCopy(const QString &source, const QString &target)
{
    const QString temp = target + QStringLiteral(".copying");
    QFile::remove(temp);
    if (!QFile::copy(source, temp))
        return false;
    QFile::setPermissions(temp, QFile::permissions(temp) | QFileDevice::WriteUser | QFileDevice::ReadUser);
    // rename(2) replaces the target in one step: removing it first would leave a moment, and
    // after a crash a state, with no target at all.
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

bool SafeFile::IsAbsent(const QString &path)
{
    const QFileInfo info(path);
    const QDir dir = info.absoluteDir();
    // A listing that succeeds always holds "." and "..": an empty one is a failed one.
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    return !names.isEmpty() && !names.contains(info.fileName());
}
