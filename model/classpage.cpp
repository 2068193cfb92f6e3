#include "model/classpage.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace ClassPage
{
void StyleCaptions(std::initializer_list<QWidget *> captions)
{
    for (QWidget *w : captions)
        w->setStyleSheet(QStringLiteral("background-color: #666666;color: #FFFFFF"));
}

void StyleHeader(QTreeWidget *tree, const char *icon0, const char *icon1)
{
    QTreeWidgetItem *header = tree->headerItem();
    header->setIcon(0, QIcon(QString::fromLatin1(icon0)));
    header->setIcon(1, QIcon(QString::fromLatin1(icon1)));
    tree->header()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: #666666; color: #FFFFFF }"));
}

void StyleTabBar(QWidget *tabs)
{
    auto *widget = qobject_cast<QTabWidget *>(tabs);
    if (!widget)
        return;
    widget->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    widget->tabBar()->setTabTextColor(0, Qt::white);
}

QComboBox *AddOutVarRow(QTreeWidget *tree, const QString &title, const QString &key, const QString &yes,
                        const QString &no)
{
    auto *row = new QTreeWidgetItem(tree);
    row->setText(0, title);
    row->setData(0, Qt::UserRole, key);
    auto *choice = new QComboBox;
    choice->setEditable(false);
    choice->addItems({yes, no});
    tree->setItemWidget(row, 1, choice);
    tree->resizeColumnToContents(0);
    return choice;
}

// Rows after the first are left from an older layout of the tree: they go.
void ShowOutVar(QTreeWidget *tree, QComboBox *choice, const QString &value)
{
    while (tree->topLevelItemCount() > 1)
        delete tree->takeTopLevelItem(1);
    choice->setCurrentIndex(value.isEmpty() || value == QLatin1String("0") ? 0 : 1);
}

QString OutVarValue(const QComboBox *choice, const QString &no)
{
    return choice->currentText() == no ? QStringLiteral("1") : QStringLiteral("0");
}

// The handle's furthest position is the splitter's length less the handle itself.
void SplitSizes(QSplitter *splitter, double share)
{
    const int length = splitter->orientation() == Qt::Horizontal ? splitter->width() : splitter->height();
    const int range = length - splitter->handleWidth();
    if (range <= 0)
        return;
    const int first = static_cast<int>(range * share);
    splitter->setSizes({first, range - first});
}
} // namespace ClassPage
