#include "redmine/redmineproject.h"

#include <QTreeWidget>

void RedmineProject::createDialogs() {}
void RedmineProject::ReadCategories() {}
void RedmineProject::ReadVersions() {}
void RedmineProject::ReadMemberships() {}
void RedmineProject::CreateCategory(const QString &) {}
void RedmineProject::UpdateCategory(const QString &, const QString &) {}
void RedmineProject::DeleteCategory(const QString &) {}
void RedmineProject::CreateVersion(const QString &, const QString &, const QString &, const QString &) {}
void RedmineProject::UpdateVersion(const QString &, const QString &, const QString &) {}
void RedmineProject::DeleteVersion(const QString &) {}
void RedmineProject::CreateMembership(const QString &, const QStringList &) {}
void RedmineProject::UpdateMembership(const QString &, const QStringList &) {}
void RedmineProject::DeleteMembership(const QString &) {}
QString RedmineProject::GetVersionDescription(const QString &) const
{
    return QString();
}
QTreeWidgetItem *RedmineProject::FindTrackerMember(QTreeWidgetItem *) const
{
    return nullptr;
}
void RedmineProject::UpdateMemberButtons(QTreeWidgetItem *) {}
void RedmineProject::MarkRegisteredMembers() {}
void RedmineProject::AddWorkspaceMember(QTreeWidgetItem *) {}
void RedmineProject::AddVersionProc(bool) {}
void RedmineProject::ZQVTreeItemChanged(QTreeWidgetItem *, QTreeWidgetItem *) {}
void RedmineProject::VersionDblClicked(QTreeWidgetItem *, int) {}
void RedmineProject::AddCategoryProc(bool) {}
void RedmineProject::CategoryDblClicked(QTreeWidgetItem *, int) {}
void RedmineProject::MemberAddProc(bool) {}
void RedmineProject::MemberDelProc(bool) {}
void RedmineProject::MemberModProc(bool) {}
