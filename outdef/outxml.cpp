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

// Reads the MODEL and SEQ references of an identifier. A MODEL the model no longer has goes;
// a child this program cannot write back as it stands is refused and kept.
void readRefs(const QDomElement &e, const QSet<int> &modelIds, Entry *entry, QList<QDomElement> *refused)
{
    for (const QDomElement &child : children(e)) {
        int n = 0;
        const bool known = child.tagName() == SeqTag || child.tagName() == ModelTag;
        if (!known || !ToPlainNumber(child.attribute(Id), &n))
            refused->append(child);
        else if (child.tagName() == SeqTag)
            entry->seqs.append(n);
        else if (modelIds.contains(n))
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
void placeList(Definition *def, QList<int> *refs, QList<int> *unplaced, QSet<int> *placed, int depth,
               int *dropped)
{
    for (int i = 0; i < refs->size();) {
        const int n = refs->at(i);
        if (!def->seqs.contains(n)) {
            ++i;
            continue;
        }
        if (placed->contains(n) || depth >= MaxDepth) {
            if (!placed->contains(n))
                ++*dropped;
            unplaced->append(refs->takeAt(i));
            continue;
        }
        placed->insert(n);
        QList<int> below;
        placeList(def, &def->seqs[n].seqs, &below, placed, depth + 1, dropped);
        if (!below.isEmpty())
            def->kept.seqUnplaced[n].append(below);
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
                         const QStringList &listed, const QList<QDomElement> &refused,
                         const QList<int> &unplaced)
{
    QDomElement e = doc.createElement(tag);
    e.setAttribute(Id, QString::number(n));
    for (const QString &name : listed)
        e.setAttribute(name, entry.attrs.value(name));
    for (int m : entry.models)
        e.appendChild(refElement(doc, ModelTag, m));
    for (int s : entry.seqs)
        e.appendChild(refElement(doc, SeqTag, s));
    for (int s : unplaced)
        e.appendChild(refElement(doc, SeqTag, s));
    appendKept(e, refused);
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

bool ToPlainNumber(const QString &text, int *number)
{
    int n = 0;
    if (!ToNumber(text, &n) || QString::number(n) != text)
        return false;
    *number = n;
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
    if (sequence.hasAttribute(MaxId))
        def.kept.seqMaxId = sequence.attribute(MaxId);
    if (files.hasAttribute(MaxId))
        def.kept.fileMaxId = files.attribute(MaxId);
    if (!sequence.isNull()) {
        for (const QDomElement &e : children(sequence)) {
            int n = 0;
            if (e.tagName() != SeqTag || !ToPlainNumber(e.attribute(Id), &n) || def.seqs.contains(n)) {
                def.kept.seqs.append(e);
                continue;
            }
            Entry entry;
            entry.attrs = attributesOf(e);
            QList<QDomElement> refused;
            readRefs(e, modelIds, &entry, &refused);
            if (!refused.isEmpty())
                def.kept.seqRefs.insert(n, refused);
            def.seqs.insert(n, entry);
        }
    }
    if (!files.isNull()) {
        for (const QDomElement &e : children(files)) {
            int n = 0;
            if (e.tagName() != FileTag || !ToPlainNumber(e.attribute(Id), &n) || def.files.contains(n)) {
                def.kept.files.append(e);
                continue;
            }
            Entry entry;
            entry.attrs = attributesOf(e);
            for (const QString &name : {FileType, OutName, Ext})
                entry.attrs.insert(name, entry.attrs.value(name));
            QList<QDomElement> refused;
            readRefs(e, modelIds, &entry, &refused);
            if (!refused.isEmpty())
                def.kept.fileRefs.insert(n, refused);
            def.files.insert(n, entry);
            def.fileOrder.append(n);
        }
    }
    const QDomElement temps = root.firstChildElement(TempTag);
    for (const QDomElement &e : children(temps)) {
        int n = 0;
        if (e.tagName() == SeqTag && ToPlainNumber(e.attribute(Id), &n) && def.seqs.contains(n))
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
    for (int n : qAsConst(def->fileOrder)) {
        QList<int> unplaced;
        placeList(def, &def->files[n].seqs, &unplaced, &placed, 0, &dropped);
        if (!unplaced.isEmpty())
            def->kept.fileUnplaced[n].append(unplaced);
    }
    placeList(def, &def->temps, &def->kept.tempUnplaced, &placed, 0, &dropped);
    return dropped;
}

void Append(QDomElement root, const Definition &def)
{
    QDomDocument doc = root.ownerDocument();
    QDomElement sequence = doc.createElement(SequenceTag);
    sequence.setAttribute(MaxId, QString::number(qBound(1, def.seqCounter, NoIdLeft)));
    const QStringList seqAttrs = {Title, Loop, PLoop, LoopType, LoopEndType};
    for (auto it = def.seqs.cbegin(); it != def.seqs.cend(); ++it)
        sequence.appendChild(entryElement(doc, SeqTag, it.key(), it.value(), seqAttrs,
                                          def.kept.seqRefs.value(it.key()),
                                          def.kept.seqUnplaced.value(it.key())));
    appendKept(sequence, def.kept.seqs);
    root.appendChild(sequence);
    QDomElement files = doc.createElement(FilesTag);
    files.setAttribute(MaxId, QString::number(qBound(1, def.fileCounter, NoIdLeft)));
    const QStringList fileAttrs = {Title, FileType, OutName, Ext, Loop};
    for (int n : def.fileOrder)
        files.appendChild(entryElement(doc, FileTag, n, def.files.value(n), fileAttrs,
                                       def.kept.fileRefs.value(n), def.kept.fileUnplaced.value(n)));
    appendKept(files, def.kept.files);
    root.appendChild(files);
    QDomElement temps = doc.createElement(TempTag);
    for (int n : def.temps)
        temps.appendChild(refElement(doc, SeqTag, n));
    for (int n : def.kept.tempUnplaced)
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
