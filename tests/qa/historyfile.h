#pragma once

// History files written byte for byte, as an earlier run or another member's program left them:
// one stored entry whose text holds "]]>" a given number of times, so that a test reaches the
// reader's limit of nodes without typing millions of them.

#include <QByteArray>

namespace HistoryFile
{
// The CDATA sections of a text that is "]]>" count times: one more than it holds.
inline QByteArray Sections(qint64 count)
{
    QByteArray bytes;
    bytes.reserve(int(15 * (count + 1)));
    bytes += "<![CDATA[";
    for (qint64 i = 0; i < count; ++i)
        bytes += "]]]]><![CDATA[>";
    bytes += "]]>";
    return bytes;
}

// A history of one stored entry of the kind (1 questions and answers, 2 mail).
inline QByteArray OneEntry(int kind, qint64 count)
{
    const QByteArray attributes = kind == 1 ? "TYPE=\"1\"" : "MID=\"1\" IS_SEND=\"1\" TITLE=\"old\"";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root_Instance MaxID=\"1\">\n    <CASE ID=\"1\" " +
           attributes + " NAME=\"Ann\" DATETIME=\"2026/01/01 10:00\">" + Sections(count) +
           "</CASE>\n</Root_Instance>\n";
}

// The nodes the reader counts in it: the declaration, the root and its MaxID, and the entry's
// element, attributes and sections.
inline qint64 OneEntryNodes(int kind, qint64 count)
{
    return 3 + 1 + (kind == 1 ? 4 : 6) + count + 1;
}

// The nodes an entry of the kind adds with a text of count "]]>".
inline qint64 EntryNodes(int kind, qint64 count)
{
    return 1 + (kind == 1 ? 4 : 6) + count + 1;
}
} // namespace HistoryFile
