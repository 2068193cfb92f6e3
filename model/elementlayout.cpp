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

// One item as read: its placeholder, or an element of a part's tag that the reader refused, and
// the nodes after it up to the next item.
struct Item {
    QDomElement element;
    QList<QDomNode> trailing;
    int part = -1; // the part that rebuilds it; -1 for none
    bool refused = false;
    int repeats = -1;   // refused: the item before it with its tag and ID
    bool taken = false; // an element built stands for it
    bool written = false;
    QVector<int> following; // refused items written after it
};

// A layout cut into its head (what stands before the first item) and its items. Placeholders are
// found by tag and ID, those without an ID by tag and position. A refused item is another
// member's: it never goes with its neighbour, so it follows the nearest item before it that is
// written.
struct Shape {
    QList<QDomNode> head;
    QVector<int> headFollowing;
    QVector<Item> items;
    QHash<QPair<QString, QString>, QVector<int>> byKey;
    QVector<QVector<int>> standsFor; // per part, the item each element built stands for, or -1

    Shape() = default;
    Shape(const QList<QDomElement> &layout, const QHash<QString, int> &partOf, const QList<Part> &parts)
    {
        int placeholder = 1;
        for (QDomNode n = layout.first().firstChild(); !n.isNull(); n = n.nextSibling()) {
            const QDomElement e = n.toElement();
            Item item;
            item.element = e;
            item.part = partOf.value(e.tagName(), -1);
            if (placeholder < layout.size() && n == layout.at(placeholder)) {
                ++placeholder;
                byKey[{e.tagName(), e.attribute(KeyAttribute)}].append(items.size());
                items.append(item);
            } else if (!e.isNull() && item.part >= 0) {
                const QString key = e.attribute(KeyAttribute);
                item.refused = true;
                item.repeats = key.isEmpty() ? -1 : byKey.value({e.tagName(), key}).value(0, -1);
                items.append(item);
            } else {
                (items.isEmpty() ? head : items.last().trailing).append(n);
            }
        }
        for (const Part &part : parts) {
            standsFor.append(QVector<int>());
            for (int j = 0; j < part.elements.size(); ++j)
                standsFor.last().append(take(part.tag, part.elements.at(j), j));
        }
        for (int i = 0; i < items.size(); ++i) {
            if (!items.at(i).refused)
                continue;
            int before = i - 1;
            while (before >= 0 && !items.at(before).refused && !items.at(before).taken &&
                   items.at(before).part >= 0)
                --before;
            (before < 0 ? headFollowing : items[before].following).append(i);
        }
    }

    // The item the element built stands for (index-th of its part); each item is taken once.
    int take(const QString &tag, const QDomElement &element, int index)
    {
        const QString key = element.attribute(KeyAttribute);
        const QVector<int> found = byKey.value({tag, key});
        int i = key.isEmpty() ? index : 0;
        while (!key.isEmpty() && i < found.size() && items.at(found.at(i)).taken)
            ++i;
        if (i >= found.size() || items.at(found.at(i)).taken)
            return -1;
        items[found.at(i)].taken = true;
        return found.at(i);
    }
};

// Writes the elements built into the places of a layout, with what followed each item as read.
class Writer
{
public:
    Writer(QDomElement parent, const QList<QDomElement> &layout, const QList<Part> &parts)
        : m_parent(parent), m_doc(parent.ownerDocument()), m_parts(parts), m_next(parts.size(), 0),
          m_placeholders(parts.size(), 0)
    {
        for (int k = 0; k < parts.size(); ++k)
            m_partOf.insert(parts.at(k).tag, k);
        for (int i = 1; i < layout.size(); ++i) {
            const int k = m_partOf.value(layout.at(i).tagName(), -1);
            if (k >= 0)
                ++m_placeholders[k];
        }
        if (!layout.isEmpty())
            m_shape = Shape(layout, m_partOf, parts);
    }

    void Write(bool withLayout)
    {
        if (!withLayout) {
            putUnslotted(m_parts.size());
            return;
        }
        append(m_shape.head);
        for (int r : m_shape.headFollowing)
            writeRefused(r);
        QVector<int> seen(m_parts.size(), 0);
        for (int i = 0; i < m_shape.items.size(); ++i) {
            const Item &item = m_shape.items.at(i);
            if (item.refused)
                continue;
            if (item.part < 0) {
                // No writer rebuilds that item here: what followed it stays as it was.
                close(i);
                continue;
            }
            const int k = item.part;
            putUnslotted(k);
            put(k, ++seen[k] == m_placeholders.at(k) ? m_parts.at(k).elements.size() : 1);
        }
        putUnslotted(m_parts.size());
    }

private:
    void append(const QList<QDomNode> &nodes)
    {
        for (const QDomNode &n : nodes)
            m_parent.appendChild(m_doc.importNode(n, true));
    }

    // What follows an item written: its own nodes, then the refused items that follow it.
    void close(int i)
    {
        Item &item = m_shape.items[i];
        item.written = true;
        append(item.trailing);
        for (int r : QVector<int>(item.following))
            writeRefused(r);
    }

    // A repeat of an ID read after the item of that ID never goes before it: the next read would
    // take the repeat for the item.
    void writeRefused(int r)
    {
        const int repeats = m_shape.items.at(r).repeats;
        if (repeats >= 0 && m_shape.items.at(repeats).taken && !m_shape.items.at(repeats).written) {
            m_shape.items[repeats].following.append(r);
            return;
        }
        m_parent.appendChild(m_doc.importNode(m_shape.items.at(r).element, true));
        close(r);
    }

    void put(int k, int count)
    {
        const Part &part = m_parts.at(k);
        for (; count > 0 && m_next[k] < part.elements.size(); --count, ++m_next[k]) {
            m_parent.appendChild(part.elements.at(m_next[k]));
            const int item = m_shape.standsFor.isEmpty() ? -1 : m_shape.standsFor.at(k).at(m_next[k]);
            if (item >= 0)
                close(item);
        }
    }

    // Parts the element did not have when it was read go where today's writer puts them.
    void putUnslotted(int before)
    {
        for (int k = 0; k < before; ++k) {
            if (m_placeholders.at(k) == 0)
                put(k, m_parts.at(k).elements.size());
        }
    }

    QDomElement m_parent;
    QDomDocument m_doc;
    const QList<Part> &m_parts;
    QHash<QString, int> m_partOf;
    QVector<int> m_next;
    QVector<int> m_placeholders;
    Shape m_shape;
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
    if (!layout.isEmpty()) {
        const QDomNamedNodeMap attrs = layout.first().attributes();
        for (int i = 0; i < attrs.count(); ++i) {
            const QDomAttr a = attrs.item(i).toAttr();
            if (!parent.hasAttribute(a.name()))
                parent.setAttribute(a.name(), a.value());
        }
    }
    Writer(parent, layout, parts).Write(!layout.isEmpty());
}
} // namespace ElementLayout
