#include "core/textfiles.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace
{
bool readAll(const QString &path, QString *text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    *text = QString::fromUtf8(file.readAll());
    return true;
}
} // namespace

QString TextFiles::Read(const QString &path, int settleMs)
{
    QString text;
    QFileInfo info(path);
    if (!info.exists() || !readAll(path, &text))
        return QString();
    QDateTime time = info.lastModified();
    qint64 size = info.size();
    for (;;) {
        info.refresh();
        if (info.lastModified() == time && info.size() == size)
            return text;
        time = info.lastModified();
        size = info.size();
        QThread::msleep(static_cast<unsigned long>(settleMs));
        if (!readAll(path, &text))
            return text;
    }
}

QString TextFiles::FileNameOfPath(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        return path.mid(slash + 1);
    const int backslash = path.lastIndexOf(QLatin1Char('\\'));
    if (backslash > 0)
        return path.mid(backslash + 1);
    return path;
}

QString TextFiles::TruncateUtf8(const QString &text, int limit)
{
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() > limit && limit - 4 > 0)
        return QString::fromUtf8(bytes.left(limit - 4)) + QStringLiteral("...");
    return text;
}
