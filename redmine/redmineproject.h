#pragma once

#include "core/globalvar.h"

#include <QDomDocument>
#include <QHash>
#include <QPair>
#include <QWidget>

class AddMembership;
class NumEditor;
class NwRedmine;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class RedmineAddCategory;
class RedmineAddVersion;
class RedmineRefProject;
namespace Ui
{
class RedmineProject;
}

// The "project info" page of the tracker window: links the workspace to one tracker project, created
// from the workspace or picked from the tracker, and shows that project's fields and lists. Every
// step is one request whose reply the dispatcher hands back to one of the Read operations.
class RedmineProject final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Mode { ModeNone = 0, ModeUpdate = 1, ModeCreate = 2, ModeReference = 3, ModeLoading = 4 };

    explicit RedmineProject(QWidget *parent = nullptr);
    ~RedmineProject() override;

    void InitPage();
    void ResetPage();
    void SetEditorFont();
    void ShowError(int mode, int error);
    void ShowSetButton();
    const QDomDocument &GetProjectDoc() const { return m_projectDoc; }

    void ReadTrackers();
    void ReadTrackerStatus();
    void ReadStatuses();
    void ReadProject();
    void ReadPriorities();
    void ReadNewProject();
    void RequestProject();
    void CheckUpdatedProject();
    void ReadCategories();
    void ReadVersions();
    void ReadMemberships();

    // Builds the project body and sends it; the confirmation box is asked by SetProc.
    void CreateProject();
    void UpdateProject();
    void ConfirmAndSend();
    void AdoptProjectId();
    // The first broken identifier rule, or an empty text when the identifier may be sent.
    static QString CheckIdentifier(const QString &ident);
    // A modal question with an information icon; true when the user chose the named OK button.
    bool Confirm(const QString &title, const QString &question, const QString &okText,
                 const char *okName) const;
    // The dialogs' "confirmation" box before a delete; true when the user chose "del".
    bool ConfirmDelete(const QString &question) const;

    // The category, version and membership requests of the page's dialogs: false when refused
    // (a request of the window is still outstanding), and the dialog then keeps its input.
    bool CreateCategory(const QString &name);
    bool UpdateCategory(const QString &name, const QString &id);
    bool DeleteCategory(const QString &id);
    bool CreateVersion(const QString &name, const QString &description, const QString &status,
                       const QString &sharing);
    bool UpdateVersion(const QString &name, const QString &description, const QString &id);
    bool DeleteVersion(const QString &id);
    bool CreateMembership(const QString &userId, const QStringList &roleIds);
    bool UpdateMembership(const QString &membershipId, const QStringList &roleIds);
    bool DeleteMembership(const QString &membershipId);

    QString GetVersionStatusLabel(const QString &key) const { return m_versionStatus.value(key); }
    QString GetSharingLabel(const QString &key) const { return m_sharing.value(key); }
    QString GetVersionDescription(const QString &id) const;
    const QHash<int, QString> &GetRoles() const { return m_roles; }
    QTreeWidget *GetTrackerTree() const;
    QTreeWidget *GetStatusTree() const;
    QTreeWidget *GetPriorityTree() const;
    QTreeWidget *GetCategoryTree() const;
    QTreeWidget *GetVersionTree() const;
    QTreeWidget *GetMemberTree() const;
    QTreeWidget *GetWorkspaceMemberTree() const;
    bool IsClosedStatus(const QString &id) const;
    bool IsTrackerMember(const QString &id) const;
    QTreeWidgetItem *FindTrackerMember(QTreeWidgetItem *workspaceRow) const;
    void UpdateMemberButtons(QTreeWidgetItem *row);
    void MarkRegisteredMembers();
    void AddWorkspaceMember(QTreeWidgetItem *managerRow);
    QString MessageText() const;
    int Mode() const { return m_mode; }
    // The tracker project id to keep with the members' data: while a picked project waits for the
    // user's confirmation, the id as it was before the pick.
    int LinkToSave() const;
    AddMembership *MembershipDialog() const { return m_membership; }
    RedmineAddCategory *CategoryDialog() const { return m_addCategory; }
    RedmineAddVersion *VersionDialog() const { return m_addVersion; }

public slots:
    void SetProc(bool status = false);
    void RefProc(bool status = false);
    void NewProc(bool status = false);
    void AddVersionProc(bool status = false);
    void ZQVTreeItemChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev);
    void VersionDblClicked(QTreeWidgetItem *cur, int col);
    void AddCategoryProc(bool status = false);
    void CategoryDblClicked(QTreeWidgetItem *cur, int col);
    void MemberAddProc(bool status = false);
    void MemberDelProc(bool status = false);
    void MemberModProc(bool status = false);
    void IdentChanged(const QString &text);
    void UrlChanged(const QString &text);
    void PublicCheckChanged(int state);

private:
    void buildForm();
    void createDialogs();
    void showMessage(const QString &text, bool error);
    // False (and "Under Process" shown) while a request of the window is still outstanding.
    bool clientIdle();
    NwRedmine *client() const;
    void ClearProjectFields();
    QString workspaceExplanation() const;
    void appendExplanation(const QString &text);
    void setExplainMarked(bool marked);
    void setSetVisibleUnlessPending();
    QDomElement replyRoot(int index) const;
    void addNamedRows(const QDomElement &list, const QString &tag, QTreeWidget *tree, int idColumn);
    void readFlaggedList(QTreeWidget *tree, int index, const QString &tag, const char *flag,
                         const QString &mark);

    Ui::RedmineProject *m_ui;
    // Made here, not in the form: the explanation editor and the two tab corner buttons.
    NumEditor *m_explain = nullptr;
    QPushButton *m_versionAdd = nullptr;
    QPushButton *m_categoryAdd = nullptr;

    RedmineRefProject *m_refProject = nullptr;
    AddMembership *m_membership = nullptr;
    RedmineAddVersion *m_addVersion = nullptr;
    RedmineAddCategory *m_addCategory = nullptr;

    QHash<int, QString> m_roles;
    QHash<QString, QString> m_versionStatus;
    QHash<QString, QString> m_sharing;
    QHash<QString, QPair<QString, QString>> m_trackerStatus;
    QDomDocument m_projectDoc;
    QDomDocument m_categoryDoc;
    QDomDocument m_versionDoc;
    QDomDocument m_membershipDoc;
    QString m_storedHomepage;
    QString m_register;
    QString m_update;
    QString m_title;
    QString m_pendingCategoryName;
    QString m_pendingCategoryId;
    QString m_pendingVersionId;
    QString m_pendingMembershipId;
    bool m_loading = false;
    bool m_newProject = false;
    bool m_descriptionChanged = false;
    bool m_homepageChanged = false;
    bool m_publicState = false;
    bool m_publicChanged = false;
    bool m_projectClosed = false;
    int m_mode = ModeNone;
    // The workspace's project id before a pick that the user has not confirmed yet; NoPick when none.
    static constexpr int NoPick = -2;
    int m_idBeforePick = NoPick;
};
