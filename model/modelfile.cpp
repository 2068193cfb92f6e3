#include "model/modelfile.h"

#include "core/treeitemdata.h"
#include "docs/referencefiles.h"
#include "model/elementlayout.h"

#include <QDomNamedNodeMap>
#include <QSet>

namespace ModelFile
{
namespace
{
const QString kId = QStringLiteral("ID");
const QString kMaxId = QStringLiteral("MaxID");
const QString kExpression = QStringLiteral("Expression");
const QString kReference = QStringLiteral("Reference");

QList<QDomElement> childElements(const QDomElement &parent)
{
    QList<QDomElement> list;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        list.append(e);
    return list;
}

// Walks one level of the file while the IDs seen so far stay unique.
struct Reader {
    QSet<QString> seen;

    // A record with every attribute of the element when its ID can be used, else null.
    TreeItemData *take(const QDomElement &e)
    {
        const QString id = e.attribute(kId);
        if (!IsDecimalId(id) || seen.contains(id))
            return nullptr;
        seen.insert(id);
        auto *record = new TreeItemData;
        const QDomNamedNodeMap attrs = e.attributes();
        for (int i = 0; i < attrs.count(); ++i) {
            const QDomAttr a = attrs.item(i).toAttr();
            record->SetAttr(a.name(), a.value());
        }
        return record;
    }

    // The first REFERENCE gives the links; one that holds more than links stays whole in the
    // layout, for the writer to put back what it does not write itself.
    static ElementLayout::Take readLinks(const QDomElement &reference, TreeItemData *record, bool *read)
    {
        if (*read)
            return ElementLayout::Keep;
        *read = true;
        record->links.append(ReferenceFiles::ReadLinks(reference, LinkSeparator));
        return ReferenceFiles::IsPlainReference(reference, LinkSeparator) ? ElementLayout::Slot
                                                                          : ElementLayout::SlotWhole;
    }

    // A parameter's children are nothing this program knows: all of them are kept.
    void readParams(const QDomElement &param, Node *sclass)
    {
        const auto decide = [&](const QDomElement &e) {
            TreeItemData *record = e.tagName() == PTag ? take(e) : nullptr;
            if (!record)
                return ElementLayout::Keep;
            ElementLayout::Capture(&record->kept, e, [](const QDomElement &) { return ElementLayout::Keep; });
            sclass->children.append(Node{record, {}});
            return ElementLayout::Slot;
        };
        ElementLayout::Capture(&sclass->record->keptParams, param, decide, true);
    }

    void readSclass(const QDomElement &element, Node *sclass)
    {
        bool linksRead = false;
        ElementLayout::Capture(&sclass->record->kept, element, [&](const QDomElement &e) {
            if (e.tagName() == ReferenceTag)
                return readLinks(e, sclass->record, &linksRead);
            if (e.tagName() != ParamTag)
                return ElementLayout::Keep;
            readParams(e, sclass);
            return ElementLayout::Slot;
        });
    }

    void readLclass(const QDomElement &element, Node *lclass)
    {
        bool linksRead = false;
        ElementLayout::Capture(&lclass->record->kept, element, [&](const QDomElement &e) {
            if (e.tagName() == ReferenceTag)
                return readLinks(e, lclass->record, &linksRead);
            TreeItemData *record = e.tagName() == SClassTag ? take(e) : nullptr;
            if (!record)
                return ElementLayout::Keep;
            Node sclass{record, {}};
            readSclass(e, &sclass);
            lclass->children.append(sclass);
            return ElementLayout::Slot;
        });
    }
};

QDomElement elementOf(QDomDocument doc, const QString &tag, const TreeItemData *record)
{
    QDomElement e = doc.createElement(tag);
    const auto &attrs = record->Attrs();
    for (auto it = attrs.cbegin(); it != attrs.cend(); ++it) {
        if (it.key() != kExpression && it.key() != kReference)
            e.setAttribute(it.key(), it.value());
    }
    return e;
}

QDomElement referenceOf(QDomDocument doc, const TreeItemData *record)
{
    return ReferenceFiles::WriteReference(doc, record->links, LinkSeparator,
                                          ElementLayout::Placeholder(record->kept, ReferenceTag));
}

// Every write puts fresh copies of the kept nodes, so the records' layouts stay whole for the next.
QDomElement sclassOf(QDomDocument doc, const Node &s)
{
    QDomElement sclass = elementOf(doc, SClassTag, s.record);
    QList<QDomElement> params;
    for (const Node &p : s.children) {
        QDomElement param = elementOf(doc, PTag, p.record);
        ElementLayout::Fill(param, p.record->kept, {});
        params.append(param);
    }
    QDomElement param = doc.createElement(ParamTag);
    ElementLayout::Fill(param, s.record->keptParams, {{PTag, params}});
    ElementLayout::Fill(sclass, s.record->kept,
                        {{ReferenceTag, {referenceOf(doc, s.record)}}, {ParamTag, {param}}});
    return sclass;
}
} // namespace

QDomDocument NewModelDocument(const QString &name, const QString &user, const QString &email,
                              const QString &version, const QString &today)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(RootTag);
    root.setAttribute(QStringLiteral("Name"), name);
    root.setAttribute(QStringLiteral("User"), user);
    root.setAttribute(QStringLiteral("Email"), email);
    root.setAttribute(QStringLiteral("Version"), version);
    root.setAttribute(QStringLiteral("StartDate"), today);
    root.setAttribute(QStringLiteral("TargetDate"), QString());
    root.setAttribute(QStringLiteral("CompletionDate"), QString());
    root.setAttribute(kMaxId, QStringLiteral("1"));
    doc.appendChild(root);
    return doc;
}

QDomDocument NewModelDocDocument(const QString &user, const QString &email, const QString &version)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(DocRootTag);
    root.setAttribute(QStringLiteral("User"), user);
    root.setAttribute(QStringLiteral("Email"), email);
    root.setAttribute(QStringLiteral("Version"), version);
    root.setAttribute(kMaxId, QStringLiteral("1"));
    doc.appendChild(root);
    return doc;
}

bool IsDecimalId(const QString &id)
{
    return DecimalId::IsId(id);
}

int TakeTree(QDomElement root, QList<Node> *lclasses, QList<QDomElement> *kept)
{
    // Counted before anything is taken: the IDs of refused elements still name files and folders.
    DecimalId::Counter counter;
    counter.SeeMaxId(root.attribute(kMaxId));
    counter.SeeValue(0);
    for (const QDomElement &e : childElements(root))
        counter.SeeTree(e);
    Reader reader;
    kept->clear();
    ElementLayout::Capture(kept, root, [&](const QDomElement &e) {
        TreeItemData *record = e.tagName() == LClassTag ? reader.take(e) : nullptr;
        if (!record)
            return ElementLayout::Keep;
        Node lclass{record, {}};
        reader.readLclass(e, &lclass);
        lclasses->append(lclass);
        return ElementLayout::Slot;
    });
    // The layout holds the rest now: left in the document it would be written twice.
    while (root.hasChildNodes())
        root.removeChild(root.firstChild());
    return counter.HasNext() ? counter.Peek() : NoIdLeft;
}

QList<QDomNode> AppendTree(QDomElement root, const QList<Node> &lclasses, const QList<QDomElement> &kept)
{
    QDomDocument doc = root.ownerDocument();
    QList<QDomElement> built;
    for (const Node &l : lclasses) {
        QDomElement lclass = elementOf(doc, LClassTag, l.record);
        QList<QDomElement> sclasses;
        for (const Node &s : l.children)
            sclasses.append(sclassOf(doc, s));
        ElementLayout::Fill(lclass, l.record->kept,
                            {{ReferenceTag, {referenceOf(doc, l.record)}}, {SClassTag, sclasses}});
        built.append(lclass);
    }
    const QDomNode before = root.lastChild();
    ElementLayout::Fill(root, kept, {{LClassTag, built}});
    QList<QDomNode> appended;
    for (QDomNode n = before.isNull() ? root.firstChild() : before.nextSibling(); !n.isNull();
         n = n.nextSibling())
        appended.append(n);
    return appended;
}

void RemoveElements(const QList<QDomNode> &nodes)
{
    for (QDomNode n : nodes) {
        QDomNode parent = n.parentNode();
        if (!parent.isNull())
            parent.removeChild(n);
    }
}

void DeleteRecords(const QList<Node> &nodes)
{
    for (const Node &n : nodes) {
        DeleteRecords(n.children);
        delete n.record;
    }
}

int CheckNewClass(const QList<Sibling> &siblings, const QString &name, const QString &element,
                  const QString &arbitraryLabel)
{
    bool named = false;
    for (const Sibling &s : siblings) {
        if (s.name != name)
            continue;
        named = true;
        if (s.element == arbitraryLabel)
            return 1;
        if (s.element == element)
            return 2;
    }
    return named && element == arbitraryLabel ? 3 : 0;
}
} // namespace ModelFile
