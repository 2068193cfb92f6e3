#pragma once

#include "core/globalvar.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class Chat;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

// The member-management page: the group and its members of the open instance workspace, their
// records and files, and the chat window they share.
class manager final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit manager(QWidget *parent = nullptr);
    ~manager() override;

    void OpenManager();
    void NewManager();
    void SaveManager();
    void CloseManager();
    void SetModify();
    void SetInstanceModify(int userNo);
    void SetManagerModify(int userNo);

    bool IsManager() const { return m_isManager; }
    QTreeWidget *GetTree() const { return m_tree; }
    QTreeWidgetItem *CurrentItem() const;
    QString CurrentEmail() const;
    QString CurStateText(int state) const;
    void SetGroupMenu(bool addVisible, bool delVisible, bool changeVisible);
    void LayoutAdjust();
    void SetActiveEditor();
    void ShowChat();

public slots:
    void AddGroupUser();
    void DelGroupUser();

private:
    // Installed by the tab area on the management page, which then owns it.
    QPointer<QVBoxLayout> m_pageLayout;
    QSplitter *m_splitter;
    QTreeWidget *m_tree;
    std::unique_ptr<Chat> m_chat;
    QString m_managerEmail;
    bool m_isManager = false;
};
