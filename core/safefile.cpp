#include "core/safefile.h"

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
