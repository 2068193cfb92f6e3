#include "model/deletelclassdiag.h"

#include "model/model.h"
#include "model/modellclass.h"
#include "ui_deletelclassdiag.h"

#include <QTreeWidget>

DeleteLclassDiag::DeleteLclassDiag(QWidget *parent) : QDialog(parent), m_ui(new Ui::DeleteLclassDiag)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    connect(m_ui->OK, &QPushButton::clicked, this, &DeleteLclassDiag::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &DeleteLclassDiag::CancelProc);
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

void DeleteLclassDiag::ForgetRow(const QTreeWidgetItem *going)
{
    if (!model::IsWithin(m_item, going))
        return;
    m_item = nullptr;
    reject();
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

void DeleteLclassDiag::CancelProc()
{
    reject();
}
