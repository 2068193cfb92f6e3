#pragma once

#include "core/registryslots.h"

#include <QByteArray>
#include <QString>

// Single-line values of shared files (names, addresses, IDs, dates, titles, links) that no one
// types. Laying such a value out in a label, a tab or a tree row costs about half a second a million
// characters, and an open lays a member's name out some tens of times: a name of 10 MB held the
// program for a minute. The group and member files are refused (a group entry left out) and named
// when they hold one, and never written with one, so that they always open again. (The model's rows
// show the start of a long name instead.)
namespace LongValue
{
// Above any name, address, title or folder path (PATH_MAX) anyone types. A thousand rows of values
// this long still lay out in under a second a tree.
constexpr int MaxChars = 4096;

inline bool Exceeds(const QString &value)
{
    return value.size() > MaxChars;
}

// The value, or its start with the count of its characters, to name it in a report.
QString Shown(const QString &value);

// False when an attribute value of the document holds more than MaxChars characters, with the
// message and the position of the value. Attributes of elements named judgedApart are left to a
// reader that refuses such an entry alone. Text and CDATA (messages, notes) are not values: they
// may be long. Meant for bytes the XML parser took; bytes XmlInput refuses are refused with its
// message.
bool Check(const QByteArray &bytes, QString *message, int *line, int *column,
           const QByteArray &judgedApart = QByteArray());
// What Check says of a value of that many characters.
QString TooLong(const QString &attribute, qint64 chars);

// The store documents whose reader refuses such a value: manager.xml and the manager_<n>.xml.
inline bool IsBounded(int storeIndex)
{
    return storeIndex >= XmlIndex::Manager && storeIndex < XmlIndex::Manager + 10000;
}

// The elements whose values the reader of a store document judges entry by entry: the group's USER
// entries, each left out alone so that the team still opens.
inline QByteArray JudgedApart(int storeIndex)
{
    return storeIndex == XmlIndex::Manager ? QByteArrayLiteral("USER") : QByteArray();
}
} // namespace LongValue
