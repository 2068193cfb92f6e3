#include "model/modellclass.h"

#include "model/deletelclassdiag.h"

#include <QVBoxLayout>

ModelLclass::ModelLclass(QTreeWidget *tree, QWidget *parent)
    : QWidget(parent), m_tree(tree), m_layout(new QVBoxLayout)
{
    // The page is a controller behind the editor's tab; its own widget never shows.
    setVisible(false);
    SetObj(RegSlot::ObjModelLclassPage, this);
    SetObj(RegSlot::ObjModelLclassForm, m_layout);
}

ModelLclass::~ModelLclass()
{
    if (GetObj<ModelLclass>(RegSlot::ObjModelLclassPage) == this) {
        SetObj<ModelLclass>(RegSlot::ObjModelLclassPage, nullptr);
        SetObj<QVBoxLayout>(RegSlot::ObjModelLclassForm, nullptr);
    }
}

void ModelLclass::ShowLclass(QTreeWidgetItem *item)
{
    m_item = item;
}

void ModelLclass::StorePage(QTreeWidgetItem *) {}

void ModelLclass::ClearLclass()
{
    m_item = nullptr;
}

void ModelLclass::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
}

void ModelLclass::LayoutAdjust() {}

void ModelLclass::OpenDeleteDiag(QTreeWidget *tree, QTreeWidgetItem *item)
{
    if (!m_deleteDiag)
        m_deleteDiag = std::make_unique<DeleteLclassDiag>();
    m_deleteDiag->SetItem(tree, item);
    m_deleteDiag->show();
}
