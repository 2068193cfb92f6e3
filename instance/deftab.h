#pragma once

#include "core/globalvar.h"

#include <QPointer>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class TreeItemData;

// The instance workspace tab: the members' class instances, their panes and the links to the
// schedule, question-and-answer and instance-document pages.
class deftab final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit deftab(QWidget *parent = nullptr);
    ~deftab() override;

    void AddLclassInstance();
    void AddSclassInstance();
    void DelLclassInstance();
    void DelSclassInstance();
    void AdjustLayout();
    void ClearTab();
    void CommitValueTable();
    void SyncStatusWidget();

    QTreeWidget *GetUserTree() const { return m_userTree; }
    static TreeItemData *RecordOf(const QTreeWidgetItem *item);
    QTreeWidgetItem *FindTreeItem(const QString &key) const;
    QTreeWidgetItem *GetCurrentUserItem() const;
    QString GetExplanationText() const { return QString(); }
    bool IsExplanationModified() const { return false; }
    QString ReadInstanceText(const QString &name) const;
    QString GetReferencePath(const QString &a, const QString &b) const;
    bool GetScheduleRefresh() const { return m_scheduleRefresh; }
    bool GetQandARefresh() const { return m_qandaRefresh; }
    bool GetDocumentRefresh() const { return m_documentRefresh; }
    void SetScheduleRefresh(bool refresh) { m_scheduleRefresh = refresh; }
    void SetQandARefresh(bool refresh) { m_qandaRefresh = refresh; }
    void SetDocumentRefresh(bool refresh) { m_documentRefresh = refresh; }

    void LoadInstance(QTreeWidgetItem *memberItem);
    void LoadInstanceDocument(QTreeWidget *memberTree);
    void LoadModelTree();
    void RefreshCurrentItem();
    void RemoveUser(QTreeWidgetItem *userItem);
    void SaveInstance();
    void SelectFirstChapter();
    void SetActiveEditor();
    void SelectFirstUser();
    void SetCurrentUserItem(QTreeWidgetItem *item);
    void SetEditFont();
    void SetInstanceDir(const QString &dir);
    void SetModify();
    void SetPopupMenuVisible(bool addLclass, bool delLclass, bool addSclass, bool delSclass);
    void SetTitleFields();
    void SyncInstanceDocument();
    void UpdateItemText(QTreeWidgetItem *item, const QString &name, int sameAddressIndex);

private:
    // Installed by the tab area on its instance page, which then owns it.
    QPointer<QVBoxLayout> m_pageLayout;
    QTreeWidget *m_userTree;
    QString m_instanceDir;
    bool m_scheduleRefresh = true;
    bool m_qandaRefresh = true;
    bool m_documentRefresh = true;
};
