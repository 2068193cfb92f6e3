// What a history file costs its reader, counted before anything is added or written: a history
// the reader refuses hides every entry of it from every member, and is never written again.

#include "qa/doccdata.h"

#include "core/xmltext.h"

namespace
{
// The declaration, the root and its MaxID attribute.
constexpr qint64 DocumentNodes = 3;
// The declaration, the root's tags with its MaxID and the line ends, with room to spare.
constexpr qint64 DocumentBytes = 256;
// An entry's tags, indent, attribute names, quotes and the numbers and date, with room to spare.
constexpr qint64 EntryBytes = 192;
// "<![CDATA[" and "]]>" around each section of a text.
constexpr qint64 SectionBytes = 12;
// The most one character of an attribute value takes written: "&quot;".
constexpr qint64 AttributeCharBytes = 6;
} // namespace

DocCdata::Cost &DocCdata::Cost::operator+=(const Cost &other)
{
    nodes += other.nodes;
    bytes += other.bytes;
    return *this;
}

DocCdata::Cost &DocCdata::Cost::operator-=(const Cost &other)
{
    nodes -= other.nodes;
    bytes -= other.bytes;
    return *this;
}

// As buildDocument writes the entry: its element, its attributes and one CDATA section for the
// text and one more for every "]]>" in it (XmlText::AppendCData); a deleted one is not written.
DocCdata::Cost DocCdata::costOf(const DocCdataCase &entry, const QString &text) const
{
    Cost cost;
    if (entry.Deleted)
        return cost;
    const qint64 sections = text.count(QStringLiteral("]]>")) + 1;
    const int attributes =
        m_kind == QandAKind ? 4 : 6; // ID TYPE NAME DATETIME, or ID MID IS_SEND TITLE NAME DATETIME
    cost.nodes = 1 + attributes + sections;
    qint64 typed = entry.NAME.size();
    if (m_kind != QandAKind)
        typed += entry.MID.size() + entry.TITLE.size();
    cost.bytes =
        EntryBytes + AttributeCharBytes * typed + SectionBytes * sections + XmlText::CleanUtf8Size(text);
    // What the file held of it that the store does not read is written back with it.
    cost.nodes += entry.Kept.Nodes();
    cost.bytes += entry.Kept.Bytes();
    return cost;
}

DocCdata::Cost DocCdata::costOf(const DocCdataRecord *record) const
{
    Cost cost;
    cost.nodes = DocumentNodes;
    cost.bytes = DocumentBytes;
    if (record) {
        cost.nodes += record->RootKept.Nodes() + record->Prolog.Nodes();
        cost.bytes += record->RootKept.Bytes() + record->Prolog.Bytes();
        for (const DocCdataCase *entry : qAsConst(record->Cases))
            cost += costOf(*entry, entry->Text);
    }
    return cost;
}

QString DocCdata::refusalOf(const DocCdataRecord *record, const QString &key, const Cost &cost) const
{
    const QString path = record && !record->Path.isEmpty() ? record->Path : key;
    if (cost.nodes > MaxHistoryNodes) {
        return tr("the history %1 would hold %2 elements, attributes and texts, more than a history may "
                  "hold to be read back (%3); each \"]]>\" in a text adds one")
            .arg(path)
            .arg(cost.nodes)
            .arg(MaxHistoryNodes);
    }
    if (cost.bytes > MaxHistoryBytes) {
        return tr("the history %1 would take up to %2 bytes, more than a history may take to be read back "
                  "(%3)")
            .arg(path)
            .arg(cost.bytes)
            .arg(MaxHistoryBytes);
    }
    return QString();
}

QString DocCdata::EntryRefusal(const QString &key, const DocCdataCase &entry,
                               const DocCdataCase *replaces) const
{
    const DocCdataRecord *record = m_records.value(key);
    Cost cost = costOf(record);
    if (replaces)
        cost -= costOf(*replaces, replaces->Text);
    cost += costOf(entry, entry.Text);
    return refusalOf(record, key, cost);
}

bool DocCdata::SetCaseText(const QString &key, int id, const QString &text)
{
    m_refusal.clear();
    DocCdataRecord *record = m_records.value(key);
    if (!record)
        return true;
    Cost cost = costOf(record);
    for (const DocCdataCase *entry : qAsConst(record->Cases)) {
        if (entry->ID == id) {
            cost -= costOf(*entry, entry->Text);
            cost += costOf(*entry, text);
        }
    }
    m_refusal = refusalOf(record, key, cost);
    if (!m_refusal.isEmpty())
        return false;
    for (DocCdataCase *entry : qAsConst(record->Cases)) {
        if (entry->ID == id) {
            entry->Text = text;
            entry->Changed = true;
        }
    }
    record->Modified = true;
    return true;
}
