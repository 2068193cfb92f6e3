#include "model/elementlayout.h"

#include <QDomDocument>
#include <QDomNamedNodeMap>
#include <QHash>
#include <QPair>
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

// One item as read: its placeholder and the nodes after it up to the next item.
struct Item {
    QDomElement placeholder;
    QList<QDomNode> trailing;
    bool taken = false;
};

// A layout cut into its head (what stands before the first item) and its items, which are found
// by tag and ID; items without an ID are found by tag and position.
struct Shape {
    QList<QDomNode> head;
    QVector<Item> items;
    QHash<QPair<QString, QString>, QVector<int>> byKey;

    Shape() = default;
    explicit Shape(const QList<QDomElement> &layout)
    {
        int placeholder = 1;
        for (QDomNode n = layout.first().firstChild(); !n.isNull(); n = n.nextSibling()) {
            if (placeholder < layout.size() && n == layout.at(placeholder)) {
                ++placeholder;
                const QDomElement e = n.toElement();
                byKey[{e.tagName(), e.attribute(KeyAttribute)}].append(items.size());
                items.append({e, {}});
            } else {
                (items.isEmpty() ? head : items.last().trailing).append(n);
            }
        }
    }

    // What followed the item the element stands for (index-th of its part); each item's once.
    QList<QDomNode> TakeTrailing(const QString &tag, const QDomElement &element, int index)
    {
        const QString key = element.attribute(KeyAttribute);
        const QVector<int> found = byKey.value({tag, key});
        int i = key.isEmpty() ? index : 0;
        while (!key.isEmpty() && i < found.size() && items.at(found.at(i)).taken)
            ++i;
        if (i >= found.size() || items.at(found.at(i)).taken)
            return {};
        Item &item = items[found.at(i)];
        item.taken = true;
        return item.trailing;
    }
};
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
            QDomElement placeholder = doc.createElement(n.toElement().tagName());
            const QString key = n.toElement().attribute(KeyAttribute);
            if (!key.isEmpty())
                placeholder.setAttribute(KeyAttribute, key);
            copy = placeholder;
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
    QDomDocument doc = parent.ownerDocument();
    Shape shape = layout.isEmpty() ? Shape() : Shape(layout);
    const auto append = [&](const QList<QDomNode> &nodes) {
        for (const QDomNode &n : nodes)
            parent.appendChild(doc.importNode(n, true));
    };
    const auto put = [&](int k, int count) {
        const Part &part = parts.at(k);
        for (; count > 0 && next[k] < part.elements.size(); --count, ++next[k]) {
            parent.appendChild(part.elements.at(next[k]));
            append(shape.TakeTrailing(part.tag, part.elements.at(next[k]), next[k]));
        }
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
    const QDomNamedNodeMap attrs = layout.first().attributes();
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomAttr a = attrs.item(i).toAttr();
        if (!parent.hasAttribute(a.name()))
            parent.setAttribute(a.name(), a.value());
    }
    append(shape.head);
    QVector<int> seen(parts.size(), 0);
    for (int i = 0; i < shape.items.size(); ++i) {
        const int k = partOf.value(shape.items.at(i).placeholder.tagName(), -1);
        if (k < 0) {
            // No writer rebuilds that item here: what followed it stays as it was.
            append(shape.items.at(i).trailing);
            continue;
        }
        putUnslotted(k);
        put(k, ++seen[k] == placeholders.at(k) ? parts.at(k).elements.size() : 1);
    }
    putUnslotted(parts.size());
}
} // namespace ElementLayout
