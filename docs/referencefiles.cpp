#include "docs/referencefiles.h"

#include "core/safefile.h"

#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QUrl>
#include <QVector>

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

bool IsPlainReference(const QDomElement &reference, const QString &separator)
{
    if (reference.attributes().count() > 0)
        return false;
    for (QDomNode n = reference.firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement ref = n.toElement();
        if (ref.tagName() != kRef || ref.hasChildNodes() || ref.attributes().count() != 2 ||
            !ref.hasAttribute(kTitle) || !ref.hasAttribute(kUrl))
            return false;
        // Its entry would not split back into a link: only the REF as read can write it again.
        if (!separator.isEmpty() &&
            (ref.attribute(kTitle).contains(separator) || ref.attribute(kUrl).contains(separator)))
            return false;
    }
    return true;
}

namespace
{
QString entryOf(const QDomElement &ref, const QString &separator)
{
    return ref.attribute(kTitle) + separator + ref.attribute(kUrl);
}

// The REFERENCE as read cut into what stands before its first REF and its REFs, each with the
// nodes after it up to the next REF: those belong to it.
struct Refs {
    QList<QDomNode> head;
    QList<QDomElement> refs;
    QList<QList<QDomNode>> trailing;

    explicit Refs(const QDomElement &read)
    {
        for (QDomNode n = read.firstChild(); !n.isNull(); n = n.nextSibling()) {
            if (n.isElement() && n.toElement().tagName() == kRef) {
                refs.append(n.toElement());
                trailing.append(QList<QDomNode>());
            } else {
                (refs.isEmpty() ? head : trailing.last()).append(n);
            }
        }
    }
};

QDomElement newRef(QDomDocument doc, const Link &link)
{
    QDomElement ref = doc.createElement(kRef);
    ref.setAttribute(kTitle, link.title);
    ref.setAttribute(kUrl, link.address);
    return ref;
}
} // namespace

QDomElement WriteReference(QDomDocument doc, const QStringList &entries, const QString &separator,
                           const QDomElement &read)
{
    QDomElement reference = doc.createElement(QStringLiteral("REFERENCE"));
    const QDomNamedNodeMap attrs = read.attributes();
    for (int i = 0; i < attrs.count(); ++i)
        reference.setAttribute(attrs.item(i).nodeName(), attrs.item(i).nodeValue());
    Refs as(read);
    for (const QDomNode &n : qAsConst(as.head))
        reference.appendChild(doc.importNode(n, true));
    QHash<QString, QList<int>> unused;
    for (int i = as.refs.size() - 1; i >= 0; --i)
        unused[entryOf(as.refs.at(i), separator)].prepend(i);
    for (const QString &entry : entries) {
        QList<int> &same = unused[entry];
        Link link;
        if (!same.isEmpty()) {
            const int i = same.takeFirst();
            reference.appendChild(doc.importNode(as.refs.at(i), true));
            for (const QDomNode &n : qAsConst(as.trailing.at(i)))
                reference.appendChild(doc.importNode(n, true));
        } else if (SplitLink(entry, separator, &link)) {
            reference.appendChild(newRef(doc, link));
        }
    }
    return reference;
}

void FollowEdits(QDomElement read, const QStringList &before, const QStringList &after,
                 const QList<int> &origins, const QString &separator)
{
    if (read.isNull())
        return;
    Refs as(read);
    if (as.refs.size() != before.size())
        return;
    for (int i = 0; i < before.size(); ++i) {
        if (entryOf(as.refs.at(i), separator) != before.at(i))
            return;
    }
    while (read.hasChildNodes())
        read.removeChild(read.firstChild());
    for (const QDomNode &n : qAsConst(as.head))
        read.appendChild(n);
    QVector<bool> taken(as.refs.size(), false);
    for (int j = 0; j < after.size(); ++j) {
        const int i = origins.value(j, -1);
        Link link;
        const bool splits = SplitLink(after.at(j), separator, &link);
        if (i < 0 || i >= as.refs.size() || taken.at(i)) {
            if (splits)
                read.appendChild(newRef(read.ownerDocument(), link));
            continue;
        }
        taken[i] = true;
        QDomElement ref = as.refs.at(i);
        // An entry left as it was keeps its REF to the byte, a missing TITLE or URL included.
        if (after.at(j) != before.at(i) && splits) {
            ref.setAttribute(kTitle, link.title);
            ref.setAttribute(kUrl, link.address);
        }
        read.appendChild(ref);
        for (const QDomNode &n : qAsConst(as.trailing.at(i)))
            read.appendChild(n);
    }
}

void FollowEditsInLists(const QList<QDomElement> &lists, const QStringList &before, const QStringList &after,
                        const QList<int> &origins, const QString &separator)
{
    QVector<int> start;
    QStringList read;
    for (const QDomElement &list : lists) {
        start << read.size();
        read << ReadLinks(list, separator);
    }
    if (lists.isEmpty() || read != before)
        return;
    const auto listOf = [&start](int i) {
        int k = start.size() - 1;
        while (start.at(k) > i)
            --k;
        return k;
    };
    QVector<QStringList> afters(lists.size());
    QVector<QList<int>> from(lists.size());
    int current = 0;
    for (int j = 0; j < after.size(); ++j) {
        const int i = origins.value(j, -1);
        const bool kept = i >= 0 && i < before.size();
        if (kept && listOf(i) < current)
            return;
        if (kept)
            current = listOf(i);
        afters[current] << after.at(j);
        from[current] << (kept ? i - start.at(current) : -1);
    }
    for (int k = 0; k < lists.size(); ++k) {
        const int end = k + 1 < lists.size() ? start.at(k + 1) : before.size();
        FollowEdits(lists.at(k), before.mid(start.at(k), end - start.at(k)), afters.at(k), from.at(k),
                    separator);
    }
}

bool OpensDirectly(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ftp") || scheme == QLatin1String("mailto");
}
} // namespace ReferenceFiles
