#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "docs/modeldoc.h"
#include "model/daterules.h"
#include "model/model.h"
#include "model/modellclass.h"
#include "model/modelsclass.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_model.h"

#include <QDate>

namespace
{
QVariant pointerData(void *p)
{
    return QVariant::fromValue(p);
}

// What a row shows of a name. Every tree that copies the model's rows lays the text out again at
// each column fit, and there are dozens of fits in an open and a run: a name of megabytes from a
// model.xml made them take minutes. The record keeps the whole name; rows show its start.
QString shownName(const QString &name)
{
    constexpr int MaxShown = 1000;
    return name.size() <= MaxShown ? name : name.left(MaxShown) + QChar(0x2026);
}
} // namespace

TreeItemData *model::RecordOf(const QTreeWidgetItem *item)
{
    return item ? TreeItemData::FromData(item->data(ColLclass, Qt::UserRole)) : nullptr;
}

int model::GetItemLevel(const QTreeWidgetItem *item)
{
    if (!item)
        return 0;
    if (!item->parent())
        return 1;
    return item->parent()->parent() ? 3 : 2;
}

bool model::IsWithin(const QTreeWidgetItem *item, const QTreeWidgetItem *going)
{
    if (!item)
        return false;
    for (const QTreeWidgetItem *i = item; i; i = i->parent()) {
        if (i == going)
            return true;
    }
    return !going;
}

QIcon model::GetItemIcon(const QTreeWidgetItem *item) const
{
    static const char *const icons[3] = {":src/lclass.png", ":src/sclass.png", ":src/param.png"};
    const int level = GetItemLevel(item);
    return level ? QIcon(QString::fromLatin1(icons[level - 1])) : QIcon();
}

QTreeWidget *model::GetTree() const
{
    return m_ui->TREE;
}

QTreeWidgetItem *model::GetCurrentItem() const
{
    return m_ui->TREE->currentItem();
}

void model::SetCurrentItem(QTreeWidgetItem *item)
{
    m_ui->TREE->setCurrentItem(item);
}

void model::AddToIdTable(const QString &id, QTreeWidgetItem *item)
{
    m_ids.insert(id, item);
}

void model::RemoveID(const QString &id)
{
    m_ids.remove(id);
}

QString model::ElementLabel(const TreeItemData *record) const
{
    const QString element = record->GetAttr(GetStrVar(RegSlot::StrAttrElement));
    return element == ModelFile::ArbitraryCode ? GetStrVar(RegSlot::StrLabelArbitary) : element;
}

void model::SetElementAttr(TreeItemData *record, const QString &element)
{
    record->SetAttr(GetStrVar(RegSlot::StrAttrElement),
                    element == GetStrVar(RegSlot::StrLabelArbitary) ? ModelFile::ArbitraryCode : element);
}

QTreeWidgetItem *model::topLevelOf(QTreeWidgetItem *item) const
{
    while (item && item->parent())
        item = item->parent();
    return item;
}

// The class-tree row of a record, with the two rows the record owns: its entry in the model
// document's class tree and, for a small class or parameter, its row on the small-class page.
QTreeWidgetItem *model::MakeItem(TreeItemData *record, int level)
{
    const QString id = record->GetAttr(GetStrVar(RegSlot::StrAttrID));
    const QString name = shownName(record->GetAttr(GetStrVar(RegSlot::StrAttrName)));
    auto *item = new QTreeWidgetItem;
    item->setData(ColLclass, Qt::UserRole, TreeItemData::ToData(record));
    item->setText(ColId, QStringLiteral("M") + id);
    if (level == 3) {
        const QString address = QStringLiteral("K[%1][%2]")
                                    .arg(record->GetAttr(GetStrVar(RegSlot::StrAttrRow)),
                                         record->GetAttr(GetStrVar(RegSlot::StrAttrCol)));
        item->setText(ColParam, address);
        item->setText(ColValue, name);
        auto *page = new QTreeWidgetItem;
        page->setText(0, address);
        page->setText(1, name);
        page->setIcon(0, SharedIcon::Get(SharedIcon::Param));
        page->setData(1, Qt::UserRole, pointerData(item));
        item->setData(1, Qt::UserRole, pointerData(page));
        record->pageItem = page;
    } else {
        item->setText(level == 1 ? ColLclass : ColSclass, name);
        item->setText(ColValue, ElementLabel(record));
        if (level == 2) {
            auto *page = new QTreeWidgetItem;
            page->setText(0, name);
            page->setText(1, ElementLabel(record));
            page->setIcon(0, SharedIcon::Get(SharedIcon::Sclass));
            item->setData(ColParam, Qt::UserRole, pointerData(page));
            record->pageItem = page;
        }
    }
    // Shared: an icon read from its file for each of thousands of rows costs more than the row.
    static const SharedIcon::Id icons[3] = {SharedIcon::Lclass, SharedIcon::Sclass, SharedIcon::Param};
    item->setIcon(0, SharedIcon::Get(icons[level - 1]));
    auto *docItem = new QTreeWidgetItem;
    docItem->setText(0, level == 3 ? item->text(ColParam) : name);
    docItem->setData(1, Qt::UserRole, id);
    record->SetItem(docItem);
    AddToIdTable(id, item);
    return item;
}

void model::buildItems(const QList<ModelFile::Node> &lclasses)
{
    const QString kindKey = GetStrVar(RegSlot::StrAttrParamType);
    QStringList starts;
    QStringList targets;
    // Built apart from the tree and added at once: rows added one by one each notify the view.
    QList<QTreeWidgetItem *> rows;
    for (const ModelFile::Node &l : lclasses) {
        starts << l.record->GetAttr(GetStrVar(RegSlot::StrAttrStartDate));
        targets << l.record->GetAttr(GetStrVar(RegSlot::StrAttrTargetDate));
        QTreeWidgetItem *lclass = MakeItem(l.record, 1);
        rows.append(lclass);
        for (const ModelFile::Node &s : l.children) {
            QTreeWidgetItem *sclass = MakeItem(s.record, 2);
            lclass->addChild(sclass);
            const bool transition = s.record->GetAttr(kindKey) == QLatin1String("2");
            for (int i = 0; i < s.children.size(); ++i) {
                QTreeWidgetItem *param = MakeItem(s.children.at(i).record, 3);
                // A transition's columns are fixed: its name, then the states it leads from and to.
                if (transition && i > 0) {
                    const QString label = i == 1   ? GetStrVar(RegSlot::StrColFromState)
                                          : i == 2 ? GetStrVar(RegSlot::StrColToState)
                                                   : QString();
                    param->setText(ColValue, label);
                    s.children.at(i).record->pageItem->setText(1, label);
                }
                sclass->addChild(param);
            }
        }
    }
    m_ui->TREE->addTopLevelItems(rows);
    // The date dialog holds the large classes to these bounds from the first date set on.
    SetStrVar(RegSlot::StrLclassEarliestStart, DateRules::Earliest(starts));
    SetStrVar(RegSlot::StrLclassLatestTarget, DateRules::Latest(targets));
}

// A model file may hold what this program would refuse (two states of one name, a transition
// twice): it is taken as it is.
void model::buildStateTables()
{
    const QString kindKey = GetStrVar(RegSlot::StrAttrParamType);
    const QString stateKey = GetStrVar(RegSlot::StrAttrState);
    const QString idKey = GetStrVar(RegSlot::StrAttrID);
    m_stateTables.Clear();
    for (int i = 0; i < m_ui->TREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *lclass = m_ui->TREE->topLevelItem(i);
        const QString lclassId = RecordOf(lclass)->GetAttr(idKey);
        for (int j = 0; j < lclass->childCount(); ++j) {
            const TreeItemData *r = RecordOf(lclass->child(j));
            const QString kind = r->GetAttr(kindKey);
            if (kind == QLatin1String("1"))
                m_stateTables.LoadState(r->GetAttr(idKey), lclassId, r->GetAttr(stateKey));
            else if (kind == QLatin1String("2"))
                m_stateTables.LoadTransition(r->GetAttr(stateKey),
                                             r->GetAttr(GetStrVar(RegSlot::StrAttrTransition)));
        }
    }
}

QString model::StateOfID(const QString &id) const
{
    const TreeItemData *r = RecordOf(FindItem(id));
    return r ? r->GetAttr(GetStrVar(RegSlot::StrAttrState)) : QString();
}

// States are keyed by the ID of their small class.
QTreeWidgetItem *model::ItemOfStateKey(const QString &state) const
{
    return m_stateTables.IsState(state) ? FindItem(state) : nullptr;
}

bool model::IsNormalKind(const QTreeWidgetItem *item) const
{
    const TreeItemData *r = RecordOf(item);
    const QString kind = r ? r->GetAttr(GetStrVar(RegSlot::StrAttrParamType)) : QString();
    return kind.isEmpty() || kind.toInt() < 1;
}

QList<ModelFile::Node> model::collectTree() const
{
    std::function<QList<ModelFile::Node>(QTreeWidgetItem *)> children = [&](QTreeWidgetItem *parent) {
        QList<ModelFile::Node> nodes;
        for (int i = 0; i < parent->childCount(); ++i)
            nodes.append(ModelFile::Node{RecordOf(parent->child(i)), children(parent->child(i))});
        return nodes;
    };
    return children(m_ui->TREE->invisibleRootItem());
}

// The chapter row goes back to "Unset" through the model document, which knows its live rows;
// with the document closed only the element's side goes, and the chapter's "MID" shows red when
// the document looks the ID up again.
void model::UnsetDocLink(QTreeWidgetItem *item)
{
    if (!item)
        return;
    if (auto *doc = GetObj<ModelDoc>(RegSlot::ObjModelDoc))
        doc->ReleaseElement(item);
    item->setData(ColValue, Qt::UserRole, pointerData(nullptr));
}

// The delete dialogs are not modal: one may still hold a row that goes now.
void model::forgetRow(const QTreeWidgetItem *going)
{
    m_lclassPage->ForgetDeleteRow(going);
    m_sclassPage->ForgetDeleteRow(going);
}

void model::freeItem(QTreeWidgetItem *item)
{
    while (item->childCount() > 0)
        freeItem(item->takeChild(0));
    if (TreeItemData *record = RecordOf(item)) {
        delete record->Item();
        delete record->pageItem;
        delete record;
    }
    delete item;
}

// Qt reports a new current row while a row is taken out, with the row going away as the
// previous one: the guard keeps TreeChanged from storing a page into it, and the row that is
// current afterwards is shown explicitly.
void model::RemoveClassItem(QTreeWidgetItem *item)
{
    if (!item)
        return;
    // Asked before the row leaves its parent: a small class taken out would read as a large one.
    const int level = GetItemLevel(item);
    forgetRow(item);
    m_clearing = true;
    if (QTreeWidgetItem *parent = item->parent())
        parent->removeChild(item);
    else
        m_ui->TREE->takeTopLevelItem(m_ui->TREE->indexOfTopLevelItem(item));
    std::function<void(QTreeWidgetItem *, int)> forget = [&](QTreeWidgetItem *i, int l) {
        RemoveID(RecordOf(i)->GetAttr(GetStrVar(RegSlot::StrAttrID)));
        UnsetDocLink(i);
        if (l == 2)
            forgetKind(i);
        for (int c = 0; c < i->childCount(); ++c)
            forget(i->child(c), l + 1);
    };
    forget(item, level);
    if (m_lclassPage->CurrentItem() == item)
        m_lclassPage->ClearLclass();
    if (QTreeWidgetItem *shown = m_sclassPage->GetSclassItem();
        shown && (shown == item || shown->parent() == item))
        m_sclassPage->ClearSclass();
    if (m_explain->EditItem() == RecordOf(item))
        m_explain->SetEditItem(nullptr);
    freeItem(item);
    m_clearing = false;
    if (QTreeWidgetItem *current = m_ui->TREE->currentItem())
        TreeChanged(current, nullptr);
    else
        DisableEmptyTabs();
    keepMenuStates();
}

int model::CheckNewLclass()
{
    QList<ModelFile::Sibling> siblings;
    for (int i = 0; i < m_ui->TREE->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_ui->TREE->topLevelItem(i);
        siblings.append({item->text(ColLclass), item->text(ColValue)});
    }
    return ModelFile::CheckNewClass(siblings, GetStrVar(RegSlot::StrNewLclassFirst),
                                    GetStrVar(RegSlot::StrNewClassElement),
                                    GetStrVar(RegSlot::StrLabelArbitary));
}

// Without a current row there is no large class to add to: refused like a clash.
int model::CheckNewSclass()
{
    QTreeWidgetItem *lclass = topLevelOf(m_ui->TREE->currentItem());
    if (!lclass) {
        if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
            mw->SystemErrorBox(QStringLiteral("System Error: MODEL0003"));
        return 2;
    }
    QList<ModelFile::Sibling> siblings;
    for (int i = 0; i < lclass->childCount(); ++i) {
        const QTreeWidgetItem *item = lclass->child(i);
        siblings.append({item->text(ColSclass), item->text(ColValue)});
    }
    return ModelFile::CheckNewClass(siblings, GetStrVar(RegSlot::StrNewSclassName),
                                    GetStrVar(RegSlot::StrNewClassElement),
                                    GetStrVar(RegSlot::StrLabelArbitary));
}

TreeItemData *model::newClassRecord(const QString &name, const QString &startDate)
{
    auto *record = new TreeItemData;
    record->SetAttr(GetStrVar(RegSlot::StrAttrName), name);
    SetElementAttr(record, GetStrVar(RegSlot::StrNewClassElement));
    record->SetAttr(GetStrVar(RegSlot::StrAttrRefID), QString());
    record->SetAttr(GetStrVar(RegSlot::StrAttrID), QString::number(m_nextId));
    IncrementID();
    record->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), startDate);
    return record;
}

void model::AddLclass()
{
    if (!IdsLeft(1))
        return;
    // The class left keeps what was typed on the page before the page is emptied for the new one.
    if (GetBoolVar(RegSlot::FlagModelOwned) && !GetBoolVar(RegSlot::FlagModelReadOnly))
        UpdateItem(m_ui->TREE->currentItem());
    m_lclassPage->ClearLclass();
    // Dates compare as dates: "2026/1/5" is before "2026/01/10" though not as text.
    const QString start = DateRules::Latest({m_ui->SDATE->text(), today()});
    SetStrVar(RegSlot::StrLclassEarliestStart,
              DateRules::Earliest({GetStrVar(RegSlot::StrLclassEarliestStart), start}));
    QTreeWidgetItem *item = MakeItem(newClassRecord(GetStrVar(RegSlot::StrNewLclassFirst), start), 1);
    QTreeWidget *tree = m_ui->TREE;
    QTreeWidgetItem *after = topLevelOf(tree->currentItem());
    tree->insertTopLevelItem(after ? tree->indexOfTopLevelItem(after) + 1 : tree->topLevelItemCount(), item);
    m_modified = true;
    TreeColumnAdjustment(tree);
    tree->setCurrentItem(item);
}

void model::AddSclass()
{
    QTreeWidgetItem *current = m_ui->TREE->currentItem();
    QTreeWidgetItem *lclass = topLevelOf(current);
    if (!lclass || !IdsLeft(1))
        return;
    const QString start = RecordOf(lclass)->GetAttr(GetStrVar(RegSlot::StrAttrStartDate));
    QTreeWidgetItem *item = MakeItem(newClassRecord(GetStrVar(RegSlot::StrNewSclassName), start), 2);
    const int level = GetItemLevel(current);
    if (level == 1) {
        lclass->addChild(item);
    } else {
        QTreeWidgetItem *sclass = level == 3 ? current->parent() : current;
        lclass->insertChild(lclass->indexOfChild(sclass) + 1, item);
    }
    m_modified = true;
    TreeColumnAdjustment(m_ui->TREE);
    m_ui->TREE->setCurrentItem(item);
    ModelChanged();
}

// After a deletion the bounds the date dialog holds the large classes to follow the classes left.
void model::RecomputeStartDate()
{
    m_lclassPage->SetMinStartDate();
    QStringList targets;
    for (int i = 0; i < m_ui->TREE->topLevelItemCount(); ++i)
        targets << RecordOf(m_ui->TREE->topLevelItem(i))->GetAttr(GetStrVar(RegSlot::StrAttrTargetDate));
    SetStrVar(RegSlot::StrLclassLatestTarget, DateRules::Latest(targets));
}
