#include "model/modelsclass.h"

#include "model/deleteparamdiag.h"
#include "model/deletesclassdiag.h"
#include "model/newparam.h"

#include <QVBoxLayout>

ModelSClass::ModelSClass(QTreeWidget *tree, QWidget *parent)
    : QWidget(parent), m_tree(tree), m_layout(new QVBoxLayout)
{
    // The page is a controller behind the editor's tab; its own widget never shows.
    setVisible(false);
    SetObj(RegSlot::ObjModelSclassPage, this);
    SetObj(RegSlot::ObjModelSclassForm, m_layout);
}

ModelSClass::~ModelSClass()
{
    if (GetObj<ModelSClass>(RegSlot::ObjModelSclassPage) == this) {
        SetObj<ModelSClass>(RegSlot::ObjModelSclassPage, nullptr);
        SetObj<QVBoxLayout>(RegSlot::ObjModelSclassForm, nullptr);
    }
}

void ModelSClass::ShowSclass(QTreeWidgetItem *item)
{
    m_item = item;
}

void ModelSClass::StorePage(QTreeWidgetItem *) {}

void ModelSClass::ClearSclass()
{
    m_item = nullptr;
}

void ModelSClass::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
}

void ModelSClass::LayoutAdjust() {}
