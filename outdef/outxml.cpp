#include "outdef/outxml.h"

#include <QDomDocument>

namespace OutXml
{
namespace
{
QList<QDomElement> children(const QDomElement &parent)
{
    QList<QDomElement> list;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        list.append(e);
    return list;
}

QHash<QString, QString> attributesOf(const QDomElement &e)
{
    QHash<QString, QString> attrs;
    const QDomNamedNodeMap map = e.attributes();
    for (int i = 0; i < map.count(); ++i) {
        const QDomAttr a = map.item(i).toAttr();
        attrs.insert(a.name(), a.value());
    }
    return attrs;
}

// Reads the MODEL and SEQ references of an identifier.
void readRefs(const QDomElement &e, const QSet<int> &modelIds, Entry *entry)
{
    for (const QDomElement &child : children(e)) {
        int n = 0;
        if (!ToNumber(child.attribute(Id), &n))
            continue;
        if (child.tagName() == SeqTag)
            entry->seqs.append(n);
        else if (child.tagName() == ModelTag && modelIds.contains(n))
            entry->models.append(n);
    }
}

// Every ID of the elements tagged tag below parent, refused ones included: each may name a
// template file. Iterative, as a shared file may nest deeply.
void seeIds(DecimalId::Counter *counter, const QDomElement &parent, const QString &tag)
{
    QDomNode node = parent.firstChild();
    while (!node.isNull() && node != parent) {
        const QDomElement e = node.toElement();
        if (!e.isNull() && e.tagName() == tag)
            counter->SeeId(e.attribute(Id));
        if (!node.firstChild().isNull()) {
            node = node.firstChild();
            continue;
        }
        while (!node.isNull() && node != parent && node.nextSibling().isNull())
            node = node.parentNode();
        if (node.isNull() || node == parent)
            break;
        node = node.nextSibling();
    }
}

int nextOf(const DecimalId::Counter &counter)
{
    return counter.HasNext() ? counter.Peek() : NoIdLeft;
}

// depth: how many sequences enclose the list. A reference that would nest deeper than the
// generator goes is dropped and counted; the sequence it named stays in the file, unplaced.
void placeList(Definition *def, QList<int> *refs, QSet<int> *placed, int depth, int *dropped)
{
    for (int i = 0; i < refs->size();) {
        const int n = refs->at(i);
        if (!def->seqs.contains(n)) {
            ++i;
            continue;
        }
        if (placed->contains(n)) {
            refs->removeAt(i);
            continue;
        }
        if (depth >= MaxDepth) {
            refs->removeAt(i);
            ++*dropped;
            continue;
        }
        placed->insert(n);
        placeList(def, &def->seqs[n].seqs, placed, depth + 1, dropped);
        ++i;
    }
}

// Copies, so that the kept elements stay whole for the next save whatever happens to the document.
void appendKept(QDomElement parent, const QList<QDomElement> &kept)
{
    for (const QDomElement &e : kept)
        parent.appendChild(e.cloneNode(true));
}

QDomElement refElement(QDomDocument doc, const QString &tag, int n)
{
    QDomElement e = doc.createElement(tag);
    e.setAttribute(Id, QString::number(n));
    return e;
}

QDomElement entryElement(QDomDocument doc, const QString &tag, int n, const Entry &entry,
                         const QStringList &listed)
{
    QDomElement e = doc.createElement(tag);
    e.setAttribute(Id, QString::number(n));
    for (const QString &name : listed)
        e.setAttribute(name, entry.attrs.value(name));
    for (int m : entry.models)
        e.appendChild(refElement(doc, ModelTag, m));
    for (int s : entry.seqs)
        e.appendChild(refElement(doc, SeqTag, s));
    return e;
}
} // namespace

bool ToNumber(const QString &text, int *number)
{
    if (!DecimalId::IsId(text))
        return false;
    *number = DecimalId::Value(text);
    return true;
}

Definition Take(QDomElement root, const QSet<int> &modelIds)
{
    Definition def;
    const QDomElement sequence = root.firstChildElement(SequenceTag);
    const QDomElement files = root.firstChildElement(FilesTag);
    // Sequence numbers are read wherever a SEQ stands, file numbers wherever a FILE stands;
    // MODEL references are the model's numbers and count for neither.
    DecimalId::Counter seqCounter;
    DecimalId::Counter fileCounter;
    seqCounter.SeeValue(0);
    fileCounter.SeeValue(0);
    seqCounter.SeeMaxId(sequence.attribute(MaxId));
    fileCounter.SeeMaxId(files.attribute(MaxId));
    seeIds(&seqCounter, root, SeqTag);
    seeIds(&fileCounter, root, FileTag);
    def.seqCounter = nextOf(seqCounter);
    def.fileCounter = nextOf(fileCounter);
    if (!sequence.isNull()) {
        for (const QDomElement &e : children(sequence)) {
            int n = 0;
            if (e.tagName() != SeqTag || !ToNumber(e.attribute(Id), &n) || def.seqs.contains(n)) {
                def.kept.seqs.append(e);
                continue;
            }
            Entry entry;
            entry.attrs = attributesOf(e);
            readRefs(e, modelIds, &entry);
            def.seqs.insert(n, entry);
        }
    }
    if (!files.isNull()) {
        for (const QDomElement &e : children(files)) {
            int n = 0;
            if (e.tagName() != FileTag || !ToNumber(e.attribute(Id), &n) || def.files.contains(n)) {
                def.kept.files.append(e);
                continue;
            }
            Entry entry;
            entry.attrs = attributesOf(e);
            for (const QString &name : {FileType, OutName, Ext})
                entry.attrs.insert(name, entry.attrs.value(name));
            readRefs(e, modelIds, &entry);
            def.files.insert(n, entry);
            def.fileOrder.append(n);
        }
    }
    const QDomElement temps = root.firstChildElement(TempTag);
    for (const QDomElement &e : children(temps)) {
        int n = 0;
        if (e.tagName() == SeqTag && ToNumber(e.attribute(Id), &n) && def.seqs.contains(n))
            def.temps.append(n);
        else
            def.kept.temps.append(e);
    }
    for (const QDomElement &e : children(root)) {
        if (e != sequence && e != files && e != temps)
            def.kept.others.append(e);
    }
    Strip(root);
    return def;
}

int Place(Definition *def)
{
    QSet<int> placed;
    int dropped = 0;
    for (int n : qAsConst(def->fileOrder))
        placeList(def, &def->files[n].seqs, &placed, 0, &dropped);
    placeList(def, &def->temps, &placed, 0, &dropped);
    return dropped;
}

void Append(QDomElement root, const Definition &def)
{
    QDomDocument doc = root.ownerDocument();
    QDomElement sequence = doc.createElement(SequenceTag);
    sequence.setAttribute(MaxId, QString::number(qBound(1, def.seqCounter, NoIdLeft)));
    const QStringList seqAttrs = {Title, Loop, PLoop, LoopType, LoopEndType};
    for (auto it = def.seqs.cbegin(); it != def.seqs.cend(); ++it)
        sequence.appendChild(entryElement(doc, SeqTag, it.key(), it.value(), seqAttrs));
    appendKept(sequence, def.kept.seqs);
    root.appendChild(sequence);
    QDomElement files = doc.createElement(FilesTag);
    files.setAttribute(MaxId, QString::number(qBound(1, def.fileCounter, NoIdLeft)));
    const QStringList fileAttrs = {Title, FileType, OutName, Ext, Loop};
    for (int n : def.fileOrder)
        files.appendChild(entryElement(doc, FileTag, n, def.files.value(n), fileAttrs));
    appendKept(files, def.kept.files);
    root.appendChild(files);
    QDomElement temps = doc.createElement(TempTag);
    for (int n : def.temps)
        temps.appendChild(refElement(doc, SeqTag, n));
    appendKept(temps, def.kept.temps);
    root.appendChild(temps);
    appendKept(root, def.kept.others);
}

void Strip(QDomElement root)
{
    while (!root.firstChild().isNull())
        root.removeChild(root.firstChild());
}
} // namespace OutXml
