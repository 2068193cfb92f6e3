#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <QStringList>

// User text written into shared XML (chat, questions and answers, histories, member mail). One
// message in a file that no parser reads back hides every message of that file from every member,
// so whatever a user typed is made writable here: characters XML 1.0 cannot hold are replaced by
// U+FFFD, and "]]>" is split over CDATA sections.
namespace XmlText
{
// Whether XML 1.0 allows the code point in a document (tab, line feed, carriage return, and the
// ranges from U+0020 without the surrogates, U+FFFE and U+FFFF).
bool IsAllowed(uint ucs4);
// The code points the text holds that XML 1.0 forbids, as "U+0001", each once, in order.
QStringList Forbidden(const QString &text);
// The text with every forbidden code point (and every unpaired surrogate) replaced by U+FFFD.
QString Clean(const QString &text);
// The bytes Clean(text) takes in UTF-8, counted without making it: a writer judges a text of
// megabytes against its reader's limits before it writes it.
qint64 CleanUtf8Size(const QString &text);
// "characters XML cannot hold were replaced: %1" naming them, or "" when there were none.
QString ReplacedMessage(const QString &text);

// Appends the cleaned text to the element as CDATA sections, split where the text holds "]]>".
void AppendCData(QDomDocument &doc, QDomElement &element, const QString &text);
// The text of an element's CDATA and text children, joined: reads back what AppendCData wrote.
QString ReadCData(const QDomElement &element);
} // namespace XmlText
