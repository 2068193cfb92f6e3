#pragma once

#include "core/treeitemdata.h"

#include <QList>
#include <QTreeWidget>
#include <QTreeWidgetItem>

// The records behind the identifiers of an open output definition. Tree rows that a record holds
// in its lists are parked there while its identifier is not shown, and the record owns them then.

struct FileRecord {
    QTreeWidgetItem *item = nullptr;
    QList<QTreeWidgetItem *> scope;
    QList<int> vars;
    QList<int> seqs;
    TreeItemData *data = nullptr;
    int fileType = 0;

    FileRecord() = default;
    FileRecord(const FileRecord &) = delete;
    FileRecord &operator=(const FileRecord &) = delete;
    ~FileRecord()
    {
        qDeleteAll(scope);
        delete data;
    }
};

struct SeqRecord {
    QTreeWidgetItem *item = nullptr;
    QList<QTreeWidgetItem *> nestItems;
    QList<QTreeWidgetItem *> varItems;
    QList<QTreeWidgetItem *> scope;
    QList<int> vars;
    QList<int> nested;
    TreeItemData *data = nullptr;
    int loop = -1;
    int loopKind = 0;
    int pLoop = -1;

    SeqRecord() = default;
    SeqRecord(const SeqRecord &) = delete;
    SeqRecord &operator=(const SeqRecord &) = delete;
    ~SeqRecord()
    {
        qDeleteAll(nestItems);
        qDeleteAll(varItems);
        qDeleteAll(scope);
        delete data;
    }
};

struct ModelItemRecord {
    int id = 0;
    QTreeWidgetItem *item = nullptr;
    QTreeWidgetItem *scopeItem = nullptr;
};

// Columns and roles of a variable-scope row (its data sit under Qt::UserRole).
namespace Scope
{
enum Column { Source = 0, Count = 1, Id = 2, Used = 3, VarItem = 4 };
}

// The top-level scope rows of an identifier: shown in CURRENT_TREE while it is current, else parked
// in its record's list.
struct ScopeTops {
    QTreeWidget *tree = nullptr;
    QList<QTreeWidgetItem *> *list = nullptr;

    bool valid() const { return tree || list; }
    int count() const { return tree ? tree->topLevelItemCount() : list ? list->size() : 0; }
    QTreeWidgetItem *at(int i) const { return tree ? tree->topLevelItem(i) : list->at(i); }
    void insert(int i, QTreeWidgetItem *item)
    {
        if (tree)
            tree->insertTopLevelItem(i, item);
        else
            list->insert(i, item);
    }
    void take(QTreeWidgetItem *item)
    {
        if (tree)
            tree->takeTopLevelItem(tree->indexOfTopLevelItem(item));
        else
            list->removeOne(item);
    }
    QList<QTreeWidgetItem *> items() const
    {
        QList<QTreeWidgetItem *> all;
        for (int i = 0; i < count(); ++i)
            all.append(at(i));
        return all;
    }
};
