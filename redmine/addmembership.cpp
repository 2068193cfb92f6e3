#include "redmine/addmembership.h"

#include "redmine/redmineproject.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace
{
QList<int> sortedKeys(const QHash<int, QString> &roles)
{
    QList<int> keys = roles.keys();
    std::sort(keys.begin(), keys.end());
    return keys;
}
} // namespace

AddMembership::AddMembership(RedmineProject *page) : QDialog(page), m_page(page)
{
    setObjectName(QStringLiteral("AddMembership"));
    setWindowTitle(QStringLiteral("Dialog"));
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *top = new QVBoxLayout(this);
    auto *fields = new QHBoxLayout;
    auto label = [&](const char *name, const QString &text) {
        auto *l = new QLabel(text);
        l->setObjectName(QLatin1String(name));
        l->setStyleSheet(QStringLiteral("background-color: #628DB6;color: #FFFFFF"));
        fields->addWidget(l);
        return l;
    };
    auto edit = [&](const char *name) {
        auto *e = new QLineEdit;
        e->setObjectName(QLatin1String(name));
        fields->addWidget(e);
        return e;
    };
    label("LB1", tr("Name"));
    m_name = edit("NAME");
    label("LB2", tr("ID"));
    m_id = edit("ID");
    m_lb3 = label("LB3", tr(",memberID"));
    m_mid = edit("MID");
    top->addLayout(fields);
    auto *tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("tabWidget"));
    m_roleTree = new QTreeWidget;
    m_roleTree->setObjectName(QStringLiteral("ROLE_TREE"));
    m_roleTree->setRootIsDecorated(false);
    m_roleTree->setHeaderLabels({tr("Role name"), tr("ID")});
    for (int i = 0; i < 2; ++i) {
        m_roleTree->headerItem()->setForeground(i, Qt::white);
        m_roleTree->headerItem()->setBackground(i, QColor(QStringLiteral("#28649d")));
    }
    tabs->addTab(m_roleTree, tr("Role"));
    tabs->tabBar()->setStyleSheet(QStringLiteral("background-color: #28649d"));
    tabs->tabBar()->setTabTextColor(0, Qt::white);
    top->addWidget(tabs, 1);
    m_msg = new QLineEdit;
    m_msg->setObjectName(QStringLiteral("MSG"));
    m_msg->setReadOnly(true);
    top->addWidget(m_msg);
    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(tr("Add"));
    m_ok->setObjectName(QStringLiteral("OK"));
    auto *cancel = new QPushButton(tr("CANCEL"));
    cancel->setObjectName(QStringLiteral("CANCEL"));
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &AddMembership::OkProc);
    connect(cancel, &QPushButton::clicked, this, &AddMembership::CancelProc);
}

QString AddMembership::MessageText() const
{
    return m_msg->text();
}

void AddMembership::addRole(int id, const QString &name, bool checkable, bool checked)
{
    auto *row = new QTreeWidgetItem(m_roleTree);
    row->setText(0, name);
    row->setText(1, QString::number(id));
    if (checkable) {
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

void AddMembership::prepare(int mode, const QString &title, QTreeWidgetItem *memberRow)
{
    m_mode = mode;
    setWindowTitle(title);
    m_ok->setText(title);
    m_roleTree->clear();
    m_msg->clear();
    m_roleIds.clear();
    m_name->setReadOnly(mode != Add);
    m_lb3->setVisible(mode != Add);
    m_mid->setVisible(mode != Add);
    if (mode == Add)
        return;
    m_name->setText(memberRow->text(0) + QLatin1Char(' ') + memberRow->text(1));
    m_id->setText(memberRow->text(2));
    m_mid->setText(memberRow->text(4));
    m_roleNames = memberRow->text(3).split(QLatin1Char(','));
}

void AddMembership::PrepareAdd(QTreeWidgetItem *workspaceRow, const QHash<int, QString> &roles)
{
    prepare(Add, tr("Add membership"), workspaceRow);
    m_name->setText(workspaceRow->text(4) + QLatin1Char(' ') + workspaceRow->text(5));
    m_id->setText(workspaceRow->text(6));
    for (int id : sortedKeys(roles))
        addRole(id, roles.value(id), true, true);
}

void AddMembership::PrepareModify(QTreeWidgetItem *memberRow, const QHash<int, QString> &roles)
{
    prepare(Modify, tr("Mod membership"), memberRow);
    for (int id : sortedKeys(roles)) {
        const bool current = m_roleNames.contains(roles.value(id));
        addRole(id, roles.value(id), true, current);
        if (current)
            m_roleIds.append(QString::number(id));
    }
}

void AddMembership::PrepareDelete(QTreeWidgetItem *memberRow, const QHash<int, QString> &roles)
{
    prepare(Delete, tr("Del membership"), memberRow);
    for (const QString &name : qAsConst(m_roleNames)) {
        const int id = roles.key(name, -1);
        if (id >= 0)
            addRole(id, name, false, false);
    }
}

QStringList AddMembership::checkedRoleIds() const
{
    QStringList ids;
    for (int i = 0; i < m_roleTree->topLevelItemCount(); ++i) {
        if (m_roleTree->topLevelItem(i)->checkState(0) == Qt::Checked)
            ids << m_roleTree->topLevelItem(i)->text(1);
    }
    return ids;
}

void AddMembership::OkProc(bool)
{
    switch (m_mode) {
    case Add: {
        const QStringList ids = checkedRoleIds();
        if (ids.isEmpty()) {
            m_msg->setText(tr("you must select one role"));
            return;
        }
        if (!m_page->CreateMembership(m_id->text(), ids)) {
            m_msg->setText(tr("Under Process"));
            return;
        }
        accept();
        break;
    }
    case Modify:
        ApplyModify();
        break;
    default:
        ConfirmDelete();
        break;
    }
}

void AddMembership::ApplyModify()
{
    const QStringList ids = checkedRoleIds();
    if (ids.isEmpty()) {
        m_msg->setText(tr("you must select one role"));
        return;
    }
    bool changed = false;
    for (int i = 0; i < m_roleTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_roleTree->topLevelItem(i);
        if ((row->checkState(0) == Qt::Checked) != m_roleIds.contains(row->text(1)))
            changed = true;
    }
    if (!changed) {
        m_msg->setText(tr("selected role is not change"));
        return;
    }
    // The current roles change only with a sent request: a refusal keeps the comparison as it was.
    if (!m_page->UpdateMembership(m_mid->text(), ids)) {
        m_msg->setText(tr("Under Process"));
        return;
    }
    m_roleIds = ids;
    accept();
}

void AddMembership::ConfirmDelete()
{
    if (!m_page->ConfirmDelete(tr("Is delete member from project?")))
        return;
    if (!m_page->DeleteMembership(m_mid->text())) {
        m_msg->setText(tr("Under Process"));
        return;
    }
    accept();
}

void AddMembership::CancelProc(bool)
{
    reject();
}
