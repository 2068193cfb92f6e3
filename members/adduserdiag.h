#pragma once

#include "core/globalvar.h"

#include <QDialog>

class QTreeWidgetItem;

namespace Ui
{
class AddUserDiag;
}

// The member picker ("Add User"): offers the workspace manager and the user's group accounts as
// new members of the open workspace.
class AddUserDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit AddUserDiag(QWidget *parent = nullptr);
    ~AddUserDiag() override;

    // The member manager passes the workspace manager as it holds it.
    void ShowList(const QString &managerName, const QString &managerEmail);

public slots:
    void OkProc();
    void CancelProc();
    void TreeDblClicked(QTreeWidgetItem *item, int column);

signals:
    // The member manager adds the account as a member and marks the group modified.
    void memberChosen(const QString &name, const QString &email);

private:
    Ui::AddUserDiag *m_ui;
};
