#pragma once

#include <QDomDocument>
#include <QList>

class xmlclass;

// The output run's selection files are rebuilt from the dialog's trees at every save; what the
// dialog does not write (comments, other elements, attributes it does not know) belongs to other
// members' programs and is put back with the item it followed.
namespace SelectionFile
{
// The document at index with its root emptied, the root's nodes as read in *old; or a new one.
QDomDocument *Emptied(xmlclass *store, int index, const QString &rootTag, QList<QDomNode> *old);
// The children parent was built with, put among what the file held there (old): what the dialog
// does not write stays with the item it followed, and goes when that item is no longer written.
void KeepUnknown(QDomElement parent, const QList<QDomNode> &old);
} // namespace SelectionFile
