#include "qa/historykept.h"

#include "core/xmltext.h"

#include <QDomDocument>
#include <QDomNamedNodeMap>

namespace
{
// A DOM node does not keep its document alive: the kept nodes belong to one that is never
// released, and each holder element is freed with its last copy.
QDomDocument holder()
{
    static const QDomDocument *const doc = new QDomDocument(QStringLiteral("kept"));
    return *doc;
}

QDomElement &made(QDomElement &element)
{
    if (element.isNull())
        element = holder().createElement(QStringLiteral("kept"));
    return element;
}

// Indent, line end and the markup around a node, with room to spare.
constexpr qint64 NodeBytes = 24;
// The most one character of an attribute value takes written: "&quot;".
constexpr qint64 AttributeCharBytes = 6;
} // namespace

void HistoryKept::count(const QDomNode &node, int depth)
{
    // As the reader counts: elements, attributes, texts, comments and instructions.
    if (node.isElement()) {
        const QDomNamedNodeMap attributes = node.attributes();
        m_nodes += 1 + attributes.count();
        m_bytes += NodeBytes + 2 * XmlText::CleanUtf8Size(node.nodeName()) + NodeBytes * depth;
        for (int i = 0; i < attributes.count(); ++i) {
            const QDomNode a = attributes.item(i);
            m_bytes += 4 + XmlText::CleanUtf8Size(a.nodeName()) + AttributeCharBytes * a.nodeValue().size();
        }
        for (QDomNode n = node.firstChild(); !n.isNull(); n = n.nextSibling())
            count(n, depth + 1);
        return;
    }
    m_nodes += 1;
    m_bytes += NodeBytes + NodeBytes * depth + XmlText::CleanUtf8Size(node.nodeName()) +
               AttributeCharBytes * node.nodeValue().size();
}

void HistoryKept::KeepAttribute(const QDomAttr &attribute)
{
    made(m_own).setAttribute(attribute.name(), attribute.value());
    m_nodes += 1;
    m_bytes += 4 + XmlText::CleanUtf8Size(attribute.name()) + AttributeCharBytes * attribute.value().size();
}

void HistoryKept::KeepChild(const QDomNode &node)
{
    made(m_own).appendChild(holder().importNode(node, true));
    count(node, 2);
}

void HistoryKept::KeepFollowing(const QDomNode &node)
{
    made(m_following).appendChild(holder().importNode(node, true));
    count(node, 1);
}

void HistoryKept::PutOwn(QDomElement element) const
{
    if (m_own.isNull())
        return;
    const QDomNamedNodeMap attributes = m_own.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr a = attributes.item(i).toAttr();
        if (!element.hasAttribute(a.name()))
            element.setAttribute(a.name(), a.value());
    }
    QDomDocument doc = element.ownerDocument();
    for (QDomNode n = m_own.firstChild(); !n.isNull(); n = n.nextSibling())
        element.appendChild(doc.importNode(n, true));
}

void HistoryKept::PutFollowing(QDomNode parent) const
{
    QDomDocument doc = parent.isDocument() ? parent.toDocument() : parent.ownerDocument();
    for (QDomNode n = m_following.firstChild(); !n.isNull(); n = n.nextSibling())
        parent.appendChild(doc.importNode(n, true));
}
