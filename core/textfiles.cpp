#include "core/textfiles.h"

#include "core/safefile.h"
#include "core/saveconflict.h"
#include "core/uireport.h"
#include "core/utf8.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QThread>
#include <cstring>

namespace
{
enum class Outcome { Read, Failed, Refused };

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

// A refusal as it was last told: the file as it was then and the reason.
struct Told {
    Stamp stamp;
    QString reason;
};

// Paths whose last read was refused, with the reason, for the writers that must not save over them
// and the editors that must not take typing for them; and what was told of each.
QMutex g_refusedLock;
QHash<QString, QString> g_refused;
QHash<QString, Told> g_told;
// What the last read or write of each path held, for the writers that must not write over a file
// another program changed since (see TextFiles::Write): after a read of only a part, that part.
QHash<QString, SafeFile::Seen> g_seen;

QString keyOf(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// A read that took the file: its refusal, if any, is over, and a writer compares with what it saw
// (when it saw the whole file).
void noteRead(const QString &path, const SafeFile::Seen &seen)
{
    const QString key = keyOf(path);
    QMutexLocker lock(&g_refusedLock);
    g_refused.remove(key);
    g_seen.insert(key, seen);
}

// A text this program never read (one made in the session) is written only while its file is
// absent.
SafeFile::Seen seenOf(const QString &path)
{
    const QString key = keyOf(path);
    QMutexLocker lock(&g_refusedLock);
    return g_seen.value(key, SafeFile::Seen::Absent());
}

void noteRefused(const QString &path, const QString &reason)
{
    const QString key = keyOf(path);
    QMutexLocker lock(&g_refusedLock);
    g_refused.insert(key, reason);
}

// Whether the refusal is news: every reader of the file (an editor shown again, a run, a view) reads
// it again, and the member hears of the same file once until it changes. A reader that takes the
// file meanwhile (a grid's head that stops before the damage) changes nothing of that.
bool firstTelling(const QString &path, const QString &reason)
{
    const Told now{stampOf(path), reason};
    const QString key = keyOf(path);
    QMutexLocker lock(&g_refusedLock);
    auto told = g_told.find(key);
    if (told != g_told.end() && told->stamp == now.stamp && told->reason == now.reason)
        return false;
    g_told.insert(key, now);
    return true;
}

// A pipe, a device, a file of gigabytes or of millions of lines under a shared file's name is
// nobody's text: said, not read.
Outcome refuse(const QString &path, const QString &reason)
{
    if (firstTelling(path, reason))
        UiReport::Error(QCoreApplication::translate("TextFiles", "File error"), reason);
    noteRefused(path, reason.isEmpty() ? TextFiles::NotWrittenOver(path) : reason);
    return Outcome::Refused;
}

Outcome openFailed(const QString &path)
{
    return SafeFile::LastRefused() ? refuse(path, SafeFile::LastError()) : Outcome::Failed;
}

// Line ends as an editor takes them: LF, CR LF, and a lone CR (which the editor also breaks at).
// The reader's limit and the writers' check count with this one function.
qint64 linesOf(const QByteArray &bytes)
{
    qint64 ends = 0;
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\n' || (c == '\r' && (i + 1 == bytes.size() || bytes.at(i + 1) != '\n')))
            ++ends;
    }
    const bool open = !bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r');
    return ends + (open ? 1 : 0);
}

// CR LF and a lone CR become LF: the text keeps every line the file holds, split where the file
// splits it, and no line end vanishes.
QByteArray withLineFeeds(const QByteArray &bytes)
{
    if (!bytes.contains('\r'))
        return bytes;
    QByteArray out;
    out.reserve(bytes.size());
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\r')
            out.append(c);
        else if (i + 1 == bytes.size() || bytes.at(i + 1) != '\n')
            out.append('\n');
    }
    return out;
}

// The offset of the first byte that is not UTF-8 text, or -1 when all are: only well-formed
// sequences, and no NUL, which no text typed by a member holds but every UTF-16 text of Latin
// letters does. A leading byte order mark is UTF-8 like any other character.
qint64 firstUndecodable(const char *p, qsizetype n)
{
    const qsizetype bad = Utf8::FirstInvalid(p, n);
    const void *nul = std::memchr(p, 0, static_cast<size_t>(bad < 0 ? n : bad));
    return nul ? static_cast<const char *>(nul) - p : bad;
}

QString notUtf8(const QString &path, qint64 offset)
{
    return QCoreApplication::translate("TextFiles",
                                       "%1 holds bytes that are not UTF-8 text (from byte %2 on), as a text "
                                       "saved in another encoding (Shift_JIS, Latin-1, UTF-16) does: it was "
                                       "not read, and it is not written over")
        .arg(path, QString::number(offset));
}

QString tooManyLines(const QString &path, qint64 lines)
{
    return QCoreApplication::translate("TextFiles", "%1 holds %2 lines, more than any text "
                                                    "shown in an editor needs (%3): it was not read")
        .arg(path, QString::number(lines), QString::number(TextFiles::MaxTextLines));
}

// Read as bytes, not as text: a text-mode read drops every CR, lone ones included, and with them
// the line ends of a text that has no other.
Outcome readWhole(const QString &path, QString *text)
{
    QByteArray bytes;
    if (!SafeFile::ReadAll(path, &bytes, QIODevice::ReadOnly, TextFiles::MaxTextBytes))
        return openFailed(path);
    // Bytes in another encoding, decoded as UTF-8, show as garbage and save back as replacement
    // characters: the file is broken for this program, not a text to rewrite.
    const qint64 bad = firstUndecodable(bytes.constData(), bytes.size());
    if (bad >= 0)
        return refuse(path, notUtf8(path, bad));
    const qint64 lines = linesOf(bytes);
    if (lines > TextFiles::MaxTextLines)
        return refuse(path, tooManyLines(path, lines));
    *text = QString::fromUtf8(withLineFeeds(bytes));
    noteRead(path, SafeFile::Seen::Of(bytes));
    return Outcome::Read;
}

// The lines ReadHead keeps, taken a byte at a time: blank lines left out, each line cut to its
// bound, the bytes of each line kept checked as UTF-8 when it ends.
class HeadLines
{
public:
    HeadLines(int maxLines, int maxLineBytes) : m_maxLines(maxLines), m_maxLineBytes(maxLineBytes) {}

    bool Full() const { return m_lines >= m_maxLines; }
    // False once a line kept holds bytes that do not decode.
    bool Take(char c)
    {
        ++m_offset;
        // A lone CR ends a line as LF does; the empty line between CR and LF is left out.
        if (c == '\n' || c == '\r')
            return endLine();
        if (!m_cut && m_line.size() < m_maxLineBytes) {
            m_line.append(c);
            return true;
        }
        // Bytes past the cut are not kept but judged all the same: the file is broken either way. A
        // character the cut divides is judged whole with them, and lost to the line.
        if (!m_cut) {
            const int tail = partialTail(m_line);
            m_past = m_line.right(tail);
            m_line.chop(tail);
            m_cut = true;
        }
        m_past.append(c);
        return m_past.size() < PastPiece || judgePast(false);
    }
    // Where the reading stopped; before the end of the file the last line is cut there.
    bool Finish(bool atEnd) { return Full() || endLine(atEnd); }
    qint64 Bad() const { return m_bad; }
    QString Text() const { return m_text; }

private:
    static constexpr int PastPiece = 64 * 1024;

    // Judges the bytes past the cut so far; a character they end in waits for its rest unless the
    // line is whole.
    bool judgePast(bool lineWhole)
    {
        qsizetype whole = m_past.size();
        if (!lineWhole) {
            while (whole > 0 && m_past.size() - whole < 3 &&
                   (static_cast<uchar>(m_past.at(whole - 1)) & 0xC0) == 0x80)
                --whole;
            if (whole > 0 && static_cast<uchar>(m_past.at(whole - 1)) >= 0xC0)
                --whole;
        }
        const qint64 bad = firstUndecodable(m_past.constData(), whole);
        if (bad >= 0) {
            m_bad = m_offset - m_past.size() + bad;
            return false;
        }
        m_past.remove(0, int(whole));
        return true;
    }

    // atEnd: the line is whole; else the reading stopped inside it, maybe inside a character.
    bool endLine(bool atEnd = true)
    {
        if (!judgePast(atEnd))
            return false;
        if (!atEnd)
            m_line.chop(partialTail(m_line));
        const qint64 bad = firstUndecodable(m_line.constData(), m_line.size());
        if (bad >= 0) {
            m_bad = m_lineStart + bad;
            return false;
        }
        if (!m_line.isEmpty()) {
            if (m_lines > 0)
                m_text.append(QLatin1Char('\n'));
            m_text.append(QString::fromUtf8(m_line));
            ++m_lines;
        }
        m_line.clear();
        m_cut = false;
        m_lineStart = m_offset;
        return true;
    }
    // The bytes of a character a cut left incomplete at the end of well-formed bytes.
    static int partialTail(const QByteArray &bytes)
    {
        int start = bytes.size();
        while (start > 0 && (static_cast<uchar>(bytes.at(start - 1)) & 0xC0) == 0x80)
            --start;
        if (start == 0)
            return 0;
        const uchar lead = static_cast<uchar>(bytes.at(start - 1));
        const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const int held = bytes.size() - start + 1;
        return held < length ? held : 0;
    }

    const int m_maxLines;
    const int m_maxLineBytes;
    QString m_text;
    QByteArray m_line;
    QByteArray m_past; // bytes past the cut not yet judged
    bool m_cut = false;
    qint64 m_offset = 0;    // bytes taken
    qint64 m_lineStart = 0; // where the line being taken starts
    qint64 m_bad = -1;
    int m_lines = 0;
};

Outcome readHead(const QString &path, int maxLines, int maxLineBytes, QString *text)
{
    QFile file;
    if (!SafeFile::OpenRead(file, path))
        return openFailed(path);
    HeadLines head(maxLines, maxLineBytes);
    // The bytes of blank lines are passed over in pieces: a file of nothing else costs its reading.
    // A writer that keeps adding to it cannot hold the reader past the common ceiling.
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    bool ended = false;
    // A head that reaches the end saw the whole file: its writer may compare with it.
    QCryptographicHash whole(SafeFile::Seen::Algorithm);
    qint64 lastRead = 0;
    while (!head.Full() && total < SafeFile::MaxReadBytes) {
        const qint64 n = file.read(piece.data(), piece.size());
        if (n < 0)
            return Outcome::Failed;
        if (n == 0) {
            ended = true;
            break;
        }
        total += n;
        lastRead = n;
        whole.addData(piece.constData(), int(n));
        for (qint64 i = 0; i < n && !head.Full(); ++i) {
            if (!head.Take(piece.at(int(i))))
                return refuse(path, notUtf8(path, head.Bad()));
        }
    }
    // Bytes not read are not judged: a grid's reader stops at its last row.
    if (!head.Finish(ended))
        return refuse(path, notUtf8(path, head.Bad()));
    *text = head.Text();
    // A short last piece usually held the end already; a full one leaves the rest unread.
    const bool seenWhole = ended || (lastRead < piece.size() && file.read(piece.data(), 1) == 0);
    noteRead(path, seenWhole ? SafeFile::Seen::OfHash(whole.result())
                             : SafeFile::Seen::OfHead(whole.result(), total));
    return Outcome::Read;
}

// Reads until two reads settleMs apart see the same file (at most MaxLooks reads).
QString settled(const QString &path, int settleMs, const std::function<Outcome(QString *)> &read,
                const std::function<void(int)> &afterRead)
{
    QString text;
    if (!QFileInfo::exists(path)) {
        // An editor of the empty text writes a new file, never over one made meanwhile.
        noteRead(path, SafeFile::IsAbsent(path) ? SafeFile::Seen::Absent() : SafeFile::Seen());
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
    // A NUL is the one character of UTF-8 the readers do not take back (see firstUndecodable).
    if (bytes.contains('\0')) {
        return QCoreApplication::translate("TextFiles",
                                           "%1 was not saved: the text holds a NUL character, which no text "
                                           "read back in an editor may hold; it stays in the editor")
            .arg(path);
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

bool TextFiles::Write(const QString &path, const QString &text)
{
    return WriteBytes(path, text.toUtf8());
}

bool TextFiles::WriteBytes(const QString &path, const QByteArray &bytes)
{
    bool written = SafeFile::WriteOver(path, bytes, seenOf(path));
    // The question runs an event loop: what the refusal saw is taken before it.
    for (SafeFile::Seen now = SafeFile::LastChangedTo();
         !written && SafeFile::LastChanged() && SaveConflict::SaveAnyway(path, now);
         now = SafeFile::LastChangedTo())
        written = SafeFile::WriteOver(path, bytes, now);
    if (!written)
        return false;
    noteRead(path, SafeFile::Seen::Of(bytes));
    return true;
}

QString TextFiles::WriteFailure(const QString &path)
{
    if (SafeFile::LastChanged() && SaveConflict::Kept())
        return QString();
    return SafeFile::WithReason(QCoreApplication::translate("TextFiles", "can not write file:%1").arg(path));
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
