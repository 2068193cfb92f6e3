#include "core/longvalue.h"

#include "core/bytescan.h"
#include "core/xmlinput.h"

#include <QCoreApplication>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstring>

namespace
{
// The first value found too long: where it starts, whose it is and how long it is.
struct Hit {
    qsizetype at = -1;
    QString attribute;
    qint64 chars = 0;
};

// An entity or character reference is one character of the value; a longer run after '&' is no
// reference, and its bytes count one by one.
constexpr qsizetype MaxReference = 32;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameEnd(char c)
{
    return isBlank(c) || c == '>' || c == '/' || c == '=';
}

// The characters of the quoted value that starts at `from` (after the quote), with where it ends.
qint64 countValue(const char *p, qsizetype n, qsizetype from, char quote, qsizetype *end)
{
    qint64 chars = 0;
    qsizetype k = from;
    while (k < n && p[k] != quote) {
        if (p[k] == '&') {
            const void *semi = std::memchr(p + k, ';', static_cast<size_t>(std::min(n - k, MaxReference)));
            if (semi) {
                k = static_cast<const char *>(semi) - p + 1;
                ++chars;
                continue;
            }
        }
        // UTF-8 continuation bytes belong to the character before.
        if ((static_cast<unsigned char>(p[k]) & 0xC0) != 0x80)
            ++chars;
        ++k;
    }
    *end = k;
    return chars;
}

// A plain pass over the bytes of a UTF-8 document without a DOCTYPE (the same shape the parser's
// quick pass reads); false when it cannot tell.
bool scanBytes(const QByteArray &bytes, const QByteArray &apart, Hit *hit)
{
    if (!ByteScan::Readable(bytes))
        return false;
    const ByteScan scan(bytes);
    const char *p = scan.p;
    const qsizetype n = scan.n;
    const auto at = [&scan](qsizetype i, const char *s) { return scan.At(i, s); };
    const auto skipPast = [&scan](qsizetype i, const char *end) { return scan.SkipPast(i, end); };
    qsizetype i = 0;
    while (i < n) {
        const void *open = std::memchr(p + i, '<', static_cast<size_t>(n - i));
        if (!open)
            break;
        i = static_cast<const char *>(open) - p;
        if (at(i, "<!--")) {
            i = skipPast(i + 4, "-->");
            continue;
        }
        if (at(i, "<![CDATA[")) {
            i = skipPast(i + 9, "]]>");
            continue;
        }
        if (at(i, "<?")) {
            i = skipPast(i + 2, "?>");
            continue;
        }
        if (at(i, "</") || at(i, "<!")) {
            i = skipPast(i + 2, ">");
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && !isNameEnd(p[j]))
            ++j;
        const bool judgedApart = !apart.isEmpty() && QByteArray::fromRawData(p + i + 1, j - i - 1) == apart;
        // The name of the attribute whose value comes next: the token before the last '='.
        qsizetype nameStart = j;
        qsizetype nameEnd = j;
        for (; j < n && p[j] != '>'; ++j) {
            if (p[j] == '=') {
                nameEnd = j;
                while (nameEnd > i && isBlank(p[nameEnd - 1]))
                    --nameEnd;
                nameStart = nameEnd;
                while (nameStart > i && !isBlank(p[nameStart - 1]) && p[nameStart - 1] != '"' &&
                       p[nameStart - 1] != '\'')
                    --nameStart;
            } else if (p[j] == '"' || p[j] == '\'') {
                qsizetype end = n;
                if (judgedApart) {
                    const void *close = std::memchr(p + j + 1, p[j], static_cast<size_t>(n - j - 1));
                    end = close ? static_cast<const char *>(close) - p : n;
                } else {
                    const qint64 chars = countValue(p, n, j + 1, p[j], &end);
                    if (chars > LongValue::MaxChars) {
                        hit->at = j + 1;
                        hit->attribute = QString::fromUtf8(p + nameStart, nameEnd - nameStart);
                        hit->chars = chars;
                        return true;
                    }
                }
                j = end;
            }
        }
        i = j + 1;
    }
    return true;
}

// The same, through the streaming parser: a document in UTF-16 or with a DOCTYPE.
void scanStream(const QByteArray &bytes, const QByteArray &apart, Hit *hit, int *line, int *column)
{
    QXmlStreamReader reader(bytes);
    reader.setNamespaceProcessing(false);
    const QString apartName = QString::fromUtf8(apart);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement ||
            (!apartName.isEmpty() && reader.name() == apartName))
            continue;
        for (const QXmlStreamAttribute &a : reader.attributes()) {
            if (a.value().size() > LongValue::MaxChars) {
                hit->at = reader.characterOffset();
                hit->attribute = a.qualifiedName().toString();
                hit->chars = a.value().size();
                *line = static_cast<int>(reader.lineNumber());
                *column = static_cast<int>(reader.columnNumber());
                return;
            }
        }
    }
}
} // namespace

QString LongValue::Shown(const QString &value)
{
    constexpr int kept = 32;
    if (value.size() <= kept + 8)
        return value;
    const int cut = value.at(kept - 1).isHighSurrogate() ? kept - 1 : kept;
    return QCoreApplication::translate("LongValue", "%1... (%2 characters)")
        .arg(value.left(cut))
        .arg(value.size());
}

bool LongValue::Check(const QByteArray &document, QString *message, int *line, int *column,
                      const QByteArray &judgedApart)
{
    // Values are counted in the characters the parser reads, whatever the document's encoding;
    // bytes it would not read make no values to take.
    QByteArray bytes;
    if (!XmlInput::Prepare(document, &bytes, message, line, column))
        return false;
    Hit hit;
    if (scanBytes(bytes, judgedApart, &hit)) {
        if (hit.at >= 0) {
            const QByteArray before = QByteArray::fromRawData(bytes.constData(), hit.at);
            *line = static_cast<int>(before.count('\n') + 1);
            *column = static_cast<int>(hit.at - before.lastIndexOf('\n'));
        }
    } else {
        scanStream(bytes, judgedApart, &hit, line, column);
    }
    if (hit.at < 0)
        return true;
    *message = TooLong(hit.attribute, hit.chars);
    return false;
}

QString LongValue::TooLong(const QString &attribute, qint64 chars)
{
    return QCoreApplication::translate("LongValue",
                                       "the value of %1 holds %2 characters, more than any name, address "
                                       "or title anyone types")
        .arg(Shown(attribute))
        .arg(chars);
}
