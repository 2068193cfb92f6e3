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
// Makes preferred, or else the last version row, the tree's current row; returns that row.
QTreeWidgetItem *SelectRow(QTreeWidget *tree, QTreeWidgetItem *preferred = nullptr);
// Name of a row: its column 0, or its parent's when empty. Version: column 1.
QString RowName(const QTreeWidgetItem *item);
QString RowVersion(const QTreeWidgetItem *item);
// Sets the spin boxes from a version text; missing parts leave their box unchanged.
void SetSpins(const QString &version, QSpinBox *major, QSpinBox *minor, QSpinBox *revision);
QString SpinText(const QSpinBox *major, const QSpinBox *minor, const QSpinBox *revision);

// Whether a model is open, so that its row can be marked in a listing of its workspace.
bool OpenModelKnown();
// The model rows of a definitions folder; with mark, the open model's row is returned.
QTreeWidgetItem *AddModelRows(QTreeWidget *tree, const QString &defs, WorkspaceLayout::Entries kind,
                              bool mark);
// The instance rows below the model version of modelRow in workspace; the open instance's row
// is returned when that model version is the open one.
QTreeWidgetItem *AddInstanceRows(QTreeWidget *tree, const QString &workspace, const QTreeWidgetItem *modelRow,
                                 WorkspaceLayout::Entries kind);
// The one row of the open model, for a dialog run from inside a document.
QTreeWidgetItem *AddOpenModelRow(QTreeWidget *tree);
} // namespace VersionTree

class ErrorMsg;
class QWidget;

// A dialog's own error window. The error window registers itself as the program's; a dialog's
// private one must not take that place.
ErrorMsg *MakeOwnErrorMsg(QWidget *dialog);
// Tells through a dialog's error window that a workspace has no definitions folder.
void ReportNoDefinitions(ErrorMsg *error, const QString &defs);
// The model rows of a workspace's definitions folder, or the error window's word that it has
// none; returns the open model's row when mark is set and the folder lists it.
QTreeWidgetItem *ListDefinitions(QTreeWidget *tree, ErrorMsg *error, const QString &workspace,
                                 WorkspaceLayout::Entries kind, bool mark);
