#include "core/postbox.h"
#include "core/xmlclass.h"
#include "redmine/nwredmine.h"
#include "redmine/redmineproject.h"
#include "redmine/redmineupdateissue.h"
#include "ui_redmineupdateissue.h"

namespace
{
const QLatin1String Changed("#ffff00");
const QLatin1String Missing("#ff0000");
const QLatin1String NotTaken("#e5ade4");
const QLatin1String ParentValue("#bcbbb4");
} // namespace

void RedmineUpdateIssue::UpdateProc(bool)
{
    if (m_readOnly || !clientIdle())
        return;
    if (m_mustRelist) {
        showMessage(tr("press target show first: the tracker may hold an issue this list does not show"),
                    true);
        return;
    }
    std::fill(std::begin(m_counts), std::end(m_counts), 0);
    if (!checkBeforeRun())
        return;
    m_keptWithSubIssues = m_keptUnconfirmed = 0;
    const QHash<QTreeWidgetItem *, QStringList> kept = keptDeletes();
    int count = 0;
    for (QTreeWidgetItem *row : allRows())
        count += isDeleteRow(row) && isChecked(row) && !kept.contains(row);
    if (!confirmDeletes(count))
        return;
    {
        // Unchecking a kept child row must not reach IssueItemChanged: each row is told on its own.
        const QSignalBlocker quiet(m_ui->ISSUETREE);
        for (auto it = kept.cbegin(); it != kept.cend(); ++it)
            keepIssue(it.key(), it.value());
    }
    m_busy = true;
    m_rowIndex = m_childIndex = -1;
    m_currentRow = nullptr;
    m_deferred = false;
    m_deferredCount = 0;
    m_deferredRow = nullptr;
    showMessage(tr("under process"), false);
    if (!nextIssue())
        endRun();
}

bool RedmineUpdateIssue::checkBeforeRun()
{
    for (QTreeWidgetItem *row : allRows()) {
        if (!isChecked(row) || isDeleteRow(row))
            continue;
        if (!isAssignedMember(row)) {
            showMessage(tr("assigned name is not redmine group"), true);
            return false;
        }
        if (background(row, ColKind) == Missing) {
            showMessage(tr("red term:") + row->text(ColKey) + tr("is modify"), true);
            return false;
        }
    }
    return true;
}

bool RedmineUpdateIssue::nextIssue()
{
    if (m_deferred && m_deferredCount-- == 1) {
        m_deferred = false;
        m_currentRow = m_deferredRow;
        m_childIndex = -1;
        sendIssue();
        return true;
    }
    m_currentRow = nullptr;
    QTreeWidget *tree = m_ui->ISSUETREE;
    for (int r = qMax(m_rowIndex, 0); r < tree->topLevelItemCount(); ++r) {
        QTreeWidgetItem *row = tree->topLevelItem(r);
        // Handled, a delete row is removed or unchecked: still checked at the cursor, it has only
        // waited for its children.
        const bool deleteRow = isDeleteRow(row);
        const bool due = r > m_rowIndex || deleteRow;
        if (isChecked(row) && due && !(deleteRow && waitsForSubIssues(row)) && !deferParentUpdate(row)) {
            sendCurrent(row, r, -1);
            return true;
        }
        for (int c = r == m_rowIndex ? qMax(m_childIndex, 0) : 0; c < row->childCount(); ++c) {
            QTreeWidgetItem *child = row->child(c);
            if (isChecked(child) && (r != m_rowIndex || c > m_childIndex) &&
                !(isDeleteRow(child) && waitsForSubIssues(child))) {
                sendCurrent(child, r, c);
                return true;
            }
        }
        if (r == m_rowIndex)
            m_childIndex = -1;
    }
    // A parent still waiting (its children were not all sent) is not left behind.
    if (m_deferred) {
        m_deferredCount = 1;
        return nextIssue();
    }
    // Nor is a delete row that waited for sub-issues listed after it.
    for (QTreeWidgetItem *row : allRows()) {
        if (isDeleteRow(row) && isChecked(row) && !waitsForSubIssues(row)) {
            QTreeWidgetItem *top = row->parent() ? row->parent() : row;
            sendCurrent(row, tree->indexOfTopLevelItem(top), row->parent() ? top->indexOfChild(row) : -1);
            return true;
        }
    }
    return false;
}

void RedmineUpdateIssue::sendCurrent(QTreeWidgetItem *row, int rowIndex, int childIndex)
{
    m_rowIndex = rowIndex;
    m_childIndex = childIndex;
    m_currentRow = row;
    sendIssue();
}

// A refused request stops the run with this row unsent.
void RedmineUpdateIssue::sendIssue()
{
    QTreeWidgetItem *row = m_currentRow;
    NwRedmine *c = client();
    bool sent = false;
    if (c && row->text(ColId).isEmpty()) {
        if (refuseCreate(row))
            return;
        m_request = IssueSync::CreateBody(bodyOf(row));
        sent = c->PostIssue(m_request);
    } else if (c && isDeleteRow(row)) {
        // First what the tracker would delete with it (ReadUpdatedIssue goes on).
        sent = c->GetIssueChildren(row->text(ColId));
    } else if (c) {
        m_request = IssueSync::UpdateBody(bodyOf(row));
        sent = c->PutIssue(row->text(ColId), m_request);
    }
    if (!sent)
        sendRefused();
}

// A create always carries the description: with the element's explanation refused it would file
// the issue with an empty one. The run stops here, the row unsent and checked, until the file reads.
bool RedmineUpdateIssue::refuseCreate(QTreeWidgetItem *row)
{
    QString refusal;
    explanationOf(row, &refusal);
    if (refusal.isEmpty())
        return false;
    stopRun();
    showMessage(tr("%1 was not created: its explanation was not read: %2").arg(row->text(ColKey), refusal),
                true);
    ShowPageState();
    return true;
}

IssueSync::IssueBody RedmineUpdateIssue::bodyOf(QTreeWidgetItem *row) const
{
    using namespace IssueSync;
    IssueBody body;
    body.projectId = QString::number(GetIntVar(RegSlot::IntRedmineProjectId));
    body.subject = MarkedSubject(row->text(ColSubject), row->text(ColKey));
    if (QTreeWidgetItem *parent = row->parent())
        body.parentId = parent->text(ColId);
    const int columns[FieldCount] = {ColAssigned, ColDescription, ColStart,   ColDue,
                                     ColDone,     ColHours,       ColTracker, ColStatus,
                                     ColCategory, ColVersion,     ColPriority};
    for (int f = 0; f < FieldCount; ++f) {
        const int column = columns[f];
        body.marked[f] = background(row, column) == Changed;
        if (column == ColAssigned || column >= ColTracker)
            body.values[f] = row->data(column, Qt::UserRole).toString();
        else if (column == ColStart || column == ColDue)
            body.values[f] = TrackerDate(row->text(column));
        else
            body.values[f] = row->text(column);
    }
    // The same cut text the read-back compares with: the full text would never read back equal.
    // A refused explanation leaves the tracker's description as it is.
    QString refusal;
    body.values[Description] = explanationOf(row, &refusal);
    if (!refusal.isEmpty())
        body.marked[Description] = false;
    body.withCategory = row->text(ColCategory) != m_none;
    body.withVersion = row->text(ColVersion) != m_none;
    return body;
}

// A parent closed together with its children goes after them: the tracker refuses to close a
// parent whose sub-issues are still open.
bool RedmineUpdateIssue::deferParentUpdate(QTreeWidgetItem *row)
{
    if (m_deferred || row->parent() || row->childCount() == 0 || background(row, ColStatus) != Changed ||
        !isClosedStatus(row->data(ColStatus, Qt::UserRole).toString()))
        return false;
    int count = 0;
    for (int c = 0; c < row->childCount(); ++c) {
        // An unchecked child is not sent in this run: the parent must not wait for it.
        if (background(row->child(c), ColStatus) == Changed && isChecked(row->child(c)))
            ++count;
    }
    if (count == 0)
        return false;
    m_deferred = true;
    m_deferredCount = count;
    m_deferredRow = row;
    return true;
}

bool RedmineUpdateIssue::isAssignedMember(const QTreeWidgetItem *row) const
{
    if (background(row, ColAssigned) == NotTaken)
        return true;
    auto *project = GetObj<RedmineProject>(RegSlot::ObjRedmineProject);
    return project && project->IsTrackerMember(row->data(ColAssigned, Qt::UserRole).toString());
}

void RedmineUpdateIssue::ReadCreatedIssue()
{
    QTreeWidgetItem *row = m_currentRow;
    if (!m_busy || !row)
        return;
    IssueSync::IssueRecord record;
    readBackIssue(record, row);
    record.matched = true;
    m_records.insert(row->text(ColKey), record);
    setKindAfterCreate(row);
    if (!nextIssue())
        endRun();
}

void RedmineUpdateIssue::RequestIssue()
{
    if (!m_busy || !m_currentRow)
        return;
    // Refused, the row keeps its marks and check: sent again, it changes nothing more on the tracker.
    NwRedmine *c = client();
    if (!c || !c->GetIssue(m_currentRow->text(ColId)))
        sendRefused();
}

void RedmineUpdateIssue::ReadUpdatedIssue()
{
    QTreeWidgetItem *row = m_currentRow;
    if (!m_busy || !row)
        return;
    if (isDeleteRow(row)) {
        if (!deleteOrKeep(row) && !nextIssue())
            endRun();
        return;
    }
    for (int c = ColKind; c <= ColVersion; ++c) {
        if (background(row, c) == Changed)
            paint(row, c, "#ffffff", "#000000");
    }
    IssueSync::IssueRecord &record = m_records[row->text(ColKey)];
    record.matched = true;
    readBackIssue(record, row);
    if (!nextIssue())
        endRun();
}

void RedmineUpdateIssue::readBackField(QTreeWidgetItem *row, int column, bool differs, const QString &id)
{
    if (!differs || background(row, column) == ParentValue)
        return;
    paint(row, column, "#e5ade4", "#000000");
    if (!id.isNull())
        row->setData(column, Qt::UserRole, id);
    row->setText(column, m_noField);
}

void RedmineUpdateIssue::readBackIssue(IssueSync::IssueRecord &record, QTreeWidgetItem *row)
{
    using namespace IssueSync;
    m_statusWarning = false;
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const int index = XmlIndex::RedmineFirst + 7;
    const QDomElement root =
        store && store->HasDoc(index) ? store->GetXmlDoc(index)->documentElement() : QDomElement();
    const QString oldStatus = record.statusId;
    record.statusId.clear();
    QHash<QString, QDomElement> seen;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        seen.insert(e.tagName(), e);
    IssueRecord read;
    ReadIssueElement(root, &read);
    if (seen.contains(QStringLiteral("id"))) {
        record.id = read.id;
        if (row->text(ColId).isEmpty())
            row->setText(ColId, read.id);
    }
    struct Named {
        const char *tag;
        int column;
        QString IssueRecord::*id;
        QString IssueRecord::*name;
    };
    const Named named[] = {
        {"tracker", ColTracker, &IssueRecord::trackerId, &IssueRecord::trackerName},
        {"priority", ColPriority, &IssueRecord::priorityId, &IssueRecord::priorityName},
        {"category", ColCategory, &IssueRecord::categoryId, &IssueRecord::categoryName},
        {"fixed_version", ColVersion, &IssueRecord::versionId, &IssueRecord::versionName},
        {"assigned_to", ColAssigned, &IssueRecord::assignedId, &IssueRecord::assignedName}};
    for (const Named &n : named) {
        if (!seen.contains(QLatin1String(n.tag)))
            continue;
        record.*n.id = read.*n.id;
        record.*n.name = read.*n.name;
        const bool optional = n.column == ColCategory || n.column == ColVersion;
        const bool same = row->text(n.column) == read.*n.name ||
                          (optional && (read.*n.id).isEmpty() && row->text(n.column) == m_none);
        readBackField(row, n.column, !same, read.*n.id);
    }
    if (seen.contains(QStringLiteral("status"))) {
        record.statusId = read.statusId;
        record.statusName = read.statusName;
        if (read.statusName != row->text(ColStatus))
            paint(row, ColStatus, "#93d9f3", "#000000");
    } else {
        record.statusId = oldStatus;
    }
    if (seen.contains(QStringLiteral("subject"))) {
        record.subject = read.subject;
        readBackField(row, ColSubject, read.subject != row->text(ColSubject), QString());
    }
    if (seen.contains(QStringLiteral("description"))) {
        record.description = QString(read.description).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QString refusal;
        const QString ours = explanationOf(row, &refusal);
        readBackField(row, ColDescription, refusal.isEmpty() && !SameText(ours, record.description),
                      QString());
    }
    const struct {
        const char *tag;
        int column;
        QString IssueRecord::*field;
        bool date;
    } plain[] = {{"start_date", ColStart, &IssueRecord::startDate, true},
                 {"due_date", ColDue, &IssueRecord::dueDate, true},
                 {"done_ratio", ColDone, &IssueRecord::doneRatio, false}};
    for (const auto &p : plain) {
        if (!seen.contains(QLatin1String(p.tag)))
            continue;
        record.*p.field = read.*p.field;
        const QString ours = p.date ? TrackerDate(row->text(p.column)) : row->text(p.column);
        readBackField(row, p.column, ours != read.*p.field, QString());
    }
    if (seen.contains(QStringLiteral("estimated_hours"))) {
        record.estimatedHours = read.estimatedHours;
        readBackField(row, ColHours, !SameHours(row->text(ColHours), read.estimatedHours), QString());
    }
    const QString status =
        record.statusId.isEmpty() ? row->data(ColStatus, Qt::UserRole).toString() : record.statusId;
    const bool full = row->text(ColDone) == QLatin1String("100");
    if (isClosedStatus(status)) {
        setKind(row, KindClose, "#808080", full ? "#ffffff" : "#ffff00");
    } else {
        setKind(row, KindSet, "#00ff00", "#000000");
        if (full) {
            paint(row, ColStatus, "#ff0000", "#ffffff");
            m_statusWarning = true;
        }
    }
    row->setData(ColCheck, Qt::CheckStateRole, QVariant());
}

void RedmineUpdateIssue::setKindAfterCreate(QTreeWidgetItem *row)
{
    if (isClosedStatus(row->data(ColStatus, Qt::UserRole).toString()))
        setKind(row, KindClose, "#808080", "#ffffff");
    else
        setKind(row, KindSet, "#00ff00", "#000000");
    for (int c = ColSubject; c <= ColVersion; ++c) {
        if (c == ColStatus && m_statusWarning)
            continue;
        const QString back = background(row, c);
        if (back == Changed || back == Missing)
            paint(row, c, "#ffffff", "#000000");
    }
}

void RedmineUpdateIssue::endRun()
{
    PostBox::Post(MsgCode::IssueCheckChanged);
    m_ui->UPDATE->hide();
    showMessage(endText(), false);
    updateCounts();
    stopRun();
    fitColumns();
}
