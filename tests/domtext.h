#pragma once

#include <QDomElement>
#include <QDomNamedNodeMap>
#include <QDomNode>
#include <QString>
#include <QStringList>

namespace TestSupport
{
// A node (a document too) and all it holds as text, attributes in name order (the DOM writes them
// in no fixed order), without the XML declaration: equal for documents that read the same.
inline QString domText(const QDomNode &n)
{
    if (n.isComment())
        return QStringLiteral("<!--%1-->").arg(n.nodeValue());
    if (n.isProcessingInstruction())
        return QString();
    const QDomElement e = n.toElement();
    if (e.isNull() && !n.isDocument())
        return n.nodeValue();
    QString out;
    if (!e.isNull()) {
        QStringList attrs;
        const QDomNamedNodeMap map = e.attributes();
        for (int i = 0; i < map.count(); ++i)
            attrs << QStringLiteral(" %1=\"%2\"").arg(map.item(i).nodeName(), map.item(i).nodeValue());
        attrs.sort();
        out = QLatin1Char('<') + e.tagName() + attrs.join(QString()) + QLatin1Char('>');
    }
    for (QDomNode c = n.firstChild(); !c.isNull(); c = c.nextSibling())
        out += domText(c);
    return e.isNull() ? out : out + QStringLiteral("</") + e.tagName() + QLatin1Char('>');
}
} // namespace TestSupport
