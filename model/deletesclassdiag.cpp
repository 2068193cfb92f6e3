#include "model/deletesclassdiag.h"

#include "model/model.h"
#include "model/modellclass.h"
#include "ui_deletesclassdiag.h"

#include <QTreeWidget>

DeleteSclassDiag::DeleteSclassDiag(QWidget *parent) : DeleteRowDiag(parent), m_ui(new Ui::DeleteSclassDiag)
{
    m_ui->setupUi(this);
    m_ui->MSG->setText(tr("parameter is also deleted"));
    SetUpButtons(m_ui->OK, m_ui->CANCEL);
}

DeleteSclassDiag::~DeleteSclassDiag()
{
    delete m_ui;
}

void DeleteSclassDiag::SetItem(QTreeWidget *tree, QTreeWidgetItem *item)
{
    m_tree = tree;
    m_item = item;
    m_ui->SCLASS->setText(item ? item->text(model::ColSclass) : QString());
    m_ui->ELEMENT->setText(item ? item->text(model::ColValue) : QString());
}

void DeleteSclassDiag::OkProc()
{
    auto *page = GetObj<ModelLclass>(RegSlot::ObjModelLclassPage);
    if (page && model::GetItemLevel(m_item) == 2)
        page->DeleteSclass(m_item);
    m_item = nullptr;
    accept();
}
