#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QHash>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class RedmineProject;

// Adds a workspace member to the tracker project with roles, changes the roles of a membership or
// deletes it; the project page builds and sends the request.
class AddMembership final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Mode { Add = 0, Modify = 1, Delete = 2 };

    explicit AddMembership(RedmineProject *page);

    void PrepareAdd(QTreeWidgetItem *workspaceRow, const QHash<int, QString> &roles);
    void PrepareModify(QTreeWidgetItem *memberRow, const QHash<int, QString> &roles);
    void PrepareDelete(QTreeWidgetItem *memberRow, const QHash<int, QString> &roles);
    QTreeWidget *RoleTree() const { return m_roleTree; }
    QString MessageText() const;

public slots:
    void OkProc(bool status = false);
    void CancelProc(bool status = false);

private:
    void prepare(int mode, const QString &title, QTreeWidgetItem *memberRow);
    void addRole(int id, const QString &name, bool checkable, bool checked);
    QStringList checkedRoleIds() const;
    void ApplyModify();
    void ConfirmDelete();

    RedmineProject *m_page;
    int m_mode = Add;
    QStringList m_roleNames;
    QStringList m_roleIds;
    QLineEdit *m_name;
    QLineEdit *m_id;
    QLabel *m_lb3;
    QLineEdit *m_mid;
    QTreeWidget *m_roleTree;
    QLineEdit *m_msg;
    QPushButton *m_ok;
};
