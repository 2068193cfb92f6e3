#include "core/xmlinput.h"

#include "core/bytescan.h"

#include <QString>
#include <algorithm>
#include <cstring>

namespace
{
// The value of the character reference at i, with the offset past it; -1 when there is none.
// Values past any character are held at one past U+10FFFF.
qint64 referenceAt(const char *p, qsizetype n, qsizetype i, qsizetype *end)
{
    if (n - i < 4 || p[i] != '&' || p[i + 1] != '#')
        return -1;
    qsizetype k = i + 2;
    const bool hex = p[k] == 'x';
    k += hex ? 1 : 0;
    qint64 value = 0;
    const qsizetype first = k;
    for (; k < n; ++k) {
        const char c = p[k];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'))
            digit = (c | 0x20) - 'a' + 10;
        if (digit < 0)
            break;
        value = std::min<qint64>(value * (hex ? 16 : 10) + digit, 0x110000);
    }
    if (k == first || k >= n || p[k] != ';')
        return -1;
    *end = k + 1;
    return value;
}

bool anyWideReference(const ByteScan &scan)
{
    for (qsizetype i = 0; i < scan.n;) {
        const void *at = std::memchr(scan.p + i, '&', static_cast<size_t>(scan.n - i));
        if (!at)
            return false;
        i = static_cast<const char *>(at) - scan.p;
        qsizetype end = 0;
        if (referenceAt(scan.p, scan.n, i, &end) > 0xFFFF)
            return true;
        ++i;
    }
    return false;
}

// A declaration (a DOCTYPE) runs to the first '>' outside quotes and its internal subset.
qsizetype skipDeclaration(const ByteScan &scan, qsizetype i)
{
    int depth = 0;
    char quote = 0;
    for (qsizetype j = i + 2; j < scan.n; ++j) {
        const char c = scan.p[j];
        if (quote)
            quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'')
            quote = c;
        else if (c == '[' || c == ']')
            depth += c == '[' ? 1 : -1;
        else if (c == '>' && depth <= 0)
            return j + 1;
    }
    return scan.n;
}

} // namespace

bool XmlInput::WriteWideReferences(const QByteArray &in, QByteArray *out, qsizetype *badAt)
{
    const ByteScan scan(in);
    if (!anyWideReference(scan))
        return true;
    const char *p = scan.p;
    const qsizetype n = scan.n;
    QByteArray result;
    result.reserve(static_cast<int>(n));
    qsizetype copied = 0;
    // The offset after the '&' at k; -1 when it refers to no character.
    const auto reference = [&](qsizetype k) -> qsizetype {
        qsizetype end = 0;
        const qint64 value = referenceAt(p, n, k, &end);
        if (value <= 0xFFFF)
            return k + 1;
        if (value > 0x10FFFF) {
            *badAt = k;
            return -1;
        }
        result.append(p + copied, static_cast<int>(k - copied));
        const char32_t c = static_cast<char32_t>(value);
        result.append(QString::fromUcs4(&c, 1).toUtf8());
        copied = end;
        return end;
    };
    qsizetype i = 0;
    while (i >= 0 && i < n) {
        if (p[i] == '&') {
            i = reference(i);
        } else if (p[i] != '<') {
            ++i;
        } else if (scan.At(i, "<!--")) {
            i = scan.SkipPast(i + 4, "-->");
        } else if (scan.At(i, "<![CDATA[")) {
            i = scan.SkipPast(i + 9, "]]>");
        } else if (scan.At(i, "<?")) {
            i = scan.SkipPast(i + 2, "?>");
        } else if (scan.At(i, "<!")) {
            i = skipDeclaration(scan, i);
        } else {
            // A tag: references count only inside its quoted values.
            char quote = 0;
            for (++i; i >= 0 && i < n && (quote || p[i] != '>');) {
                if (quote && p[i] == '&') {
                    i = reference(i);
                    continue;
                }
                if (quote ? p[i] == quote : (p[i] == '"' || p[i] == '\''))
                    quote = quote ? 0 : p[i];
                ++i;
            }
        }
    }
    if (i < 0)
        return false;
    result.append(p + copied, static_cast<int>(n - copied));
    *out = result;
    return true;
}
