#include "core/sharedxml.h"

#include "core/bytescan.h"
#include "core/safefile.h"
#include "core/xmlinput.h"

#include <QCoreApplication>
#include <QXmlStreamReader>
#include <cstring>

namespace
{
// What the quick pass found: the first start tag nested deeper than the limit, or the point where
// the document passed its count of nodes; -1 each when none.
struct QuickScan {
    qsizetype deepAt = -1;
    qsizetype crowdedAt = -1;
    qint64 nodes = 0;
    // A name with a colon: a prefix, declared or not, or no name the DOM can write back.
    bool prefixed = false;
};

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A plain byte scan, several times quicker than the streaming parser, that finds the first start
// tag nested deeper than maxDepth and counts the nodes the DOM would hold (elements, attributes,
// texts, comments...) up to maxNodes. It sees only what a UTF-8 document without a DOCTYPE spells
// out (entities of a DOCTYPE can nest elements the scan would not see), so it answers only for
// such documents: false when it cannot tell.
bool quickScan(const QByteArray &bytes, int maxDepth, qint64 maxNodes, QuickScan *found)
{
    if (!ByteScan::Readable(bytes))
        return false;
    const ByteScan scan(bytes);
    const char *p = scan.p;
    const qsizetype n = scan.n;
    const auto at = [&scan](qsizetype i, const char *s) { return scan.At(i, s); };
    // The offset of the last byte of the first `end` from i.
    const auto skipTo = [&scan](qsizetype i, const char *end) { return scan.SkipPast(i, end) - 1; };
    int depth = 0;
    qint64 &nodes = found->nodes;
    // Text between two pieces of markup is a node only when it is more than blanks (the DOM
    // parser drops those).
    bool text = false;
    // A byte order mark is no text: the parser drops it.
    for (qsizetype i = scan.At(0, "\xEF\xBB\xBF") ? 3 : 0; i < n; ++i) {
        if (p[i] != '<') {
            text = text || !isXmlSpace(p[i]);
            continue;
        }
        // Whatever but an end tag starts here is a node of its own.
        const bool end = at(i, "</");
        nodes += (text ? 1 : 0) + (end ? 0 : 1);
        text = false;
        if (nodes > maxNodes) {
            found->crowdedAt = i;
            return true;
        }
        if (end) {
            --depth;
            i = skipTo(i, ">");
            continue;
        }
        if (at(i, "<!--")) {
            i = skipTo(i, "-->");
        } else if (at(i, "<![CDATA[")) {
            i = skipTo(i, "]]>");
        } else if (at(i, "<?")) {
            i = skipTo(i, "?>");
        } else if (at(i, "<!")) {
            i = skipTo(i, ">");
        } else {
            // A start tag runs to the first '>' outside quotes; one ending in "/>" is empty. Each
            // '=' outside quotes is one attribute.
            qsizetype j = i + 1;
            char quote = 0;
            for (; j < n && (quote || p[j] != '>'); ++j) {
                if (quote ? p[j] == quote : (p[j] == '"' || p[j] == '\''))
                    quote = quote ? 0 : p[j];
                else if (!quote && p[j] == '=')
                    ++nodes;
                else if (!quote && p[j] == ':')
                    found->prefixed = true;
            }
            // An empty element lies one level down as well, though it closes at once.
            if (depth + 1 > maxDepth) {
                found->deepAt = i;
                return true;
            }
            if (j >= n || p[j - 1] != '/')
                ++depth;
            if (nodes > maxNodes) {
                found->crowdedAt = i;
                return true;
            }
            i = j;
        }
    }
    return true;
}

QString tooManyNodes(qint64 maxNodes)
{
    return QCoreApplication::translate("SharedXml",
                                       "more than %1 elements, attributes and texts, more than any workspace "
                                       "file needs")
        .arg(maxNodes);
}

// The line and column of a byte offset, as the parsers count them.
void positionOf(const QByteArray &bytes, qsizetype offset, int *line, int *column)
{
    const QByteArray before = bytes.left(offset);
    *line = static_cast<int>(before.count('\n') + 1);
    *column = static_cast<int>(offset - before.lastIndexOf('\n'));
}
} // namespace

namespace
{
// The first name of the element just read that has a prefix. Qt's DOM writes a prefixed attribute
// before the declaration of its prefix, and on the next read and save it loses the prefix; names
// it cannot write at all (`a:`, an undeclared prefix) are the reader's errors already.
QString prefixedName(const QXmlStreamReader &reader)
{
    if (!reader.prefix().isEmpty())
        return reader.qualifiedName().toString();
    for (const QXmlStreamAttribute &attribute : reader.attributes()) {
        if (!attribute.prefix().isEmpty())
            return attribute.qualifiedName().toString();
    }
    return QString();
}
} // namespace

bool SharedXml::CheckNesting(const QByteArray &bytes, int maxDepth, QString *message, int *line, int *column,
                             qint64 maxNodes, Counted *counted)
{
    Counted own;
    Counted *count = counted ? counted : &own;
    *count = Counted();
    QXmlStreamReader reader(bytes);
    // The DOM parser takes names it cannot write back (`a:`, `:`, a prefix never declared) and
    // saves them as something else, or as a file no parser reads: this reader refuses them.
    reader.setNamespaceProcessing(true);
    message->clear();
    int depth = 0;
    qint64 &nodes = count->nodes;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::DTD) {
            // The DOM expands every reference of an entity in full, and Qt bounds one entity's
            // expansion, not the document's: a few KB referenced a million times become
            // gigabytes. None of our formats declares entities, so a document that does is refused.
            if (!reader.entityDeclarations().isEmpty() || reader.text().contains(QLatin1String("<!ENTITY"))) {
                *message = QCoreApplication::translate("SharedXml",
                                                       "entities declared, which no workspace file holds");
                count->entities = true;
                break;
            }
        } else if (token == QXmlStreamReader::StartElement) {
            nodes += 1 + reader.attributes().size();
            if (const QString name = prefixedName(reader); !name.isEmpty()) {
                *message = QCoreApplication::translate(
                               "SharedXml", "the name %1 has a prefix, which no workspace file uses "
                                            "and which this program cannot write back as read")
                               .arg(name);
                break;
            }
            if (++depth > maxDepth) {
                *message = QCoreApplication::translate("SharedXml", "elements nested deeper than %1 levels")
                               .arg(maxDepth);
                break;
            }
        } else if ((token == QXmlStreamReader::Characters && !reader.isWhitespace()) ||
                   token == QXmlStreamReader::Comment || token == QXmlStreamReader::ProcessingInstruction ||
                   token == QXmlStreamReader::EntityReference) {
            ++nodes;
        }
        if (nodes > maxNodes) {
            *message = tooManyNodes(maxNodes);
            count->crowded = true;
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

namespace
{
// Everything the reader asks of a document before the DOM parser builds its tree, with the UTF-8
// that parser is to read in utf8. streamed, when given, tells whether the streaming reader went
// through the whole document on the way.
bool judge(const QByteArray &bytes, QByteArray *utf8, QString *message, int *line, int *column,
           qint64 maxNodes, SharedXml::Counted *counted, bool *streamed = nullptr)
{
    // Bytes that came by other ways than a file read (a server's reply) are held to the same size.
    if (bytes.size() > SafeFile::MaxReadBytes) {
        *message = QCoreApplication::translate("SharedXml",
                                               "a document of %1 bytes, more than any workspace file needs")
                       .arg(bytes.size());
        *line = 0;
        *column = 0;
        return false;
    }
    SharedXml::Counted own;
    SharedXml::Counted *count = counted ? counted : &own;
    *count = SharedXml::Counted();
    // Every pass and the DOM read the same UTF-8, whatever the document was written in.
    if (!XmlInput::Prepare(bytes, utf8, message, line, column))
        return false;
    QuickScan found;
    if (quickScan(*utf8, SharedXml::MaxDepth, maxNodes, &found)) {
        count->nodes = found.nodes;
        if (found.deepAt >= 0) {
            *message = QCoreApplication::translate("SharedXml", "elements nested deeper than %1 levels")
                           .arg(SharedXml::MaxDepth);
            positionOf(*utf8, found.deepAt, line, column);
            return false;
        }
        if (found.crowdedAt >= 0) {
            count->crowded = true;
            *message = tooManyNodes(maxNodes);
            positionOf(*utf8, found.crowdedAt, line, column);
            return false;
        }
        // Names with a colon are rare in our formats: only then is the slower reader asked whether
        // each is one the DOM writes back as read.
        if (!found.prefixed)
            return true;
    }
    if (streamed)
        *streamed = true;
    return SharedXml::CheckNesting(*utf8, SharedXml::MaxDepth, message, line, column, maxNodes, count);
}
} // namespace

bool SharedXml::SetContent(QDomDocument &doc, const QByteArray &bytes, QString *message, int *line,
                           int *column, qint64 maxNodes, Counted *counted)
{
    QString ownMessage;
    int ownLine = 0;
    int ownColumn = 0;
    QString *m = message ? message : &ownMessage;
    int *l = line ? line : &ownLine;
    int *c = column ? column : &ownColumn;
    QByteArray utf8;
    return judge(bytes, &utf8, m, l, c, maxNodes, counted) && doc.setContent(utf8, true, m, l, c);
}

bool SharedXml::ReadsBack(const QByteArray &bytes, QString *message, qint64 maxNodes)
{
    QByteArray utf8;
    int line = 0;
    int column = 0;
    // The reader's own passes, then a whole well-formedness pass of the streaming reader (which
    // costs a fraction of building the tree again) unless they made one.
    bool streamed = false;
    if (!judge(bytes, &utf8, message, &line, &column, maxNodes, nullptr, &streamed))
        return false;
    return streamed || CheckNesting(utf8, MaxDepth, message, &line, &column, maxNodes);
}

SharedXml::Written SharedXml::Write(const QString &path, const QByteArray &bytes, const SafeFile::Seen &seen,
                                    int options, QString *why, qint64 maxNodes)
{
    QString message;
    if (!ReadsBack(bytes, &message, maxNodes)) {
        *why = QCoreApplication::translate("SharedXml", "%1 was not written: %2").arg(path, message);
        return Written::Unreadable;
    }
    if (SafeFile::WriteOver(path, bytes, seen, options)) {
        why->clear();
        return Written::Yes;
    }
    if (SafeFile::LastChanged()) {
        *why = QCoreApplication::translate(
                   "SharedXml", "%1 was not written: another program changed it since it was read. "
                                "Your changes are kept; open the file again to see the other changes.")
                   .arg(path);
        return Written::Changed;
    }
    *why = SafeFile::WithReason(QCoreApplication::translate("SharedXml", "can not write file:%1").arg(path));
    return Written::Failed;
}
