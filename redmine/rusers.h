#pragma once

#include "core/globalvar.h"

#include <QDialog>

class AddGroup;
class OptProject;
class QTreeWidget;
class QTreeWidgetItem;
namespace Ui
{
class RUsers;
}

// The tracker user search: by name or by tracker group; hands the picked user to the group dialog
// (caller kind 0) or the Options tracker page (caller kind 1).
class RUsers final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RUsers(QWidget *parent = nullptr);
    ~RUsers() override;

    void InitSearch();
    void SetCallerKind(int kind) { m_callerKind = kind; }
    int CallerKind() const { return m_callerKind; }
    void ShowUsers();
    void ShowError(int mode, int error);
    void SetProjectPage(OptProject *page) { m_project = page; }
    void SetGroupDialog(AddGroup *dialog) { m_group = dialog; }
    QTreeWidget *UserTable() const;
    QString MessageText() const;

public slots:
    void SetProc(bool status = false);
    void CancelProc(bool status = false);
    void SearchProc(bool status = false);
    void GroupSelectProc(bool state = false);
    void UserSelectProc(bool state = false);
    void ActiveUserTable(QTreeWidgetItem *item, int col);

private:
    OptProject *m_project = nullptr;
    AddGroup *m_group = nullptr;
    int m_callerKind = 0;
    Ui::RUsers *m_ui;
};
