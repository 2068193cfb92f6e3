#pragma once

#include "core/defvar.h"
#include "workspace/workspacelayout.h"

class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

// The two-column name/version trees of the workspace dialogs: a name's first version is a
// top-level row, each further version a child row with an empty name column.
namespace VersionTree
{
// Header colours come from the form; this sets the two header icons.
void SetHeaderIcons(QTreeWidget *tree, SharedIcon::Id first, SharedIcon::Id second);
// Adds the rows of every listing; returns the row of (markName, markVersion) when mark is set.
QTreeWidgetItem *AddRows(QTreeWidget *tree, const QList<WorkspaceLayout::Listing> &listings, bool mark,
                         const QString &markName, const QString &markVersion);
// The last child of the last top-level row, or that row when it has none; null for an empty tree.
QTreeWidgetItem *LastVersionRow(QTreeWidget *tree);
// Name of a row: its column 0, or its parent's when empty. Version: column 1.
QString RowName(const QTreeWidgetItem *item);
QString RowVersion(const QTreeWidgetItem *item);
// Sets the spin boxes from a version text; missing parts leave their box unchanged.
void SetSpins(const QString &version, QSpinBox *major, QSpinBox *minor, QSpinBox *revision);
QString SpinText(const QSpinBox *major, const QSpinBox *minor, const QSpinBox *revision);
} // namespace VersionTree

class ErrorMsg;
class QWidget;

// A dialog's own error window. The error window registers itself as the program's; a dialog's
// private one must not take that place.
ErrorMsg *MakeOwnErrorMsg(QWidget *dialog);
