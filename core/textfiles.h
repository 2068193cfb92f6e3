#pragma once

#include <QString>

// UTF-8 text files shared between members, and the small path and text helpers around them.
namespace TextFiles
{
// Reads the whole file as UTF-8; reads again, a second apart, until a read sees the file's time
// and size unchanged, so a file another member is still writing is not taken half-written.
// A missing or unreadable file gives the empty text.
QString Read(const QString &path, int settleMs = 1000);
// The text after the last "/"; failing that, after the last "\\" unless it is the first character
// (a trailing backslash gives the empty text); failing that, the whole path.
QString FileNameOfPath(const QString &path);
// Cuts a text whose UTF-8 encoding is longer than limit bytes to limit-4 bytes and "...".
QString TruncateUtf8(const QString &text, int limit);
} // namespace TextFiles
