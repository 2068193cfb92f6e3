#pragma once

#include <QFileDialog>
#include <QString>

// The file dialogs of the workspace dialogs. Tests switch native dialogs off so that the
// chooser is a widget they can answer.
namespace WorkspaceChooser
{
QFileDialog::Options &DialogOptions();
// Lets the user pick a workspace marker file; returns the first selected path, empty on cancel.
QString PickMarker(QWidget *parent, const QString &startDir, const QString &markerName);
// Lets the user pick one existing folder; empty on cancel.
QString PickFolder(QWidget *parent, const QString &title, const QString &startDir);
} // namespace WorkspaceChooser

#include <optional>

namespace WorkspaceChooser
{
// Where the chooser starts: the workspace root when it names an existing folder, else the
// process's current directory.
QString StartFolder(const QString &root);
// Picks a marker file and returns the workspace folder captured from its path (with its trailing
// "/", empty when the path does not end in the marker name); nothing when the user cancels.
std::optional<QString> ChooseWorkspace(QWidget *parent, const QString &root, const QString &markerName);
} // namespace WorkspaceChooser
