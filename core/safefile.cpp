#include "core/safefile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

bool SafeFile::Write(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool SafeFile::WriteUtf8(const QString &path, const QString &text)
{
    return Write(path, text.toUtf8());
}

bool SafeFile::IsAbsent(const QString &path)
{
    const QFileInfo info(path);
    const QDir dir = info.absoluteDir();
    // A listing that succeeds always holds "." and "..": an empty one is a failed one.
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    return !names.isEmpty() && !names.contains(info.fileName());
}
