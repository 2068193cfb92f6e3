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
    UserInf *AddUserTab(const QString &displayName, const QString &email);
    void SetTabText(UserInf *page, const QString &title);
    void RemoveUserTab(UserInf *page);
    void RemoveUserTabs(); // every member's tab but the owner's
    void ShowUserTab(const QString &title);
    void ClearMailData();
    UserInf *OwnerPage() const { return m_owner; }
    int TabCount() const;
    QString TabTitle(int index) const;

public slots:
    void TabChanged(int index);
    void ToInstance();

private:
    void appendPage(UserInf *page, const QString &title, bool colour = true);

    Ui::MngUser *m_ui;
    UserInf *m_owner;
    int m_previous = 0;
};
