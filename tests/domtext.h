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

// The text with each pair of the list (what, then what in its place) replaced in turn; the first
// "what" the text did not hold goes to *missing, which stays empty when every one was there.
inline QString withReplaced(QString text, const QStringList &pairs, QString *missing)
{
    missing->clear();
    for (int i = 0; i + 1 < pairs.size(); i += 2) {
        if (!text.contains(pairs.at(i)) && missing->isEmpty())
            *missing = pairs.at(i);
        text.replace(pairs.at(i), pairs.at(i + 1));
    }
    return text;
}
} // namespace TestSupport
