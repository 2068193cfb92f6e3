#pragma once

#include "core/globalvar.h"

#include <QDialog>

class AddGroup;
class OptProject;

// The tracker user and group search dialog; hands the picked user to the group dialog or the project options
// page.
class RUsers final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RUsers(QWidget *parent = nullptr);

    void InitSearch();
    void SetTarget(int target);
    void ShowUsers();
    void ShowError(int mode, int error);
    // Receivers of a picked user: the project page (target 1) and the group dialog (target 0).
    void SetProjectPage(OptProject *page) { m_project = page; }
    void SetGroupDialog(AddGroup *dialog) { m_group = dialog; }
    int Target() const { return m_target; }

public slots:
    void SetProc();

private:
    OptProject *m_project = nullptr;
    AddGroup *m_group = nullptr;
    int m_target = 0;
};
