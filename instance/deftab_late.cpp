#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "docs/instancedocument.h"
#include "instance/deftab.h"
#include "members/memberinfo.h"
#include "model/calendar.h"
#include "ui_deftab.h"

#include <QScopedValueRollback>
#include <algorithm>

// Other members' rows, built on their first use rather than at the open: a large workspace
// holds tens of thousands of them, most never looked at in a session.

// The earliest start and latest target over the member's large classes, read or refused alike.
void deftab::noteMemberDates(MemberInfo *m, const QDomElement &root) const
{
    const QString lclassTag = GetStrVar(RegSlot::StrTagLClass);
    const QString startAttr = GetStrVar(RegSlot::StrAttrStartDate);
    const QString targetAttr = GetStrVar(RegSlot::StrAttrTargetDate);
    for (QDomElement e = root.firstChildElement(lclassTag); !e.isNull();
         e = e.nextSiblingElement(lclassTag)) {
        const QString start = e.attribute(startAttr);
        if (!start.isEmpty() && (m->EarliestStart.isEmpty() ||
                                 Calendar::StrToDate(m->EarliestStart) > Calendar::StrToDate(start)))
            m->EarliestStart = start;
        const QString target = e.attribute(targetAttr);
        if (!target.isEmpty() &&
            (m->LatestTarget.isEmpty() || Calendar::StrToDate(m->LatestTarget) < Calendar::StrToDate(target)))
            m->LatestTarget = target;
    }
}

// The member, its large and its small classes open; parameters have no rows below them.
void deftab::expandMember(QTreeWidgetItem *member)
{
    member->setExpanded(true);
    for (int j = 0; j < member->childCount(); ++j) {
        member->child(j)->setExpanded(true);
        for (int k = 0; k < member->child(j)->childCount(); ++k)
            member->child(j)->child(k)->setExpanded(true);
    }
}

void deftab::EnsureMemberRows(int n)
{
    if (!m_clearing && m_unbuilt.contains(n))
        buildLateMembers({n});
}

void deftab::EnsureAllMemberRows(const std::function<bool()> &between)
{
    if (m_clearing || m_unbuilt.isEmpty())
        return;
    QList<int> members;
    QTreeWidget *tree = m_ui->USERTREE;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        members.append(tree->topLevelItem(i)->data(1, Qt::UserRole).toInt());
    buildLateMembers(members, between);
    // Numbers without a row are forgotten once every row is built; a stop leaves them all.
    if (std::none_of(members.cbegin(), members.cend(), [this](int n) { return m_unbuilt.contains(n); }))
        m_unbuilt.clear();
}

// Builds the unbuilt members among numbers, in the tree's order, as the open would have; the
// views are told once for all of them: fitting the columns per member costs as much again.
void deftab::buildLateMembers(const QList<int> &numbers, const std::function<bool()> &between)
{
    QTreeWidget *tree = m_ui->USERTREE;
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QSet<int> wanted(numbers.cbegin(), numbers.cend());
    QList<int> todo;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const int n = tree->topLevelItem(i)->data(1, Qt::UserRole).toInt();
        if (m_unbuilt.contains(n) && wanted.contains(n))
            todo.append(n);
    }
    auto *document = GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument);
    QSet<QTreeWidgetItem *> built;
    for (int n : qAsConst(todo)) {
        const MemberInfo *m = memberOf(n);
        QTreeWidgetItem *memberRow = m ? m->InstanceItem : nullptr;
        // Gone or built while events went through.
        if (!memberRow || memberRow->treeWidget() != tree || !m_unbuilt.contains(n))
            continue;
        // Out of the set first: a lookup made while the rows are built must not build them again.
        m_unbuilt.remove(n);
        const int index = XmlIndex::Instance + n;
        if (store && store->HasDoc(index)) {
            const QScopedValueRollback<int> loading(m_loadingMember);
            // The dates were noted at the open.
            buildMemberRows(n, memberRow, store->GetXmlDoc(index)->documentElement(), nullptr);
        }
        memberRow->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        resolveStateLinks(QString::number(n) + QLatin1Char('-'));
        built.insert(memberRow);
        // Mirrored member by member, so that events go through between them too.
        if (document)
            document->AddMemberClassRows({memberRow}, false);
        if (between && !between())
            break;
    }
    if (built.isEmpty())
        return;
    // A member after one built here that already had rows: the tables need their order back.
    QList<QTreeWidgetItem *> rows;
    bool reorder = false;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *memberRow = tree->topLevelItem(i);
        if (built.contains(memberRow))
            rows.append(memberRow);
        else
            reorder = reorder || (!rows.isEmpty() && memberRow->childCount() > 0);
    }
    if (reorder)
        restoreTableOrder();
    if (document)
        document->FitClassTree();
    {
        const QScopedValueRollback<bool> bulk(m_bulkExpand, true);
        for (QTreeWidgetItem *memberRow : qAsConst(rows))
            expandMember(memberRow);
    }
    TreeColumnAdjustment(tree);
    m_scheduleRefresh = true;
    m_qandaRefresh = true;
}

// The tables a member built late fills are put back in the order an open that built every
// member at once gives them: members in tree order, each member's rows in file order. Nothing
// was created or deleted meanwhile: both build every member first.
void deftab::restoreTableOrder()
{
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    const QString midAttr = GetStrVar(RegSlot::StrAttrMID);
    QHash<QString, QList<QTreeWidgetItem *>> instances;
    QMultiHash<QString, QString> states;
    QHash<QString, QString> transitions;
    const auto note = [&](QTreeWidgetItem *row) {
        const TreeItemData *record = RecordOf(row);
        if (!record)
            return;
        const QString mid = record->GetAttr(midAttr);
        if (m_modelInstances.value(mid).contains(row))
            instances[mid].append(row);
        const QString key = KeyOf(record, idAttr);
        if (m_stateInstances.contains(mid, key))
            states.insert(mid, key);
        const auto it = m_transitions.constFind(key);
        if (it != m_transitions.cend())
            transitions.insert(key, it.value());
    };
    QTreeWidget *tree = m_ui->USERTREE;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *member = tree->topLevelItem(i);
        for (int l = 0; l < member->childCount(); ++l) {
            note(member->child(l));
            for (int s = 0; s < member->child(l)->childCount(); ++s)
                note(member->child(l)->child(s));
        }
    }
    m_modelInstances = instances;
    m_stateInstances = states;
    m_transitions = transitions;
}
