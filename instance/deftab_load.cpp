#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "docs/instancedocument.h"
#include "docs/referencefiles.h"
#include "instance/classinstanceindex.h"
#include "instance/deftab.h"
#include "members/memberinfo.h"
#include "model/calendar.h"
#include "model/elementlayout.h"
#include "model/model.h"
#include "ui_deftab.h"

#include <QScopedValueRollback>

namespace
{
QVariant pointer(void *p)
{
    return QVariant::fromValue(p);
}

// "K[row][col]", built in one buffer: the open writes it for every parameter row.
QString gridLabel(const QString &row, const QString &col)
{
    QString text;
    text.reserve(row.size() + col.size() + 5);
    text.append(QLatin1String("K["))
        .append(row)
        .append(QLatin1String("]["))
        .append(col)
        .append(QLatin1Char(']'));
    return text;
}

// A grid position as toInt() reads it; plain digits, nearly every value, skip its locale-aware
// parse, which the open would run four times for every parameter row.
int gridNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 9)
        return text.toInt();
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return text.toInt();
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

const QString kReferenceTag = QStringLiteral("REFERENCE");

// The first REFERENCE of an element gives its links; one that holds more than links stays whole in
// the element's layout, for the writer to put back what it does not write itself. A second one is
// kept as it was.
ElementLayout::Take readLinks(const QDomElement &reference, const QString &separator, QStringList *links,
                              bool *read)
{
    if (*read)
        return ElementLayout::Keep;
    *read = true;
    links->append(ReferenceFiles::ReadLinks(reference, separator));
    return ReferenceFiles::IsPlainReference(reference, separator) ? ElementLayout::Slot
                                                                  : ElementLayout::SlotWhole;
}

// Each attribute node is fetched once: item(i) walks the element's attribute map from its start.
void copyAttributes(TreeItemData *record, const QDomElement &e)
{
    const QDomNamedNodeMap attrs = e.attributes();
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomAttr attr = attrs.item(i).toAttr();
        record->SetAttr(attr.name(), attr.value());
    }
}
} // namespace

void deftab::LoadInstanceDocument(QTreeWidget *memberTree)
{
    if (!memberTree || memberTree->topLevelItemCount() == 0)
        return;
    QTreeWidgetItem *top = memberTree->topLevelItem(0);
    OpenMemberInstance(top);
    for (int i = 0; i < top->childCount(); ++i)
        OpenMemberInstance(top->child(i));
    ResolveStateLinks();
    m_files.OpenDocInstance();
    if (auto *document = GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument)) {
        document->LoadManagerInfo();
        document->BuildClassTree(m_ui->USERTREE);
    }
    QTreeWidget *tree = m_ui->USERTREE;
    const QScopedValueRollback<bool> bulk(m_bulkExpand, true);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *member = tree->topLevelItem(i);
        // Expanding a member asks for its rows: one still unbuilt stays closed.
        if (m_unbuilt.contains(member->data(1, Qt::UserRole).toInt()))
            continue;
        expandMember(member);
    }
    TreeColumnAdjustment(tree);
}

// Brings the member's instance file into the store; a file that did not load leaves the member
// read-only for this session. The member's number, or -1 for no row.
int deftab::openMemberFile(QTreeWidgetItem *memberItem, const QString &errorCode)
{
    if (!memberItem) {
        UiReport::System(errorCode);
        return -1;
    }
    const int n = memberItem->data(0, Qt::UserRole).toInt();
    if (m_files.OpenMemberDocument(n) == InstanceFiles::Failed)
        m_unreadMembers.insert(n);
    return n;
}

void deftab::OpenMemberInstance(QTreeWidgetItem *memberItem)
{
    const int n = openMemberFile(memberItem, QStringLiteral("SYSTEM ERROR:INST002"));
    if (n >= 0)
        LoadMemberInstance(n);
}

void deftab::LoadInstance(QTreeWidgetItem *memberItem)
{
    const int n = openMemberFile(memberItem, QStringLiteral("SYSTEM ERROR:INST003"));
    if (MemberInfo *m = n >= 0 ? memberOf(n) : nullptr) {
        m_ui->USERTREE->addTopLevelItem(newMemberRow(n, memberItem->text(0), m));
        TreeColumnAdjustment(m_ui->USERTREE);
    }
}

QTreeWidgetItem *deftab::newMemberRow(int n, const QString &name, MemberInfo *m)
{
    auto *record = new TreeItemData;
    record->name = QString::number(n);
    record->SetAttr(GetStrVar(RegSlot::StrAttrID), QString());
    auto *row = new QTreeWidgetItem;
    row->setData(0, Qt::UserRole, pointer(record));
    const bool own = m->OtherUser == 0;
    row->setIcon(0, SharedIcon::Get(own ? SharedIcon::User : SharedIcon::Other));
    m_ownMembers.insert(record->name, own);
    row->setText(0, name);
    row->setText(5, QStringLiteral("I") + record->name);
    m->InstanceItem = row;
    row->setData(1, Qt::UserRole, n);
    CreateMirrorItems(row, n);
    return row;
}

void deftab::LoadMemberInstance(int n)
{
    m_loadingMember = n;
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return;
    const int memberIndex = XmlIndex::Manager + n;
    // A member file that did not load was reported by the member manager already.
    const int count =
        store->HasDoc(memberIndex) ? store->OpenDomTag(memberIndex, QStringLiteral("Root_manager"), 4) : 0;
    MemberInfo *m = memberOf(n);
    QTreeWidgetItem *memberRow = nullptr;
    if (count > 0 && m) {
        m->ProcEmail = store->GetDomAttr(0, QStringLiteral("ProcEmail"));
        memberRow = newMemberRow(n, m->DisplayName.isEmpty() ? m->Name : m->DisplayName, m);
    }
    store->DomDocClose();
    if (!memberRow)
        return;
    // The member's rows are built before the row joins the view: rows added under a row the view
    // shows each notify it.
    struct Attach {
        QTreeWidget *tree;
        QTreeWidgetItem *row;
        ~Attach() { tree->addTopLevelItem(row); }
    } attach{m_ui->USERTREE, memberRow};
    const int index = XmlIndex::Instance + n;
    if (!store->HasDoc(index))
        return;
    QDomElement root = store->GetXmlDoc(index)->documentElement();
    memberRow->setData(2, Qt::UserRole, InstanceFiles::NextNumber(root));
    if (m->OtherUser == 0 || root.firstChildElement().isNull()) {
        buildMemberRows(n, memberRow, root, m);
        return;
    }
    // Another member's rows wait for their first use; its document stays as read until then.
    // The member's dates are the schedule's and the member page's without any row.
    noteMemberDates(m, root);
    m_unbuilt.insert(n);
    memberRow->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

// Turns the member's document into rows and empties it: the rows become the data. What the rows
// do not hold (refused elements, comments) is kept in layouts (see ElementLayout), not left in the
// document: the document is emptied after every save, and each later save must write it back too.
// A member row the view shows already gets its rows in one insertion.
// The member's dates are noted into dates when given.
void deftab::buildMemberRows(int n, QTreeWidgetItem *memberRow, QDomElement root, MemberInfo *dates)
{
    m_loadingMember = n;
    QTreeWidgetItem holder;
    QTreeWidgetItem *parent = memberRow->treeWidget() ? &holder : memberRow;
    const QString sclassTag = GetStrVar(RegSlot::StrTagSClass);
    ElementLayout::Capture(&m_keptLclasses[n], root, [&](const QDomElement &e) {
        auto *record = new TreeItemData;
        auto *row = new QTreeWidgetItem;
        if (!parseLclassInstance(record, row, e, dates)) {
            delete record;
            delete row;
            return ElementLayout::Keep;
        }
        row->setIcon(0, SharedIcon::Get(SharedIcon::Lclass));
        record->name = QString::number(n);
        row->setData(0, Qt::UserRole, pointer(record));
        parent->addChild(row);
        bool linksRead = false;
        ElementLayout::Capture(&record->kept, e, [&](const QDomElement &child) {
            if (child.tagName() == kReferenceTag)
                return readLinks(child, GetStrVar(RegSlot::StrMarkerDollar), &record->links, &linksRead);
            if (child.tagName() != sclassTag)
                return ElementLayout::Keep;
            const int before = row->childCount();
            parseLclassChild(row, child, n);
            return row->childCount() > before ? ElementLayout::Slot : ElementLayout::Keep;
        });
        QDomElement taken = e;
        while (taken.hasChildNodes())
            taken.removeChild(taken.firstChild());
        return ElementLayout::Slot;
    });
    while (root.hasChildNodes())
        root.removeChild(root.firstChild());
    if (parent == &holder)
        memberRow->addChildren(holder.takeChildren());
}

// The model row of an element read from a member's file, or null when the element is refused:
// its model element is missing, or its ID is no plain number (IDs end up in file names) or is
// taken already (two elements would share their files).
QTreeWidgetItem *deftab::acceptedModelRow(TreeItemData *record, QString *key) const
{
    model *mdl = modelEditor();
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    if (!mdl || !InstanceFiles::IsDecimal(record->GetAttr(idAttr)))
        return nullptr;
    *key = KeyOf(record, idAttr);
    if (m_rows.contains(*key))
        return nullptr;
    return mdl->FindItem(record->GetAttr(GetStrVar(RegSlot::StrAttrMID)));
}

bool deftab::parseLclassInstance(TreeItemData *record, QTreeWidgetItem *row, const QDomElement &e,
                                 MemberInfo *m)
{
    if (e.tagName() != GetStrVar(RegSlot::StrTagLClass))
        return false;
    record->name = QString::number(m_loadingMember);
    const QString startAttr = GetStrVar(RegSlot::StrAttrStartDate);
    const QString targetAttr = GetStrVar(RegSlot::StrAttrTargetDate);
    const QDomNamedNodeMap attrs = e.attributes();
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomAttr attr = attrs.item(i).toAttr();
        record->SetAttr(attr.name(), attr.value());
        if (!m || attr.value().isEmpty())
            continue;
        const QDate date = Calendar::StrToDate(attr.value());
        if (attr.name() == startAttr &&
            (m->EarliestStart.isEmpty() || Calendar::StrToDate(m->EarliestStart) > date))
            m->EarliestStart = attr.value();
        else if (attr.name() == targetAttr &&
                 (m->LatestTarget.isEmpty() || Calendar::StrToDate(m->LatestTarget) < date))
            m->LatestTarget = attr.value();
    }
    QString key;
    QTreeWidgetItem *modelRow = acceptedModelRow(record, &key);
    if (!modelRow)
        return false;
    RegisterModelInstance(row, record);
    row->setText(1, modelRow->text(0));
    record->SetAttr(GetStrVar(RegSlot::StrAttrName), modelRow->text(0));
    finishClassRow(row, record, modelRow, key);
    return true;
}

// The columns, tables and mirrored rows a large-class and a small-class row share.
void deftab::finishClassRow(QTreeWidgetItem *row, TreeItemData *record, QTreeWidgetItem *modelRow,
                            const QString &key)
{
    const QString elementAttr = GetStrVar(RegSlot::StrAttrElement);
    if (modelRow->text(3) != GetStrVar(RegSlot::StrLabelArbitary)) {
        row->setText(4, modelRow->text(3));
        record->SetAttr(elementAttr, modelRow->text(3));
    } else {
        row->setText(4, record->GetAttr(elementAttr));
    }
    row->setText(5, QStringLiteral("I") + key);
    const TreeItemData *modelRecord = model::RecordOf(modelRow);
    QTreeWidgetItem *treeRow = modelRecord ? modelRecord->instanceItem : nullptr;
    row->setData(4, Qt::UserRole, pointer(treeRow));
    const int scope = SetScopeIcon(record, row);
    if (ClassInstanceIndex *index = ClassIndexOf(treeRow)) {
        if (scope == 0) {
            QTreeWidgetItem *parent = row->parent();
            index->Add(parent && parent->parent() ? parent->text(4) + QLatin1Char(':') + row->text(4)
                                                  : row->text(4),
                       key);
        }
        index->keys.append(key);
    }
    m_rows.insert(key, row);
    row->setData(3, Qt::UserRole, pointer(nullptr));
    makeElementMirrors(record, key, true);
}

int deftab::SetScopeIcon(TreeItemData *record, QTreeWidgetItem *row)
{
    const QString scopeAttr = GetStrVar(RegSlot::StrAttrScope);
    // An element written before scopes existed counts as global and is written so from now on.
    if (record->GetAttr(scopeAttr).isEmpty())
        record->SetAttr(scopeAttr, QStringLiteral("0"));
    int scope = record->GetAttr(scopeAttr).toInt();
    if (scope != 0 && scope != 1)
        scope = 2;
    const SharedIcon::Id icons[3] = {SharedIcon::Global, SharedIcon::Local, SharedIcon::None};
    row->setIcon(1, SharedIcon::Get(icons[scope]));
    return scope;
}

void deftab::RegisterModelInstance(QTreeWidgetItem *row, TreeItemData *record)
{
    m_modelInstances[record->GetAttr(GetStrVar(RegSlot::StrAttrMID))].append(row);
}

// A small class of the large class's row; the caller keeps what is not taken (see buildMemberRows).
void deftab::parseLclassChild(QTreeWidgetItem *lrow, const QDomElement &child, int n)
{
    TreeItemData *lrec = RecordOf(lrow);
    if (child.isNull() || !lrec || child.tagName() != GetStrVar(RegSlot::StrTagSClass))
        return;
    auto *record = new TreeItemData;
    auto *row = new QTreeWidgetItem;
    lrow->addChild(row);
    if (!parseSclassInstance(lrow, record, child, row)) {
        // Its model class may come back, or belong to a newer model: kept by the caller.
        delete record;
        delete row;
        return;
    }
    record->name = QString::number(n);
    row->setData(0, Qt::UserRole, pointer(record));
    const auto param = [&](const QDomElement &p) {
        if (p.tagName() != QLatin1String("P") || !parseParamInstance(row, record, p, n))
            return ElementLayout::Keep;
        // A parameter's children are nothing this program knows: all of them are kept.
        if (TreeItemData *prec = RecordOf(row->child(row->childCount() - 1)))
            ElementLayout::Capture(&prec->kept, p, [](const QDomElement &) { return ElementLayout::Keep; });
        return ElementLayout::Slot;
    };
    bool linksRead = false;
    ElementLayout::Capture(&record->kept, child, [&](const QDomElement &part) {
        if (part.tagName() == kReferenceTag)
            return readLinks(part, GetStrVar(RegSlot::StrMarkerDollar), &record->links, &linksRead);
        if (part.tagName() != QLatin1String("PARAM"))
            return ElementLayout::Keep;
        ElementLayout::Capture(&record->keptParams, part, param, true);
        return ElementLayout::Slot;
    });
    while (child.hasChildNodes())
        QDomElement(child).removeChild(child.firstChild());
    row->setIcon(0, SharedIcon::Get(SharedIcon::Sclass));
}

bool deftab::parseSclassInstance(QTreeWidgetItem *lrow, TreeItemData *record, const QDomElement &e,
                                 QTreeWidgetItem *row)
{
    Q_UNUSED(lrow)
    record->name = QString::number(m_loadingMember);
    copyAttributes(record, e);
    QString key;
    QTreeWidgetItem *modelRow = acceptedModelRow(record, &key);
    if (!modelRow)
        return false;
    RegisterModelInstance(row, record);
    const QString mid = record->GetAttr(GetStrVar(RegSlot::StrAttrMID));
    const QString stateAttr = GetStrVar(RegSlot::StrAttrState);
    const int kind = record->GetAttr(GetStrVar(RegSlot::StrAttrParamType)).toInt();
    if (kind == 1) {
        m_stateInstances.insert(mid, key);
    } else if (kind == 2) {
        const TreeItemData *modelRecord = model::RecordOf(modelRow);
        const QString stateId = modelRecord ? modelRecord->GetAttr(stateAttr) : QString();
        if (stateId.isEmpty() || !modelEditor()->FindItem(stateId))
            record->SetAttr(stateAttr, QString());
        else
            m_transitions.insert(key, stateId);
    }
    row->setText(2, modelRow->text(1));
    record->SetAttr(GetStrVar(RegSlot::StrAttrName), modelRow->text(1));
    finishClassRow(row, record, modelRow, key);
    auto *companion = new QTreeWidgetItem;
    companion->setText(0, record->GetAttr(GetStrVar(RegSlot::StrAttrName)));
    companion->setText(1, record->GetAttr(GetStrVar(RegSlot::StrAttrElement)));
    companion->setIcon(0, SharedIcon::Get(SharedIcon::Sclass));
    companion->setData(0, Qt::UserRole, pointer(row));
    record->pageItem = companion;
    row->setData(2, Qt::UserRole, pointer(companion));
    record->SetAttr(GetStrVar(RegSlot::StrAttrRow), QStringLiteral("0"));
    record->SetAttr(GetStrVar(RegSlot::StrAttrCol), QStringLiteral("0"));
    const QString maxParam = GetStrVar(RegSlot::StrAttrMaxParam);
    if (record->GetAttr(maxParam).isEmpty())
        record->SetAttr(maxParam, QString::number(m_defaultMaxParam));
    return true;
}

bool deftab::parseParamInstance(QTreeWidgetItem *srow, TreeItemData *srec, const QDomElement &p, int n)
{
    auto record = std::make_unique<TreeItemData>();
    record->name = QString::number(n);
    copyAttributes(record.get(), p);
    QString key;
    QTreeWidgetItem *modelRow = acceptedModelRow(record.get(), &key);
    if (!modelRow)
        return false;
    const TreeItemData *modelRecord = model::RecordOf(modelRow);
    const QString rowAttr = GetStrVar(RegSlot::StrAttrRow);
    const QString colAttr = GetStrVar(RegSlot::StrAttrCol);
    auto *row = new QTreeWidgetItem;
    auto *companion = new QTreeWidgetItem;
    companion->setText(0, modelRow->text(2));
    companion->setText(1, modelRow->text(3));
    companion->setIcon(0, SharedIcon::Get(SharedIcon::Param));
    companion->setData(1, Qt::UserRole, pointer(row));
    const QString modelRowText = modelRecord ? modelRecord->GetAttr(rowAttr) : QString();
    const QString modelColText = modelRecord ? modelRecord->GetAttr(colAttr) : QString();
    row->setText(3, gridLabel(modelRowText, modelColText));
    row->setText(4, modelRecord ? modelRecord->GetAttr(GetStrVar(RegSlot::StrAttrName)) : QString());
    row->setText(5, QStringLiteral("I") + key);
    row->setData(4, Qt::UserRole, pointer(modelRecord ? modelRecord->instanceItem : nullptr));
    const QString maxParam = srec->GetAttr(GetStrVar(RegSlot::StrAttrMaxParam));
    for (const QString &attr : {rowAttr, colAttr}) {
        const QString own = record->GetAttr(attr);
        const int value = gridNumber(own == QLatin1String("N") ? maxParam : own);
        if (gridNumber(srec->GetAttr(attr)) < value)
            srec->SetAttr(attr, QString::number(value));
    }
    record->pageItem = companion;
    row->setData(1, Qt::UserRole, pointer(companion));
    row->setData(3, Qt::UserRole, pointer(nullptr));
    m_rows.insert(key, row);
    makeElementMirrors(record.get(), key, false);
    row->setData(0, Qt::UserRole, pointer(record.release()));
    row->setIcon(0, SharedIcon::Get(SharedIcon::Param));
    srow->addChild(row);
    return true;
}

void deftab::ResolveStateLinks()
{
    resolveStateLinks(QString());
}

// Only the transitions whose keys start with prefix: a member built late links its own.
void deftab::resolveStateLinks(const QString &prefix)
{
    const QString stateAttr = GetStrVar(RegSlot::StrAttrState);
    for (auto it = m_transitions.cbegin(); it != m_transitions.cend(); ++it) {
        if (!it.key().startsWith(prefix))
            continue;
        QTreeWidgetItem *row = m_rows.value(it.key());
        TreeItemData *record = RecordOf(row);
        if (!record)
            continue;
        // The state the user chose stays while it names an instance of the model's state class
        // in the same large class; anything else falls back to the last such instance.
        if (!isStateOf(row, record->GetAttr(stateAttr), it.value()))
            record->SetAttr(stateAttr, FindChildKey(row->parent(), it.value()));
    }
}

void deftab::LinkStateTarget(QTreeWidgetItem *row, const QString &mid)
{
    const TreeItemData *added = RecordOf(row);
    if (!added)
        return;
    const QString stateAttr = GetStrVar(RegSlot::StrAttrState);
    const QString key = KeyOf(added, GetStrVar(RegSlot::StrAttrID));
    for (auto it = m_transitions.cbegin(); it != m_transitions.cend(); ++it) {
        QTreeWidgetItem *other = m_rows.value(it.key());
        TreeItemData *record = RecordOf(other);
        if (record && other->parent() == row->parent() && it.value() == mid &&
            !isStateOf(other, record->GetAttr(stateAttr), mid))
            record->SetAttr(stateAttr, key);
    }
}
