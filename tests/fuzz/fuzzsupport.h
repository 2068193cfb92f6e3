#pragma once

// What every fuzz target needs: an application object, the registry's fixed texts, a store, and
// a scratch folder where each input becomes the file a loader reads.

#include "core/defvar.h"
#include "core/globalvar.h"
#include "core/xmlclass.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace FuzzSupport
{
inline QCoreApplication *app()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *instance = new QCoreApplication(argc, argv);
    return instance;
}

inline QString scratch()
{
    static QTemporaryDir *dir = new QTemporaryDir;
    return dir->path();
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size));
}

inline QString writeInput(const QString &name, const QByteArray &bytes)
{
    const QString path = scratch() + QLatin1Char('/') + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

// A fresh registry and store per input, as a test's scope gives.
struct Session {
    RegistryScope scope;
    xmlclass *store = new xmlclass;
    Session()
    {
        app();
        DefVar().InitVar();
        scope.SetObj(RegSlot::ObjXmlStore, store);
    }
    ~Session()
    {
        scope.SetObj<xmlclass>(RegSlot::ObjXmlStore, nullptr);
        delete store;
    }
};
} // namespace FuzzSupport
