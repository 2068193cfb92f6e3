#pragma once

#include "docs/chaptereditor.h"

namespace Ui
{
class ModelDoc;
}
class model;
class TreeItemData;

// The model document editor: the chapters of DocModel.xml tied to the model definition's large
// classes, small classes and parameters. Only the model's owner edits it, and not while an
// instance is open.
class ModelDoc final : public ChapterEditor
{
    Q_OBJECT
public:
    explicit ModelDoc(QWidget *parent = nullptr);
    ~ModelDoc() override;

    // The model's name and version and the chapters of DocModel.xml (store index 30001).
    void LoadHeader();
    void BuildClassTree(QTreeWidget *modelTree);
    void RebuildClassTree(QTreeWidget *modelTree, bool modelModified);
    void RefreshClassItem();
    void RemoveClassRow(QTreeWidgetItem *row);
    // The element is going: the chapter tied to it shows "Unset" and its "MID" is emptied.
    void ReleaseElement(QTreeWidgetItem *element);
    void SetEditMode();
    void Clear();
    void TransferUser(const QString &name, const QString &email);

public slots:
    void ClassDblClickSet(QTreeWidgetItem *row, int column);

private:
    QTreeWidgetItem *elementOf(const QString &tie) const override;
    QTreeWidgetItem *classRowOf(QTreeWidgetItem *element) const override;
    QTreeWidgetItem *elementOfRow(QTreeWidgetItem *classRow) const override;
    void showElement(QTreeWidgetItem *element) override;
    bool mayTie(QTreeWidgetItem *) const override { return true; }
    bool keepsText() const override { return IsEditable(); }
    int modifiedFlag() const override { return RegSlot::FlagModelDocModified; }
    int storeIndex() const override;
    QString folder() const override { return GetStrVar(RegSlot::StrModelDir); }
    QString rootTag() const override;
    model *modelEditor() const;
    // The class text to show, read again while it stays refused or empty.
    QString classText(model *m, TreeItemData *record, const QString &id);

    Ui::ModelDoc *m_ui;
};
