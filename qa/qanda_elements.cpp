// Writing a question or answer row back as its element. What the row holds is written as it always
// was; an element read with more in it than the row holds (attributes, elements and comments of
// another member's program) is kept with its row, and the row is written into it, so that what
// this program does not read goes back as it was, in its place.

#include "core/treeitemdata.h"
#include "core/xmltext.h"
#include "docs/referencefiles.h"
#include "qa/qanda.h"
#include "qa/qandatags.h"

#include <QTreeWidgetItem>
#include <QVector>
#include <algorithm>
#include <functional>

Q_DECLARE_METATYPE(QDomElement)

namespace
{
// The element as read, on a row whose element holds more than the row.
constexpr int SourceRole = Qt::UserRole + 1;

// Writes the keys of `wanted`, in order, as the read children of the containers: each takes the
// place of the next read child, and is that child as it was when one with its key is there (its
// attributes and children another program wrote), else made new. Children not read (keyOf gives
// an empty key) stay where they are; keys beyond the read children follow the last of them, or
// end the first container; read children no key takes are dropped.
void fillPlaces(const QList<QDomElement> &containers,
                const std::function<QString(const QDomElement &)> &keyOf, const QStringList &wanted,
                const std::function<QDomElement(const QString &)> &make)
{
    struct Place {
        QDomElement parent;
        QDomNode before; // the next child not read, null at the end
        QDomElement element;
    };
    QVector<Place> places;
    QHash<QString, QList<int>> unused;
    for (const QDomElement &container : containers) {
        QList<int> waiting;
        for (QDomNode n = container.firstChild(); !n.isNull(); n = n.nextSibling()) {
            const QString key = n.isElement() ? keyOf(n.toElement()) : QString();
            if (key.isEmpty()) {
                for (int i : qAsConst(waiting))
                    places[i].before = n;
                waiting.clear();
                continue;
            }
            waiting << places.size();
            unused[key] << places.size();
            places.append({container, QDomNode(), n.toElement()});
        }
    }
    for (Place &place : places)
        place.parent.removeChild(place.element);
    int at = 0;
    for (const QString &key : wanted) {
        QList<int> &same = unused[key];
        QDomElement element = same.isEmpty() ? make(key) : places.at(same.takeFirst()).element;
        if (element.isNull())
            continue;
        const Place *place = places.isEmpty() ? nullptr : &places.at(std::min(at, int(places.size()) - 1));
        QDomElement parent = place ? place->parent : containers.first();
        if (place && !place->before.isNull())
            parent.insertBefore(element, place->before);
        else
            parent.appendChild(element);
        ++at;
    }
}

// The texts as written: what XML cannot hold made writable, as every value typed into the panel.
QStringList cleaned(const QStringList &texts)
{
    QStringList clean;
    for (const QString &text : texts)
        clean << XmlText::Clean(text);
    return clean;
}

QList<QDomElement> referencesOf(const QDomElement &e)
{
    QList<QDomElement> lists;
    for (QDomElement c = e.firstChildElement(QandATags::Reference); !c.isNull();
         c = c.nextSiblingElement(QandATags::Reference))
        lists << c;
    return lists;
}

// Whether the element has nothing but the attributes named.
bool bare(const QDomElement &e, const QStringList &names)
{
    if (e.hasChildNodes() || e.attributes().count() != names.size())
        return false;
    return std::all_of(names.begin(), names.end(),
                       [&e](const QString &name) { return e.hasAttribute(name); });
}
} // namespace

bool QandA::isReadUser(const QDomElement &u) const
{
    const QString id = u.attribute(GetStrVar(RegSlot::StrAttrID));
    return u.tagName() == QandATags::User && IsNumber(id) && member(id.toInt());
}

QString QandA::linkOf(const QDomElement &ref) const
{
    return ref.attribute(GetStrVar(RegSlot::StrTagTitle)) + GetStrVar(RegSlot::StrMarkerDollar) +
           ref.attribute(GetStrVar(RegSlot::StrTagUrl));
}

bool QandA::holdsUnread(const QDomElement &e, bool question) const
{
    const QStringList refAttrs{GetStrVar(RegSlot::StrTagTitle), GetStrVar(RegSlot::StrTagUrl)};
    const QString separator = GetStrVar(RegSlot::StrMarkerDollar);
    int toUsers = 0;
    int references = 0;
    for (QDomNode n = e.firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement c = n.toElement();
        const bool toUser = question && c.tagName() == QandATags::ToUser;
        if (c.isNull() || (!toUser && c.tagName() != QandATags::Reference) || c.attributes().count() > 0 ||
            ++(toUser ? toUsers : references) > 1)
            return true;
        for (QDomNode m = c.firstChild(); !m.isNull(); m = m.nextSibling()) {
            const QDomElement g = m.toElement();
            if (toUser && !(isReadUser(g) && bare(g, {GetStrVar(RegSlot::StrAttrID)})))
                return true;
            // A link whose parts hold the separator is not split back as it was read.
            if (!toUser &&
                !(g.tagName() == QandATags::Ref && bare(g, refAttrs) && linkOf(g).count(separator) == 1))
                return true;
        }
    }
    return false;
}

void QandA::keepSource(QTreeWidgetItem *item, const QDomElement &e, bool question)
{
    if (holdsUnread(e, question))
        item->setData(0, SourceRole, QVariant::fromValue(e));
}

void QandA::writeAddressees(QDomDocument *doc, QDomElement &e, QTreeWidgetItem *item)
{
    // The reader takes the last list of addressees.
    QDomElement to = e.lastChildElement(QandATags::ToUser);
    if (to.isNull())
        to = e.insertBefore(doc->createElement(QandATags::ToUser), QDomNode()).toElement();
    QStringList wanted;
    for (int i = 0; i < item->childCount(); ++i)
        wanted << QString::number(item->child(i)->data(ColUser, Qt::UserRole).toInt());
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    fillPlaces(
        {to},
        [this, &idAttr](const QDomElement &u) {
            return isReadUser(u) ? QString::number(u.attribute(idAttr).toInt()) : QString();
        },
        wanted,
        [doc, &idAttr](const QString &key) {
            QDomElement u = doc->createElement(QandATags::User);
            u.setAttribute(idAttr, key);
            return u;
        });
}

void QandA::FollowLinkEdits(QTreeWidgetItem *item, const QStringList &before, const QStringList &after,
                            const QList<int> &origins)
{
    const QVariant source = item ? item->data(0, SourceRole) : QVariant();
    if (!source.isValid())
        return;
    // The element stays on the row: the next save writes into it again, edits and all.
    ReferenceFiles::FollowEditsInLists(referencesOf(source.value<QDomElement>()), cleaned(before),
                                       cleaned(after), origins,
                                       globalvar().GetStrVar(RegSlot::StrMarkerDollar));
}

void QandA::writeLinks(QDomDocument *doc, QDomElement &e, const TreeItemData *r, bool answer)
{
    const QString separator = GetStrVar(RegSlot::StrMarkerDollar);
    const QStringList links = cleaned(r->links);
    const QList<QDomElement> lists = referencesOf(e);
    if (lists.isEmpty()) {
        const QDomElement to = answer ? QDomElement() : e.lastChildElement(QandATags::ToUser);
        const QDomElement refs = ReferenceFiles::WriteReference(*doc, links, separator, QDomElement());
        to.isNull() ? e.insertBefore(refs, QDomNode()) : e.insertAfter(refs, to);
        return;
    }
    // Edits were carried into the lists as read (FollowLinkEdits): each takes as many links as it
    // holds REFs, the last all that are left.
    int at = 0;
    for (int i = 0; i < lists.size(); ++i) {
        const int left = int(links.size()) - at;
        const int count = i + 1 < lists.size()
                              ? std::min(int(ReferenceFiles::ReadLinks(lists.at(i), separator).size()), left)
                              : left;
        e.replaceChild(ReferenceFiles::WriteReference(*doc, links.mid(at, count), separator, lists.at(i)),
                       lists.at(i));
        at += count;
    }
}

QDomElement QandA::buildElement(QDomDocument *doc, const QString &tag, QTreeWidgetItem *item, bool answer)
{
    const TreeItemData *r = RecordOf(item);
    const QVariant source = item->data(0, SourceRole);
    QDomElement e = source.isValid() ? doc->importNode(source.value<QDomElement>(), true).toElement()
                                     : doc->createElement(tag);
    // The row holds every attribute the element was read with.
    QList<QDomAttr> read;
    const QDomNamedNodeMap attrs = e.attributes();
    for (int i = 0; i < attrs.count(); ++i)
        read << attrs.item(i).toAttr();
    for (QDomAttr &a : read)
        e.removeAttributeNode(a);
    QStringList skipped{GetStrVar(RegSlot::StrAttrExpression), GetStrVar(RegSlot::StrAttrReference)};
    if (answer)
        skipped << GetStrVar(RegSlot::StrAttrOwnerID);
    QStringList names = r->Attrs().keys();
    std::sort(names.begin(), names.end());
    for (const QString &name : qAsConst(names)) {
        // Titles and names are typed by users: what XML cannot hold would make the file unreadable.
        if (!skipped.contains(name))
            e.setAttribute(name, XmlText::Clean(r->GetAttr(name)));
    }
    if (!answer)
        writeAddressees(doc, e, item);
    writeLinks(doc, e, r, answer);
    // An element kept whole holds these in their places already.
    if (!source.isValid()) {
        for (const QDomElement &kept : r->kept)
            e.appendChild(doc->importNode(kept, true));
    }
    return e;
}
