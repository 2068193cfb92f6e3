#include "core/textfiles.h"

#include "core/safefile.h"
#include "core/uireport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

namespace
{
bool readAll(const QString &path, QString *text)
{
    QByteArray bytes;
    if (!SafeFile::ReadAll(path, &bytes, QIODevice::ReadOnly | QIODevice::Text)) {
        // A pipe, a device or a file of gigabytes under a shared file's name is nobody's text:
        // said, not read.
        if (SafeFile::LastRefused())
            UiReport::Error(QCoreApplication::translate("TextFiles", "File error"), SafeFile::LastError());
        return false;
    }
    *text = QString::fromUtf8(bytes);
    return true;
}

struct Stamp {
    QDateTime time;
    qint64 size = -1;
    bool operator==(const Stamp &o) const { return time == o.time && size == o.size; }
};

Stamp stampOf(const QString &path)
{
    const QFileInfo info(path);
    return {info.lastModified(), info.size()};
}
} // namespace

QString TextFiles::Read(const QString &path, int settleMs, const std::function<void(int)> &afterRead)
{
    QString text;
    if (!QFileInfo::exists(path))
        return QString();
    Stamp before = stampOf(path);
    if (!readAll(path, &text))
        return QString();
    for (int reads = 1;; ++reads) {
        if (afterRead)
            afterRead(reads);
        const Stamp after = stampOf(path);
        if (after == before || reads >= MaxLooks)
            return text;
        before = after;
        QThread::msleep(static_cast<unsigned long>(settleMs));
        if (!readAll(path, &text))
            return text;
    }
}

int TextFiles::WaitStable(const QString &path, int settleMs)
{
    Stamp noted = stampOf(path);
    for (int looks = 1;; ++looks) {
        if (!QFileInfo::exists(path))
            return 1;
        const Stamp now = stampOf(path);
        if (now == noted || looks >= MaxLooks)
            return 0;
        noted = now;
        QThread::msleep(static_cast<unsigned long>(settleMs));
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
    if (bytes.size() <= limit || limit - 4 <= 0)
        return text;
    int cut = limit - 4;
    // Back off over continuation bytes so no character is split.
    while (cut > 0 && (static_cast<unsigned char>(bytes.at(cut)) & 0xC0) == 0x80)
        --cut;
    return QString::fromUtf8(bytes.left(cut)) + QStringLiteral("...");
}

void TextFiles::CountMarkers(const QString &text, QHash<QString, int> *counts)
{
    if (!counts)
        return;
    for (auto it = counts->begin(); it != counts->end(); ++it)
        it.value() = 0;
    static const QRegularExpression marker(QStringLiteral("\\$\\b(Var|Seq)\\b\\[[0-9]+\\]"));
    auto matches = marker.globalMatch(text);
    while (matches.hasNext()) {
        const QString found = matches.next().captured(0);
        auto it = counts->find(found);
        if (it != counts->end())
            ++it.value();
    }
}
