#include "workspace/instancedialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QTreeWidget>

namespace InstanceTrees
{
QTreeWidgetItem *AddRows(QTreeWidget *tree, const QString &folder, const QString &name, bool versionsOnly,
                         bool expand, bool mark, const QString &markName, const QString &markVersion)
{
    const QDir dir(folder + QLatin1Char('/') + name);
    if (!dir.exists())
        return nullptr;
    static const QRegularExpression version(QStringLiteral("^[0-9]+.[0-9]+.[0-9]+$"));
    const QDir::Filters filters =
        versionsOnly ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::AllEntries | QDir::NoDotAndDotDot;
    QTreeWidgetItem *top = nullptr;
    QTreeWidgetItem *found = nullptr;
    const QStringList entries = dir.entryList(filters, QDir::Name | QDir::IgnoreCase);
    for (const QString &entry : entries) {
        if (versionsOnly && !version.match(entry).hasMatch())
            continue;
        QTreeWidgetItem *row;
        if (!top) {
            top = row = new QTreeWidgetItem(tree);
            row->setText(0, name);
        } else {
            row = new QTreeWidgetItem(top);
        }
        row->setText(1, entry);
        if (mark && name == markName && entry == markVersion)
            found = row;
    }
    if (top && expand)
        top->setExpanded(true);
    return found;
}

QString RowName(const QTreeWidgetItem *item)
{
    if (!item)
        return QString();
    return item->parent() ? item->parent()->text(0) : item->text(0);
}

QTreeWidgetItem *LastRow(QTreeWidget *tree)
{
    const int count = tree->topLevelItemCount();
    if (count == 0)
        return nullptr;
    QTreeWidgetItem *top = tree->topLevelItem(count - 1);
    return top->childCount() > 0 ? top->child(top->childCount() - 1) : top;
}

QString FolderNoCase(const QString &folder, const QString &name)
{
    const QStringList entries = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + QLatin1Char('/') + entry;
    }
    return folder + QLatin1Char('/') + name;
}

void Clear(QTreeWidget *tree)
{
    tree->clear();
}

QString ChooseWorkspace(QWidget *parent, const QString &projectFile, const QString &current)
{
    const QString start = !current.isEmpty() && QDir(current).exists() ? current : QDir::currentPath();
    const QStringList files = QFileDialog::getOpenFileNames(
        parent, QObject::tr("Open tolvek Workspace ") + projectFile, start, projectFile);
    if (files.isEmpty())
        return QString();
    const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("(.*)pelmorine.prj")));
    const QRegularExpressionMatch m = pattern.match(files.first());
    return m.hasMatch() ? m.captured(1) : QStringLiteral("");
}
} // namespace InstanceTrees
