#include "docs/referencefiles.h"

#include "core/safefile.h"
#include "model/elementlayout.h"

#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>

namespace ReferenceFiles
{
namespace
{
const QLatin1String kBak(".bak");
const QString kRef = QStringLiteral("REF");
const QString kTitle = QStringLiteral("TITLE");
const QString kUrl = QStringLiteral("URL");
} // namespace

QString SizeText(qint64 bytes)
{
    return QLocale(QLocale::English).toString(bytes);
}

Listing List(const QString &folder)
{
    Listing listing;
    const QDir dir(folder);
    listing.exists = !folder.isEmpty() && dir.exists();
    if (!listing.exists)
        return listing;
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &file : files) {
        if (file.fileName().contains(kBak) || SafeFile::IsTemporary(file.fileName()))
            continue;
        listing.rows.append({file.fileName(),
                             file.lastModified().toString(QStringLiteral("yyyy/MM/dd hh:mm")),
                             SizeText(file.size())});
    }
    return listing;
}

QString FileExtension(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

QString FindApplication(const QDomDocument &settings, const QString &fileName)
{
    const QString extension = FileExtension(fileName);
    const QDomElement reference = settings.elementsByTagName(QStringLiteral("REFERENCE")).item(0).toElement();
    for (QDomElement ref = reference.firstChildElement(QStringLiteral("REF")); !ref.isNull();
         ref = ref.nextSiblingElement(QStringLiteral("REF"))) {
        const QStringList parts = ref.attribute(QStringLiteral("Extention")).split(QLatin1Char(';'));
        if (parts.contains(extension))
            return ref.attribute(QStringLiteral("exe"));
    }
    return QString();
}

QString RemoveWithCompanion(const QString &path)
{
    for (const QString &file : {path, path + kBak}) {
        if (!QFileInfo::exists(file) && !QFileInfo(file).isSymLink())
            continue;
        QFile::setPermissions(file, QFile::permissions(file) | QFileDevice::WriteUser);
        if (!QFile::remove(file))
            return file;
    }
    return QString();
}

bool SplitLink(const QString &entry, const QString &separator, Link *link)
{
    const QStringList parts = entry.split(separator);
    if (parts.size() != 2)
        return false;
    *link = {parts.at(0), parts.at(1)};
    return true;
}

QString JoinLink(const Link &link, const QString &separator)
{
    return link.title + separator + link.address;
}

QStringList ReadLinks(const QDomElement &reference, const QString &separator)
{
    QStringList entries;
    for (QDomElement ref = reference.firstChildElement(kRef); !ref.isNull();
         ref = ref.nextSiblingElement(kRef))
        entries.append(ref.attribute(kTitle) + separator + ref.attribute(kUrl));
    return entries;
}

bool IsPlainReference(const QDomElement &reference)
{
    if (reference.attributes().count() > 0)
        return false;
    for (QDomNode n = reference.firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement ref = n.toElement();
        if (ref.tagName() != kRef || ref.hasChildNodes() || ref.attributes().count() != 2 ||
            !ref.hasAttribute(kTitle) || !ref.hasAttribute(kUrl))
            return false;
    }
    return true;
}

QDomElement WriteReference(QDomDocument doc, const QStringList &entries, const QString &separator,
                           const QDomElement &read)
{
    QList<QDomElement> layout{read};
    for (QDomElement ref = read.firstChildElement(kRef); !ref.isNull(); ref = ref.nextSiblingElement(kRef))
        layout.append(ref);
    QList<QDomElement> unused = layout.mid(1);
    ElementLayout::Part refs{kRef, {}};
    for (const QString &entry : entries) {
        Link link;
        if (!SplitLink(entry, separator, &link))
            continue;
        QDomElement ref;
        for (int i = 0; i < unused.size() && ref.isNull(); ++i) {
            if (unused.at(i).attribute(kTitle) == link.title &&
                unused.at(i).attribute(kUrl) == link.address && unused.at(i).hasAttribute(kTitle) &&
                unused.at(i).hasAttribute(kUrl))
                ref = doc.importNode(unused.takeAt(i), true).toElement();
        }
        if (ref.isNull()) {
            ref = doc.createElement(kRef);
            ref.setAttribute(kTitle, link.title);
            ref.setAttribute(kUrl, link.address);
        }
        refs.elements.append(ref);
    }
    QDomElement reference = doc.createElement(QStringLiteral("REFERENCE"));
    ElementLayout::Fill(reference, read.isNull() ? QList<QDomElement>() : layout, {refs});
    return reference;
}

bool OpensDirectly(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ftp") || scheme == QLatin1String("mailto");
}
} // namespace ReferenceFiles
