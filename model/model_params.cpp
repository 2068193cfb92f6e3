#include "core/treeitemdata.h"
#include "model/model.h"
#include "model/modellclass.h"
#include "model/modelsclass.h"
#include "model/newparam.h"
#include "shell/mainwindow.h"
#include "ui_model.h"

QString model::lclassIdOf(const QTreeWidgetItem *sclass) const
{
    const TreeItemData *r = RecordOf(sclass ? sclass->parent() : nullptr);
    return r ? r->GetAttr(GetStrVar(RegSlot::StrAttrID)) : QString();
}

QString model::idOf(const QTreeWidgetItem *item) const
{
    const TreeItemData *r = RecordOf(item);
    return r ? r->GetAttr(GetStrVar(RegSlot::StrAttrID)) : QString();
}

bool model::CanMakeState(const QString &name, const QTreeWidgetItem *item) const
{
    return GetItemLevel(item) == 2 && m_stateTables.CanAddState(idOf(item), lclassIdOf(item), name);
}

bool model::MakeState(const QString &name, QTreeWidgetItem *item)
{
    if (!CanMakeState(name, item))
        return false;
    m_stateTables.AddState(idOf(item), lclassIdOf(item), name);
    TreeItemData *r = RecordOf(item);
    r->SetAttr(GetStrVar(RegSlot::StrAttrParamType), QStringLiteral("1"));
    r->SetAttr(GetStrVar(RegSlot::StrAttrState), name);
    return true;
}

bool model::CanMakeTransition(const QString &transition, const QString &state) const
{
    return m_stateTables.IsState(state) && !m_stateTables.HasTransition(state, transition);
}

bool model::MakeTransition(const QString &transition, const QString &state, QTreeWidgetItem *item)
{
    if (GetItemLevel(item) != 2 || !CanMakeTransition(transition, state))
        return false;
    m_stateTables.AddTransition(state, transition);
    TreeItemData *r = RecordOf(item);
    r->SetAttr(GetStrVar(RegSlot::StrAttrParamType), QStringLiteral("2"));
    r->SetAttr(GetStrVar(RegSlot::StrAttrState), state);
    r->SetAttr(GetStrVar(RegSlot::StrAttrTransition), transition);
    return true;
}

void model::MakeNormal(QTreeWidgetItem *item)
{
    if (TreeItemData *r = RecordOf(item))
        r->SetAttr(GetStrVar(RegSlot::StrAttrParamType), QStringLiteral("0"));
}

void model::UnmakeState(QTreeWidgetItem *item)
{
    TreeItemData *r = RecordOf(item);
    if (!r)
        return;
    r->SetAttr(GetStrVar(RegSlot::StrAttrParamType), QStringLiteral("0"));
    r->SetAttr(GetStrVar(RegSlot::StrAttrState), QString());
    if (!m_stateTables.RemoveState(idOf(item))) {
        if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
            mw->SystemErrorBox(QStringLiteral("System Error: MODEL0001"));
    }
}

void model::UnmakeTransition(QTreeWidgetItem *item)
{
    TreeItemData *r = RecordOf(item);
    if (!r)
        return;
    const QString stateKey = GetStrVar(RegSlot::StrAttrState);
    const QString transitionKey = GetStrVar(RegSlot::StrAttrTransition);
    m_stateTables.RemoveTransition(r->GetAttr(stateKey), r->GetAttr(transitionKey));
    r->SetAttr(GetStrVar(RegSlot::StrAttrParamType), QStringLiteral("0"));
    r->SetAttr(stateKey, QString());
    r->SetAttr(transitionKey, QString());
}

// A small class leaving the tree takes its state or transition with it.
void model::forgetKind(QTreeWidgetItem *sclass)
{
    const TreeItemData *r = RecordOf(sclass);
    const QString kind = r->GetAttr(GetStrVar(RegSlot::StrAttrParamType));
    if (kind == QLatin1String("1"))
        m_stateTables.RemoveState(idOf(sclass));
    else if (kind == QLatin1String("2"))
        m_stateTables.RemoveTransition(r->GetAttr(GetStrVar(RegSlot::StrAttrState)),
                                       r->GetAttr(GetStrVar(RegSlot::StrAttrTransition)));
}

// The name of a state or transition is also the name of its K[N][1].
void model::renameSclassKind(QTreeWidgetItem *sclass, const QString &key, const QString &name)
{
    RecordOf(sclass)->SetAttr(key, name);
    if (sclass->childCount() > 0)
        RenameParam(sclass->child(0), name);
}

bool model::RenameState(QTreeWidgetItem *sclass, const QString &name)
{
    if (!m_stateTables.RenameState(idOf(sclass), name))
        return false;
    renameSclassKind(sclass, GetStrVar(RegSlot::StrAttrState), name);
    return true;
}

bool model::RenameTransition(QTreeWidgetItem *sclass, const QString &name, const QString &state)
{
    TreeItemData *r = RecordOf(sclass);
    if (!r || !CanMakeTransition(name, state))
        return false;
    const QString stateKey = GetStrVar(RegSlot::StrAttrState);
    const QString transitionKey = GetStrVar(RegSlot::StrAttrTransition);
    m_stateTables.RemoveTransition(r->GetAttr(stateKey), r->GetAttr(transitionKey));
    m_stateTables.AddTransition(state, name);
    r->SetAttr(stateKey, state);
    renameSclassKind(sclass, transitionKey, name);
    return true;
}

void model::RenameParam(QTreeWidgetItem *param, const QString &name)
{
    TreeItemData *r = RecordOf(param);
    if (!r)
        return;
    r->SetAttr(GetStrVar(RegSlot::StrAttrName), name);
    param->setText(ColValue, name);
    if (r->pageItem)
        r->pageItem->setText(1, name);
    TreeColumnAdjustment(m_ui->TREE);
    refreshParamPage();
}

QList<ParamList::Address> model::ParamAddresses(const QTreeWidgetItem *sclass, const QString &rowKey,
                                                const QString &colKey)
{
    QList<ParamList::Address> list;
    for (int i = 0; sclass && i < sclass->childCount(); ++i) {
        const TreeItemData *r = RecordOf(sclass->child(i));
        list.append(r ? ParamList::Address{r->GetAttr(rowKey), r->GetAttr(colKey)} : ParamList::Address{});
    }
    return list;
}

void model::SetParamAddress(QTreeWidgetItem *param, const ParamList::Address &address)
{
    TreeItemData *r = RecordOf(param);
    if (!r)
        return;
    r->SetAttr(GetStrVar(RegSlot::StrAttrRow), address.row);
    r->SetAttr(GetStrVar(RegSlot::StrAttrCol), address.col);
    const QString label = ParamList::Label(address);
    param->setText(ColParam, label);
    if (r->pageItem)
        r->pageItem->setText(0, label);
    if (r->Item())
        r->Item()->setText(0, label);
}

void model::RenumberRow(QTreeWidgetItem *sclass, QTreeWidgetItem *param)
{
    if (!sclass || !param)
        return;
    const QList<ParamList::Address> list =
        ParamAddresses(sclass, GetStrVar(RegSlot::StrAttrRow), GetStrVar(RegSlot::StrAttrCol));
    for (const ParamList::Change &c : ParamList::ShiftRow(list, sclass->indexOfChild(param)))
        SetParamAddress(sclass->child(c.index), c.address);
}

void model::refreshParamPage()
{
    if (QTreeWidgetItem *current = m_ui->TREE->currentItem())
        showPage(current);
}

void model::CreateParamDiag()
{
    QTreeWidgetItem *current = m_ui->TREE->currentItem();
    const int level = GetItemLevel(current);
    if (level < 2)
        return;
    QTreeWidgetItem *sclass = level == 2 ? current : current->parent();
    // A state or transition keeps its fixed parameters: nothing is added to it.
    if (!IsNormalKind(sclass))
        return;
    const int index = level == 3 ? sclass->indexOfChild(current) : -1;
    const ParamList::Candidates c = ParamList::ForCurrent(
        ParamAddresses(sclass, GetStrVar(RegSlot::StrAttrRow), GetStrVar(RegSlot::StrAttrCol)), index);
    NewParam *dialog = m_sclassPage->GetParamDiag();
    dialog->SetMode(0);
    dialog->SetNewParam(sclass, c.reference < 0 ? nullptr : sclass->child(c.reference), c.rows, c.cols,
                        c.follows, c.twoPositions, c.rowEnd < 0 ? nullptr : sclass->child(c.rowEnd));
    dialog->show();
}

void model::ModParamNameDiag()
{
    QTreeWidgetItem *current = m_ui->TREE->currentItem();
    if (GetItemLevel(current) != 3)
        return;
    NewParam *dialog = m_sclassPage->GetParamDiag();
    dialog->SetMode(1);
    dialog->SetModParam(current->parent(), current);
    dialog->show();
}

void model::DeleteLclassDiag()
{
    QTreeWidgetItem *current = m_ui->TREE->currentItem();
    if (GetItemLevel(current) == 1)
        m_lclassPage->OpenDeleteDiag(m_ui->TREE, current);
}

void model::DeleteSclassDiag()
{
    QTreeWidgetItem *current = m_ui->TREE->currentItem();
    if (current && !current->text(ColSclass).isEmpty())
        m_sclassPage->ShowDelSclassDiag(current);
}

void model::DeleteParamDiag()
{
    QTreeWidgetItem *current = m_ui->TREE->currentItem();
    if (GetItemLevel(current) == 3)
        m_sclassPage->ShowDelParamDiag(current);
}
