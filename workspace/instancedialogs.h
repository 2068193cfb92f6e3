#pragma once

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// Version trees shared by the instance dialogs: one top row per folder, further versions as
// children with an empty name column.
namespace InstanceTrees
{
// Adds the rows of folder/name; returns the row matching markVersion when mark is set.
QTreeWidgetItem *AddRows(QTreeWidget *tree, const QString &folder, const QString &name, bool versionsOnly,
                         bool expand, bool mark, const QString &markName, const QString &markVersion);
QString RowName(const QTreeWidgetItem *item);
QTreeWidgetItem *LastRow(QTreeWidget *tree);
void Clear(QTreeWidget *tree);
// folder + "/" + name, with name spelled as the existing entry that matches it without regard to
// case: the model editor creates "Instance", the instance dialogs say "INSTANCE".
QString FolderNoCase(const QString &folder, const QString &name);
// The workspace folder (with its trailing "/") of a chosen marker file; empty when cancelled or
// when the path does not end in the marker name. Null when nothing was chosen.
QString ChooseWorkspace(QWidget *parent, const QString &projectFile, const QString &current);
} // namespace InstanceTrees
