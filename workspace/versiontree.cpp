#include "workspace/versiontree.h"

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
