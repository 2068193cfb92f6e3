#include "docs/referencefiles.h"

#include "core/safefile.h"

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
}

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

bool OpensDirectly(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ftp") || scheme == QLatin1String("mailto");
}
} // namespace ReferenceFiles
