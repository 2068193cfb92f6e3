#include "core/xmlinput.h"

#include "core/utf8.h"

#include <QCoreApplication>
#include <QVector>
#include <algorithm>
#include <cstdint>
#include <cstring>

namespace
{
// A declaration runs far shorter; one that does not end within this is refused.
constexpr int MaxDeclaration = 4096;

bool isXmlSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

qsizetype firstNonAscii(const QByteArray &b)
{
    const auto at =
        std::find_if(b.cbegin(), b.cend(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return at == b.cend() ? -1 : at - b.cbegin();
}

enum class Family { Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE, Latin1, Ascii, Other };

const char *familyName(Family f)
{
    static const char *const names[] = {"UTF-8",    "UTF-16LE",   "UTF-16BE", "UTF-32LE",
                                        "UTF-32BE", "ISO-8859-1", "US-ASCII", ""};
    return names[static_cast<int>(f)];
}

bool isUtf16(Family f)
{
    return f == Family::Utf16LE || f == Family::Utf16BE;
}

bool isUtf32(Family f)
{
    return f == Family::Utf32LE || f == Family::Utf32BE;
}

// The encoding the parser starts with, as it tells it: a byte order mark, or the first '<' in two
// or four bytes; else UTF-8. *mark gets the length of the mark.
Family startingFamily(const QByteArray &b, int *mark)
{
    const auto is = [&b](const char *s, int len) {
        return b.size() >= len && std::memcmp(b.constData(), s, static_cast<size_t>(len)) == 0;
    };
    *mark = 0;
    if (is("\0\0\xFE\xFF", 4) || is("\xFF\xFE\0\0", 4)) {
        *mark = 4;
        return b.at(0) == 0 ? Family::Utf32BE : Family::Utf32LE;
    }
    if (is("<\0\0\0", 4))
        return Family::Utf32LE;
    if (is("\0\0\0<", 4))
        return Family::Utf32BE;
    if (is("\xFE\xFF", 2) || is("\xFF\xFE", 2)) {
        *mark = 2;
        return b.at(0) == '\xFE' ? Family::Utf16BE : Family::Utf16LE;
    }
    if (is("<\0", 2))
        return Family::Utf16LE;
    if (is("\0<", 2))
        return Family::Utf16BE;
    if (is("\xEF\xBB\xBF", 3))
        *mark = 3;
    return Family::Utf8;
}

// The family a declared name stands for; `starting` settles the byte order of a bare "UTF-16".
Family declaredFamily(const QString &name, Family starting)
{
    const QString n = name.trimmed().toUpper();
    if (n == QLatin1String("UTF-8") || n == QLatin1String("UTF8"))
        return Family::Utf8;
    if (n == QLatin1String("UTF-16"))
        return isUtf16(starting) ? starting : Family::Utf16LE;
    if (n == QLatin1String("UTF-16LE"))
        return Family::Utf16LE;
    if (n == QLatin1String("UTF-16BE"))
        return Family::Utf16BE;
    if (n == QLatin1String("UTF-32"))
        return isUtf32(starting) ? starting : Family::Utf32LE;
    if (n == QLatin1String("UTF-32LE"))
        return Family::Utf32LE;
    if (n == QLatin1String("UTF-32BE"))
        return Family::Utf32BE;
    if (n == QLatin1String("ISO-8859-1") || n == QLatin1String("ISO8859-1") || n == QLatin1String("LATIN1"))
        return Family::Latin1;
    if (n == QLatin1String("US-ASCII") || n == QLatin1String("ASCII"))
        return Family::Ascii;
    return Family::Other;
}

// Where a declaration names its encoding: [from, to) of the name, -1 when it names none.
struct Named {
    int from = -1;
    int to = -1;
};

// What the DOM parser's input reads as the encoding: from the first "encoding" before the first
// '>' to the quotes after it, quoted or not, if the text starts with "<?xml".
Named guessedByInput(const QString &t)
{
    Named found;
    const int endPos = t.indexOf(QLatin1Char('>'));
    int pos = t.indexOf(QLatin1String("encoding"));
    if (!t.startsWith(QLatin1String("<?xml")) || endPos < 0 || pos < 0 || pos >= endPos)
        return found;
    while (pos < endPos && t.at(pos) != QLatin1Char('"') && t.at(pos) != QLatin1Char('\''))
        ++pos;
    if (pos == endPos)
        return found;
    found.from = ++pos;
    while (pos < endPos && t.at(pos) != QLatin1Char('"') && t.at(pos) != QLatin1Char('\''))
        ++pos;
    found.to = pos;
    return found;
}

// What the streaming parser reads: the pseudo-attribute `encoding` of an XML declaration.
Named declared(const QString &t)
{
    Named found;
    const int end = t.indexOf(QLatin1String("?>"));
    if (!t.startsWith(QLatin1String("<?xml")) || end < 0 || t.size() < 6 || !isXmlSpace(t.at(5)))
        return found;
    int i = 5;
    while (i < end) {
        while (i < end && isXmlSpace(t.at(i)))
            ++i;
        const int name = i;
        while (i < end && t.at(i).isLetter())
            ++i;
        const QStringRef key = t.midRef(name, i - name);
        while (i < end && isXmlSpace(t.at(i)))
            ++i;
        if (key.isEmpty() || i >= end || t.at(i++) != QLatin1Char('='))
            break;
        while (i < end && isXmlSpace(t.at(i)))
            ++i;
        if (i >= end || (t.at(i) != QLatin1Char('"') && t.at(i) != QLatin1Char('\'')))
            break;
        const int close = t.indexOf(t.at(i), i + 1);
        if (close < 0 || close > end)
            break;
        if (key == QLatin1String("encoding")) {
            found.from = i + 1;
            found.to = close;
        }
        i = close + 1;
    }
    return found;
}

// The encoding a document's declaration names, as each parser reads it.
struct Declaration {
    Named guessed; // by the DOM parser's input
    Named read;    // by the streaming parser
    QString name;
};

// The family the document is to be read in, or Other with the message: a declaration that does not
// end, that the parsers would read differently, that names another encoding or one the bytes
// contradict. head is the text after the byte order mark.
Family judgeDeclaration(const QString &head, Family starting, int mark, Declaration *d, QString *message)
{
    d->guessed = guessedByInput(head);
    d->read = declared(head);
    const Named &guessed = d->guessed;
    const Named &read = d->read;
    d->name = guessed.from < 0 ? QString() : head.mid(guessed.from, guessed.to - guessed.from);
    const QString &name = d->name;
    if (head.startsWith(QLatin1String("<?xml")) &&
        (!head.contains(QLatin1Char('>')) ||
         (head.size() > 5 && isXmlSpace(head.at(5)) && !head.contains(QLatin1String("?>"))))) {
        *message = QCoreApplication::translate("XmlInput", "an XML declaration that does not end");
        return Family::Other;
    }
    if ((guessed.from < 0) != (read.from < 0) ||
        (read.from >= 0 &&
         name.compare(head.midRef(read.from, read.to - read.from), Qt::CaseInsensitive) != 0)) {
        *message = QCoreApplication::translate("XmlInput",
                                               "an encoding declaration the parsers would read in two ways");
        return Family::Other;
    }
    const Family family = guessed.from < 0 ? starting : declaredFamily(name, starting);
    if (family == Family::Other) {
        *message =
            QCoreApplication::translate("XmlInput", "the encoding %1, which no workspace file is written in")
                .arg(name);
        return Family::Other;
    }
    const bool singleBytes = family == Family::Latin1 || family == Family::Ascii;
    if (family != starting && !(singleBytes && starting == Family::Utf8 && mark == 0)) {
        *message = QCoreApplication::translate("XmlInput", "the encoding %1 declared for bytes in %2")
                       .arg(name, QLatin1String(familyName(starting)));
        return Family::Other;
    }
    return family;
}

// Line and column of a character offset of a text, as the parsers count them.
void positionIn(const QString &text, int offset, int *line, int *column)
{
    const QStringRef before = text.leftRef(offset);
    *line = static_cast<int>(before.count(QLatin1Char('\n')) + 1);
    *column = offset - static_cast<int>(before.lastIndexOf(QLatin1Char('\n')));
}

// The same for a byte offset of UTF-8: continuation bytes are no characters of their own.
void positionInUtf8(const QByteArray &bytes, qsizetype offset, int *line, int *column)
{
    const char *p = bytes.constData();
    qsizetype lineStart = offset;
    while (lineStart > 0 && p[lineStart - 1] != '\n')
        --lineStart;
    *line = static_cast<int>(std::count(p, p + lineStart, '\n') + 1);
    *column = 1 + static_cast<int>(std::count_if(p + lineStart, p + offset, [](char c) {
                  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
              }));
}

QString hexBytes(const char *p, qsizetype n)
{
    QStringList shown;
    for (qsizetype i = 0; i < n; ++i)
        shown << QStringLiteral("0x%1")
                     .arg(static_cast<unsigned char>(p[i]), 2, 16, QLatin1Char('0'))
                     .toUpper();
    return shown.join(QLatin1Char(' ')).replace(QLatin1String("0X"), QLatin1String("0x"));
}

// The bytes of the sequence a lead byte at i begins, as far as they continue it: what is shown
// of bytes that do not decode.
qsizetype sequenceAt(const QByteArray &b, qsizetype i)
{
    const auto c = static_cast<unsigned char>(b.at(i));
    const qsizetype len = c >= 0xC2 && c <= 0xDF   ? 2
                          : c >= 0xE0 && c <= 0xEF ? 3
                          : c >= 0xF0 && c <= 0xF4 ? 4
                                                   : 1;
    qsizetype k = 1;
    while (k < len && i + k < b.size() && (static_cast<unsigned char>(b.at(i + k)) & 0xC0) == 0x80)
        ++k;
    return k;
}

QString notValid(Family f, const QString &bytes)
{
    return QCoreApplication::translate("XmlInput", "bytes that are not valid %1 (%2)")
        .arg(QLatin1String(familyName(f)), bytes);
}

// UTF-16 or UTF-32 decoded strictly, the byte order mark kept as a character: a surrogate out of
// its pair, a code point above U+10FFFF or a cut unit is refused with its offset in *text.
bool decodeWide(const QByteArray &b, Family f, QString *text, QString *bad)
{
    const int unit = isUtf16(f) ? 2 : 4;
    const bool big = f == Family::Utf16BE || f == Family::Utf32BE;
    const auto *p = reinterpret_cast<const unsigned char *>(b.constData());
    const qsizetype n = b.size();
    // Never more than one UTF-16 unit for every two bytes.
    text->resize(static_cast<int>(n / 2));
    QChar *out = text->data();
    const QChar *const start = out;
    bool good = true;
    for (qsizetype i = 0; i < n; i += unit) {
        if (n - i < unit) {
            *bad = hexBytes(b.constData() + i, n - i);
            good = false;
            break;
        }
        char32_t u = 0;
        for (int k = 0; k < unit; ++k)
            u |= char32_t(p[i + (big ? k : unit - 1 - k)]) << (8 * (unit - 1 - k));
        if (unit == 2 && QChar::isHighSurrogate(u) && n - i >= 4) {
            const char32_t low =
                big ? (char32_t(p[i + 2]) << 8 | p[i + 3]) : (char32_t(p[i + 3]) << 8 | p[i + 2]);
            if (QChar::isLowSurrogate(low)) {
                *out++ = QChar(static_cast<ushort>(u));
                *out++ = QChar(static_cast<ushort>(low));
                i += 2;
                continue;
            }
        }
        if (u > 0x10FFFF || QChar::isSurrogate(u)) {
            *bad = hexBytes(b.constData() + i, unit);
            good = false;
            break;
        }
        if (QChar::requiresSurrogates(u)) {
            *out++ = QChar(QChar::highSurrogate(u));
            *out++ = QChar(QChar::lowSurrogate(u));
        } else {
            *out++ = QChar(static_cast<ushort>(u));
        }
    }
    text->truncate(static_cast<int>(out - start));
    return good;
}

} // namespace

bool XmlInput::Prepare(const QByteArray &bytes, QByteArray *utf8, QString *message, int *line, int *column)
{
    *line = 1;
    *column = 1;
    int mark = 0;
    const Family starting = startingFamily(bytes, &mark);
    const bool wide = starting != Family::Utf8;
    QString text;
    QString bad;
    if (wide && !decodeWide(bytes, starting, &text, &bad)) {
        *message = notValid(starting, bad);
        positionIn(text, text.size(), line, column);
        return false;
    }
    // The declaration is read from the characters after the mark; those of a UTF-8 document as
    // single bytes, so that an offset in it is one in the bytes.
    const int skip = wide ? (mark ? 1 : 0) : mark;
    const QString head =
        wide
            ? text.mid(skip, MaxDeclaration)
            : QString::fromLatin1(bytes.constData() + mark,
                                  static_cast<int>(std::min<qsizetype>(bytes.size() - mark, MaxDeclaration)));
    Declaration d;
    const Family family = judgeDeclaration(head, starting, mark, &d, message);
    if (family == Family::Other)
        return false;
    const Named &guessed = d.guessed;
    const Named &read = d.read;
    const QString &name = d.name;
    const qsizetype badAt = family == Family::Utf8    ? Utf8::FirstInvalid(bytes.constData(), bytes.size())
                            : family == Family::Ascii ? firstNonAscii(bytes)
                                                      : -1;
    if (badAt >= 0) {
        const qsizetype len = family == Family::Ascii ? 1 : sequenceAt(bytes, badAt);
        *message = notValid(family, hexBytes(bytes.constData() + badAt, len));
        positionInUtf8(bytes, badAt, line, column);
        return false;
    }
    QByteArray out = bytes;
    if (guessed.from >= 0 && (wide || name.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0)) {
        // The declaration is made to name UTF-8, so that no parser reads the UTF-8 handed on in
        // another encoding; back to front, so that the offsets before hold.
        QVector<Named> names{guessed};
        if (read.from != guessed.from)
            names.append(read);
        std::sort(names.begin(), names.end(), [](const Named &a, const Named &b) { return a.from > b.from; });
        for (const Named &n : qAsConst(names)) {
            if (wide)
                text.replace(skip + n.from, n.to - n.from, QStringLiteral("UTF-8"));
            else
                out.replace(mark + n.from, n.to - n.from, "UTF-8");
        }
    }
    if (wide)
        out = text.toUtf8();
    else if (family == Family::Latin1)
        out = QString::fromLatin1(out).toUtf8();
    qsizetype refAt = -1;
    if (!XmlInput::WriteWideReferences(out, &out, &refAt)) {
        *message = QCoreApplication::translate("XmlInput", "a character reference to no character");
        positionInUtf8(out, refAt, line, column);
        return false;
    }
    *utf8 = out;
    return true;
}
