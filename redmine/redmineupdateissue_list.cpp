#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "redmine/nwredmine.h"
#include "redmine/redmineupdateissue.h"
#include "ui_redmineupdateissue.h"

namespace
{
// A tracker that keeps answering full pages is not followed for ever.
constexpr int MaxPages = 1000;

// An absent or non-numeric scope reads as global, as the instance tab writes it.
bool isGlobal(const QTreeWidgetItem *element, const QString &scopeAttr)
{
    const TreeItemData *record = deftab::RecordOf(element);
    if (!record)
        return false;
    bool ok = false;
    const int scope = record->GetAttr(scopeAttr).toInt(&ok);
    return !ok || scope == 0;
}
} // namespace

void RedmineUpdateIssue::TargetShowProc(bool)
{
    if (!GetBoolVar(RegSlot::FlagRedmineLink) || !clientIdle())
        return;
    m_ui->T_COUNT->clear();
    std::fill(std::begin(m_counts), std::end(m_counts), 0);
    stopRun();
    m_ui->ISSUETREE->clear();
    m_records.clear();
    m_trackerChildren.clear();
    m_mustRelist = false;
    m_loaded = false;
    m_busy = true;
    // The mapping lists say which statuses close an issue and which priority is the default: they
    // must be the project's as it was read last, not as the tab happened to show it.
    FillMappingTabs();
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->MakeRedmineTable();

    const QString scopeAttr = GetStrVar(RegSlot::StrAttrScope);
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    QTreeWidget *elements = tab ? tab->GetUserTree() : nullptr;
    for (int m = 0; elements && m < elements->topLevelItemCount(); ++m) {
        QTreeWidgetItem *member = elements->topLevelItem(m);
        for (int l = 0; l < member->childCount(); ++l) {
            QTreeWidgetItem *lclass = member->child(l);
            if (!isGlobal(lclass, scopeAttr))
                continue;
            QTreeWidgetItem *row = addElementRow(lclass, nullptr);
            for (int s = 0; s < lclass->childCount(); ++s) {
                if (isGlobal(lclass->child(s), scopeAttr))
                    addElementRow(lclass->child(s), row);
            }
            // A parent issue's dates and done ratio follow its sub-issues on the tracker.
            if (row->childCount() > 0) {
                for (int c : {ColStart, ColDue, ColDone})
                    paint(row, c, "#bcbbb4", "#000000");
            }
            row->setExpanded(true);
        }
    }
    fitColumns();
    showMessage(tr("under process"), false);
    m_page = 0;
    m_morePages = false;
    m_ui->TARGETSHOW->hide();
    m_ui->UPISSUE->show();
    NwRedmine *c = client();
    if (c)
        c->SetPage(0);
    if (!c || !c->GetSyncIssueList())
        sendRefused();
}

QTreeWidgetItem *RedmineUpdateIssue::addElementRow(QTreeWidgetItem *element, QTreeWidgetItem *parentRow)
{
    const TreeItemData *record = deftab::RecordOf(element);
    const auto attr = [this, record](int slot) { return record->GetAttr(GetStrVar(slot)); };
    auto *row = new QTreeWidgetItem;
    row->setIcon(ColCheck, SharedIcon::Get(parentRow ? SharedIcon::Sclass : SharedIcon::Lclass));
    row->setText(ColKind, m_kinds.value(KindNew));
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager)) {
        const QPair<QString, QString> user = mgr->RedmineUserName(element->text(5));
        row->setText(ColAssigned, user.first);
        row->setData(ColAssigned, Qt::UserRole, user.second);
    }
    row->setText(ColSubject, element->text(parentRow ? 2 : 1) + QStringLiteral("::") + element->text(4));
    row->setText(ColKey, element->text(5));
    row->setText(ColDescription, IssueSync::Abbreviated(explanationOf(row)));
    row->setText(ColStart, attr(RegSlot::StrAttrStartDate));
    const QString completion = attr(RegSlot::StrAttrCompletionDate);
    row->setText(ColDue, completion.isEmpty() ? attr(RegSlot::StrAttrTargetDate) : completion);
    row->setText(ColDone, IssueSync::DoneRatio(attr(RegSlot::StrAttrProgressRate)));
    const QString hours = attr(RegSlot::StrAttrEstimatedHours);
    row->setText(ColHours, hours.isEmpty() ? QStringLiteral("0") : hours);
    if (parentRow)
        parentRow->addChild(row);
    else
        m_ui->ISSUETREE->addTopLevelItem(row);
    return row;
}

void RedmineUpdateIssue::ReadIssues()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const int index = XmlIndex::RedmineFirst + 7;
    // A reply that arrives after the page was cleared belongs to nobody.
    if (!m_busy || m_loaded || !store || !store->HasDoc(index))
        return;
    const QDomElement root = store->GetXmlDoc(index)->documentElement();
    int read = 0;
    for (QDomElement e = root.firstChildElement(QStringLiteral("issue")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("issue"))) {
        ++read;
        IssueSync::IssueRecord record;
        const QString key = IssueSync::ReadIssueElement(e, &record);
        if (!record.parentId.isEmpty())
            m_trackerChildren[record.parentId].append(record.id);
        if (!key.isEmpty())
            m_records.insert(key, record);
    }
    if (read == IssueSync::PageSize) {
        if (m_page + 1 >= MaxPages) {
            showMessage(tr("too many issues in the project"), true);
            stopRun();
            m_ui->TARGETSHOW->show();
            return;
        }
        m_morePages = true;
        NwRedmine *c = client();
        if (c)
            c->SetPage(++m_page);
        // Refused, the listing is incomplete: TARGETSHOW lists it again from the start.
        if (!c || !c->GetSyncIssueList())
            sendRefused();
        return;
    }
    finishListing();
}

void RedmineUpdateIssue::finishListing()
{
    m_morePages = false;
    m_loaded = true;
    showSetButtons(true);
    showMessage(tr("show end"), false);
    matchRows();
    if (m_ui->ISSUETREE->topLevelItemCount() > 0)
        m_ui->ISSUETREE->setCurrentItem(m_ui->ISSUETREE->topLevelItem(0));
    updateCounts();
    fitColumns();
    m_busy = false;
}

void RedmineUpdateIssue::matchRows()
{
    for (QTreeWidgetItem *row : allRows()) {
        auto found = m_records.find(row->text(ColKey));
        if (found == m_records.end()) {
            markNewRow(row);
            continue;
        }
        found->matched = true;
        compareRow(row, *found);
    }
    const bool added = addDeleteRows();
    if ((added || anyRow(isChecked)) && !m_readOnly) {
        offerUpdate();
        if (m_ui->UPISSUE->isChecked())
            checkAllRows(true);
        else
            m_ui->UPISSUE->setChecked(true);
    } else {
        m_ui->UPDATE->hide();
    }
    fitColumns();
}

void RedmineUpdateIssue::markNewRow(QTreeWidgetItem *row)
{
    paint(row, ColKind, "#ff0000", "#ffffff");
    if (row->text(ColAssigned).isEmpty())
        paint(row, ColAssigned, "#ff0000", "#ffffff");
    const auto none = [this, row](int column) {
        row->setText(column, m_none);
        row->setData(column, Qt::UserRole, QStringLiteral("0"));
    };
    none(ColTracker);
    paint(row, ColTracker, "#ff0000", "#ffffff");
    none(ColStatus);
    const QPair<QString, QString> priority = defaultPriority();
    row->setText(ColPriority, priority.first);
    row->setData(ColPriority, Qt::UserRole, priority.second);
    none(ColCategory);
    none(ColVersion);
    setChecked(row, false);
}

void RedmineUpdateIssue::compareRow(QTreeWidgetItem *row, IssueSync::IssueRecord &record)
{
    bool changed = false;
    const auto mark = [row, &changed](int column) {
        paint(row, column, "#ffff00", "#000000");
        changed = true;
    };
    const auto parentValue = [row](int column) {
        return background(row, column) == QLatin1String("#bcbbb4");
    };
    row->setText(ColId, record.id);
    if (row->text(ColAssigned) != record.assignedName)
        mark(ColAssigned);
    if (IssueSync::TrackerDate(row->text(ColStart)) != record.startDate && !parentValue(ColStart))
        mark(ColStart);
    if (IssueSync::TrackerDate(row->text(ColDue)) != record.dueDate && !parentValue(ColDue))
        mark(ColDue);
    if (row->text(ColDone) != record.doneRatio && !parentValue(ColDone))
        mark(ColDone);
    if (!IssueSync::SameHours(row->text(ColHours), record.estimatedHours))
        mark(ColHours);
    const auto take = [this, row](int column, const QString &id, const QString &name) {
        row->setText(column, id.isEmpty() ? m_none : name);
        row->setData(column, Qt::UserRole, id.isEmpty() ? QStringLiteral("0") : id);
    };
    take(ColTracker, record.trackerId, record.trackerName);
    if (record.trackerId.isEmpty())
        paint(row, ColTracker, "#ff0000", "#ffffff");
    take(ColStatus, record.statusId, record.statusName);
    if (!record.statusId.isEmpty() && row->text(ColDone) == QLatin1String("100") &&
        !isClosedStatus(record.statusId))
        paint(row, ColStatus, "#ff0000", "#ffffff");
    take(ColPriority, record.priorityId, record.priorityName);
    take(ColCategory, record.categoryId, record.categoryName);
    take(ColVersion, record.versionId, record.versionName);
    // A refused explanation is no text to compare: the tracker's description stands.
    QString refusal;
    const QString explanation = explanationOf(row, &refusal);
    if (refusal.isEmpty() && !IssueSync::SameText(explanation, record.description)) {
        mark(ColDescription);
        record.description = explanation;
    }
    if (changed) {
        setKind(row, KindMod, "#ffff00", "#000000");
        setChecked(row, true);
        return;
    }
    if (isClosedStatus(row->data(ColStatus, Qt::UserRole).toString()))
        setKind(row, KindClose, "#808080",
                row->text(ColDone) == QLatin1String("100") ? "#ffffff" : "#ffff00");
    else
        setKind(row, KindSet, "#00ff00", "#000000");
    row->setData(ColCheck, Qt::CheckStateRole, QVariant());
}

bool RedmineUpdateIssue::addDeleteRows()
{
    QList<QPair<QTreeWidgetItem *, QString>> children;
    bool added = false;
    for (auto it = m_records.cbegin(); it != m_records.cend(); ++it) {
        const IssueSync::IssueRecord &r = it.value();
        if (r.matched)
            continue;
        auto *row = new QTreeWidgetItem;
        setChecked(row, true);
        row->setIcon(ColCheck, SharedIcon::Get(SharedIcon::Error));
        setKind(row, KindDelete, "#ffff00", "#000000");
        const QStringList texts = {r.id,
                                   r.assignedName,
                                   r.subject,
                                   IssueSync::Abbreviated(r.description),
                                   QString(r.startDate).replace(QLatin1Char('-'), QLatin1Char('/')),
                                   QString(r.dueDate).replace(QLatin1Char('-'), QLatin1Char('/')),
                                   r.doneRatio};
        for (int i = 0; i < texts.size(); ++i)
            row->setText(ColId + i, texts.at(i));
        const QString names[5] = {r.trackerName, r.statusName, r.priorityName, r.categoryName, r.versionName};
        for (int i = 0; i < 5; ++i)
            row->setText(ColTracker + i, names[i].isEmpty() ? m_none : names[i]);
        row->setText(ColKey, it.key());
        if (r.parentId.isEmpty()) {
            m_ui->ISSUETREE->addTopLevelItem(row);
            row->setExpanded(true);
        } else {
            children.append({row, r.parentId});
        }
        added = true;
    }
    for (const auto &child : children) {
        const QList<QTreeWidgetItem *> parents =
            m_ui->ISSUETREE->findItems(child.second, Qt::MatchExactly, ColId);
        if (parents.isEmpty())
            m_ui->ISSUETREE->addTopLevelItem(child.first);
        else
            parents.first()->addChild(child.first);
    }
    return added;
}

void RedmineUpdateIssue::updateCounts()
{
    int total = 0, fresh = 0, work = 0, complete = 0, deleted = 0;
    for (QTreeWidgetItem *row : allRows()) {
        ++total;
        if (row->text(ColId).isEmpty())
            ++fresh;
        else if (row->text(ColKind) == m_kinds.value(KindDelete))
            ++deleted;
        else if (isClosedStatus(row->data(ColStatus, Qt::UserRole).toString()))
            ++complete;
        else
            ++work;
    }
    const int counts[5] = {total, fresh, work, complete, deleted};
    QLineEdit *edits[5] = {m_ui->T_COUNT, m_ui->N_COUNT, m_ui->W_COUNT, m_ui->C_COUNT, m_ui->D_COUNT};
    for (int i = 0; i < 5; ++i) {
        m_counts[i] = counts[i];
        edits[i]->setText(QLatin1Char(' ') + QString::number(counts[i]) + tr("ken"));
    }
}

void RedmineUpdateIssue::checkAllRows(bool on)
{
    for (QTreeWidgetItem *row : allRows()) {
        if (!on) {
            if (isChecked(row))
                row->setCheckState(ColCheck, Qt::Unchecked);
            continue;
        }
        const QString kind = background(row, ColKind);
        if (kind == QLatin1String("#00ff00") || kind == QLatin1String("#ff0000") ||
            kind == QLatin1String("#808080"))
            continue;
        if (!isChecked(row))
            setChecked(row, true);
    }
}
