#pragma once

#include "core/globalvar.h"

#include <QList>
#include <QWidget>

namespace Ui
{
class MngUser;
}
class UserInf;

// The right-hand panel of the member manager: which model and instance the workspace belongs to,
// and one page per member with the workspace manager's page first.
class MngUser final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit MngUser(QWidget *parent = nullptr);
    ~MngUser() override;

    void SetUsers(const QList<int> &members);
    void SetNewModel();
    void ClearModel();
    UserInf *AddUserTab(int n, const QString &displayName, const QString &email);
    void SetTabText(int n, const QString &title);
    // The page leaves its tab but lives on: its member record owns it.
    void RemoveUserTab(int n);
    void RemoveUserTabs(); // every member's tab but the owner's
    // The member's page, built now if it was not yet (null for a member without a tab).
    UserInf *MemberPage(int n);
    void ShowUserTab(const QString &title);
    void ClearMailData();
    UserInf *OwnerPage() const { return m_owner; }
    int TabCount() const;
    QString TabTitle(int index) const;

public slots:
    void TabChanged(int index);
    void ToInstance();

private:
    QWidget *appendHolder(int n, const QString &title, bool colour = true);
    UserInf *placePage(QWidget *holder, int n);
    UserInf *pageAt(int index) const;
    UserInf *pageOfTab(int index); // built if it was not yet
    int tabOf(int n) const;

    Ui::MngUser *m_ui;
    UserInf *m_owner;
    int m_previous = 0;
};
