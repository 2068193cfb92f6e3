#pragma once

#include "core/globalvar.h"
#include "members/memberfiles.h"
#include "members/memberinfo.h"

#include <QDate>
#include <QHash>
#include <QMap>
#include <QPair>
#include <QPointer>
#include <QWidget>
#include <memory>

class Chat;
class SemaphoreControl;
class AddUserDiag;
class MngUser;
class QAction;
class QMenu;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class SharedFileCheck;

// The member-management page: the group and its members of the open instance workspace, their
// records and files, and the chat window they share.
class manager final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit manager(QWidget *parent = nullptr);
    ~manager() override;

    // False when manager.xml could not be read: reported, nothing written, nothing opened.
    bool OpenManager();
    void NewManager();
    void SaveManager();
    void CloseManager();
    void SetModify();
    MemberInfo *SetManagerModify(int n);
    MemberInfo *SetInstanceModify(int n);

    bool IsManager() const { return m_isManager; }
    QTreeWidget *GetTree() const { return m_tree; }
    QTreeWidgetItem *CurrentItem() const;
    QString CurrentEmail() const;
    QString CurStateText(int state) const;
    MemberInfo *GetMemberInfo(int n) const { return m_table.value(n); }
    QString ManagerName() const { return m_managerName; }
    QString ManagerEmail() const { return m_managerEmail; }
    void SetCurrentItem(QTreeWidgetItem *item);
    void SelectMemberByName(const QString &name);
    void SetGroupMenu(bool addVisible, bool delVisible, bool changeVisible = false);
    void LayoutAdjust();
    void SetActiveEditor();
    void ShowChat();
    void SetChatFont();
    void ShowRedmineColumns(bool on);
    void UpdateRedmineColumns();
    void MakeRedmineTable();
    // Last name and first name joined, and the tracker id, of the member named by the text up
    // to its first "-" ("I" and the member number).
    QPair<QString, QString> RedmineUserName(const QString &text) const;
    void RewriteGroupFile();
    SemaphoreControl *ChatControl() const { return m_chatControl.get(); }
    QString LookupProcEmail(const QString &address) const;
    MngUser *Panel() const { return m_panel; }
    MemberFiles &Files() { return m_files; }

    // Returns false, with a report and nothing created, when no member number is left, the name
    // or address is one MemberFiles::LongIdentity refuses, or the member's file cannot be written.
    bool AddMember(const QString &name, const QString &address);
    void RemoveMember(QTreeWidgetItem *item, MemberInfo *record);
    void RenumberAddress(const QString &name, const QString &address);
    void ChangeMember(const QString &newName, const QString &newAddress);
    void WriteOpenMarker();
    void WriteCloseMarker();

    // Presence markers and the shared-file check. The check runs on the file-check worker over
    // the member table attached by StartPresence; StopPresence detaches it and drops the queued
    // presence changes before any record is freed.
    SharedFileCheck *PresenceCheck() const;
    void StartPresence();
    void StopPresence();
    void ScanPresence();
    // GUI thread only: it starts the new day itself. The worker runs SharedFileCheck::Run and
    // leaves the new day to the dispatcher's code 153.
    int CheckSharedFiles();
    int ReadMemberMarker(MemberInfo *record);
    void WriteOwnMarker(bool force);
    void StartNewDay();
    void ShowPresence(MemberInfo *record, bool open);

public slots:
    void AddGroupUser();
    void DelGroupUser();
    void MtreeItemChange(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void MtreeDblClicked(QTreeWidgetItem *item, int column);
    void TreePopupMenu(const QPoint &pos);
    void ManagerColumnAdjustment();
    void ChatTimerStart();

private:
    void writeOwnMarkers(const QString &state);
    QString wrongRootLine(int index) const;
    void resetState();
    void clearMembers();
    void buildTree();
    void styleItem(QTreeWidgetItem *item, const MemberInfo *record);
    void takeInstanceDir();
    void readGroup();
    void afterLoad();
    void startSession(bool opened);
    void styleHeader();
    void fillRedmineColumns(QTreeWidgetItem *item);
    void saveGroup(QTreeWidgetItem *top);
    bool isOwn(const QString &address) const;
    MemberSaveData saveData(const MemberInfo *record, int n) const;
    void writeNotes(const MemberInfo *record);
    void reportSkipped(const QStringList &lines);

    QPointer<QVBoxLayout> m_pageLayout;
    QSplitter *m_splitter;
    QTreeWidget *m_tree;
    MngUser *m_panel;
    AddUserDiag *m_picker = nullptr;
    QMenu *m_popup;
    QAction *m_addAction;
    QAction *m_delAction;
    std::unique_ptr<Chat> m_chat;
    std::unique_ptr<SemaphoreControl> m_chatControl;
    QHash<QString, QPair<QString, QString>> m_redmineTable;
    MemberFiles m_files;
    MemberTable m_table;
    MemberList m_list;
    QList<MemberInfo *> m_removed; // kept until close: a queued presence change may point at one
    QMap<QString, QList<int>> m_addresses;
    QString m_managerName;
    QString m_managerEmail;
    int m_nextId = 1;
    bool m_isManager = false;
    bool m_closing = false;
};
