#pragma once

#include "core/treeitemdata.h"

#include <QList>
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
