#pragma once

#include "outdef/outrecords.h"

#include <QString>
#include <QTreeWidgetItem>
#include <QVariant>

// What the rows of the output-definition trees carry under Qt::UserRole, read and written in one
// place for every part of the editor.
namespace OutRows
{
// The identifier number of a file or sequence row.
inline int numberOf(const QTreeWidgetItem *item)
{
    return item->data(2, Qt::UserRole).toInt();
}

// The model-element ID of a scope row.
inline int idOf(const QTreeWidgetItem *row)
{
    return row->data(Scope::Id, Qt::UserRole).toInt();
}

inline QVariant pointerData(QTreeWidgetItem *item)
{
    return QVariant::fromValue(static_cast<void *>(item));
}

inline QTreeWidgetItem *pointerAt(const QTreeWidgetItem *item, int column)
{
    return static_cast<QTreeWidgetItem *>(item->data(column, Qt::UserRole).value<void *>());
}

inline void setPointer(QTreeWidgetItem *item, int column, QTreeWidgetItem *to)
{
    item->setData(column, Qt::UserRole, pointerData(to));
}

// A scope row's use count never drops below zero.
inline void addCount(QTreeWidgetItem *row, int by)
{
    row->setData(Scope::Count, Qt::UserRole, qMax(0, row->data(Scope::Count, Qt::UserRole).toInt() + by));
}

inline QTreeWidgetItem *childWithId(const QTreeWidgetItem *parent, int id)
{
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        if (idOf(parent->child(i)) == id)
            return parent->child(i);
    }
    return nullptr;
}

inline QString seqMarker(int n)
{
    return QStringLiteral("$Seq[") + QString::number(n) + QLatin1Char(']');
}

inline QString varMarker(int n)
{
    return QStringLiteral("$Var[") + QString::number(n) + QLatin1Char(']');
}
} // namespace OutRows
