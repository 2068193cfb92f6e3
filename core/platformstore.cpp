#include "core/platformstore.h"

#include <QFile>
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
    store.beginGroup(kGroup);
    store.setValue(key, value);
    store.endGroup();
    store.sync();
    // The store holds the mail password and the tracker key: the user's eyes only.
    QFile::setPermissions(store.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
