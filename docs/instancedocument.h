#pragma once

#include "docs/chaptereditor.h"

namespace Ui
{
class InstanceDocument;
}
class deftab;

// The instance document editor: the chapters of DocInstance.xml tied to the members' large-class,
// small-class and parameter instances. Only the workspace's manager edits it.
class InstanceDocument final : public ChapterEditor
{
    Q_OBJECT
public:
    explicit InstanceDocument(QWidget *parent = nullptr);
    ~InstanceDocument() override;

    // The instance's name and version and the chapters of DocInstance.xml (store index 80000).
    void LoadManagerInfo();
    void BuildClassTree(QTreeWidget *userTree);
    void RebuildClassTree(QTreeWidget *userTree, bool documentRefresh);
    // fit false leaves the columns to FitClassTree, once after many members.
    void AddMemberClassRows(const QList<QTreeWidgetItem *> &memberRows, bool fit = true);
    void FitClassTree();
    void RemoveTopLevelClassItem(QTreeWidgetItem *row);
    void RemoveClassRow(QTreeWidgetItem *row);
    // The instance tab is about to free the element row: the element view lets go of it.
    void ReleaseElement(QTreeWidgetItem *element);
    void RefreshClassItem();
    void SetEditMode();
    QString CurrentClassValue() const;
    void SetExplainText(const QString &text);
    void Clear();

public slots:
    void ClassDblClickSet(QTreeWidgetItem *row, int column);

private:
    QTreeWidgetItem *elementOf(const QString &tie) const override;
    QTreeWidgetItem *classRowOf(QTreeWidgetItem *element) const override;
    QTreeWidgetItem *elementOfRow(QTreeWidgetItem *classRow) const override;
    void showElement(QTreeWidgetItem *element) override;
    bool mayTie(QTreeWidgetItem *classRow) const override;
    bool keepsText() const override { return GetBoolVar(RegSlot::FlagIsManager); }
    int modifiedFlag() const override { return RegSlot::FlagInstDocModified; }
    int storeIndex() const override;
    QString folder() const override { return GetStrVar(RegSlot::StrInstanceDir); }
    QString rootTag() const override { return ChapterFile::InstanceRootTag; }
    deftab *instanceTab() const;
    QTreeWidgetItem *mirrorRow(QTreeWidgetItem *element, int level);

    Ui::InstanceDocument *m_ui;
};
