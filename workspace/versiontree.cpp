#include "workspace/versiontree.h"

#include "core/globalvar.h"

#include <QFileInfo>
#include <QSpinBox>
#include <QTreeWidget>

namespace VersionTree
{
void SetHeaderIcons(QTreeWidget *tree, SharedIcon::Id first, SharedIcon::Id second)
{
    tree->headerItem()->setIcon(0, SharedIcon::Get(first));
    tree->headerItem()->setIcon(1, SharedIcon::Get(second));
}

QTreeWidgetItem *AddRows(QTreeWidget *tree, const QList<WorkspaceLayout::Listing> &listings, bool mark,
                         const QString &markName, const QString &markVersion)
{
    QTreeWidgetItem *marked = nullptr;
    for (const auto &listing : listings) {
        QTreeWidgetItem *top = nullptr;
        for (const QString &version : listing.versions) {
            QTreeWidgetItem *row = nullptr;
            if (!top) {
                top = new QTreeWidgetItem(tree, {listing.name, version});
                row = top;
            } else {
                row = new QTreeWidgetItem(top, {QString(), version});
            }
            if (mark && listing.name == markName && version == markVersion)
                marked = row;
        }
    }
    return marked;
}

QTreeWidgetItem *LastVersionRow(QTreeWidget *tree)
{
    const int count = tree->topLevelItemCount();
    if (count == 0)
        return nullptr;
    QTreeWidgetItem *top = tree->topLevelItem(count - 1);
    return top->childCount() > 0 ? top->child(top->childCount() - 1) : top;
}

QString RowName(const QTreeWidgetItem *item)
{
    if (!item)
        return QString();
    if (item->text(0).isEmpty() && item->parent())
        return item->parent()->text(0);
    return item->text(0);
}

QString RowVersion(const QTreeWidgetItem *item)
{
    return item ? item->text(1) : QString();
}

void SetSpins(const QString &version, QSpinBox *major, QSpinBox *minor, QSpinBox *revision)
{
    const QList<int> numbers = WorkspaceLayout::VersionNumbers(version);
    QSpinBox *boxes[] = {major, minor, revision};
    for (int i = 0; i < numbers.size(); ++i)
        boxes[i]->setValue(numbers.at(i));
}

QString SpinText(const QSpinBox *major, const QSpinBox *minor, const QSpinBox *revision)
{
    return WorkspaceLayout::VersionText(major->value(), minor->value(), revision->value());
}

QTreeWidgetItem *SelectRow(QTreeWidget *tree, QTreeWidgetItem *preferred)
{
    QTreeWidgetItem *row = preferred ? preferred : LastVersionRow(tree);
    if (row)
        tree->setCurrentItem(row);
    return row;
}

bool OpenModelKnown()
{
    const globalvar registry;
    return !registry.GetStrVar(RegSlot::StrModelName).isEmpty() &&
           !registry.GetStrVar(RegSlot::StrModelVersion).isEmpty();
}

QTreeWidgetItem *AddModelRows(QTreeWidget *tree, const QString &defs, WorkspaceLayout::Entries kind,
                              bool mark)
{
    const globalvar registry;
    return AddRows(tree, WorkspaceLayout::ListTree(defs, kind), mark,
                   registry.GetStrVar(RegSlot::StrModelName), registry.GetStrVar(RegSlot::StrModelVersion));
}

QTreeWidgetItem *AddInstanceRows(QTreeWidget *tree, const QString &workspace, const QTreeWidgetItem *modelRow,
                                 WorkspaceLayout::Entries kind)
{
    using namespace WorkspaceLayout;
    const globalvar registry;
    const QString model = RowName(modelRow);
    const QString version = RowVersion(modelRow);
    const QString folder = ResolveSubFolder(ModelVersionDir(workspace, model, version), InstanceFolder);
    if (!QFileInfo(folder).isDir())
        return nullptr;
    const bool mark = workspace == registry.GetStrVar(RegSlot::StrWorkspaceDir) &&
                      model == registry.GetStrVar(RegSlot::StrModelName) &&
                      version == registry.GetStrVar(RegSlot::StrModelVersion);
    return AddRows(tree, ListTree(folder, kind), mark, registry.GetStrVar(RegSlot::StrInstanceName),
                   registry.GetStrVar(RegSlot::StrInstanceVersion));
}

QTreeWidgetItem *AddOpenModelRow(QTreeWidget *tree)
{
    const globalvar registry;
    return new QTreeWidgetItem(
        tree, {registry.GetStrVar(RegSlot::StrModelName), registry.GetStrVar(RegSlot::StrModelVersion)});
}
} // namespace VersionTree

#include "shell/errormsg.h"

ErrorMsg *MakeOwnErrorMsg(QWidget *dialog)
{
    globalvar registry;
    ErrorMsg *shared = registry.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
    auto *own = new ErrorMsg(dialog);
    registry.SetObj(RegSlot::ObjErrorMsg, shared);
    return own;
}

void ReportNoDefinitions(ErrorMsg *error, const QString &defs)
{
    error->SetMsg(QStringLiteral("workspaceError"),
                  QStringLiteral("dir[") + defs + QStringLiteral("]nonedir"));
    error->ShowMsg();
}

QTreeWidgetItem *ListDefinitions(QTreeWidget *tree, ErrorMsg *error, const QString &workspace,
                                 WorkspaceLayout::Entries kind, bool mark)
{
    const QString defs = WorkspaceLayout::DefinitionsDir(workspace);
    if (!QFileInfo(defs).isDir()) {
        ReportNoDefinitions(error, defs);
        return nullptr;
    }
    return VersionTree::AddModelRows(tree, defs, kind, mark);
}
