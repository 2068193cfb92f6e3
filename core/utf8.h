#pragma once

#include <QtGlobal>

// Bytes that claim to be UTF-8. Decoding replaces what does not decode, and a save then writes the
// replacement characters for good: readers refuse such bytes instead, as a broken file.
namespace Utf8
{
// The offset of the first byte that does not begin a valid UTF-8 sequence (an overlong form, a
// surrogate, a code point above U+10FFFF, a cut sequence), or -1 when all are valid.
qsizetype FirstInvalid(const char *p, qsizetype n);
} // namespace Utf8
