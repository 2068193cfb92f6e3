#include "core/sharedxml.h"

#include <QXmlStreamReader>

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
            *message = QStringLiteral("elements nested deeper than %1 levels").arg(maxDepth);
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
    if (!CheckNesting(bytes, MaxDepth, m, l, c))
        return false;
    return doc.setContent(bytes, true, m, l, c);
}
