#include "outdef/outxml.h"

#include <QDomDocument>
#include <limits>

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

// Reads the MODEL and SEQ references of an identifier; returns the highest number seen.
int readRefs(const QDomElement &e, const QSet<int> &modelIds, Entry *entry)
{
    int highest = 0;
    for (const QDomElement &child : children(e)) {
        int n = 0;
        if (!ToNumber(child.attribute(Id), &n))
            continue;
        if (child.tagName() == SeqTag) {
            entry->seqs.append(n);
            highest = qMax(highest, n);
        } else if (child.tagName() == ModelTag && modelIds.contains(n)) {
            entry->models.append(n);
        }
    }
    return highest;
}

int counterOf(const QDomElement &e, int highest)
{
    bool ok = false;
    const int max = e.attribute(MaxId).toInt(&ok);
    const int next = highest < std::numeric_limits<int>::max() ? highest + 1 : highest;
    return qMax(ok ? max : 0, next);
}

void placeList(Definition *def, QList<int> *refs, QSet<int> *placed)
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
        placed->insert(n);
        placeList(def, &def->seqs[n].seqs, placed);
        ++i;
    }
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
    if (text.isEmpty() || text.size() > 10)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok)
        *number = n;
    return ok;
}

Definition Take(QDomElement root, const QSet<int> &modelIds)
{
    Definition def;
    const QDomElement sequence = root.firstChildElement(SequenceTag);
    if (!sequence.isNull()) {
        int highest = 0;
        for (const QDomElement &e : children(sequence)) {
            int n = 0;
            if (e.tagName() != SeqTag || !ToNumber(e.attribute(Id), &n) || def.seqs.contains(n))
                continue;
            Entry entry;
            entry.attrs = attributesOf(e);
            highest = qMax(highest, qMax(n, readRefs(e, modelIds, &entry)));
            def.seqs.insert(n, entry);
        }
        def.seqCounter = counterOf(sequence, highest);
    }
    const QDomElement files = root.firstChildElement(FilesTag);
    if (!files.isNull()) {
        int highest = 0;
        for (const QDomElement &e : children(files)) {
            int n = 0;
            if (e.tagName() != FileTag || !ToNumber(e.attribute(Id), &n) || def.files.contains(n))
                continue;
            Entry entry;
            entry.attrs = attributesOf(e);
            for (const QString &name : {FileType, OutName, Ext})
                entry.attrs.insert(name, entry.attrs.value(name));
            def.seqCounter = qMax(def.seqCounter, readRefs(e, modelIds, &entry) + 1);
            highest = qMax(highest, n);
            def.files.insert(n, entry);
            def.fileOrder.append(n);
        }
        def.fileCounter = counterOf(files, highest);
    }
    const QDomElement temps = root.firstChildElement(TempTag);
    for (const QDomElement &e : children(temps)) {
        int n = 0;
        if (e.tagName() == SeqTag && ToNumber(e.attribute(Id), &n) && def.seqs.contains(n))
            def.temps.append(n);
    }
    Strip(root);
    return def;
}

void Place(Definition *def)
{
    QSet<int> placed;
    for (int n : qAsConst(def->fileOrder))
        placeList(def, &def->files[n].seqs, &placed);
    placeList(def, &def->temps, &placed);
}

void Append(QDomElement root, const Definition &def)
{
    QDomDocument doc = root.ownerDocument();
    QDomElement sequence = doc.createElement(SequenceTag);
    sequence.setAttribute(MaxId, QString::number(def.seqCounter));
    const QStringList seqAttrs = {Title, Loop, PLoop, LoopType, LoopEndType};
    for (auto it = def.seqs.cbegin(); it != def.seqs.cend(); ++it)
        sequence.appendChild(entryElement(doc, SeqTag, it.key(), it.value(), seqAttrs));
    root.appendChild(sequence);
    QDomElement files = doc.createElement(FilesTag);
    files.setAttribute(MaxId, QString::number(def.fileCounter));
    const QStringList fileAttrs = {Title, FileType, OutName, Ext, Loop};
    for (int n : def.fileOrder)
        files.appendChild(entryElement(doc, FileTag, n, def.files.value(n), fileAttrs));
    root.appendChild(files);
    QDomElement temps = doc.createElement(TempTag);
    for (int n : def.temps)
        temps.appendChild(refElement(doc, SeqTag, n));
    root.appendChild(temps);
}

void Strip(QDomElement root)
{
    while (!root.firstChild().isNull())
        root.removeChild(root.firstChild());
}
} // namespace OutXml
