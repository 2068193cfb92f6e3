#include "redmine/addmembership.h"
#include "redmine/nwredmine.h"
#include "redmine/redmineaddcategory.h"
#include "redmine/redmineaddversion.h"
#include "redmine/redminebody.h"
#include "redmine/redmineproject.h"
#include "ui_redmineproject.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace
{
QString childText(const QDomElement &e, const char *tag)
{
    return e.firstChildElement(QLatin1String(tag)).text();
}

bool has(const QDomElement &e, const char *tag)
{
    return !e.firstChildElement(QLatin1String(tag)).isNull();
}

using RedmineBody::AddText;
using RedmineBody::NewRoot;

void addRoleIds(QDomDocument &doc, QDomElement root, const QStringList &roleIds)
{
    QDomElement roles = doc.createElement(QStringLiteral("role_ids"));
    roles.setAttribute(QStringLiteral("type"), QStringLiteral("array"));
    for (const QString &id : roleIds)
        AddText(doc, roles, QStringLiteral("role_id"), id);
    root.appendChild(roles);
}
} // namespace

void RedmineProject::createDialogs()
{
    m_membership = new AddMembership(this);
    m_addVersion = new RedmineAddVersion(this);
    m_addCategory = new RedmineAddCategory(this);
}

void RedmineProject::ReadCategories()
{
    m_ui->CATEGORY_TREE->clear();
    const QDomElement root = replyRoot(XmlIndex::RedmineFirst + 1);
    for (QDomElement c = root.firstChildElement(QStringLiteral("issue_category")); !c.isNull();
         c = c.nextSiblingElement(QStringLiteral("issue_category"))) {
        if (!has(c, "id") || !has(c, "name"))
            continue;
        auto *row = new QTreeWidgetItem(m_ui->CATEGORY_TREE);
        row->setText(0, childText(c, "name"));
        row->setText(1, childText(c, "id"));
    }
    TreeColumnAdjustment(m_ui->CATEGORY_TREE);
    m_categoryAdd->setEnabled(true);
}

void RedmineProject::ReadVersions()
{
    m_ui->VERSION_TREE->clear();
    const QDomElement root = replyRoot(XmlIndex::RedmineFirst + 8);
    for (QDomElement v = root.firstChildElement(QStringLiteral("version")); !v.isNull();
         v = v.nextSiblingElement(QStringLiteral("version"))) {
        if (!has(v, "id") || !has(v, "name"))
            continue;
        const QString status = childText(v, "status");
        const QString sharing = childText(v, "sharing");
        auto *row = new QTreeWidgetItem(m_ui->VERSION_TREE);
        row->setText(0, childText(v, "name"));
        row->setText(1, GetVersionStatusLabel(status));
        row->setData(1, Qt::UserRole, status);
        row->setText(2, GetSharingLabel(sharing));
        row->setData(2, Qt::UserRole, sharing);
        row->setText(3, childText(v, "id"));
    }
    TreeColumnAdjustment(m_ui->VERSION_TREE);
}

QString RedmineProject::GetVersionDescription(const QString &id) const
{
    const QDomElement root = replyRoot(XmlIndex::RedmineFirst + 8);
    for (QDomElement v = root.firstChildElement(QStringLiteral("version")); !v.isNull();
         v = v.nextSiblingElement(QStringLiteral("version"))) {
        if (childText(v, "id") == id)
            return childText(v, "description");
    }
    return QString();
}

void RedmineProject::ReadMemberships()
{
    m_ui->RM_TREE->clear();
    const QDomElement root = replyRoot(XmlIndex::RedmineFirst + 9);
    for (QDomElement m = root.firstChildElement(QStringLiteral("membership")); !m.isNull();
         m = m.nextSiblingElement(QStringLiteral("membership"))) {
        const QDomElement user = m.firstChildElement(QStringLiteral("user"));
        if (!has(m, "id") || user.isNull())
            continue;
        QList<int> roles;
        const QDomElement roleList = m.firstChildElement(QStringLiteral("roles"));
        for (QDomElement r = roleList.firstChildElement(QStringLiteral("role")); !r.isNull();
             r = r.nextSiblingElement(QStringLiteral("role"))) {
            if (!r.attribute(QStringLiteral("id")).isEmpty())
                roles.append(r.attribute(QStringLiteral("id")).toInt());
        }
        // Every known role's label, each followed by a comma unless it is the membership's last role.
        QString labels;
        bool known = false;
        for (int i = 0; i < roles.size(); ++i) {
            if (!m_roles.contains(roles.at(i)))
                continue;
            known = true;
            labels += m_roles.value(roles.at(i));
            if (i != roles.size() - 1)
                labels += QLatin1Char(',');
        }
        if (!known)
            continue;
        const QStringList parts = user.attribute(QStringLiteral("name")).split(QLatin1Char(' '));
        QString first;
        QString last;
        if (parts.size() == 1) {
            first = parts.at(0);
        } else if (parts.size() == 2) {
            first = parts.at(0);
            last = parts.at(1);
        }
        auto *row = new QTreeWidgetItem(m_ui->RM_TREE);
        row->setText(0, first);
        row->setText(1, last);
        row->setText(2, user.attribute(QStringLiteral("id")));
        row->setText(3, labels);
        row->setText(4, childText(m, "id"));
    }
    MarkRegisteredMembers();
    if (GetBoolVar(RegSlot::FlagRedmineLink) && m_ui->ZQV_TREE->currentItem())
        UpdateMemberButtons(m_ui->ZQV_TREE->currentItem());
    TreeColumnAdjustment(m_ui->RM_TREE);
}

void RedmineProject::AddWorkspaceMember(QTreeWidgetItem *managerRow)
{
    auto *row = new QTreeWidgetItem(m_ui->ZQV_TREE);
    row->setText(1, managerRow->text(0));
    row->setText(2, managerRow->text(1));
    row->setText(3, managerRow->text(2));
    row->setText(4, managerRow->text(6));
    row->setText(5, managerRow->text(5));
    row->setText(6, managerRow->text(7));
    row->setText(0, managerRow->text(7).isEmpty() ? tr("not ID") : tr("not register"));
}

void RedmineProject::MarkRegisteredMembers()
{
    for (int i = 0; i < m_ui->RM_TREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *member = m_ui->RM_TREE->topLevelItem(i);
        const auto found = m_ui->ZQV_TREE->findItems(member->text(2), Qt::MatchExactly, 6);
        if (found.isEmpty())
            continue;
        QTreeWidgetItem *row = found.first();
        if (row->text(4) == member->text(0) && row->text(5) == member->text(1))
            row->setText(0, tr("registered"));
    }
}

QTreeWidgetItem *RedmineProject::FindTrackerMember(QTreeWidgetItem *workspaceRow) const
{
    if (!workspaceRow || workspaceRow->text(6).isEmpty())
        return nullptr;
    const auto found = m_ui->RM_TREE->findItems(workspaceRow->text(6), Qt::MatchExactly, 2);
    return found.isEmpty() ? nullptr : found.first();
}

void RedmineProject::UpdateMemberButtons(QTreeWidgetItem *row)
{
    if (m_projectClosed)
        return;
    if (!row) {
        m_ui->ADD->hide();
        m_ui->MOD->hide();
        m_ui->DEL->hide();
        return;
    }
    if (row->text(6).isEmpty()) {
        m_ui->ADD->hide();
        return;
    }
    const bool registered = FindTrackerMember(row) != nullptr;
    m_ui->ADD->setVisible(!registered);
    m_ui->MOD->setVisible(registered);
    m_ui->DEL->setVisible(registered);
    row->setText(0, registered ? tr("registered") : tr("not register"));
}

void RedmineProject::ZQVTreeItemChanged(QTreeWidgetItem *cur, QTreeWidgetItem *)
{
    if (GetBoolVar(RegSlot::FlagRedmineLink) && cur)
        UpdateMemberButtons(cur);
}

void RedmineProject::AddCategoryProc(bool)
{
    m_addCategory->SetNew();
    m_addCategory->show();
}

void RedmineProject::CategoryDblClicked(QTreeWidgetItem *cur, int)
{
    if (!GetBoolVar(RegSlot::FlagRedmineLink) || !cur)
        return;
    m_addCategory->SetUpdate(cur);
    m_addCategory->show();
}

void RedmineProject::AddVersionProc(bool)
{
    m_addVersion->SetNew();
    m_addVersion->show();
}

void RedmineProject::VersionDblClicked(QTreeWidgetItem *cur, int)
{
    if (!GetBoolVar(RegSlot::FlagRedmineLink) || !cur)
        return;
    if (cur->data(2, Qt::UserRole).toString() != QLatin1String("none")) {
        showMessage(tr("modify or del is only none"), true);
        return;
    }
    m_addVersion->SetUpdate(cur, GetVersionDescription(cur->text(3)));
    m_addVersion->show();
}

void RedmineProject::MemberAddProc(bool)
{
    QTreeWidgetItem *row = m_ui->ZQV_TREE->currentItem();
    if (!row)
        return;
    m_membership->PrepareAdd(row, m_roles);
    m_membership->show();
}

void RedmineProject::MemberDelProc(bool)
{
    QTreeWidgetItem *member = FindTrackerMember(m_ui->ZQV_TREE->currentItem());
    if (!member)
        return;
    m_membership->PrepareDelete(member, m_roles);
    m_membership->show();
}

void RedmineProject::MemberModProc(bool)
{
    QTreeWidgetItem *member = FindTrackerMember(m_ui->ZQV_TREE->currentItem());
    if (!member)
        return;
    m_membership->PrepareModify(member, m_roles);
    m_membership->show();
}

// The dialogs check their input before they call these; a request of the window still outstanding
// refuses the change (false: the dialog stays open with its input), since a second request would drop
// the first chain.
bool RedmineProject::CreateCategory(const QString &name)
{
    if (!clientIdle())
        return false;
    AddText(m_categoryDoc, NewRoot(m_categoryDoc, QStringLiteral("issue_category")), QStringLiteral("name"),
            name);
    return client()->PostCategory(m_categoryDoc);
}

bool RedmineProject::UpdateCategory(const QString &name, const QString &id)
{
    if (!clientIdle())
        return false;
    AddText(m_categoryDoc, NewRoot(m_categoryDoc, QStringLiteral("issue_category")), QStringLiteral("name"),
            name);
    m_pendingCategoryName = name;
    m_pendingCategoryId = id;
    return client()->PutCategory(id, m_categoryDoc);
}

bool RedmineProject::DeleteCategory(const QString &id)
{
    if (!clientIdle())
        return false;
    m_pendingCategoryId = id;
    return client()->DeleteCategory(id);
}

bool RedmineProject::CreateVersion(const QString &name, const QString &description, const QString &status,
                                   const QString &sharing)
{
    if (!clientIdle())
        return false;
    QDomElement root = NewRoot(m_versionDoc, QStringLiteral("version"));
    AddText(m_versionDoc, root, QStringLiteral("name"), name);
    AddText(m_versionDoc, root, QStringLiteral("status"), status);
    AddText(m_versionDoc, root, QStringLiteral("sharing"), sharing);
    AddText(m_versionDoc, root, QStringLiteral("description"), description);
    return client()->PostVersion(m_versionDoc);
}

bool RedmineProject::UpdateVersion(const QString &name, const QString &description, const QString &id)
{
    if (!clientIdle())
        return false;
    QDomElement root = NewRoot(m_versionDoc, QStringLiteral("version"));
    AddText(m_versionDoc, root, QStringLiteral("name"), name);
    AddText(m_versionDoc, root, QStringLiteral("description"), description);
    return client()->PutVersion(id, m_versionDoc);
}

bool RedmineProject::DeleteVersion(const QString &id)
{
    if (!clientIdle())
        return false;
    m_pendingVersionId = id;
    return client()->DeleteVersion(id);
}

bool RedmineProject::CreateMembership(const QString &userId, const QStringList &roleIds)
{
    if (!clientIdle())
        return false;
    QDomElement root = NewRoot(m_membershipDoc, QStringLiteral("membership"));
    AddText(m_membershipDoc, root, QStringLiteral("user_id"), userId);
    addRoleIds(m_membershipDoc, root, roleIds);
    return client()->PostMembership(m_membershipDoc);
}

bool RedmineProject::UpdateMembership(const QString &membershipId, const QStringList &roleIds)
{
    if (!clientIdle())
        return false;
    addRoleIds(m_membershipDoc, NewRoot(m_membershipDoc, QStringLiteral("membership")), roleIds);
    return client()->PutMembership(membershipId, m_membershipDoc);
}

bool RedmineProject::DeleteMembership(const QString &membershipId)
{
    if (!clientIdle())
        return false;
    m_pendingMembershipId = membershipId;
    return client()->DeleteMembership(membershipId);
}
