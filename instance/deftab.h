#pragma once

#include "core/globalvar.h"
#include "instance/instancefiles.h"

#include <QHash>
#include <QMultiHash>
#include <QPair>
#include <QPointer>
#include <QSet>
#include <QTreeWidgetItem>
#include <QVector>
#include <QWidget>
#include <functional>

// RowDeleting carries a row: queued connections and signal spies need its type registered.
Q_DECLARE_METATYPE(QTreeWidgetItem *)

namespace Ui
{
class deftab;
}
class CreateInstance;
class InstanceLclass;
class InstanceSclass;
class NumEditor;
class QAction;
class QDomElement;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class TreeItemData;
class ValueTable;
class model;
struct ClassInstanceIndex;
struct MemberInfo;

// The instance workspace tab: every member's large-class, small-class and parameter instances
// beside a read-only copy of the model's class tree, the class area with the panes of the
// selected row, and the loading and saving of the members' instance files.
class deftab final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit deftab(QWidget *parent = nullptr);
    ~deftab() override;

    // Row depth in the member tree: 0 member, 1 large class, 2 small class, 3 parameter.
    static int Level(const QTreeWidgetItem *item);
    static TreeItemData *RecordOf(const QTreeWidgetItem *item);
    // The row a row points to in the user data of a column (model row, chapter row, ...).
    static QTreeWidgetItem *LinkedRow(const QTreeWidgetItem *item, int column);
    // The index a row of the model-tree copy carries in its column 1.
    static ClassInstanceIndex *ClassIndexOf(const QTreeWidgetItem *modelTreeRow);

    // ---- files (deftab.cpp, through InstanceFiles) ----
    QString ReadElementText(const QString &n, const QString &id) const
    {
        return m_files.ReadElementText(n, id);
    }
    QString ReadInstanceText(const QString &name) const { return m_files.ReadInstanceText(name); }
    // Why the file was refused, or empty when it was read (InstanceFiles).
    QString ReadInstanceCsv(TreeItemData *record, const QString &n, const QString &id) const;
    QString ReadInstancePos(TreeItemData *record, const QString &n, const QString &id) const;
    QString GetReferencePath(const QString &a, const QString &b) const;
    QString GetQuestionReferencePath(const QString &a, const QString &b) const;
    QString GetAnswerReferencePath(const QString &a, const QString &b) const;

    // ---- loading and saving (deftab_load.cpp, deftab_save.cpp) ----
    void LoadInstanceDocument(QTreeWidget *memberTree);
    void LoadInstance(QTreeWidgetItem *memberItem);
    void OpenMemberInstance(QTreeWidgetItem *memberItem);
    void LoadMemberInstance(int n);
    // Other members' rows are built when first needed: at expanding or selecting the member, at a
    // key lookup into it, and for every reader that walks all members (which calls the second).
    void EnsureMemberRows(int n);
    // between, when given, is called after each member built and stops the building when it
    // returns false (a long run lets events through and can be cancelled meanwhile).
    void EnsureAllMemberRows(const std::function<bool()> &between = {});
    bool HasMemberRows(int n) const { return !m_unbuilt.contains(n); }
    void ResolveStateLinks();
    void LinkStateTarget(QTreeWidgetItem *row, const QString &mid);
    void RegisterModelInstance(QTreeWidgetItem *row, TreeItemData *record);
    int SetScopeIcon(TreeItemData *record, QTreeWidgetItem *row);
    void SaveInstance();
    // The member's document from its rows; the records it made elements of, each with whether it
    // is a small class, whose files (InstanceFiles::WriteElementFiles) follow the document's.
    QVector<QPair<TreeItemData *, bool>> BuildInstanceDocument(int n, QTreeWidgetItem *memberRow);
    void CommitAndShowItem(QTreeWidgetItem *previous, QTreeWidgetItem *current);
    void LoadValueGrid(QTreeWidgetItem *paramRow);
    void UnlinkChapter(QTreeWidgetItem *row);
    // Whether member n's instance data may be written by this program: its own, and its file
    // was read (a file that did not parse is never written over).
    bool IsWritableMember(int n) const;

    // ---- the tab (deftab.cpp, deftab_view.cpp) ----
    void LoadModelTree();
    void SetTitleFields();
    void SetInstanceDir(const QString &dir);
    void ClearTab();
    void RemoveUser(QTreeWidgetItem *userItem);
    // A member that leaves the workspace takes its document and kept elements along, row or not.
    void CloseMember(int n);
    void UpdateItemText(QTreeWidgetItem *item, const QString &name, int sameAddressIndex);
    void SelectFirstUser();
    void SelectFirstChapter();
    void SetModify();
    void SetActiveEditor();
    void RefreshCurrentItem();
    void SetEditFont();
    void AdjustLayout();
    void SyncInstanceDocument();
    void SyncStatusWidget();
    void CommitValueTable();
    void UpdateParamProperty();
    void SetParamPropertyValues(QTreeWidgetItem *param, TreeItemData *record, QTreeWidgetItem *sclass);
    void SetPopupMenuVisible(bool addLclass, bool delLclass, bool addSclass, bool delSclass);
    void EnableClassTabs(int level);
    void ResetClassArea();
    bool ComputeDeleteActions(QTreeWidgetItem *cur);
    void SetUserRowActions(QTreeWidgetItem *userRow);
    void ShowItemPane(QTreeWidgetItem *row);
    void ShowExplanation(TreeItemData *record, const QString &title, const QString &text);

    bool GetScheduleRefresh() const { return m_scheduleRefresh; }
    bool GetQandARefresh() const { return m_qandaRefresh; }
    bool GetDocumentRefresh() const { return m_documentRefresh; }
    void SetScheduleRefresh(bool refresh) { m_scheduleRefresh = refresh; }
    void SetQandARefresh(bool refresh) { m_qandaRefresh = refresh; }
    void SetDocumentRefresh(bool refresh) { m_documentRefresh = refresh; }

    // Every member's rows built: the schedule, Q&A, output and tracker pages walk them all.
    QTreeWidget *GetUserTree();
    QTreeWidget *GetModelTree() const;
    QTreeWidgetItem *GetCurrentUserItem() const;
    void SetCurrentUserItem(QTreeWidgetItem *item);
    QTreeWidgetItem *FindTreeItem(const QString &key);
    void SelectTreeItem(const QString &key);
    TreeItemData *GetRefItemData(QTreeWidgetItem *item);
    QString GetItemExplanation(QTreeWidgetItem *item);
    // Why the element's explanation file was not read, or empty when it was.
    QString ExplanationRefusal(const TreeItemData *record) const;
    QString GetItemOutVar(QTreeWidgetItem *item) const;
    QString GetExplanationText() const;
    bool IsExplanationModified() const;
    void SetExplanationRecord(TreeItemData *record);
    void SetExplanationReadOnly(bool readOnly);
    QHash<QString, QList<QTreeWidgetItem *>> &GetUserDataHash();
    QStringList GetKeyedItems(const QString &id);
    int GetDefaultMaxParam() const { return m_defaultMaxParam; }
    void SetStateItem(const QString &key, const QString &text) { m_transitions.insert(key, text); }
    bool IsClearing() const { return m_clearing; }
    bool HasNoModelItem() const;
    bool IsArbitraryScope(QTreeWidgetItem *item) const;
    QString FindChildKey(QTreeWidgetItem *parent, const QString &mid) const;
    bool HasChildItem(QTreeWidgetItem *parent, const QString &name, const QString &id) const;
    static QString MakeIdPath(QTreeWidgetItem *a, QTreeWidgetItem *b);
    // Numbers for count new elements of the member row, taken from its counter (see
    // InstanceFiles::NewNumbers): no element of the member, refused ones included, and no file of
    // the folder uses them. Empty, with the reason in StrLastError, when the creation must be
    // refused; nothing has changed then.
    QList<int> TakeNewNumbers(QTreeWidgetItem *memberRow, int count);
    void CreateMirrorItems(QTreeWidgetItem *row, int number);
    static QString KeyOf(const TreeItemData *record, const QString &idAttr);
    void ClearTables();

    // ---- adding and deleting class instances (deftab_instances.cpp) ----
    bool CheckLclassModel(QTreeWidgetItem *m, QTreeWidgetItem *u);
    bool CreateLclassInstance(const QString &name, const QString &element, int scope);
    bool LclassGlobalFree(QTreeWidgetItem *l);
    bool CreateSclassInstance(const QString &element, int scope);
    // Each parameter of model row mm under s, numbered from numbers in order.
    void CreateParamInstances(QTreeWidgetItem *p, QTreeWidgetItem *mm, QTreeWidgetItem *s,
                              const QList<int> &numbers);
    bool DeleteLclassItem();
    bool DeleteCurrentSclass();
    bool DeleteSclassItem(QTreeWidgetItem *s);
    void UnregisterKey(const QString &key);
    void UnregisterModelInstance(QTreeWidgetItem *row, TreeItemData *record);
    void SetAddActions(QTreeWidgetItem *u, QTreeWidgetItem *mm);
    void ApplyInstanceActions();
    bool AddStateRow(QTreeWidget *tree, QTreeWidgetItem *t, QTreeWidgetItem *s);
    // Makes everything that shows the row or a row below it let go of it; every deletion calls
    // it before the row is freed.
    void ReleaseRow(QTreeWidgetItem *row);
    CreateInstance *GetCreateDialog() { return createDialog(); }

signals:
    // A member-tree row and its record are about to be freed: whoever keeps a pointer to it (the
    // state-transition diagram of the views) drops it here.
    void RowDeleting(QTreeWidgetItem *row);

public slots:
    void AddLclassInstance();
    void AddSclassInstance();
    void DelLclassInstance();
    void DelSclassInstance();
    void UserTreeChanged(QTreeWidgetItem *cur_item, QTreeWidgetItem *prev_item);
    void UserTreeClicked(QTreeWidgetItem *item, int col);
    void UserDblTreeClicked(QTreeWidgetItem *item, int col);
    void UserColumnAdjustment(const QModelIndex &idex);
    void ModelColumnAdjustment(const QModelIndex &idex);
    void ModelDblTreeClicked(QTreeWidgetItem *item, int col);
    void TabChangeProc(int index);
    void TreePopupMenu(const QPoint &pt);

private:
    model *modelEditor() const;
    MemberInfo *memberOf(int n) const;
    QTreeWidgetItem *memberRowOf(QTreeWidgetItem *row) const;
    int openMemberFile(QTreeWidgetItem *memberItem, const QString &errorCode);
    QTreeWidgetItem *newMemberRow(int n, const QString &name, MemberInfo *info);
    void noteMemberDates(MemberInfo *m, const QDomElement &root) const;
    void buildMemberRows(int n, QTreeWidgetItem *memberRow, QDomElement root, MemberInfo *dates);
    void resolveStateLinks(const QString &prefix);
    static void expandMember(QTreeWidgetItem *member);
    void buildLateMembers(const QList<int> &numbers, const std::function<bool()> &between = {});
    void restoreTableOrder();
    bool parseLclassInstance(TreeItemData *record, QTreeWidgetItem *row, const QDomElement &e, MemberInfo *m);
    void parseLclassChild(QTreeWidgetItem *lrow, const QDomElement &child, int n);
    bool parseSclassInstance(QTreeWidgetItem *lrow, TreeItemData *record, const QDomElement &e,
                             QTreeWidgetItem *row);
    bool parseParamInstance(QTreeWidgetItem *srow, TreeItemData *srec, const QDomElement &p, int n);
    QTreeWidgetItem *acceptedModelRow(TreeItemData *record, QString *key) const;
    // Whether key names an instance of the model state class stateMid in the transition's large
    // class: a kept "State" may name nothing else.
    bool isStateOf(const QTreeWidgetItem *transition, const QString &key, const QString &stateMid) const;
    void finishClassRow(QTreeWidgetItem *row, TreeItemData *record, QTreeWidgetItem *modelRow,
                        const QString &key);
    void makeElementMirrors(TreeItemData *record, const QString &key, bool withSchedule);
    void commitRow(QTreeWidgetItem *row);
    void clearUserTree(bool shared);
    void clearModelTree(bool shared);
    void freeRow(QTreeWidgetItem *row);
    // Out of its parent row or its tree, without being deleted.
    static void takeFromParent(QTreeWidgetItem *row);
    void setTabColours(int shown);
    CreateInstance *createDialog();
    QString attr(int slot, const QTreeWidgetItem *row) const;
    static QTreeWidgetItem *lclassRowOf(QTreeWidgetItem *row);
    TreeItemData *newClassRecord(QTreeWidgetItem *member, QTreeWidgetItem *modelRow, int number,
                                 QString *key);
    // The IDs the member's elements hold, refused ones kept in the layouts included.
    QSet<int> memberIds(QTreeWidgetItem *memberRow) const;
    void setElementAttrs(TreeItemData *record, QTreeWidgetItem *row, const QString &element);
    void finishNewRow(QTreeWidgetItem *row, TreeItemData *record, QTreeWidgetItem *modelRow,
                      const QString &key, int scope);
    QString newStartDate(int n) const;
    void releaseGlobal(QTreeWidgetItem *row, const QString &path, const QString &key);
    void freeRecord(QTreeWidgetItem *row, TreeItemData *record);
    void freeClassRow(QTreeWidgetItem *row, TreeItemData *record);
    void showAfterDeletion();

    Ui::deftab *m_ui;
    // Installed by the tab area on its instance page, which then owns it.
    QPointer<QVBoxLayout> m_pageLayout;
    InstanceFiles m_files;
    InstanceLclass *m_lclassPane;
    InstanceSclass *m_sclassPane;
    ValueTable *m_valueTable;
    NumEditor *m_explain;
    QMenu *m_popup;
    CreateInstance *m_create = nullptr;
    QAction *m_popupActions[4] = {};
    QString m_explainLabel;
    int m_explainTab = 3;
    int m_lastDataTab = 0;
    int m_defaultMaxParam = 10;
    int m_loadingMember = -1;
    bool m_deletedRow = false;

    QHash<QString, QTreeWidgetItem *> m_rows;                  // element key -> row
    QHash<QString, bool> m_ownMembers;                         // member number -> own
    QHash<QString, QList<QTreeWidgetItem *>> m_modelInstances; // model ID -> instance rows
    QMultiHash<QString, QString> m_stateInstances;             // model state-class ID -> keys
    QHash<QString, QString> m_transitions;                     // transition key -> state ID
    QSet<int> m_unreadMembers;                                 // own files that did not load
    QHash<int, QList<QDomElement>> m_keptLclasses;             // per member, written back as read
    QSet<int> m_unbuilt;                                       // members whose rows wait for first use
    QHash<QString, QString> m_refusedTexts;                    // refused explanations, with why
    // What the timer's parameter-property refresh hands on to the small-class pane.
    QTreeWidgetItem *m_propParam = nullptr;
    TreeItemData *m_propRecord = nullptr;
    QTreeWidgetItem *m_propSclass = nullptr;

    bool m_scheduleRefresh = true;
    bool m_qandaRefresh = true;
    bool m_documentRefresh = true;
    bool m_selecting = false;
    bool m_suppressParamClick = false;
    // Set while a load expands rows in bulk: the columns are fitted once afterwards, not at
    // every expansion (over a large workspace that is quadratic).
    bool m_bulkExpand = false;
    bool m_takingRows = false;
    bool m_clearing = false;
    bool m_actions[4] = {};
};
