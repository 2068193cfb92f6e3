// Adding and deleting class instances: the four Instance actions, the workers the dialog calls,
// and the bookkeeping that keeps the tab's tables and everything showing a row in step.
#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "docs/instancedocument.h"
#include "instance/classinstanceindex.h"
#include "instance/createinstance.h"
#include "instance/deftab.h"
#include "instance/instancepanes.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "model/calendar.h"
#include "model/model.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_deftab.h"
#include "views/statuswidget.h"

#include <QDate>

namespace
{
QVariant pointer(void *p)
{
    return QVariant::fromValue(p);
}

} // namespace

void deftab::takeFromParent(QTreeWidgetItem *row)
{
    if (!row)
        return;
    if (QTreeWidgetItem *parent = row->parent())
        parent->removeChild(row);
    else if (QTreeWidget *tree = row->treeWidget())
        tree->takeTopLevelItem(tree->indexOfTopLevelItem(row));
}

CreateInstance *deftab::createDialog()
{
    if (!m_create)
        m_create = new CreateInstance(this);
    return m_create;
}

QString deftab::attr(int slot, const QTreeWidgetItem *row) const
{
    const TreeItemData *record = RecordOf(row);
    return record ? record->GetAttr(GetStrVar(slot)) : QString();
}

// ---- adding ----

void deftab::AddLclassInstance()
{
    // Global elements are counted over every member's instances, built first.
    EnsureAllMemberRows();
    QTreeWidgetItem *m = m_ui->MODELTREE->currentItem();
    QTreeWidgetItem *u = GetCurrentUserItem();
    QTreeWidgetItem *member = memberRowOf(u);
    const int n = member ? member->data(1, Qt::UserRole).toInt() : -1;
    // A completed member takes no further large class.
    if (!member || !IsWritableMember(n) || memberOf(n)->Completed || !CheckLclassModel(m, u))
        return;
    const QString arbitrary = GetStrVar(RegSlot::StrLabelArbitary);
    const ClassInstanceIndex *index = ClassIndexOf(m);
    const bool taken = m->text(3) != arbitrary && index && index->Count(m->text(3)) > 0;
    CreateInstance *dialog = createDialog();
    dialog->SetMode(false, false);
    dialog->SetLclass(m->text(0), m->text(3), taken ? 1 : 0, !taken);
    dialog->show();
}

bool deftab::CheckLclassModel(QTreeWidgetItem *m, QTreeWidgetItem *u)
{
    const QString title = tr("Model Set Error");
    if (!m || m->parent()) {
        UiReport::Error(title, tr("Please select Model LClass"));
        return false;
    }
    if (m->text(3) == GetStrVar(RegSlot::StrLabelArbitary))
        return true;
    if (HasChildItem(memberRowOf(u), m->text(0), m->text(3))) {
        UiReport::Error(title, tr("LClass is exist in instance"));
        return false;
    }
    return true;
}

TreeItemData *deftab::newClassRecord(QTreeWidgetItem *member, QTreeWidgetItem *modelRow, int number,
                                     QString *key)
{
    auto *record = new TreeItemData;
    record->name = QString::number(member->data(1, Qt::UserRole).toInt());
    record->SetAttr(GetStrVar(RegSlot::StrAttrID), QString::number(number));
    const TreeItemData *modelRecord = model::RecordOf(LinkedRow(modelRow, 0));
    record->SetAttr(GetStrVar(RegSlot::StrAttrMID),
                    modelRecord ? modelRecord->GetAttr(GetStrVar(RegSlot::StrAttrID)) : QString());
    *key = KeyOf(record, GetStrVar(RegSlot::StrAttrID));
    return record;
}

void deftab::setElementAttrs(TreeItemData *record, QTreeWidgetItem *row, const QString &element)
{
    const QString arbitrary = GetStrVar(RegSlot::StrLabelArbitary);
    record->SetAttr(GetStrVar(RegSlot::StrAttrArbitary),
                    element == arbitrary ? QStringLiteral("1") : QStringLiteral("0"));
    record->SetAttr(GetStrVar(RegSlot::StrAttrElement), element);
    row->setText(4, element);
}

void deftab::finishNewRow(QTreeWidgetItem *row, TreeItemData *record, QTreeWidgetItem *modelRow,
                          const QString &key, int scope)
{
    record->SetAttr(GetStrVar(RegSlot::StrAttrProgressRate), QStringLiteral("0"));
    record->SetAttr(GetStrVar(RegSlot::StrAttrEstimatedHours), QStringLiteral("0"));
    record->SetAttr(GetStrVar(RegSlot::StrAttrScope), QString::number(scope));
    SetScopeIcon(record, row);
    row->setText(5, QStringLiteral("I") + key);
    row->setData(4, Qt::UserRole, pointer(modelRow));
    row->setData(3, Qt::UserRole, pointer(nullptr));
    m_rows.insert(key, row);
    makeElementMirrors(record, key, true);
    RegisterModelInstance(row, record);
    row->setData(0, Qt::UserRole, TreeItemData::ToData(record));
    m_scheduleRefresh = m_documentRefresh = m_qandaRefresh = true;
}

// The start date of a new large class: today, or the member's start when that lies ahead; the
// member's earliest large-class start follows it down.
QString deftab::newStartDate(int n) const
{
    QDate taken = QDate::currentDate();
    MemberInfo *m = memberOf(n);
    if (m && Calendar::StrToDate(m->StartDate).isValid() && Calendar::StrToDate(m->StartDate) > taken)
        taken = Calendar::StrToDate(m->StartDate);
    if (m && Calendar::StrToDate(m->EarliestStart).isValid() && Calendar::StrToDate(m->EarliestStart) > taken)
        m->EarliestStart = taken.toString(QStringLiteral("yyyy/MM/dd"));
    return taken.toString(QStringLiteral("yyyy/MM/dd"));
}

bool deftab::CreateLclassInstance(const QString &name, const QString &element, int scope)
{
    EnsureAllMemberRows();
    QTreeWidgetItem *m = m_ui->MODELTREE->currentItem();
    QTreeWidgetItem *p = memberRowOf(GetCurrentUserItem());
    if (!m || !p)
        return false;
    ClassInstanceIndex *index = ClassIndexOf(m);
    if (HasChildItem(p, name, element)) {
        SetStrVar(RegSlot::StrLastError, tr("Element name is already exist"));
        return false;
    }
    if (scope == 0 && index && index->Count(element) > 0) {
        SetStrVar(RegSlot::StrLastError, tr("global of Element name is already exist"));
        return false;
    }
    const int n = p->data(1, Qt::UserRole).toInt();
    const QList<int> numbers = TakeNewNumbers(p, 1);
    if (numbers.isEmpty())
        return false;
    QString key;
    TreeItemData *record = newClassRecord(p, m, numbers.first(), &key);
    auto *row = new QTreeWidgetItem;
    row->setText(1, name);
    record->SetAttr(GetStrVar(RegSlot::StrAttrName), name);
    row->setIcon(0, SharedIcon::Get(SharedIcon::Lclass));
    setElementAttrs(record, row, element);
    record->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), newStartDate(n));
    finishNewRow(row, record, m, key, scope);
    if (index)
        index->keys.append(key);
    if (scope == 0 && index)
        index->Add(element, key);
    else if (scope == 0)
        UiReport::System(QStringLiteral("System Error: INST0002"));
    p->addChild(row);
    m_ui->USERTREE->setCurrentItem(row);
    SetModify();
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->SetInstanceModify(n);
    return true;
}

QTreeWidgetItem *deftab::lclassRowOf(QTreeWidgetItem *row)
{
    switch (Level(row)) {
    case 1:
        return row;
    case 2:
        return row->parent();
    case 3:
        return row->parent()->parent();
    default:
        return nullptr;
    }
}

void deftab::AddSclassInstance()
{
    EnsureAllMemberRows();
    QTreeWidgetItem *l = lclassRowOf(GetCurrentUserItem());
    if (!l || !IsWritableMember(memberRowOf(l)->data(1, Qt::UserRole).toInt()))
        return;
    const QString title = tr("Select Model Error");
    QTreeWidgetItem *m = m_ui->MODELTREE->currentItem();
    if (!m || !m->parent() || m->parent()->parent()) {
        UiReport::Error(title, tr("sclass of model is not select"));
        return;
    }
    QTreeWidgetItem *mm = LinkedRow(m, 0);
    const TreeItemData *modelParent = model::RecordOf(mm ? mm->parent() : nullptr);
    const QString parentId = modelParent ? modelParent->GetAttr(GetStrVar(RegSlot::StrAttrID)) : QString();
    if (parentId != attr(RegSlot::StrAttrMID, l)) {
        UiReport::Error(title, tr("lclass of model and instance is different"));
        return;
    }
    const QString arbitrary = GetStrVar(RegSlot::StrLabelArbitary);
    if (m->text(3) != arbitrary) {
        for (int i = 0; i < l->childCount(); ++i) {
            if (l->child(i)->text(2) == m->text(1) && l->child(i)->text(4) == m->text(3)) {
                UiReport::Error(title, tr("sclass of model exist same class"));
                return;
            }
        }
    }
    const ClassInstanceIndex *index = ClassIndexOf(m);
    const bool taken =
        m->text(3) != arbitrary && index && index->Count(l->text(4) + QLatin1Char(':') + m->text(3)) > 0;
    CreateInstance *dialog = createDialog();
    dialog->SetMode(true, false);
    dialog->SetSclass(l->text(1), l->text(4), attr(RegSlot::StrAttrScope, l).toInt(), LclassGlobalFree(l),
                      m->text(1), m->text(3), taken ? 1 : 0, true);
    dialog->show();
}

bool deftab::LclassGlobalFree(QTreeWidgetItem *l)
{
    EnsureAllMemberRows();
    if (!l)
        return false;
    const QString path = l->parent() ? MakeIdPath(l->parent(), l) : l->text(4);
    model *mdl = modelEditor();
    const TreeItemData *modelRecord =
        model::RecordOf(mdl ? mdl->FindItem(attr(RegSlot::StrAttrMID, l)) : nullptr);
    const ClassInstanceIndex *index = ClassIndexOf(modelRecord ? modelRecord->instanceItem : nullptr);
    return index && index->Count(path) == 0;
}

bool deftab::CreateSclassInstance(const QString &element, int scope)
{
    EnsureAllMemberRows();
    QTreeWidgetItem *l = lclassRowOf(GetCurrentUserItem());
    QTreeWidgetItem *m = m_ui->MODELTREE->currentItem();
    QTreeWidgetItem *mm = LinkedRow(m, 0);
    const TreeItemData *modelRecord = model::RecordOf(mm);
    if (!l || !modelRecord)
        return false;
    for (int i = 0; i < l->childCount(); ++i) {
        if (l->child(i)->text(2) == m->text(1) && l->child(i)->text(4) == element) {
            SetStrVar(RegSlot::StrLastError, tr("Element name is already exist"));
            return false;
        }
    }
    QTreeWidgetItem *p = l->parent();
    const int n = p->data(1, Qt::UserRole).toInt();
    // The small class and each of its parameters take a number.
    const QList<int> numbers = TakeNewNumbers(p, 1 + (mm ? mm->childCount() : 0));
    if (numbers.isEmpty())
        return false;
    QString key;
    TreeItemData *record = newClassRecord(p, m, numbers.first(), &key);
    const QString typeAttr = GetStrVar(RegSlot::StrAttrParamType);
    const QString stateAttr = GetStrVar(RegSlot::StrAttrState);
    const QString mid = record->GetAttr(GetStrVar(RegSlot::StrAttrMID));
    record->SetAttr(typeAttr, modelRecord->GetAttr(typeAttr));
    const int kind = modelRecord->GetAttr(typeAttr).toInt();
    if (kind == 1) {
        m_stateInstances.insert(mid, key);
        record->SetAttr(stateAttr, modelRecord->GetAttr(stateAttr));
    } else if (kind == 2) {
        m_transitions.insert(key, modelRecord->GetAttr(stateAttr));
        record->SetAttr(stateAttr, FindChildKey(l, modelRecord->GetAttr(stateAttr)));
        const QString transitionAttr = GetStrVar(RegSlot::StrAttrTransition);
        record->SetAttr(transitionAttr, modelRecord->GetAttr(transitionAttr));
    }
    auto *row = new QTreeWidgetItem;
    row->setText(2, m->text(1));
    record->SetAttr(GetStrVar(RegSlot::StrAttrName), m->text(1));
    row->setIcon(0, SharedIcon::Get(SharedIcon::Sclass));
    setElementAttrs(record, row, element);
    record->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), attr(RegSlot::StrAttrStartDate, l));
    record->SetAttr(GetStrVar(RegSlot::StrAttrMaxParam), QString::number(m_defaultMaxParam));
    auto *companion = new QTreeWidgetItem;
    companion->setText(0, modelRecord->GetAttr(GetStrVar(RegSlot::StrAttrName)));
    companion->setText(1, element);
    companion->setIcon(0, SharedIcon::Get(SharedIcon::Sclass));
    companion->setData(0, Qt::UserRole, pointer(row));
    record->pageItem = companion;
    row->setData(2, Qt::UserRole, pointer(companion));
    finishNewRow(row, record, m, key, scope);
    l->addChild(row);
    CreateParamInstances(p, mm, row, numbers.mid(1));
    row->setExpanded(true);
    if (kind == 1)
        LinkStateTarget(row, mid);
    SetModify();
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->SetInstanceModify(n);
    m_ui->USERTREE->setCurrentItem(row);
    return true;
}

// A parameter keeps the model parameter's name, the text its row shows.
void deftab::CreateParamInstances(QTreeWidgetItem *p, QTreeWidgetItem *mm, QTreeWidgetItem *s,
                                  const QList<int> &numbers)
{
    const QString n = QString::number(p->data(1, Qt::UserRole).toInt());
    for (int i = 0; mm && i < mm->childCount() && i < numbers.size(); ++i) {
        QTreeWidgetItem *c = mm->child(i);
        const TreeItemData *modelRecord = model::RecordOf(c);
        if (!modelRecord)
            continue;
        auto *record = new TreeItemData;
        record->name = n;
        record->SetAttr(GetStrVar(RegSlot::StrAttrID), QString::number(numbers.at(i)));
        record->SetAttr(GetStrVar(RegSlot::StrAttrMID), modelRecord->GetAttr(GetStrVar(RegSlot::StrAttrID)));
        for (int slot : {RegSlot::StrAttrRow, RegSlot::StrAttrCol})
            record->SetAttr(GetStrVar(slot), modelRecord->GetAttr(GetStrVar(slot)));
        record->SetAttr(GetStrVar(RegSlot::StrAttrName), c->text(3));
        const QString key = KeyOf(record, GetStrVar(RegSlot::StrAttrID));
        auto *row = new QTreeWidgetItem;
        row->setIcon(0, SharedIcon::Get(SharedIcon::Param));
        row->setText(3, c->text(2));
        row->setText(4, c->text(3));
        row->setText(5, QStringLiteral("I") + key);
        row->setData(4, Qt::UserRole, pointer(modelRecord->instanceItem));
        row->setData(3, Qt::UserRole, pointer(nullptr));
        m_rows.insert(key, row);
        auto *companion = new QTreeWidgetItem;
        companion->setText(0, c->text(2));
        companion->setText(1, c->text(3));
        companion->setIcon(0, SharedIcon::Get(SharedIcon::Param));
        companion->setData(1, Qt::UserRole, pointer(row));
        row->setData(1, Qt::UserRole, pointer(companion));
        record->pageItem = companion;
        makeElementMirrors(record, key, false);
        row->setData(0, Qt::UserRole, TreeItemData::ToData(record));
        s->addChild(row);
    }
}

// ---- deleting ----

void deftab::DelLclassInstance()
{
    EnsureAllMemberRows();
    QTreeWidgetItem *r = GetCurrentUserItem();
    if (Level(r) != 1 || !IsWritableMember(memberRowOf(r)->data(1, Qt::UserRole).toInt()))
        return;
    const ClassInstanceIndex *index = ClassIndexOf(LinkedRow(r, 4));
    const bool plain = !index || index->Count(r->text(4)) <= 1;
    CreateInstance *dialog = createDialog();
    dialog->SetMode(false, true);
    dialog->SetLclass(r->text(1), r->text(4), attr(RegSlot::StrAttrScope, r).toInt(), plain);
    dialog->show();
}

void deftab::DelSclassInstance()
{
    EnsureAllMemberRows();
    QTreeWidgetItem *s = GetCurrentUserItem();
    if (Level(s) != 2 || !IsWritableMember(memberRowOf(s)->data(1, Qt::UserRole).toInt()))
        return;
    QTreeWidgetItem *l = s->parent();
    const ClassInstanceIndex *lindex = ClassIndexOf(LinkedRow(l, 4));
    const ClassInstanceIndex *sindex = ClassIndexOf(LinkedRow(s, 4));
    const int a = lindex ? lindex->Count(l->text(4)) : 0;
    const int b = sindex ? sindex->Count(MakeIdPath(l, s)) : 0;
    CreateInstance *dialog = createDialog();
    dialog->SetMode(true, true);
    dialog->SetSclass(l->text(1), l->text(4), attr(RegSlot::StrAttrScope, l).toInt(), a < 2 && b < 2,
                      s->text(2), s->text(4), attr(RegSlot::StrAttrScope, s).toInt(), true);
    dialog->show();
}

// Everything that may hold the row (or a row below it) lets go of it before it is freed: the
// panes and their date dialogs, the value table, the explanation editor, the parameter-property
// refresh, the instance document's element view, and whoever listens to RowDeleting.
void deftab::ReleaseRow(QTreeWidgetItem *row)
{
    for (int i = 0; i < row->childCount(); ++i)
        ReleaseRow(row->child(i));
    QTreeWidgetItem *shown = m_valueTable->GetShownRow();
    if (shown && (shown == row || shown->parent() == row))
        m_valueTable->ClearTable();
    m_lclassPane->ReleaseRow(row);
    m_sclassPane->ReleaseRow(row);
    if (m_propParam == row || m_propSclass == row) {
        m_propParam = m_propSclass = nullptr;
        m_propRecord = nullptr;
    }
    TreeItemData *record = RecordOf(row);
    if (record && m_explain->EditItem() == record)
        SetExplanationRecord(nullptr);
    if (auto *document = GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument))
        document->ReleaseElement(row);
    emit RowDeleting(row);
}

// A deleted global instance gives its element back, so another may take it at once.
void deftab::releaseGlobal(QTreeWidgetItem *row, const QString &path, const QString &key)
{
    ClassInstanceIndex *index = ClassIndexOf(LinkedRow(row, 4));
    if (!index)
        return;
    index->keys.removeOne(key);
    if (attr(RegSlot::StrAttrScope, row).toInt() != 0 || !index->Remove(path, key))
        return;
    if (index->Count(path) == 1) {
        if (QTreeWidgetItem *other = FindTreeItem(index->byElement.value(path).first()))
            other->setIcon(1, SharedIcon::Get(SharedIcon::Global));
    }
}

// Every way a row goes ends here: its mirrors leave the document, schedule and Q&A trees, then
// its page item and record go and the row no longer points at the record.
void deftab::freeRecord(QTreeWidgetItem *row, TreeItemData *record)
{
    for (QTreeWidgetItem *mirror : {record->docRow, record->scheduleRow, record->qandaRow}) {
        takeFromParent(mirror);
        delete mirror;
    }
    delete record->pageItem;
    delete record;
    row->setData(0, Qt::UserRole, TreeItemData::ToData(nullptr));
}

// The last step of every deletion: the row's chapter tie, mirrors, record and the row itself.
void deftab::freeClassRow(QTreeWidgetItem *row, TreeItemData *record)
{
    UnlinkChapter(row);
    freeRecord(row, record);
    m_deletedRow = true;
    m_takingRows = true;
    takeFromParent(row);
    m_takingRows = false;
    delete row;
}

bool deftab::DeleteLclassItem()
{
    EnsureAllMemberRows();
    QTreeWidgetItem *r = GetCurrentUserItem();
    if (Level(r) != 1 || !RecordOf(r))
        return false;
    while (r->childCount() > 0)
        DeleteSclassItem(r->child(0));
    ReleaseRow(r);
    TreeItemData *record = RecordOf(r);
    const QString key = KeyOf(record, GetStrVar(RegSlot::StrAttrID));
    const int n = record->name.toInt();
    UnregisterModelInstance(r, record);
    releaseGlobal(r, r->text(4), key);
    UnregisterKey(key);
    freeClassRow(r, record);
    m_scheduleRefresh = m_documentRefresh = m_qandaRefresh = true;
    SetModify();
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->SetInstanceModify(n);
    showAfterDeletion();
    return true;
}

bool deftab::DeleteCurrentSclass()
{
    QTreeWidgetItem *s = GetCurrentUserItem();
    if (Level(s) != 2 || !RecordOf(s))
        return false;
    SetModify();
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->SetInstanceModify(RecordOf(s)->name.toInt());
    DeleteSclassItem(s);
    m_scheduleRefresh = m_documentRefresh = m_qandaRefresh = true;
    return true;
}

bool deftab::DeleteSclassItem(QTreeWidgetItem *s)
{
    EnsureAllMemberRows();
    if (!RecordOf(s))
        return false;
    ReleaseRow(s);
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    while (s->childCount() > 0) {
        m_takingRows = true;
        std::unique_ptr<QTreeWidgetItem> param(s->takeChild(0));
        m_takingRows = false;
        TreeItemData *precord = RecordOf(param.get());
        if (!precord)
            continue;
        UnregisterKey(KeyOf(precord, idAttr));
        m_sclassPane->TakeParamItem(precord->pageItem);
        UnlinkChapter(param.get());
        freeRecord(param.get(), precord);
    }
    TreeItemData *record = RecordOf(s);
    const QString key = KeyOf(record, idAttr);
    UnregisterModelInstance(s, record);
    releaseGlobal(s, MakeIdPath(s->parent(), s), key);
    UnregisterKey(key);
    if (QTreeWidgetItem *companion = LinkedRow(s, 2)) {
        m_lclassPane->TakeSclassItem(companion);
        if (record->pageItem == companion)
            record->pageItem = nullptr;
        delete companion;
    }
    const int kind = record->GetAttr(GetStrVar(RegSlot::StrAttrParamType)).toInt();
    if (kind == 1)
        m_stateInstances.remove(record->GetAttr(GetStrVar(RegSlot::StrAttrMID)), key);
    else if (kind == 2)
        m_transitions.remove(key);
    freeClassRow(s, record);
    showAfterDeletion();
    return true;
}

void deftab::UnregisterKey(const QString &key)
{
    if (!m_rows.value(key)) {
        UiReport::System(QStringLiteral("System Error: INST0001"));
        return;
    }
    m_rows.remove(key);
}

void deftab::UnregisterModelInstance(QTreeWidgetItem *row, TreeItemData *record)
{
    auto it = m_modelInstances.find(record->GetAttr(GetStrVar(RegSlot::StrAttrMID)));
    if (it != m_modelInstances.end())
        it->removeOne(row);
}

// The row shown after a deletion is shown fresh: the deleted-row flag must not keep its pane
// from being committed when the user moves on.
void deftab::showAfterDeletion()
{
    UserTreeChanged(m_ui->USERTREE->currentItem(), nullptr);
    m_deletedRow = false;
}

// ---- action states and the state page ----

void deftab::SetAddActions(QTreeWidgetItem *u, QTreeWidgetItem *mm)
{
    if (u && !u->parent() && mm) {
        const TreeItemData *modelRecord = model::RecordOf(mm);
        const QString id = modelRecord ? modelRecord->GetAttr(GetStrVar(RegSlot::StrAttrID)) : QString();
        bool used = false;
        for (int i = 0; i < u->childCount() && !used; ++i)
            used = attr(RegSlot::StrAttrMID, u->child(i)) == id;
        if (mm->text(3) == GetStrVar(RegSlot::StrLabelArbitary) || !used)
            m_actions[0] = true;
    }
    ApplyInstanceActions();
}

void deftab::ApplyInstanceActions()
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SetInstanceActions(m_actions[0], m_actions[1], m_actions[2], m_actions[3]);
}

bool deftab::AddStateRow(QTreeWidget *tree, QTreeWidgetItem *t, QTreeWidgetItem *s)
{
    const TreeItemData *trec = RecordOf(t);
    const TreeItemData *srec = RecordOf(s);
    if (!tree || !trec || !srec)
        return false;
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    const QString skey = KeyOf(srec, idAttr);
    const QString tkey = KeyOf(trec, idAttr);
    const MemberInfo *m = memberOf(trec->name.toInt());
    const bool other = !m || m->OtherUser != 0;
    auto *row = new QTreeWidgetItem(tree);
    row->setText(0, memberRowOf(t)->text(0));
    row->setText(1, srec->GetAttr(GetStrVar(RegSlot::StrAttrState)));
    row->setText(2, QStringLiteral("I") + skey);
    row->setText(3, trec->GetAttr(GetStrVar(RegSlot::StrAttrTransition)));
    row->setText(4, QStringLiteral("I") + tkey);
    row->setIcon(0, SharedIcon::Get(other ? SharedIcon::Other : SharedIcon::User));
    row->setData(0, Qt::UserRole, skey);
    row->setData(1, Qt::UserRole, tkey);
    row->setData(3, Qt::UserRole, other ? 1 : 0);
    return true;
}

void deftab::SyncStatusWidget()
{
    EnsureAllMemberRows();
    auto *state = GetObj<StatusWidget>(RegSlot::ObjStatusWidget);
    if (!state)
        return;
    state->ClearStatus();
    QTreeWidget *tree = state->GetTree();
    const QString stateAttr = GetStrVar(RegSlot::StrAttrState);
    for (auto it = m_transitions.cbegin(); it != m_transitions.cend(); ++it) {
        QTreeWidgetItem *t = m_rows.value(it.key());
        const QString stateKey = attr(RegSlot::StrAttrState, t);
        if (t && !stateKey.isEmpty() && m_rows.value(stateKey))
            AddStateRow(tree, t, m_rows.value(stateKey));
    }
    TreeColumnAdjustment(tree);
}
