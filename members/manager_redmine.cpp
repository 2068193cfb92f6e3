#include "members/manager.h"

#include "shell/mainwindow.h"

#include <QTreeWidget>

void manager::fillRedmineColumns(QTreeWidgetItem *item)
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    const RedmineUserInfo *user = mw ? mw->FindUserRecord(item->text(1)) : nullptr;
    item->setText(5, user ? user->lastName : QString());
    item->setText(6, user ? user->firstName : QString());
    item->setText(7, user ? user->redmineId : QString());
}

void manager::ShowRedmineColumns(bool on)
{
    for (int c = 4; c < 8; ++c)
        m_tree->setColumnHidden(c, !on);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SetRedmineVisible(on);
    ManagerColumnAdjustment();
}

void manager::UpdateRedmineColumns()
{
    QTreeWidgetItem *top = m_tree->topLevelItem(0);
    if (!top)
        return;
    fillRedmineColumns(top);
    for (int i = 0; i < top->childCount(); ++i)
        fillRedmineColumns(top->child(i));
    ManagerColumnAdjustment();
}

void manager::MakeRedmineTable()
{
    m_redmineTable.clear();
    QTreeWidgetItem *top = m_tree->topLevelItem(0);
    if (!top)
        return;
    // The tracker names its users "first last": the name must read back equal from an issue. A
    // member without a tracker user has no name there at all, not the blank of two empty names, so
    // that the page can show the assignee as missing.
    auto add = [this](const QTreeWidgetItem *item) {
        const bool none = item->text(7).isEmpty() || (item->text(6).isEmpty() && item->text(5).isEmpty());
        m_redmineTable.insert(
            item->text(2), none ? qMakePair(QString(), QString())
                                : qMakePair(item->text(6) + QLatin1Char(' ') + item->text(5), item->text(7)));
    };
    add(top);
    for (int i = 0; i < top->childCount(); ++i)
        add(top->child(i));
}

QPair<QString, QString> manager::RedmineUserName(const QString &text) const
{
    const QString key = text.section(QLatin1Char('-'), 0, 0);
    return m_redmineTable.value(key, {QString(), QString()});
}
