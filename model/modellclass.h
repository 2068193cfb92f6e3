#pragma once

#include "core/globalvar.h"

#include <QWidget>

#include <memory>

namespace Ui
{
class ModelLclass;
}
class Calendar;
class DeleteLclassDiag;
class reffile;
class refurl;
class NumEditor;
class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class TreeItemData;
class model;

// The large-class page of the model editor: shows the record of the large class current in the
// class tree, writes its fields back, decides what may be edited and which Model-menu actions
// are offered while it shows.
class ModelLclass final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ModelLclass(QWidget *parent = nullptr);
    ~ModelLclass() override;

    // The layout the model editor installs on its large-class tab; it holds the page.
    QVBoxLayout *PageLayout() const { return m_layout; }
    void SetClassTree(QTreeWidget *tree) { m_tree = tree; }
    QTreeWidgetItem *CurrentItem() const { return m_item; }
    // The delete dialog lets go of a row about to be freed (nullptr: every row).
    void ForgetDeleteRow(const QTreeWidgetItem *going);
    // Hands the large class to the delete dialog and shows it.
    void OpenDeleteDiag(QTreeWidget *tree, QTreeWidgetItem *item);

    void SetLclass(QTreeWidgetItem *item);
    void SaveLclass(QTreeWidgetItem *item);
    void ClearLclass();
    void CloseLclass();
    // Removes a small class with its parameters from the class tree (the delete dialogs).
    void DeleteSclass(QTreeWidgetItem *item);
    void SetCdate();
    void UpdateEditState();
    void SetCdateButton(bool enabled);
    void SetReadOnly();
    void SetEditable();
    void SetMinStartDate();
    void AdjustLayout();

public slots:
    void SdateBtnProc();
    void TdateBtnProc();
    void CdateBtnProc();
    void SdateChanged(const QString &text);
    void CdateChanged(const QString &text);
    void LclassTextChange(const QString &text);
    void LElementTextChange(const QString &text);
    void SclassItemDblClick(QTreeWidgetItem *item, int column);
    void PropertyChanged(int index);

private:
    model *editor() const;
    TreeItemData *record() const;
    bool ignoresChange() const;
    void markChanged();
    void listSclasses();
    void showReferences(const TreeItemData *r);

    Ui::ModelLclass *m_ui;
    QVBoxLayout *m_layout;
    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_item = nullptr;
    QComboBox *m_selector;
    Calendar *m_calendar;
    NumEditor *m_editor;
    reffile *m_files;
    refurl *m_links;
    QString m_explainTitle;
    std::unique_ptr<DeleteLclassDiag> m_deleteDiag;
};
