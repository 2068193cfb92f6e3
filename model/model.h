#pragma once

#include "core/globalvar.h"

#include <QHash>
#include <QWidget>

class QTreeWidget;
class QSplitter;
class QTreeWidgetItem;
class TreeItemData;

// The model-definition editor: the class tree of the open model version and the pages that edit
// its large classes, small classes and parameters.
class model final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit model(QWidget *parent = nullptr);
    ~model() override;

    bool NewModel();
    bool OpenModel();
    bool SaveModel();
    void CloseModel();

    void AddLclass();
    void AddSclass();
    void AdjustLayout();
    void CreateLclassDiag();
    void CreateSclassDiag();
    void DeleteLclassDiag();
    void DeleteSclassDiag();
    void CreateParamDiag();
    void DeleteParamDiag();
    void ModParamNameDiag();
    void SelectFirstLclass();
    void SetEditorFont();
    void SetMenuVisible(bool addLclass, bool delLclass, bool addSclass, bool delSclass, bool addParam,
                        bool delParam);
    void ShowCurrent();
    void TransferOwner(const QString &name, const QString &email);

    QString GetOwnerName();
    QString GetOwnerEmail();
    QTreeWidget *GetTree() const { return m_tree; }
    bool LoadModel() { return false; }
    void SetReadOnly() {}
    QTreeWidgetItem *FindItem(const QString &id) const { return m_ids.value(id); }
    void AddToIdTable(const QString &id, QTreeWidgetItem *item) { m_ids.insert(id, item); }
    static TreeItemData *RecordOf(const QTreeWidgetItem *item);
    void SetCurrentItem(QTreeWidgetItem *item);
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    bool IsNewModel() const { return m_newModel; }
    void ModelChanged();

private:
    void enterDocKind();
    bool createModelFiles(const QString &versionDir);
    bool loadModelFiles(const QString &versionDir);
    QString rootAttribute(int attrSlot);

    QSplitter *m_splitter;
    QTreeWidget *m_tree;
    bool m_modified = false;
    bool m_newModel = false;
    bool m_modelDocKept = false;
    QHash<QString, QTreeWidgetItem *> m_ids; // DocModel.xml exists but did not load: never written over
};
