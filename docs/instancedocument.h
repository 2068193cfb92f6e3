#pragma once

#include "core/globalvar.h"

#include <QWidget>

class QTreeWidget;

// The instance document editor: chapters of free text attached to the members' class instances.
class InstanceDocument final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit InstanceDocument(QWidget *parent = nullptr);
    ~InstanceDocument() override;

    void ActivateEditor();
    void LayoutAdjust();
    void RefreshChapterMenu();
    void UpdateEditorState();
    void RefreshClassItem();
    void Clear();
    void CreateChapter();
    void DeleteChapter();
    void SetChapter();
    void UnsetChapter();
    void MoveUpChapter();
    void MoveDownChapter();
    void RebuildClassTree(QTreeWidget *userTree, bool documentRefresh);
    void LoadManagerInfo();
    void BuildClassTree(QTreeWidget *userTree);
    void SelectFirstChapter();
    // The "InstID" of the record behind the current class row; empty when there is none.
    QString CurrentClassValue() const;
    void SetExplainText(const QString &text);
    void Save();
    void SetEditMode();
    void SetModified();

private:
    bool m_modified = false;
};
