#include "core/textfiles.h"

#include "core/safefile.h"
#include "core/uireport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QThread>

namespace
{
enum class Outcome { Read, Failed, Refused };

// Paths whose last read was refused, with the reason, for the writers that must not save over them
// and the editors that must not take typing for them.
QMutex g_refusedLock;
QHash<QString, QString> g_refused;

QString keyOf(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void noteRefused(const QString &path, const QString &reason)
{
    const QString key = keyOf(path);
    QMutexLocker lock(&g_refusedLock);
    if (!reason.isEmpty())
        g_refused.insert(key, reason);
    else
        g_refused.remove(key);
}

// A pipe, a device, a file of gigabytes or of millions of lines under a shared file's name is
// nobody's text: said, not read.
Outcome refuse(const QString &path, const QString &reason)
{
    UiReport::Error(QCoreApplication::translate("TextFiles", "File error"), reason);
    noteRefused(path, reason.isEmpty() ? TextFiles::NotWrittenOver(path) : reason);
    return Outcome::Refused;
}

Outcome openFailed(const QString &path)
{
    return SafeFile::LastRefused() ? refuse(path, SafeFile::LastError()) : Outcome::Failed;
}

// The lines a reader counts in the bytes of a text.
qint64 linesOf(const QByteArray &bytes)
{
    return bytes.count('\n') + (bytes.endsWith('\n') || bytes.isEmpty() ? 0 : 1);
}

QString tooManyLines(const QString &path, qint64 lines)
{
    return QCoreApplication::translate("TextFiles", "%1 holds %2 lines, more than any text "
                                                    "shown in an editor needs (%3): it was not read")
        .arg(path, QString::number(lines), QString::number(TextFiles::MaxTextLines));
}

Outcome readWhole(const QString &path, QString *text)
{
    QByteArray bytes;
    if (!SafeFile::ReadAll(path, &bytes, QIODevice::ReadOnly | QIODevice::Text, TextFiles::MaxTextBytes))
        return openFailed(path);
    const qint64 lines = linesOf(bytes);
    if (lines > TextFiles::MaxTextLines)
        return refuse(path, tooManyLines(path, lines));
    *text = QString::fromUtf8(bytes);
    noteRefused(path, QString());
    return Outcome::Read;
}

// A line cut in the middle of a character loses that character, not the whole line.
void appendLine(QString *text, const QByteArray &line, bool cut)
{
    QString decoded = QString::fromUtf8(line);
    if (cut && decoded.endsWith(QChar::ReplacementCharacter))
        decoded.chop(1);
    if (!text->isEmpty())
        text->append(QLatin1Char('\n'));
    text->append(decoded);
}

Outcome readHead(const QString &path, int maxLines, int maxLineBytes, QString *text)
{
    QFile file;
    if (!SafeFile::OpenRead(file, path))
        return openFailed(path);
    QString head;
    QByteArray line;
    bool cut = false;
    int lines = 0;
    const auto endLine = [&] {
        if (!line.isEmpty()) {
            appendLine(&head, line, cut);
            ++lines;
        }
        line.clear();
        cut = false;
    };
    // The bytes of blank lines are passed over in pieces: a file of nothing else costs its reading.
    // A writer that keeps adding to it cannot hold the reader past the common ceiling.
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    while (lines < maxLines && total < SafeFile::MaxReadBytes) {
        const qint64 n = file.read(piece.data(), piece.size());
        if (n < 0)
            return Outcome::Failed;
        if (n == 0)
            break;
        total += n;
        for (qint64 i = 0; i < n && lines < maxLines; ++i) {
            const char c = piece.at(int(i));
            if (c == '\n')
                endLine();
            else if (c == '\r')
                continue;
            else if (line.size() < maxLineBytes)
                line.append(c);
            else
                cut = true;
        }
    }
    if (lines < maxLines)
        endLine();
    *text = head;
    noteRefused(path, QString());
    return Outcome::Read;
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

// Reads until two reads settleMs apart see the same file (at most MaxLooks reads).
QString settled(const QString &path, int settleMs, const std::function<Outcome(QString *)> &read,
                const std::function<void(int)> &afterRead)
{
    QString text;
    if (!QFileInfo::exists(path)) {
        noteRefused(path, QString());
        return QString();
    }
    Stamp before = stampOf(path);
    if (read(&text) != Outcome::Read)
        return QString();
    for (int reads = 1;; ++reads) {
        if (afterRead)
            afterRead(reads);
        const Stamp after = stampOf(path);
        if (after == before || reads >= TextFiles::MaxLooks)
            return text;
        before = after;
        QThread::msleep(static_cast<unsigned long>(settleMs));
        const Outcome again = read(&text);
        if (again != Outcome::Read)
            return again == Outcome::Refused ? QString() : text;
    }
}
} // namespace

QString TextFiles::Read(const QString &path, int settleMs, const std::function<void(int)> &afterRead)
{
    return settled(
        path, settleMs, [&path](QString *text) { return readWhole(path, text); }, afterRead);
}

QString TextFiles::ReadHead(const QString &path, int maxLines, int maxLineBytes, int settleMs)
{
    return settled(path, settleMs,
                   [&](QString *text) { return readHead(path, maxLines, maxLineBytes, text); }, {});
}

bool TextFiles::IsRefused(const QString &path)
{
    const QString key = keyOf(path);
    QMutexLocker lock(&g_refusedLock);
    return g_refused.contains(key);
}

QString TextFiles::RefusalOf(const QString &path)
{
    const QString key = keyOf(path);
    QMutexLocker lock(&g_refusedLock);
    return g_refused.value(key);
}

QString TextFiles::NotWrittenOver(const QString &path)
{
    return QCoreApplication::translate("TextFiles", "%1 was not read: it is not written over").arg(path);
}

QString TextFiles::WriteRefusal(const QString &path, const QString &text)
{
    if (IsRefused(path))
        return NotWrittenOver(path);
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() > MaxTextBytes) {
        return QCoreApplication::translate("TextFiles",
                                           "%1 was not saved: the text takes %2 bytes, more than a text read "
                                           "back in an editor may hold (%3); it stays in the editor")
            .arg(path, QString::number(bytes.size()), QString::number(MaxTextBytes));
    }
    const qint64 lines = linesOf(bytes);
    if (lines > MaxTextLines) {
        return QCoreApplication::translate("TextFiles",
                                           "%1 was not saved: the text holds %2 lines, more than a text read "
                                           "back in an editor may hold (%3); it stays in the editor")
            .arg(path, QString::number(lines), QString::number(MaxTextLines));
    }
    return QString();
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
