#include "workspace/workspacechooser.h"

#include <QCoreApplication>

namespace WorkspaceChooser
{
QFileDialog::Options &DialogOptions()
{
    static QFileDialog::Options options;
    return options;
}

namespace
{
QString runDialog(QFileDialog &dialog)
{
    dialog.setOptions(dialog.options() | DialogOptions());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}
} // namespace

QString PickMarker(QWidget *parent, const QString &startDir, const QString &markerName)
{
    QFileDialog dialog(parent,
                       QCoreApplication::translate("WorkspaceChooser", "Open tolvek Workspace ") + markerName,
                       startDir, markerName);
    dialog.setObjectName(QStringLiteral("WorkspaceChooser"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runDialog(dialog);
}

QString PickFolder(QWidget *parent, const QString &title, const QString &startDir)
{
    QFileDialog dialog(parent, title, startDir);
    dialog.setObjectName(QStringLiteral("WorkspaceChooser"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    return runDialog(dialog);
}
} // namespace WorkspaceChooser

#include "workspace/workspacelayout.h"

#include <QDir>
#include <QFileInfo>

namespace WorkspaceChooser
{
QString StartFolder(const QString &root)
{
    if (!root.isEmpty() && QFileInfo(root).isDir())
        return root;
    return QDir::currentPath();
}

std::optional<QString> ChooseWorkspace(QWidget *parent, const QString &root, const QString &markerName)
{
    const QString picked = PickMarker(parent, StartFolder(root), markerName);
    if (picked.isEmpty())
        return std::nullopt;
    return WorkspaceLayout::WorkspaceFromMarker(picked, markerName);
}
} // namespace WorkspaceChooser
