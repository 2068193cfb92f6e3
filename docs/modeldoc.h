#pragma once

#include "core/globalvar.h"

#include <QWidget>

class QTreeWidget;

// The model document editor: chapters of free text attached to the model definition's classes.
class ModelDoc final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ModelDoc(QWidget *parent = nullptr);
    ~ModelDoc() override;

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
    void RebuildClassTree(QTreeWidget *modelTree, bool modelModified);
    void Save();
    void SelectFirstChapter();
    void SetEditMode();
    void DisableChapterMenu();
    void SetModified();
    void TransferUser(const QString &name, const QString &email);

private:
    bool m_modified = false;
};
