#include "core/treeitemdata.h"
#include "model/deleteparamdiag.h"
#include "model/deletesclassdiag.h"
#include "model/model.h"
#include "model/modelsclass.h"
#include "model/newparam.h"
#include "ui_modelsclass.h"

#include <QTreeWidget>

void ModelSClass::SetParamKind(int kind, const QString &text1, const QString &text2)
{
    m_paramKind = kind;
    m_paramText1 = text1;
    m_paramText2 = text2;
}

bool ModelSClass::CanAddParam(const QTreeWidgetItem *sclass) const
{
    const model *m = editor();
    if (!m || model::GetItemLevel(sclass) != 2)
        return false;
    if (m_paramKind == 1)
        return sclass->childCount() == 0 && m->CanMakeState(m_paramText1, sclass);
    if (m_paramKind == 2)
        return sclass->childCount() == 0 && m->CanMakeTransition(m_paramText2, m_paramText1);
    return true;
}

// The list shows the parameters of the small class on show only.
QTreeWidget *ModelSClass::paramListOf(const QTreeWidgetItem *sclass) const
{
    return sclass && sclass == m_sclass ? m_ui->PARAM_TREE : nullptr;
}

QTreeWidgetItem *ModelSClass::newParam(QTreeWidgetItem *sclass, int index, const QString &row,
                                       const QString &col, const QString &name)
{
    model *m = editor();
    auto *record = new TreeItemData;
    record->SetAttr(GetStrVar(RegSlot::StrAttrName), name);
    record->SetAttr(GetStrVar(RegSlot::StrAttrRow), row);
    record->SetAttr(GetStrVar(RegSlot::StrAttrCol), col);
    record->SetAttr(GetStrVar(RegSlot::StrAttrID), QString::number(m->GetNextID()));
    m->SetModified(true);
    m->IncrementID();
    QTreeWidgetItem *item = m->MakeItem(record, 3);
    sclass->insertChild(index, item);
    if (QTreeWidget *list = paramListOf(sclass))
        list->insertTopLevelItem(index, record->pageItem);
    return item;
}

bool ModelSClass::AddParam(QTreeWidgetItem *sclass, QTreeWidgetItem *ref, const QString &row,
                           const QString &col, const QString &name, bool after)
{
    model *m = editor();
    if (!CanAddParam(sclass) || !m->IdsLeft(m_paramKind == 2 ? 3 : 1))
        return false;
    const bool fixed = m_paramKind == 1 || m_paramKind == 2;
    const int at =
        ref && ref->parent() == sclass ? sclass->indexOfChild(ref) + (after ? 1 : 0) : sclass->childCount();
    const QString id = QString::number(m->GetNextID());
    QTreeWidgetItem *item =
        newParam(sclass, at, fixed ? QStringLiteral("N") : row, fixed ? QStringLiteral("1") : col, name);
    if (m_paramKind == 1) {
        m->MakeState(m_paramText1, sclass);
    } else if (m_paramKind == 2) {
        m->MakeTransition(m_paramText2, m_paramText1, sclass);
        AddTransitionParams(sclass, id);
    } else {
        m->MakeNormal(sclass);
    }
    TreeColumnAdjustment(m->GetTree());
    if (QTreeWidget *list = paramListOf(sclass))
        list->setCurrentItem(model::RecordOf(item)->pageItem);
    return true;
}

void ModelSClass::AddTransitionParams(QTreeWidgetItem *sclass, const QString &transitionId)
{
    const QString ends[2] = {GetStrVar(RegSlot::StrAttrFromState), GetStrVar(RegSlot::StrAttrToState)};
    const int labels[2] = {RegSlot::StrColFromState, RegSlot::StrColToState};
    for (int i = 0; i < 2; ++i) {
        QTreeWidgetItem *item = newParam(sclass, sclass->childCount(), QStringLiteral("N"),
                                         QString::number(i + 2), GetStrVar(labels[i]));
        model::RecordOf(item)->SetAttr(ends[i], transitionId);
    }
}

int ModelSClass::GetDelKind(const QTreeWidgetItem *sclass) const
{
    const TreeItemData *r = model::RecordOf(sclass);
    const QString kind = r ? r->GetAttr(GetStrVar(RegSlot::StrAttrParamType)) : QString();
    return kind == QLatin1String("1") ? 2 : kind == QLatin1String("2") ? 3 : 0;
}

void ModelSClass::DelParam(QTreeWidgetItem *param, int kind)
{
    model *m = editor();
    QTreeWidgetItem *sclass = param ? param->parent() : nullptr;
    const int i = sclass ? sclass->indexOfChild(param) : -1;
    if (!m || i < 0)
        return;
    if (kind == 0) {
        RenumberParams(sclass, i);
        RemoveParam(sclass, i);
    } else {
        if (kind == 2)
            m->UnmakeState(sclass);
        else
            m->UnmakeTransition(sclass);
        while (sclass->childCount() > 0)
            RemoveParam(sclass, 0);
    }
    TreeColumnAdjustment(m->GetTree());
    m->SetCurrentItem(sclass);
    m->SetModified(true);
    m->ModelChanged();
    m->IsUpdateLocked();
}

void ModelSClass::RemoveParam(QTreeWidgetItem *sclass, int position)
{
    if (model *m = editor(); m && sclass && position >= 0 && position < sclass->childCount())
        m->RemoveClassItem(sclass->child(position));
}

void ModelSClass::RenumberParams(QTreeWidgetItem *sclass, int position)
{
    model *m = editor();
    if (!m || !sclass)
        return;
    const QList<ParamList::Address> list =
        model::ParamAddresses(sclass, GetStrVar(RegSlot::StrAttrRow), GetStrVar(RegSlot::StrAttrCol));
    for (const ParamList::Change &c : ParamList::Renumber(list, position))
        m->SetParamAddress(sclass->child(c.index), c.address);
}

void ModelSClass::ParseParamLabel(const QString &label, int *row, int *col)
{
    ParamList::ParseLabel(label, row, col);
}

QString ModelSClass::MakeParamLabel(int row, int col)
{
    return ParamList::MakeLabel(row, col);
}

NewParam *ModelSClass::GetParamDiag()
{
    if (!m_paramDiag)
        m_paramDiag = std::make_unique<NewParam>();
    return m_paramDiag.get();
}

void ModelSClass::ShowDelParamDiag(QTreeWidgetItem *item)
{
    if (!m_delParamDiag)
        m_delParamDiag = std::make_unique<DeleteParamDiag>();
    if (model *m = editor())
        m_delParamDiag->SetItem(m->GetTree(), item);
    m_delParamDiag->show();
}

void ModelSClass::ForgetDeleteRow(const QTreeWidgetItem *going)
{
    if (m_delParamDiag)
        m_delParamDiag->ForgetRow(going);
    if (m_delSclassDiag)
        m_delSclassDiag->ForgetRow(going);
}

void ModelSClass::ShowDelSclassDiag(QTreeWidgetItem *item)
{
    if (!m_delSclassDiag)
        m_delSclassDiag = std::make_unique<DeleteSclassDiag>();
    if (model *m = editor())
        m_delSclassDiag->SetItem(m->GetTree(), item);
    m_delSclassDiag->show();
}
