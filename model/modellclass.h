#pragma once

#include "core/globalvar.h"

#include <QWidget>

#include <memory>

class DeleteLclassDiag;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

// The large-class page of the model editor: shows and edits the large class current in the class
// tree. The page's fields come with the large-class page work; the editor already hands it the
// items it shows and stores.
class ModelLclass final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ModelLclass(QTreeWidget *tree, QWidget *parent = nullptr);
    ~ModelLclass() override;

    QVBoxLayout *PageLayout() const { return m_layout; }
    // The page shows the item's record; StorePage writes the page back into it.
    void ShowLclass(QTreeWidgetItem *item);
    void StorePage(QTreeWidgetItem *item);
    void ClearLclass();
    void SetReadOnly(bool readOnly);
    void LayoutAdjust();
    QTreeWidgetItem *CurrentItem() const { return m_item; }
    // Hands the large class to the delete dialog and shows it.
    void OpenDeleteDiag(QTreeWidget *tree, QTreeWidgetItem *item);

private:
    QTreeWidget *m_tree;
    QVBoxLayout *m_layout;
    QTreeWidgetItem *m_item = nullptr;
    bool m_readOnly = false;
    std::unique_ptr<DeleteLclassDiag> m_deleteDiag;
};
