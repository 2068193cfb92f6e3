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
// Whether the REFERENCE element holds nothing but REF children with exactly a TITLE and a URL:
// then a writer may build it anew from the entries alone.
bool IsPlainReference(const QDomElement &reference);
// The REFERENCE element of the entries (those the separator does not split in two are left out).
// Given the element as it was read, everything in it that is not a REF (its attributes, other
// elements, comments) stays where it was, the REF children give way to the entries in order, and
// an entry equal to a REF as read keeps that REF with its other attributes.
QDomElement WriteReference(QDomDocument doc, const QStringList &entries, const QString &separator,
                           const QDomElement &read);

// Web and mail links open at once; any other scheme (file:, smb:, javascript:, none) can start
// a program or reach a local file, so the user is asked first.
bool OpensDirectly(const QUrl &url);
} // namespace ReferenceFiles
