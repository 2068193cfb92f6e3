#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// What the instance tab knows per model class: the keys of all its instances, and the global
// ones by element, against which adding a class instance checks that a global element is used
// once per model class across all members.
struct ClassInstanceIndex {
    QStringList keys;
    QHash<QString, QStringList> byElement;
    QHash<QString, int> numbers;
    int number = -1;

    void Add(const QString &element, const QString &key)
    {
        auto it = byElement.find(element);
        if (it == byElement.end()) {
            it = byElement.insert(element, QStringList());
            numbers.insert(element, -1);
        }
        it->append(key);
    }
    // Gives a global element back; false when the key was not registered under it.
    bool Remove(const QString &element, const QString &key)
    {
        auto it = byElement.find(element);
        if (it == byElement.end() || !it->removeOne(key))
            return false;
        if (it->isEmpty()) {
            byElement.erase(it);
            numbers.remove(element);
        }
        return true;
    }
    int Count(const QString &element) const { return byElement.value(element).size(); }
};
