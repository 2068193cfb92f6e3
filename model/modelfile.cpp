#include "model/modelfile.h"

#include "core/treeitemdata.h"

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
const QString kTitle = QStringLiteral("TITLE");
const QString kUrl = QStringLiteral("URL");

QList<QDomElement> childElements(const QDomElement &parent)
{
    QList<QDomElement> list;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        list.append(e);
    return list;
}

// Kept elements are copies without a parent, and every write appends a fresh copy: a DOM node
// moved from one detached parent to the next does not survive the parents' release.
QDomElement detached(const QDomElement &e)
{
    return e.cloneNode(true).toElement();
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

    static void readLinks(const QDomElement &reference, TreeItemData *record)
    {
        for (QDomElement ref = reference.firstChildElement(RefTag); !ref.isNull();
             ref = ref.nextSiblingElement(RefTag))
            record->links.append(ref.attribute(kTitle) + LinkSeparator + ref.attribute(kUrl));
    }

    void readParams(const QDomElement &param, Node *sclass)
    {
        for (const QDomElement &e : childElements(param)) {
            TreeItemData *record = e.tagName() == PTag ? take(e) : nullptr;
            if (record)
                sclass->children.append(Node{record, {}});
            else
                sclass->record->keptParams.append(detached(e));
        }
    }

    void readSclass(const QDomElement &element, Node *sclass)
    {
        for (const QDomElement &e : childElements(element)) {
            if (e.tagName() == ReferenceTag)
                readLinks(e, sclass->record);
            else if (e.tagName() == ParamTag)
                readParams(e, sclass);
            else
                sclass->record->kept.append(detached(e));
        }
    }

    void readLclass(const QDomElement &element, Node *lclass)
    {
        for (const QDomElement &e : childElements(element)) {
            TreeItemData *record = nullptr;
            if (e.tagName() == ReferenceTag) {
                readLinks(e, lclass->record);
                continue;
            }
            if (e.tagName() == SClassTag)
                record = take(e);
            if (!record) {
                lclass->record->kept.append(detached(e));
                continue;
            }
            Node sclass{record, {}};
            readSclass(e, &sclass);
            lclass->children.append(sclass);
        }
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
    QDomElement reference = doc.createElement(ReferenceTag);
    for (const QString &link : record->links) {
        const QStringList parts = link.split(LinkSeparator);
        if (parts.size() != 2)
            continue;
        QDomElement ref = doc.createElement(RefTag);
        ref.setAttribute(kTitle, parts.at(0));
        ref.setAttribute(kUrl, parts.at(1));
        reference.appendChild(ref);
    }
    return reference;
}

void appendKept(QDomElement parent, const QList<QDomElement> &kept)
{
    for (const QDomElement &e : kept)
        parent.appendChild(detached(e));
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

int TakeTree(QDomElement root, QList<Node> *lclasses)
{
    // Counted before anything is taken: the IDs of refused elements still name files and folders.
    DecimalId::Counter counter;
    counter.SeeMaxId(root.attribute(kMaxId));
    counter.SeeValue(0);
    for (const QDomElement &e : childElements(root))
        counter.SeeTree(e);
    Reader reader;
    for (const QDomElement &e : childElements(root)) {
        TreeItemData *record = e.tagName() == LClassTag ? reader.take(e) : nullptr;
        if (!record)
            continue;
        Node lclass{record, {}};
        reader.readLclass(e, &lclass);
        lclasses->append(lclass);
        root.removeChild(e);
    }
    return counter.HasNext() ? counter.Peek() : NoIdLeft;
}

QList<QDomElement> AppendTree(QDomElement root, const QList<Node> &lclasses)
{
    QDomDocument doc = root.ownerDocument();
    QList<QDomElement> appended;
    for (const Node &l : lclasses) {
        QDomElement lclass = elementOf(doc, LClassTag, l.record);
        lclass.appendChild(referenceOf(doc, l.record));
        for (const Node &s : l.children) {
            QDomElement sclass = elementOf(doc, SClassTag, s.record);
            sclass.appendChild(referenceOf(doc, s.record));
            QDomElement param = doc.createElement(ParamTag);
            for (const Node &p : s.children)
                param.appendChild(elementOf(doc, PTag, p.record));
            appendKept(param, s.record->keptParams);
            sclass.appendChild(param);
            appendKept(sclass, s.record->kept);
            lclass.appendChild(sclass);
        }
        appendKept(lclass, l.record->kept);
        root.appendChild(lclass);
        appended.append(lclass);
    }
    return appended;
}

void RemoveElements(const QList<QDomElement> &elements)
{
    for (QDomElement e : elements) {
        QDomNode parent = e.parentNode();
        if (!parent.isNull())
            parent.removeChild(e);
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
