#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QDomDocument;
class QDomElement;
class QUrl;

// What the reference-file panes and the web-link panes decide without widgets: which files of an
// element's folder are listed, which program opens a file, and how a link is stored.
namespace ReferenceFiles
{
// One listed file: name, last change "yyyy/MM/dd hh:mm", size with "," grouping thousands.
struct Row {
    QString name;
    QString time;
    QString size;
};

// The plain files directly in the folder, in directory order, leaving out every name that
// contains ".bak" (companions and backups). A missing folder gives no rows and exists false.
struct Listing {
    bool exists = false;
    QList<Row> rows;
};
Listing List(const QString &folder);
QString SizeText(qint64 bytes);

// The text after the last "."; empty without a "." or when the name ends with it.
QString FileExtension(const QString &fileName);
// The program of the first REF row of the settings' first REFERENCE element whose ";"-separated
// Extention list holds the file's extension exactly (letter case counts; an empty part matches a
// name without extension). Empty when no row matches.
QString FindApplication(const QDomDocument &settings, const QString &fileName);

// Makes the file writable and removes it, then its companion (the path with ".bak" appended)
// when there is one. Returns the path that could not be removed, or an empty text.
QString RemoveWithCompanion(const QString &path);

// A web link as the element's record keeps it: title, separator, address.
struct Link {
    QString title;
    QString address;
};
// The two parts of an entry; false when the separator does not split it into exactly two.
bool SplitLink(const QString &entry, const QString &separator, Link *link);
QString JoinLink(const Link &link, const QString &separator);

// The links of an element's REFERENCE element as entries (title, separator, address), one for
// each REF child in order; other children hold no link.
QStringList ReadLinks(const QDomElement &reference, const QString &separator);
// Whether the REFERENCE element holds nothing but REF children with exactly a TITLE and a URL
// that the separator does not cut: then a writer may build it anew from the entries alone.
bool IsPlainReference(const QDomElement &reference, const QString &separator);
// The REFERENCE element of the entries (those the separator does not split in two are left out
// unless a REF as read gives them). Given the element as it was read, its attributes and what
// stands before its first REF stay; each entry equal to a REF as read (TITLE, separator, URL)
// keeps that REF whole with the nodes that followed it up to the next REF; a REF no entry keeps
// goes with what followed it.
QDomElement WriteReference(QDomDocument doc, const QStringList &entries, const QString &separator,
                           const QDomElement &read);
// Carries an edit of the entries into the REFERENCE as read, so that the next WriteReference keeps
// each edited REF with what it does not show: origins gives for each entry after the edit the
// index of the entry before it that it was (-1 for a new one). The REFs and the nodes after each
// move with their entries, a renamed REF takes the new TITLE and URL, a REF whose entry went is
// removed with them. Nothing changes unless the REFs as read are the entries before, in order.
void FollowEdits(QDomElement read, const QStringList &before, const QStringList &after,
                 const QList<int> &origins, const QString &separator);
// FollowEdits over the REFs of several REFERENCE elements of one item, read one after the other:
// each entry after the edit goes into the element of the entry it was, a new one into the element
// of the entry before it (the first when none). Nothing changes unless the REFs of all of them, in
// order, are the entries before, and the edit keeps the entries of each element after the last's.
void FollowEditsInLists(const QList<QDomElement> &lists, const QStringList &before, const QStringList &after,
                        const QList<int> &origins, const QString &separator);

// Web and mail links open at once; any other scheme (file:, smb:, javascript:, none) can start
// a program or reach a local file, so the user is asked first.
bool OpensDirectly(const QUrl &url);
} // namespace ReferenceFiles
