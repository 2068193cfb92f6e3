#pragma once

#include <QHash>
#include <QString>

#include <functional>

// UTF-8 text files shared between members, and the small path and text helpers around them.
namespace TextFiles
{
// How many looks a settling read or wait takes at most: a peer that keeps writing must not
// hang the GUI, so after that many the last read is used.
constexpr int MaxLooks = 10;

// What a text read whole and shown in an editor (an explanation, notes, a template, a chapter)
// may hold. An editor keeps some hundreds of bytes for every line and tens for every character,
// and lays them all out at once: a file of millions of short lines, or megabytes on one line,
// takes gigabytes and minutes, far past any text a member writes by hand.
constexpr qint64 MaxTextBytes = qint64(8) * 1024 * 1024;
constexpr int MaxTextLines = 500000;

// Reads the whole file as UTF-8; reads again, settleMs apart, until a read sees the file's time
// and size unchanged (at most MaxLooks reads), so a file another member is still writing is not
// taken half-written. A missing or unreadable file gives the empty text. A file past MaxTextBytes
// or MaxTextLines, one whose bytes are not UTF-8 (or hold a NUL), or no regular file, is refused:
// reported by name with the reason, read as the empty text, and IsRefused() until a later read
// takes it. The same refusal of the same file is reported once, by whichever reader meets it first,
// until the file changes (its size or modification time). A caller to which the empty
// text is not the file's text asks RefusalOf() right after the read. A leading UTF-8 byte order mark is left
// out. Lines end in "\n" in the text, whether the file ends them in LF, CR LF or a lone CR; each of those
// counts as a line against MaxTextLines. afterRead, when given, runs after each read with the number of reads
// so far.
QString Read(const QString &path, int settleMs = 1000,
             const std::function<void(int)> &afterRead = std::function<void(int)>());
// For formats that use only the start of a file (a grid's rows, a diagram's points): the first
// maxLines lines that are not empty (ended as by Read), each cut to at most maxLineBytes bytes at a
// character boundary, joined by "\n". The file is read in pieces and only as far as those lines,
// so its other lines cost no memory and a file of a few long lines no more than the cut; settled
// and refused as by Read, a byte that does not decode among those read included.
QString ReadHead(const QString &path, int maxLines, int maxLineBytes, int settleMs = 1000);
// Whether the last read of the path was refused. The empty text that stands in for it must never
// be saved over it: writers of these texts check here first.
bool IsRefused(const QString &path);
// The reason the last read of the path was refused, as it was reported; empty when it was not.
// An editor that shows the empty text in its place takes no typing and shows this instead.
QString RefusalOf(const QString &path);
// What a writer that refused to save over such a file says.
QString NotWrittenOver(const QString &path);
// Why the text must not be saved to path, or the empty text when it may: the last read of the path
// was refused (NotWrittenOver), or the text holds more than Read takes back (bytes or lines counted
// as Read counts them, or a NUL), which would make it unreadable for every member. Every writer of these
// texts asks here before it writes, and keeps the text in its editor when it is told no.
QString WriteRefusal(const QString &path, const QString &text);
// The one write of such a text (UTF-8), through the safe writer: never over a file that changed
// since this program last read it whole or wrote it (another member's program, another desktop of
// the member) unless the user says to save anyway (SaveConflict); a write refused so leaves
// SafeFile::LastChanged() set, and SaveConflict::Kept() when the user was asked. A path read as
// absent, or never read, is written only while it still is; one read only in part (a head that
// stopped before the end) only while that part is as read.
bool Write(const QString &path, const QString &text);
// As Write, for bytes already encoded (a grid, a point list).
bool WriteBytes(const QString &path, const QByteArray &bytes);
// What a writer says after Write or WriteBytes failed: the path and the reason, or the empty text
// when the user chose to keep the edit over another program's change (the question said it all).
QString WriteFailure(const QString &path);
// Waits until two looks settleMs apart see the file's time and size unchanged (at most MaxLooks
// looks): 0 when the file is there (settled or still changing), 1 when it has gone.
int WaitStable(const QString &path, int settleMs = 1000);
// The text after the last "/"; failing that, after the last "\\" unless it is the first character
// (a trailing backslash gives the empty text); failing that, the whole path.
QString FileNameOfPath(const QString &path);
// Cuts a text whose UTF-8 encoding is longer than limit bytes at the last character boundary at
// or below limit-4 bytes and adds "...".
QString TruncateUtf8(const QString &text, int limit);
// Sets every count of the table to 0, then counts each $Var[n] / $Seq[n] marker of the text that
// is a key of the table; markers that are not keys are ignored.
void CountMarkers(const QString &text, QHash<QString, int> *counts);
} // namespace TextFiles
