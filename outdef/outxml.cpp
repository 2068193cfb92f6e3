#include "outdef/outxml.h"

#include "model/elementlayout.h"

#include <QDomDocument>

#include <functional>

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

// A reference this program reads and writes: a SEQ or MODEL with a plain number (readRefs).
bool isRef(const QDomNode &n, const QString &tag1, const QString &tag2 = QString())
{
    const QDomElement e = n.toElement();
    int number = 0;
    return !e.isNull() && (e.tagName() == tag1 || (!tag2.isEmpty() && e.tagName() == tag2)) &&
           ToPlainNumber(e.attribute(Id), &number);
}

// Reads the MODEL and SEQ references of an identifier. A MODEL the model no longer has goes;
// a child this program cannot write back as it stands is refused, and stays in the element.
void readRefs(const QDomElement &e, const QSet<int> &modelIds, Entry *entry)
{
    for (const QDomElement &child : children(e)) {
        if (!isRef(child, SeqTag, ModelTag))
            continue;
        const int n = child.attribute(Id).toInt();
        if (child.tagName() == SeqTag)
            entry->seqs.append(n);
        else if (modelIds.contains(n))
            entry->models.append(n);
    }
}

// Every ID of the elements tagged tag below parent, refused ones included: each may name a
// template file. Iterative, as a shared file may nest deeply.
void seeIds(DecimalId::Counter *counter, QSet<int> *numbers, const QDomElement &parent, const QString &tag)
{
    QDomNode node = parent.firstChild();
    while (!node.isNull() && node != parent) {
        const QDomElement e = node.toElement();
        if (!e.isNull() && e.tagName() == tag) {
            counter->SeeId(e.attribute(Id));
            if (const int n = DecimalId::Value(e.attribute(Id)); n >= 0)
                numbers->insert(n);
        }
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

QList<QDomNode> nodesOf(const QDomNode &parent)
{
    QList<QDomNode> list;
    for (QDomNode n = parent.firstChild(); !n.isNull(); n = n.nextSibling())
        list.append(n);
    return list;
}

// The references of one element as written, each the one read with that tag and number when
// there was one (its other attributes and children kept), else a new one.
class Refs
{
public:
    Refs(QDomDocument doc, const QDomElement &read) : m_doc(doc)
    {
        for (const QDomElement &e : children(read))
            m_read[e.tagName() + QLatin1Char(' ') + e.attribute(Id)].append(e);
    }
    QDomElement Element(const QString &tag, int n)
    {
        QList<QDomElement> &same = m_read[tag + QLatin1Char(' ') + QString::number(n)];
        if (!same.isEmpty())
            return m_doc.importNode(same.takeFirst(), true).toElement();
        QDomElement e = m_doc.createElement(tag);
        e.setAttribute(Id, QString::number(n));
        return e;
    }

private:
    QDomDocument m_doc;
    QHash<QString, QList<QDomElement>> m_read;
};

// Writes the parts into parent where the elements read stood: what this program does not know among
// them belongs to the item it follows and moves or goes with it, what stood before the first item
// stays at the head, and an element of a part's tag that isSlot refuses is an item of its own and
// stays (ElementLayout). With its attributes (withAttributes), the layout of an element that has
// any is never empty, so the parts keep their interleaving as read even when nothing else stands
// among them; parent holds those attributes already, so none is added.
void fill(QDomElement parent, const QDomElement &read, const std::function<bool(const QDomElement &)> &isSlot,
          const QList<ElementLayout::Part> &parts, bool withAttributes = false)
{
    QList<QDomElement> layout;
    if (!read.isNull())
        ElementLayout::Capture(
            &layout, read,
            [&](const QDomElement &c) { return isSlot(c) ? ElementLayout::Slot : ElementLayout::Keep; },
            withAttributes);
    ElementLayout::Fill(parent, layout, parts);
}

// The element as read with the known attributes set from the entry and its references written in
// place; a new entry is a new element.
QDomElement entryElement(QDomDocument doc, const QString &tag, int n, const Entry &entry,
                         const QStringList &listed, const QDomElement &read, const QList<int> &unplaced)
{
    QDomElement e = read.isNull() ? doc.createElement(tag) : doc.importNode(read, false).toElement();
    e.setAttribute(Id, QString::number(n));
    for (const QString &name : listed)
        e.setAttribute(name, entry.attrs.value(name));
    Refs refs(doc, read);
    ElementLayout::Part models{ModelTag, {}};
    for (int m : entry.models)
        models.elements.append(refs.Element(ModelTag, m));
    ElementLayout::Part seqs{SeqTag, {}};
    for (int s : entry.seqs + unplaced)
        seqs.elements.append(refs.Element(SeqTag, s));
    fill(
        e, read, [](const QDomElement &c) { return isRef(c, SeqTag, ModelTag); }, {models, seqs}, true);
    return e;
}

QDomElement containerElement(QDomDocument doc, const QString &tag, const QDomElement &read)
{
    return read.isNull() ? doc.createElement(tag) : doc.importNode(read, false).toElement();
}

// The number of a SEQ or FILE element that Take put into the lists; 0 for any other node.
int takenNumber(const QDomNode &n, const QString &tag, const QHash<int, QDomElement> &taken)
{
    const QDomElement e = n.toElement();
    int number = 0;
    if (e.isNull() || e.tagName() != tag || !ToPlainNumber(e.attribute(Id), &number))
        return 0;
    return taken.value(number) == e ? number : 0;
}

// The entries of a SEQUENCE or FILES written into its element as read; an entry the loader refused
// is an entry of its own and stays.
void fillEntries(QDomElement parent, const QDomElement &read, const QString &tag,
                 const QHash<int, QDomElement> &taken, const QList<QDomElement> &entries)
{
    fill(parent, read, [&](const QDomElement &c) { return takenNumber(c, tag, taken) != 0; },
         {{tag, entries}});
}

QDomElement sequenceElement(QDomDocument doc, const Definition &def)
{
    QDomElement sequence = containerElement(doc, SequenceTag, def.kept.sequence);
    sequence.setAttribute(MaxId, QString::number(qBound(1, def.seqCounter, NoIdLeft)));
    const QStringList seqAttrs = {Title, Loop, PLoop, LoopType, LoopEndType};
    auto element = [&](int n) {
        return entryElement(doc, SeqTag, n, def.seqs.value(n), seqAttrs, def.kept.seqElements.value(n),
                            def.kept.seqUnplaced.value(n));
    };
    QList<QDomElement> written;
    QSet<int> done;
    for (const QDomNode &c : nodesOf(def.kept.sequence)) {
        const int n = takenNumber(c, SeqTag, def.kept.seqElements);
        if (n && def.seqs.contains(n)) {
            written.append(element(n));
            done.insert(n);
        }
    }
    for (auto it = def.seqs.cbegin(); it != def.seqs.cend(); ++it) {
        if (!done.contains(it.key()))
            written.append(element(it.key()));
    }
    fillEntries(sequence, def.kept.sequence, SeqTag, def.kept.seqElements, written);
    return sequence;
}

QDomElement filesElement(QDomDocument doc, const Definition &def)
{
    QDomElement files = containerElement(doc, FilesTag, def.kept.files);
    files.setAttribute(MaxId, QString::number(qBound(1, def.fileCounter, NoIdLeft)));
    const QStringList fileAttrs = {Title, FileType, OutName, Ext, Loop};
    QList<QDomElement> written;
    for (int n : def.fileOrder)
        written.append(entryElement(doc, FileTag, n, def.files.value(n), fileAttrs,
                                    def.kept.fileElements.value(n), def.kept.fileUnplaced.value(n)));
    fillEntries(files, def.kept.files, FileTag, def.kept.fileElements, written);
    return files;
}

QDomElement tempsElement(QDomDocument doc, const Definition &def)
{
    QDomElement temps = containerElement(doc, TempTag, def.kept.temps);
    Refs refs(doc, def.kept.temps);
    ElementLayout::Part seqs{SeqTag, {}};
    for (int n : def.temps + def.kept.tempUnplaced)
        seqs.elements.append(refs.Element(SeqTag, n));
    // A reference Take refused (an unknown sequence) stays as read, whatever became of the numbers.
    fill(temps, def.kept.temps,
         [&](const QDomElement &c) {
             return isRef(c, SeqTag) && def.kept.seqElements.contains(c.attribute(Id).toInt());
         },
         {seqs});
    return temps;
}

// SEQUENCE, FILES and TEMPSEQ (made, in the order they have always been written) in the order the
// root held them; one it did not hold goes before the first held one that it has always been
// written before, else last.
QList<ElementLayout::Part> rootParts(const QStringList &readOrder, const QList<ElementLayout::Part> &made)
{
    auto rank = [&](const QString &tag) {
        int k = 0;
        while (k < made.size() && made.at(k).tag != tag)
            ++k;
        return k;
    };
    QList<ElementLayout::Part> parts;
    for (const QString &tag : readOrder)
        parts.append(made.at(rank(tag)));
    for (int k = 0; k < made.size(); ++k) {
        if (readOrder.contains(made.at(k).tag))
            continue;
        int at = 0;
        while (at < parts.size() && !(readOrder.contains(parts.at(at).tag) && rank(parts.at(at).tag) > k))
            ++at;
        parts.insert(at, made.at(k));
    }
    return parts;
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
    seeIds(&seqCounter, &def.kept.seqNumbers, root, SeqTag);
    seeIds(&fileCounter, &def.kept.fileNumbers, root, FileTag);
    def.seqCounter = nextOf(seqCounter);
    def.fileCounter = nextOf(fileCounter);
    if (sequence.hasAttribute(MaxId))
        def.kept.seqMaxId = sequence.attribute(MaxId);
    if (files.hasAttribute(MaxId))
        def.kept.fileMaxId = files.attribute(MaxId);
    if (!sequence.isNull()) {
        for (const QDomElement &e : children(sequence)) {
            int n = 0;
            if (e.tagName() != SeqTag || !ToPlainNumber(e.attribute(Id), &n) || def.seqs.contains(n))
                continue;
            Entry entry;
            entry.attrs = attributesOf(e);
            readRefs(e, modelIds, &entry);
            def.seqs.insert(n, entry);
            def.kept.seqElements.insert(n, e);
        }
    }
    if (!files.isNull()) {
        for (const QDomElement &e : children(files)) {
            int n = 0;
            if (e.tagName() != FileTag || !ToPlainNumber(e.attribute(Id), &n) || def.files.contains(n))
                continue;
            Entry entry;
            entry.attrs = attributesOf(e);
            for (const QString &name : {FileType, OutName, Ext})
                entry.attrs.insert(name, entry.attrs.value(name));
            readRefs(e, modelIds, &entry);
            def.files.insert(n, entry);
            def.kept.fileElements.insert(n, e);
            def.fileOrder.append(n);
        }
    }
    const QDomElement temps = root.firstChildElement(TempTag);
    for (const QDomElement &e : children(temps)) {
        int n = 0;
        if (e.tagName() == SeqTag && ToPlainNumber(e.attribute(Id), &n) && def.seqs.contains(n))
            def.temps.append(n);
    }
    const QList<QDomElement> taken = {sequence, files, temps};
    for (const QDomElement &e : children(root)) {
        if (taken.contains(e))
            def.kept.rootOrder.append(e.tagName());
    }
    ElementLayout::Capture(&def.kept.rootLayout, root, [&](const QDomElement &e) {
        return taken.contains(e) ? ElementLayout::Slot : ElementLayout::Keep;
    });
    def.kept.sequence = sequence;
    def.kept.files = files;
    def.kept.temps = temps;
    Strip(root);
    return def;
}

int NewNumber(const QString &folder, bool seq, int *counter, QSet<int> *given, QString *why)
{
    QStringList names;
    if (!DecimalId::ListFolder(folder, &names, why))
        return -1;
    QSet<int> used = *given;
    DecimalId::NumbersInNames(names, seq ? SeqFilePrefix : FileFilePrefix, {TemplateSuffix}, &used);
    const int n = DecimalId::FirstFree(*counter, used);
    if (n < 0) {
        if (why)
            *why = DecimalId::ExhaustedMessage(FileName);
        return -1;
    }
    given->insert(n);
    *counter = qMax(*counter, n + 1);
    return n;
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
    const QList<ElementLayout::Part> made = {{SequenceTag, {sequenceElement(doc, def)}},
                                             {FilesTag, {filesElement(doc, def)}},
                                             {TempTag, {tempsElement(doc, def)}}};
    ElementLayout::Fill(root, def.kept.rootLayout, rootParts(def.kept.rootOrder, made));
    // A refused repeat of one of them that now stands before it would be the one read next time.
    for (const ElementLayout::Part &part : made) {
        const QDomElement e = part.elements.first();
        const QDomElement first = root.firstChildElement(e.tagName());
        if (first != e)
            root.insertBefore(e, first);
    }
}

void Strip(QDomElement root)
{
    while (!root.firstChild().isNull())
        root.removeChild(root.firstChild());
}
} // namespace OutXml
