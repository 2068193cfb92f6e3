#include "core/sharedxml.h"

#include <QXmlStreamReader>

bool SharedXml::TooDeep(const QByteArray &bytes, int maxDepth, int *line, int *column)
{
    QXmlStreamReader reader(bytes);
    int depth = 0;
    // A malformed document ends the pass early; the DOM parser reports it.
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::StartElement && ++depth > maxDepth) {
            *line = static_cast<int>(reader.lineNumber());
            *column = static_cast<int>(reader.columnNumber());
            return true;
        }
    }
    return false;
}

bool SharedXml::SetContent(QDomDocument &doc, const QByteArray &bytes, QString *message, int *line,
                           int *column)
{
    int deepLine = 0;
    int deepColumn = 0;
    if (TooDeep(bytes, MaxDepth, &deepLine, &deepColumn)) {
        if (message)
            *message = QStringLiteral("elements nested deeper than %1 levels").arg(MaxDepth);
        if (line)
            *line = deepLine;
        if (column)
            *column = deepColumn;
        return false;
    }
    return doc.setContent(bytes, true, message, line, column);
}
