#include "output/selectionfile.h"

#include "core/xmlclass.h"

#include <QHash>
#include <QStringList>

namespace
{
// The elements the dialog writes under each parent, and what names one of them among its
// siblings; empty for anything else.
QString itemKey(const QString &parentTag, const QDomNode &node)
{
    static const QHash<QString, QStringList> written{
        {QStringLiteral("Root_DefOutput"), {"OutDir", "SELECT", "InstList"}},
        {QStringLiteral("Root_RefOutput"), {"OutDir", "CHECK", "SELECT", "EXTENSION", "FileList"}},
        {QStringLiteral("InstList"), {"LModel"}},
        {QStringLiteral("LModel"), {"LInstance"}},
        {QStringLiteral("FileList"), {"File"}}};
    const QDomElement e = node.toElement();
    if (e.isNull() || !written.value(parentTag).contains(e.tagName()))
        return QString();
    const QString tag = e.tagName();
    const auto attr = [&e](const char *name) { return e.attribute(QLatin1String(name)); };
    if (tag == QLatin1String("InstList"))
        return tag + QLatin1Char(':') + attr("FileID");
    if (tag == QLatin1String("LModel"))
        return tag + QLatin1Char(':') + attr("User") + QLatin1Char(':') + attr("ID");
    if (tag == QLatin1String("LInstance"))
        return tag + QLatin1Char(':') + attr("ID");
    if (tag == QLatin1String("File"))
        return tag + QLatin1Char(':') + attr("fname") + QLatin1Char('\n') + attr("instID");
    return tag;
}

} // namespace

namespace SelectionFile
{
// The document at index with its root emptied, the root's nodes as read in *old; or a new one.
QDomDocument *Emptied(xmlclass *store, int index, const QString &rootTag, QList<QDomNode> *old)
{
    if (!store->HasDoc(index))
        store->NewXmlDoc(index, rootTag);
    QDomDocument *doc = store->GetXmlDoc(index);
    QDomElement root = doc->documentElement();
    while (root.hasChildNodes())
        old->append(root.removeChild(root.firstChild()));
    return doc;
}

// The children parent was built with, put among what the file held there (old): what the dialog
// does not write (comments, elements and attributes of other programs) stays with the item it
// followed, and goes when that item is no longer written.
void KeepUnknown(QDomElement parent, const QList<QDomNode> &old)
{
    QList<QDomNode> leading;
    QHash<QString, QDomElement> oldItems;
    QHash<QString, QList<QDomNode>> following;
    QString current;
    for (const QDomNode &n : old) {
        const QString key = itemKey(parent.tagName(), n);
        if (key.isEmpty()) {
            (current.isEmpty() ? leading : following[current]).append(n);
            continue;
        }
        // A second item of the same name is not written: what follows it goes with it.
        current = oldItems.contains(key) ? QStringLiteral("\n") : key;
        if (!oldItems.contains(key))
            oldItems.insert(key, n.toElement());
    }
    QList<QDomElement> built;
    while (parent.hasChildNodes())
        built.append(parent.removeChild(parent.firstChild()).toElement());
    for (const QDomNode &n : qAsConst(leading))
        parent.appendChild(n);
    for (QDomElement e : qAsConst(built)) {
        const QString key = itemKey(parent.tagName(), e);
        const QDomElement was = oldItems.take(key);
        if (!was.isNull()) {
            const QDomNamedNodeMap attributes = was.attributes();
            for (int i = 0; i < attributes.count(); ++i) {
                const QDomAttr a = attributes.item(i).toAttr();
                if (!e.hasAttribute(a.name()))
                    e.setAttribute(a.name(), a.value());
            }
            QList<QDomNode> inside;
            for (QDomNode c = was.firstChild(); !c.isNull(); c = c.nextSibling())
                inside.append(c);
            KeepUnknown(e, inside);
        }
        parent.appendChild(e);
        for (const QDomNode &n : following.value(key))
            parent.appendChild(n);
    }
}
} // namespace SelectionFile
