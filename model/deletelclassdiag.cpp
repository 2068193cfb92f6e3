#include "model/deletelclassdiag.h"

#include "model/model.h"
#include "model/modellclass.h"
#include "ui_deletelclassdiag.h"

#include <QTreeWidget>

DeleteLclassDiag::DeleteLclassDiag(QWidget *parent) : DeleteRowDiag(parent), m_ui(new Ui::DeleteLclassDiag)
{
    m_ui->setupUi(this);
    SetUpButtons(m_ui->OK, m_ui->CANCEL);
}

DeleteLclassDiag::~DeleteLclassDiag()
{
    delete m_ui;
}

void DeleteLclassDiag::SetItem(QTreeWidget *tree, QTreeWidgetItem *item)
{
    m_tree = tree;
    m_item = item;
    m_ui->LCLASS->setText(item ? item->text(model::ColLclass) : QString());
    m_ui->ELEMENT->setText(item ? item->text(model::ColValue) : QString());
    m_ui->MSG->setText(item && item->childCount() > 0 ? tr("Will also be deleted small class") : QString());
}

// The small classes, parameters, IDs, chapter links and states go with the large class; the
// model is marked once, after the update guard is down again.
void DeleteLclassDiag::OkProc()
{
    auto *m = GetObj<model>(RegSlot::ObjModel);
    if (!m || !m_item || model::GetItemLevel(m_item) != 1) {
        reject();
        return;
    }
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    m->RemoveClassItem(m_item);
    m_item = nullptr;
    SetBoolVar(RegSlot::FlagUpdating, updating);
    if (m_tree->topLevelItemCount() == 0) {
        if (auto *page = GetObj<ModelLclass>(RegSlot::ObjModelLclassPage))
            page->ClearLclass();
    }
    m->RecomputeStartDate();
    TreeColumnAdjustment(m_tree);
    m->SetModified(true);
    m->ModelChanged();
    m->IsUpdateLocked();
    accept();
}
