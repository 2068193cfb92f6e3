#include "core/initxml.h"
#include "fuzzsupport.h"

#include <QDir>
#include <QHash>

// The settings file as start-up reads it. A damaged one is copied aside and replaced by the
// defaults; the copies are removed so that the folder stays small over millions of inputs.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Session s;
    QHash<QString, QString> children;
    s.scope.SetObj(RegSlot::ObjChildUsers, &children);
    const QString home = FuzzSupport::scratch();
    qputenv("HOME", QFile::encodeName(home));
    QDir().mkpath(home + QStringLiteral("/.Pelmorine"));
    QFile f(home + QStringLiteral("/.Pelmorine/init.xml"));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(FuzzSupport::bytes(data, size));
    f.close();
    {
        initxml settings;
        settings.OpenInit();
    }
    QDir folder(home + QStringLiteral("/.Pelmorine"));
    for (const QString &name : folder.entryList({QStringLiteral("init.xml.damaged-*")}, QDir::Files))
        folder.remove(name);
    return 0;
}
