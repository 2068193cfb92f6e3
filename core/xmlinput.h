#pragma once

#include <QByteArray>
#include <QString>

// A shared document's bytes as the DOM parser will read them. The parser decodes them in whatever
// encoding the document declares (UTF-7, Shift_JIS, EBCDIC...), where '<' and "<!DOCTYPE" need not
// be those bytes, and it takes bytes that are not valid in that encoding as replacement
// characters, which a save then writes for good. So a document is decoded strictly here, in an
// encoding any of our files or the tracker's replies can be in, and handed on as UTF-8 that
// declares nothing else: the passes over its bytes then judge what the parser reads.
namespace XmlInput
{
// The document as UTF-8 in utf8: decoded by its byte order mark and its declaration (UTF-8,
// UTF-16, UTF-32, ISO-8859-1, US-ASCII), the declaration made to name UTF-8, and character
// references above U+FFFF written as the characters (the DOM parser keeps only their low 16 bits).
// False, with the message and the position, for another encoding, one the bytes contradict, bytes
// that do not decode, or a reference to no character.
bool Prepare(const QByteArray &bytes, QByteArray *utf8, QString *message, int *line, int *column);

// The DOM parser keeps only the low 16 bits of a character reference above U+FFFF, in texts and
// in values, and a save writes that other character for good: such references in the texts and
// values of UTF-8 in are written as their characters, which it reads whole, into out (left as it
// is when there is none). False with the offset of a reference to no character (past U+10FFFF).
bool WriteWideReferences(const QByteArray &in, QByteArray *out, qsizetype *badAt);
} // namespace XmlInput
