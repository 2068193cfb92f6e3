#pragma once

#include "core/globalvar.h"
#include "model/modelfile.h"
#include "model/paramlist.h"
#include "model/statetables.h"

#include <QHash>
#include <QSet>
#include <QWidget>

namespace Ui
{
class model;
}
class Calendar;
class ModelLclass;
class ModelSClass;
class NewLclass;
class NewSclass;
class NumEditor;
class QAction;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class TreeItemData;

// The model-definition editor: the header and class tree of the open model version, its large-
// and small-class pages and explanation text; it creates, opens, saves and closes model.xml,
// keeps the element IDs and decides whether the user may edit the model.
class model final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    // Columns of the class tree.
    enum Column { ColLclass = 0, ColSclass = 1, ColParam = 2, ColValue = 3, ColId = 4 };

    explicit model(QWidget *parent = nullptr);
    ~model() override;

    // ---- files (model.cpp) ----
    bool NewModel();
    bool OpenModel();
    // The model of an open instance or output definition: no owner message, no menus; the
    // caller makes it read-only with SetReadOnly.
    bool LoadModel();
    bool SaveModel();
    void CloseModel();
    void SetReadOnly();
    void SelectFirstLclass();
    void TransferOwner(const QString &name, const QString &email);
    QString VersionFolder();
    QString MakeRefPath(const QString &subFolder);
    QString ReadClassText(const QString &id);
    // Why the element's text file was not read, or empty when it was.
    QString ClassTextRefusal(const QString &id) const;
    // Writes the record's explanation to the element's text file when its text-changed mark is set.
    bool WriteClassText(const QString &id, TreeItemData *record);
    bool MakeDir(const QString &path);
    bool EnsureProjectFile(const QString &folder);
    bool CreateModelFolders();
    bool CreateModelFiles(const QString &versionDir);
    // Versions are not copied: always refused, with the reason as the last error.
    bool CopyModelVersion(const QString &sourceFolder, const QString &targetFolder);
    bool LoadModelXml(bool showMessage = true);
    bool LoadDocModelXml();
    void NewDocModel();
    void BuildTree(const QDomElement &root);

    // ---- tree (model_tree.cpp) ----
    void AddLclass();
    void AddSclass();
    int CheckNewLclass();
    int CheckNewSclass();
    QTreeWidgetItem *FindItem(const QString &id) const { return m_ids.value(id); }
    void AddToIdTable(const QString &id, QTreeWidgetItem *item);
    void RemoveID(const QString &id);
    static TreeItemData *RecordOf(const QTreeWidgetItem *item);
    static int GetItemLevel(const QTreeWidgetItem *item);
    // Whether item is the row going or lies below it; any row is within a null going.
    static bool IsWithin(const QTreeWidgetItem *item, const QTreeWidgetItem *going);
    QIcon GetItemIcon(const QTreeWidgetItem *item) const;
    QTreeWidget *GetTree() const;
    QTreeWidgetItem *GetCurrentItem() const;
    void SetCurrentItem(QTreeWidgetItem *item);
    int GetNextID() const { return m_nextId; }
    // Past the numbers of class texts in the folder as well: a text left by a save that failed
    // before model.xml was written would show as the new element's own.
    void IncrementID()
    {
        do {
            if (m_nextId < ModelFile::NoIdLeft)
                ++m_nextId;
        } while (m_nextId < ModelFile::NoIdLeft && m_textIds.contains(m_nextId));
    }
    // Whether count new elements can still get an ID; when not, the creation is refused with
    // NoIdMessage and nothing changes.
    bool IdsLeft(int count) const { return m_nextId <= DecimalId::Ceiling - count + 1; }
    static QString NoIdMessage() { return DecimalId::ExhaustedMessage(ModelFile::FileName); }
    QString ElementLabel(const TreeItemData *record) const;
    void SetElementAttr(TreeItemData *record, const QString &element);
    QString StateOfID(const QString &id) const;
    QTreeWidgetItem *ItemOfStateKey(const QString &state) const;
    bool IsNormalKind(const QTreeWidgetItem *item) const;
    void RecomputeStartDate();
    // Takes a class row out of the tree and frees it with its children, records, IDs and
    // state-machine entries; the row current afterwards is shown.
    void RemoveClassItem(QTreeWidgetItem *item);
    // The class-tree row of a record, with its list row and model-document row; the ID enters
    // the ID table.
    QTreeWidgetItem *MakeItem(TreeItemData *record, int level);

    // ---- kinds of small classes and parameter names (model_params.cpp) ----
    // The states (by small-class ID) and the transitions (state ID and name) of the model.
    const StateTables &GetStateTable() const { return m_stateTables; }
    // States and transitions are kept in one table.
    const StateTables &GetTransitionTable() const { return m_stateTables; }
    // A small class may become the state of that name when no state of its large class has it.
    bool CanMakeState(const QString &name, const QTreeWidgetItem *item) const;
    bool MakeState(const QString &name, QTreeWidgetItem *item);
    bool CanMakeTransition(const QString &transition, const QString &state) const;
    bool MakeTransition(const QString &transition, const QString &state, QTreeWidgetItem *item);
    void MakeNormal(QTreeWidgetItem *item);
    void UnmakeState(QTreeWidgetItem *item);
    void UnmakeTransition(QTreeWidgetItem *item);
    bool RenameState(QTreeWidgetItem *sclass, const QString &name);
    bool RenameTransition(QTreeWidgetItem *sclass, const QString &name, const QString &state);
    void RenameParam(QTreeWidgetItem *param, const QString &name);
    // Moves the parameters of the row of param, from param on, one column to the right.
    void RenumberRow(QTreeWidgetItem *sclass, QTreeWidgetItem *param);
    static QList<ParamList::Address> ParamAddresses(const QTreeWidgetItem *sclass, const QString &rowKey,
                                                    const QString &colKey);
    void SetParamAddress(QTreeWidgetItem *param, const ParamList::Address &address);

    // ---- pages, marks and menus ----
    void AdjustLayout();
    void ShowCurrent();
    void UpdateItem(QTreeWidgetItem *item);
    void SetEditorFont();
    void SetMenuVisible(bool addLclass, bool delLclass, bool addSclass, bool delSclass, bool addParam,
                        bool delParam);
    void ShowExplanation(TreeItemData *record, const QString &title, const QString &text);
    void SetExplanationRecord(TreeItemData *record);
    QString GetExplanationText() const;
    bool IsExplanationModified() const;
    // The element's link to its model-document chapter is let go; the chapter keeps the element's
    // ID and shows it red, so the model's owner sees what was deleted.
    void UnsetDocLink(QTreeWidgetItem *item);
    void EnableCurrentPage();
    void DisableEmptyTabs();
    void ClearCompletion();

    QString GetOwnerName() const { return m_ownerName; }
    QString GetOwnerEmail() const { return m_ownerEmail; }
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    bool IsNewModel() const { return m_newModel; }
    bool IsCompleted() const { return m_completed; }
    bool IsClearing() const { return m_clearing; }
    bool IsTouched() const { return m_touched; }
    bool IsUpdateLocked();
    void ModelChanged();

public slots:
    void CreateLclassDiag();
    void CreateSclassDiag();
    void DeleteLclassDiag();
    void DeleteSclassDiag();
    void CreateParamDiag();
    void DeleteParamDiag();
    void ModParamNameDiag();
    void TreeChanged(QTreeWidgetItem *item, QTreeWidgetItem *prev);
    void TreePopupMenu(const QPoint &point);
    void SdateBtnProc();
    void TdateBtnProc();
    void CdateBtnProc();
    void TabChangeProc(int index);
    void CdateChanged(const QString &text);
    void SdateChanged(const QString &text);
    void MtreeExpanded(const QModelIndex &index);
    void MtreeCollapsed(const QModelIndex &index);

private:
    QString classTextPath(const QString &id) const;
    void reset();
    void enterDocKind();
    bool loadTree(bool showMessage);
    void loadDocModel();
    void showModelDoc();
    void checkOwner();
    void showHeader(const QDomElement &root);
    void buildItems(const QList<ModelFile::Node> &lclasses);
    TreeItemData *newClassRecord(const QString &name, const QString &startDate);
    void buildStateTables();
    QString idOf(const QTreeWidgetItem *item) const;
    QString lclassIdOf(const QTreeWidgetItem *sclass) const;
    void forgetKind(QTreeWidgetItem *sclass);
    void renameSclassKind(QTreeWidgetItem *sclass, const QString &key, const QString &name);
    void refreshParamPage();
    QList<ModelFile::Node> collectTree() const;
    void freeItem(QTreeWidgetItem *item);
    void forgetRow(const QTreeWidgetItem *going);
    void keepMenuStates();
    void StorePage(QTreeWidgetItem *prev);
    void writePage(QTreeWidgetItem *item);
    void showPage(QTreeWidgetItem *item);
    void ActivateEditor(QTreeWidgetItem *item);
    void setDateButtons(bool start, bool target, bool completion);
    QTreeWidgetItem *topLevelOf(QTreeWidgetItem *item) const;
    QString today() const;
    void noteTextIds();

    Ui::model *m_ui;
    ModelLclass *m_lclassPage;
    ModelSClass *m_sclassPage;
    NewLclass *m_newLclass;
    NewSclass *m_newSclass;
    Calendar *m_calendar;
    NumEditor *m_explain;
    QMenu *m_popup;
    QAction *m_popupActions[7] = {};
    int m_nextId = 1;
    // Numbers of the class texts (model_<n>.txt) in the model folder when the model was read.
    QSet<int> m_textIds;
    bool m_touched = false;
    bool m_modified = true;
    bool m_completed = false;
    bool m_clearing = false;
    bool m_newModel = false;
    int m_prevTab = 0;
    QString m_ownerName;
    QString m_ownerEmail;
    QHash<QString, QTreeWidgetItem *> m_ids;
    // What model.xml's root held besides its large classes, written back with them (ElementLayout).
    QList<QDomElement> m_keptRoot;
    // Class texts whose last read by this model was refused, with the reason that read met: read
    // again each time they are shown, and shown with that reason even when another reader of the
    // file has cleared the shared record of it meanwhile.
    QHash<QString, QString> m_refusedClassTexts;
    StateTables m_stateTables;
};
