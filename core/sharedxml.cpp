#include "core/sharedxml.h"

#include "core/safefile.h"

#include <QCoreApplication>
#include <QXmlStreamReader>
#include <cstring>

namespace
{
// The offset of the first start tag nested deeper than maxDepth, -1 when none, found by a plain
// byte scan that is several times quicker than the streaming parser. It sees only what a UTF-8
// document without a DOCTYPE spells out (entities of a DOCTYPE can nest elements the scan would
// not see), so it answers only for such documents: false when it cannot tell.
bool quickDepthScan(const QByteArray &bytes, int maxDepth, qsizetype *deepAt)
{
    const char *p = bytes.constData();
    const qsizetype n = bytes.size();
    // A NUL byte: UTF-16 or UTF-32, or no XML at all; either way for the streaming parser.
    if (std::memchr(p, 0, static_cast<size_t>(n)) || bytes.contains("<!DOCTYPE"))
        return false;
    const auto at = [&](qsizetype i, const char *s) {
        const qsizetype len = static_cast<qsizetype>(std::strlen(s));
        return n - i >= len && std::memcmp(p + i, s, static_cast<size_t>(len)) == 0;
    };
    // The offset of the last byte of the first `end` from i, or n when there is none.
    const auto skipTo = [&](qsizetype i, const char *end) {
        const size_t len = std::strlen(end);
        const void *found = memmem(p + i, static_cast<size_t>(n - i), end, len);
        return found ? static_cast<const char *>(found) - p + static_cast<qsizetype>(len) - 1 : n;
    };
    int depth = 0;
    *deepAt = -1;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] != '<')
            continue;
        if (at(i, "<!--")) {
            i = skipTo(i, "-->");
        } else if (at(i, "<![CDATA[")) {
            i = skipTo(i, "]]>");
        } else if (at(i, "<?")) {
            i = skipTo(i, "?>");
        } else if (at(i, "</")) {
            --depth;
            i = skipTo(i, ">");
        } else if (at(i, "<!")) {
            i = skipTo(i, ">");
        } else {
            // A start tag runs to the first '>' outside quotes; one ending in "/>" is empty.
            qsizetype j = i + 1;
            char quote = 0;
            for (; j < n && (quote || p[j] != '>'); ++j) {
                if (quote ? p[j] == quote : (p[j] == '"' || p[j] == '\''))
                    quote = quote ? 0 : p[j];
            }
            if ((j >= n || p[j - 1] != '/') && ++depth > maxDepth) {
                *deepAt = i;
                return true;
            }
            i = j;
        }
    }
    return true;
}
} // namespace

bool SharedXml::CheckNesting(const QByteArray &bytes, int maxDepth, QString *message, int *line, int *column)
{
    QXmlStreamReader reader(bytes);
    // Prefixes are the DOM parser's business; only the structure counts here.
    reader.setNamespaceProcessing(false);
    message->clear();
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::StartElement && ++depth > maxDepth) {
            *message = QCoreApplication::translate("SharedXml", "elements nested deeper than %1 levels")
                           .arg(maxDepth);
            break;
        }
    }
    if (reader.hasError())
        *message = reader.errorString();
    if (message->isEmpty())
        return true;
    *line = static_cast<int>(reader.lineNumber());
    *column = static_cast<int>(reader.columnNumber());
    return false;
}

bool SharedXml::SetContent(QDomDocument &doc, const QByteArray &bytes, QString *message, int *line,
                           int *column)
{
    QString ownMessage;
    int ownLine = 0;
    int ownColumn = 0;
    QString *m = message ? message : &ownMessage;
    int *l = line ? line : &ownLine;
    int *c = column ? column : &ownColumn;
    // Bytes that came by other ways than a file read (a server's reply) are held to the same size.
    if (bytes.size() > SafeFile::MaxReadBytes) {
        *m = QCoreApplication::translate("SharedXml",
                                         "a document of %1 bytes, more than any workspace file needs")
                 .arg(bytes.size());
        *l = 0;
        *c = 0;
        return false;
    }
    qsizetype deepAt = -1;
    if (quickDepthScan(bytes, MaxDepth, &deepAt)) {
        if (deepAt >= 0) {
            const QByteArray before = bytes.left(deepAt);
            *m = QCoreApplication::translate("SharedXml", "elements nested deeper than %1 levels")
                     .arg(MaxDepth);
            *l = before.count('\n') + 1;
            *c = static_cast<int>(deepAt - before.lastIndexOf('\n'));
            return false;
        }
    } else if (!CheckNesting(bytes, MaxDepth, m, l, c)) {
        return false;
    }
    return doc.setContent(bytes, true, m, l, c);
}
