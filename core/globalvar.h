#pragma once

#include "core/registryslots.h"

#include <QIcon>
#include <QString>
#include <typeinfo>

// Base of nearly every window, dialog and data class: gives access to the process-wide registry
// of object pointers, strings, integers and flags addressed by the slot names of registryslots.h.
class globalvar
{
public:
    globalvar();
    virtual ~globalvar();
    globalvar(const globalvar &) : globalvar() {}
    globalvar &operator=(const globalvar &) { return *this; }

    void *GetPtrVar(int slot) const;
    void SetPtrVar(int slot, void *ptr);
    QString GetStrVar(int slot) const;
    void SetStrVar(int slot, const QString &value);
    int GetIntVar(int slot) const;
    void SetIntVar(int slot, int value);
    bool GetBoolVar(int slot) const;
    void SetBoolVar(int slot, bool value);
    QIcon GetLogoIcon() const;

    // Objects go in and come out through the exact class they were registered as: a void*
    // round trip through another class breaks silently with virtual bases.
    template <class T> void SetObj(int slot, T *object)
    {
        storeObject(slot, static_cast<void *>(object), &typeid(T));
    }
    template <class T> T *GetObj(int slot) const { return static_cast<T *>(loadObject(slot, typeid(T))); }

    static QString DelLastSlash(const QString &path);
    // A template so that the registry itself needs no widget library; Tree is a QTreeWidget.
    template <class Tree> static void TreeColumnAdjustment(Tree *tree)
    {
        const int columns = tree->columnCount();
        for (int i = 0; i < columns; ++i)
            tree->resizeColumnToContents(i);
    }

    // Number of live objects with this base; the tables exist while it is above zero.
    static quint32 LiveCount();
    // A registered object for a caller that is no object with this base, or null when none is
    // there or no tables are. For what worker threads make and drop all the time (a lock's hold):
    // the count of live objects, changed by both threads, would order them for ThreadSanitizer and
    // hide every race between them.
    template <class T> static T *Registered(int slot)
    {
        return static_cast<T *>(registered(slot, typeid(T)));
    }

private:
    void storeObject(int slot, void *object, const std::type_info *type);
    void *loadObject(int slot, const std::type_info &type) const;
    static void *registered(int slot, const std::type_info &type);
};

// Gives a test function registry tables of its own: the tables are built on entry (or kept, if
// another object already holds them, after being reset) and released on exit.
class RegistryScope : public virtual globalvar
{
public:
    RegistryScope();
    ~RegistryScope() override;
};
