#include "core/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>

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

bool SafeFile::ReplaceByCopy(const QString &source, const QString &target, const QDateTime &modified)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // A unique name made by the file system: a fixed one such as "<target>.copying" may be a
    // user's own file in an output or reference folder.
    const QFileInfo info(target);
    QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return false;
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (temp.write(chunk) != chunk.size())
            return false;
    }
    if (in.error() != QFileDevice::NoError || !temp.flush())
        return false;
    temp.setPermissions(in.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    if (modified.isValid() && !temp.setFileTime(modified, QFileDevice::FileModificationTime))
        return false;
    temp.close();
    // rename(2) replaces the target in one step: removing it first would leave a moment, and
    // after a crash a state, with no target at all.
    if (::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    temp.setAutoRemove(false);
    return true;
}

bool SafeFile::IsAbsent(const QString &path)
{
    const QFileInfo info(path);
    // A folder that opens for reading can be listed; listing it whole cost as much as the folder
    // is large, once per file asked about.
    DIR *dir = ::opendir(QFile::encodeName(info.absolutePath()).constData());
    if (!dir)
        return false;
    ::closedir(dir);
    struct stat st {
    };
    return ::lstat(QFile::encodeName(info.absoluteFilePath()).constData(), &st) != 0 && errno == ENOENT;
}
