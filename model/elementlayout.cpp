#include "model/elementlayout.h"

#include <QDomDocument>
#include <QDomNamedNodeMap>
#include <QHash>
#include <QVector>

namespace ElementLayout
{
namespace
{
// A DOM node does not keep its document alive, and a node whose document is gone crashes the next
// copy of it. Layouts outlive the document they were read from (a reread, a test's copy), so they
// belong to a document of their own that is never released.
QDomDocument holder()
{
    // Named: a document made without content has no body yet, and each copy would make its own.
    static const QDomDocument *const doc = new QDomDocument(QStringLiteral("layouts"));
    return *doc;
}
} // namespace

void Capture(QList<QDomElement> *layout, const QDomElement &e,
             const std::function<Take(const QDomElement &)> &decide, bool withAttributes)
{
    QDomDocument doc = holder();
    QDomElement shape = layout->isEmpty() ? doc.createElement(e.tagName()) : layout->first();
    QList<QDomElement> found{shape};
    bool keeps = !layout->isEmpty();
    if (withAttributes) {
        const QDomNamedNodeMap attrs = e.attributes();
        for (int i = 0; i < attrs.count(); ++i) {
            const QDomAttr a = attrs.item(i).toAttr();
            if (!shape.hasAttribute(a.name()))
                shape.setAttribute(a.name(), a.value());
        }
        keeps = keeps || attrs.count() > 0;
    }
    // The next sibling is looked up first: decide may take the child out of the document.
    for (QDomNode n = e.firstChild(), next; !n.isNull(); n = next) {
        next = n.nextSibling();
        const Take take = n.isElement() ? decide(n.toElement()) : Keep;
        QDomNode copy;
        if (take == Slot) {
            copy = doc.createElement(n.toElement().tagName());
        } else {
            copy = doc.importNode(n, true);
            keeps = true;
        }
        shape.appendChild(copy);
        if (take != Keep)
            found.append(copy.toElement());
    }
    if (keeps)
        *layout += found.mid(layout->isEmpty() ? 0 : 1);
}

QDomElement Placeholder(const QList<QDomElement> &layout, const QString &tag, int index)
{
    for (int i = 1; i < layout.size(); ++i) {
        if (layout.at(i).tagName() == tag && index-- == 0)
            return layout.at(i);
    }
    return QDomElement();
}

void Fill(QDomElement parent, const QList<QDomElement> &layout, const QList<Part> &parts)
{
    QVector<int> next(parts.size(), 0);
    QVector<int> placeholders(parts.size(), 0);
    QHash<QString, int> partOf;
    for (int k = 0; k < parts.size(); ++k)
        partOf.insert(parts.at(k).tag, k);
    for (int i = 1; i < layout.size(); ++i) {
        const int k = partOf.value(layout.at(i).tagName(), -1);
        if (k >= 0)
            ++placeholders[k];
    }
    const auto put = [&](int k, int count) {
        const QList<QDomElement> &elements = parts.at(k).elements;
        for (; count > 0 && next[k] < elements.size(); --count)
            parent.appendChild(elements.at(next[k]++));
    };
    // Parts the element did not have when it was read go where today's writer puts them.
    const auto putUnslotted = [&](int before) {
        for (int k = 0; k < before; ++k) {
            if (placeholders.at(k) == 0)
                put(k, parts.at(k).elements.size());
        }
    };
    if (layout.isEmpty()) {
        putUnslotted(parts.size());
        return;
    }
    const QDomElement shape = layout.first();
    const QDomNamedNodeMap attrs = shape.attributes();
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomAttr a = attrs.item(i).toAttr();
        if (!parent.hasAttribute(a.name()))
            parent.setAttribute(a.name(), a.value());
    }
    QDomDocument doc = parent.ownerDocument();
    QVector<int> seen(parts.size(), 0);
    int placeholder = 1;
    for (QDomNode n = shape.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (placeholder < layout.size() && n == layout.at(placeholder)) {
            ++placeholder;
            const int k = partOf.value(n.toElement().tagName(), -1);
            if (k < 0)
                continue;
            putUnslotted(k);
            put(k, ++seen[k] == placeholders.at(k) ? parts.at(k).elements.size() : 1);
            continue;
        }
        parent.appendChild(doc.importNode(n, true));
    }
    putUnslotted(parts.size());
}
} // namespace ElementLayout
