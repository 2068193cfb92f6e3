#pragma once

#include "core/globalvar.h"

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

// The small-class page of the model editor: shows and edits the small class or parameter current in the class
// tree. The page's fields come with the small-class page work; the editor already hands it the
// items it shows and stores.
class ModelSClass final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ModelSClass(QTreeWidget *tree, QWidget *parent = nullptr);
    ~ModelSClass() override;

    QVBoxLayout *PageLayout() const { return m_layout; }
    // The page shows the item's record; StorePage writes the page back into it.
    void ShowSclass(QTreeWidgetItem *item);
    void StorePage(QTreeWidgetItem *item);
    void ClearSclass();
    void SetReadOnly(bool readOnly);
    void LayoutAdjust();
    QTreeWidgetItem *CurrentItem() const { return m_item; }

private:
    QTreeWidget *m_tree;
    QVBoxLayout *m_layout;
    QTreeWidgetItem *m_item = nullptr;
    bool m_readOnly = false;
};
