#include "core/platformstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace
{
const QString kGroup = QStringLiteral("inf");
}

QString PlatformStore::Read(const QString &key)
{
    QSettings store(QStringLiteral("ZqvProject"), QStringLiteral("Pelmorine"));
    store.beginGroup(kGroup);
    return store.value(key, QString()).toString();
}

void PlatformStore::Write(const QString &key, const QString &value)
{
    QSettings store(QStringLiteral("ZqvProject"), QStringLiteral("Pelmorine"));
    // Created owner-only before the first secret goes in: the settings writer keeps an existing
    // file's permissions, so the secret is never readable by others, not even for a moment.
    const QString path = store.fileName();
    if (!QFileInfo::exists(path) && QDir().mkpath(QFileInfo(path).absolutePath())) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    store.beginGroup(kGroup);
    store.setValue(key, value);
    store.endGroup();
    store.sync();
    // The store holds the mail password and the tracker key: the user's eyes only.
    QFile::setPermissions(store.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
