#include "model/deleteparamdiag.h"

#include "core/treeitemdata.h"
#include "model/model.h"
#include "model/modelsclass.h"
#include "shell/mainwindow.h"
#include "ui_deleteparamdiag.h"

#include <QTreeWidget>

DeleteParamDiag::DeleteParamDiag(QWidget *parent) : DeleteRowDiag(parent), m_ui(new Ui::DeleteParamDiag)
{
    m_ui->setupUi(this);
    SetUpButtons(m_ui->OK, m_ui->CANCEL);
}

DeleteParamDiag::~DeleteParamDiag()
{
    delete m_ui;
}

void DeleteParamDiag::SetItem(QTreeWidget *tree, QTreeWidgetItem *item)
{
    m_tree = tree;
    m_item = item;
    CheckParam(item);
    m_ui->PARAM->setText(item ? item->text(model::ColParam) : QString());
    m_ui->NAME->setText(item ? item->text(model::ColValue) : QString());
}

// A state that a transition uses cannot go; a transition goes with all three parameters.
void DeleteParamDiag::CheckParam(QTreeWidgetItem *item)
{
    m_ui->MSG->clear();
    m_kind = 0;
    const TreeItemData *s = model::RecordOf(item ? item->parent() : nullptr);
    if (!s)
        return;
    const QString type = s->GetAttr(GetStrVar(RegSlot::StrAttrParamType));
    if (type.isEmpty() || type == QLatin1String("0")) {
        m_ui->OK->setEnabled(true);
    } else if (type == QLatin1String("1")) {
        m_kind = 2;
        const auto *m = GetObj<model>(RegSlot::ObjModel);
        const bool used = m && m->GetStateTable().HasTransitionsOf(s->GetAttr(GetStrVar(RegSlot::StrAttrID)));
        if (used)
            m_ui->MSG->appendPlainText(tr("Transition of state is set"));
        m_ui->OK->setEnabled(!used);
    } else if (type == QLatin1String("2")) {
        m_kind = 3;
        m_ui->MSG->appendPlainText(tr("Transition delete K[N][1],K[N][2],K[N][3]"));
        m_ui->OK->setEnabled(true);
    } else if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->SystemErrorBox(QStringLiteral("System Error: DELPARAM0001"));
    }
}

void DeleteParamDiag::OkProc()
{
    auto *page = GetObj<ModelSClass>(RegSlot::ObjModelSclassPage);
    auto *m = GetObj<model>(RegSlot::ObjModel);
    if (page && m && model::GetItemLevel(m_item) == 3) {
        page->DelParam(m_item, m_kind);
        m_item = nullptr;
        m->TreeChanged(m->GetCurrentItem(), nullptr);
    }
    accept();
}
