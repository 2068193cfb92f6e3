#pragma once

#include <QDomElement>
#include <QList>
#include <QString>

#include <functional>

// What a writer that rebuilds an element from its record keeps of the element as it was read: its
// child nodes in their order, each child the program takes into a row or field standing there as a
// placeholder. The writer puts what it builds into the placeholders' places and everything else
// (elements it refused or does not know, comments, text) back: what this program does not
// understand belongs to another member. Such content belongs to the item it follows, so it moves
// with that item and goes when the item goes; what stands before the first item stays at the head.
// An element of a rebuilt tag that the reader refused (kept, not taken) is an item of its own.
// Held as a list: the layout first, its placeholders after it in their order; the empty list when
// the element held nothing but what is rebuilt. A layout is a copy: it stays whole when the
// document it was read from is released.
namespace ElementLayout
{
enum Take {
    Keep,      // not understood: written back as it was
    Slot,      // rebuilt from the record: an empty placeholder marks its place
    SlotWhole, // rebuilt, and the writer needs it as read (a REFERENCE with more than links)
};

// An item's identity: the loaders take an element only with an ID no other element of its file
// has, and a new element is never given one in use, so an ID names the same item on every save.
inline const QString KeyAttribute = QStringLiteral("ID");

// Adds the child nodes of e to the layout: decide is asked for each child element in order (and
// may take it into the record meanwhile); other nodes are kept. A placeholder keeps the ID of its
// element. The attributes of e are kept too when withAttributes is set (an element without a
// record of its own, such as PARAM). An element holding nothing to keep leaves the layout as it
// was.
void Capture(QList<QDomElement> *layout, const QDomElement &e,
             const std::function<Take(const QDomElement &)> &decide, bool withAttributes = false);

// The index-th placeholder of that tag as read (a SlotWhole keeps its content); null if none.
QDomElement Placeholder(const QList<QDomElement> &layout, const QString &tag, int index = 0);

// The elements the writer built of one tag, in order.
struct Part {
    QString tag;
    QList<QDomElement> elements;
};
// Appends to parent the layout's head, then the parts in the placeholders' places: the n-th
// placeholder of a tag takes the n-th element built, the last one every element left. Each
// element is followed by what followed its own item as read: the placeholder of its tag and ID,
// or for elements without an ID the placeholder of its tag at its position. What followed an item
// no element stands for any more is left out. A kept element of a part's tag (one the reader
// refused) is written back as read with what followed it, after the nearest item before it that
// is still written (or after the head), and never before the item whose ID it repeats. A part with
// no placeholder goes before the first placeholder of a later part, else at the end. Without a
// layout: the parts in the order given.
// The layout's attributes go onto parent when it kept them.
void Fill(QDomElement parent, const QList<QDomElement> &layout, const QList<Part> &parts);
} // namespace ElementLayout
