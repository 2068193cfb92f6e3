#pragma once

#include <QByteArray>
#include <cstring>

// The plain passes over a shared document's bytes made before it is parsed (its nodes, its long
// values): several times quicker than the streaming parser, they read only what a UTF-8 document
// without a DOCTYPE spells out. They are given only what XmlInput::Prepare made of the bytes: UTF-8
// that the parser reads as UTF-8, whatever the file was written in.
struct ByteScan {
    explicit ByteScan(const QByteArray &bytes) : p(bytes.constData()), n(bytes.size()) {}

    // A NUL byte (no XML at all) or a DOCTYPE, whose entities may hold what the bytes do not spell
    // out: either is for the streaming parser.
    static bool Readable(const QByteArray &bytes)
    {
        return !std::memchr(bytes.constData(), 0, static_cast<size_t>(bytes.size())) &&
               !bytes.contains("<!DOCTYPE");
    }
    bool At(qsizetype i, const char *s) const
    {
        const qsizetype len = static_cast<qsizetype>(std::strlen(s));
        return n - i >= len && std::memcmp(p + i, s, static_cast<size_t>(len)) == 0;
    }
    // The offset just past the first `end` from i, or n when there is none. Found with memchr, which
    // reads only as far as it finds: AddressSanitizer checks the whole rest of the document on
    // every memmem, and a file of a million small sections took hours.
    qsizetype SkipPast(qsizetype i, const char *end) const
    {
        const qsizetype len = static_cast<qsizetype>(std::strlen(end));
        for (qsizetype at = i; n - at >= len; ++at) {
            const void *first = std::memchr(p + at, end[0], static_cast<size_t>(n - at - len + 1));
            if (!first)
                break;
            at = static_cast<const char *>(first) - p;
            if (std::memcmp(p + at, end, static_cast<size_t>(len)) == 0)
                return at + len;
        }
        return n;
    }

    const char *p;
    qsizetype n;
};
