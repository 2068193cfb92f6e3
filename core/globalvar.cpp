#include "core/globalvar.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace
{

struct ObjectEntry {
    void *ptr = nullptr;
    const std::type_info *type = nullptr;
};

struct Tables {
    ObjectEntry objects[RegSize::Objects];
    QString strings[RegSize::Strings];
    int integers[RegSize::Integers] = {};
    bool flags[RegSize::Flags] = {};
    QIcon logo;
};

std::unique_ptr<Tables> g_tables;
std::atomic<quint32> g_live{0};

Tables &tables()
{
    return *g_tables;
}

} // namespace

globalvar::globalvar()
{
    // Objects with this base are built on the GUI thread; the count is atomic so that a worker
    // destroying one at exit cannot tear it.
    if (g_live.fetch_add(1) == 0) {
        g_tables = std::make_unique<Tables>();
    }
}

globalvar::~globalvar()
{
    if (g_live.fetch_sub(1) == 1)
        g_tables.reset();
}

quint32 globalvar::LiveCount()
{
    return g_live.load();
}

void *globalvar::GetPtrVar(int slot) const
{
    return tables().objects[slot].ptr;
}

void globalvar::SetPtrVar(int slot, void *ptr)
{
    tables().objects[slot] = {ptr, nullptr};
}

void globalvar::storeObject(int slot, void *object, const std::type_info *type)
{
    tables().objects[slot] = {object, object ? type : nullptr};
}

void *globalvar::loadObject(int slot, const std::type_info &type) const
{
    return registered(slot, type);
}

void *globalvar::registered(int slot, const std::type_info &type)
{
    if (!g_tables)
        return nullptr;
    const ObjectEntry &e = tables().objects[slot];
    if (!e.ptr)
        return nullptr;
    if (e.type && *e.type != type) {
        qWarning("registry object slot %d holds %s, asked for %s", slot, e.type->name(), type.name());
        return nullptr;
    }
    return e.ptr;
}

QString globalvar::GetStrVar(int slot) const
{
    return tables().strings[slot];
}

void globalvar::SetStrVar(int slot, const QString &value)
{
    tables().strings[slot] = value;
}

int globalvar::GetIntVar(int slot) const
{
    return tables().integers[slot];
}

void globalvar::SetIntVar(int slot, int value)
{
    tables().integers[slot] = value;
}

bool globalvar::GetBoolVar(int slot) const
{
    return tables().flags[slot];
}

void globalvar::SetBoolVar(int slot, bool value)
{
    tables().flags[slot] = value;
}

QIcon globalvar::GetLogoIcon() const
{
    // Loaded on first use: pixmaps need the GUI application, which core tests do not build.
    QIcon &logo = tables().logo;
    if (logo.isNull())
        logo = QIcon(QStringLiteral(":src/logo.png"));
    return logo;
}

QString globalvar::DelLastSlash(const QString &path)
{
    if (path.endsWith(QLatin1Char('/')))
        return path.left(path.size() - 1);
    return path;
}

RegistryScope::RegistryScope()
{
    // When something else keeps the tables alive, start this scope from the initial state.
    Tables &t = tables();
    for (auto &o : t.objects)
        o = ObjectEntry{};
    for (auto &s : t.strings)
        s.clear();
    std::fill(std::begin(t.integers), std::end(t.integers), 0);
    std::fill(std::begin(t.flags), std::end(t.flags), false);
}

RegistryScope::~RegistryScope() = default;
