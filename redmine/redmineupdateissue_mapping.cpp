#include "core/postbox.h"
#include "instance/deftab.h"
#include "redmine/redmineexp.h"
#include "redmine/redmineproject.h"
#include "redmine/redmineupdateissue.h"
#include "shell/askbox.h"
#include "ui_redmineupdateissue.h"

#include <QMessageBox>

namespace
{
const QLatin1String Changed("#ffff00");
const QLatin1String Missing("#ff0000");

// Copies the first columns of every row (and the user data of the given columns) of a list.
void copyRows(QTreeWidget *from, QTreeWidget *to, int columns, std::initializer_list<int> dataColumns = {})
{
    if (!from)
        return;
    for (int i = 0; i < from->topLevelItemCount(); ++i) {
        auto *row = new QTreeWidgetItem(to);
        for (int c = 0; c < columns; ++c)
            row->setText(c, from->topLevelItem(i)->text(c));
        for (int c : dataColumns)
            row->setData(c, Qt::UserRole, from->topLevelItem(i)->data(c, Qt::UserRole));
    }
}
} // namespace

void RedmineUpdateIssue::FillMappingTabs()
{
    QTreeWidget *trees[5] = {m_ui->TRACKER_TREE, m_ui->CATEGORY_TREE, m_ui->STATUS_TREE, m_ui->VERSION_TREE,
                             m_ui->PRIORITY_TREE};
    for (QTreeWidget *tree : trees)
        tree->clear();
    auto *project = GetObj<RedmineProject>(RegSlot::ObjRedmineProject);
    if (GetBoolVar(RegSlot::FlagRedmineLink) && project) {
        copyRows(project->GetTrackerTree(), m_ui->TRACKER_TREE, 3, {1});
        copyRows(project->GetCategoryTree(), m_ui->CATEGORY_TREE, 2);
        new QTreeWidgetItem(m_ui->CATEGORY_TREE, {m_none, QStringLiteral("0")});
        copyRows(project->GetStatusTree(), m_ui->STATUS_TREE, 3);
        copyRows(project->GetVersionTree(), m_ui->VERSION_TREE, 4);
        new QTreeWidgetItem(m_ui->VERSION_TREE, {m_none, QString(), QString(), QStringLiteral("0")});
        copyRows(project->GetPriorityTree(), m_ui->PRIORITY_TREE, 3);
    }
    for (QTreeWidget *tree : trees)
        TreeColumnAdjustment(tree);
    fitColumns();
}

bool RedmineUpdateIssue::checkCurrentRow()
{
    QTreeWidgetItem *row = m_ui->ISSUETREE->currentItem();
    if (!row) {
        showMessage(tr("ticket is not selected"), true);
        return false;
    }
    for (int c = ColId; c <= ColVersion; ++c) {
        if (background(row, c) == QLatin1String("#e5ade4")) {
            showMessage(tr("as nofield exist, you close and search item again"), true);
            return false;
        }
    }
    return true;
}

// The common part of every mapping: refuses the same value, then sets it and marks it against the
// value the issue holds.
bool RedmineUpdateIssue::assign(int column, const QString &name, const QString &id, const QString &same)
{
    QTreeWidgetItem *row = m_ui->ISSUETREE->currentItem();
    if (name == row->text(column)) {
        showMessage(same, true);
        return false;
    }
    row->setText(column, name);
    row->setData(column, Qt::UserRole, id);
    markAgainstReference(row, column, name);
    return true;
}

void RedmineUpdateIssue::markAgainstReference(QTreeWidgetItem *row, int column, const QString &name)
{
    bool differs = true;
    if (row->text(ColId).isEmpty()) {
        if (column == ColCategory || column == ColVersion)
            differs = name != m_none;
        else if (column == ColPriority)
            differs = name != defaultPriority().first;
    } else if (m_records.contains(row->text(ColKey))) {
        const IssueSync::IssueRecord &r = m_records[row->text(ColKey)];
        const QString names[] = {r.trackerName, r.statusName, r.priorityName, r.categoryName, r.versionName};
        const QString stored = names[column - ColTracker];
        differs = name != (stored.isEmpty() ? m_none : stored);
    }
    if (differs)
        paint(row, column, "#ffff00", "#000000");
    else
        paint(row, column, "#ffffff", "#000000");
}

void RedmineUpdateIssue::reclassify(QTreeWidgetItem *row)
{
    for (int c = ColId; c <= ColTracker; ++c) {
        if (background(row, c) == Missing)
            return;
    }
    if (row->text(ColId).isEmpty()) {
        paint(row, ColKind, "#ffff00", "#000000");
        setChecked(row, true);
        return;
    }
    bool changed = false;
    for (int c = ColDescription; c <= ColVersion; ++c)
        changed = changed || background(row, c) == Changed;
    if (changed) {
        setKind(row, KindMod, "#ffff00", "#000000");
        setChecked(row, true);
        offerUpdate();
        return;
    }
    if (isClosedStatus(row->data(ColStatus, Qt::UserRole).toString()))
        setKind(row, KindClose, "#808080", "#ffffff");
    else
        setKind(row, KindSet, "#00ff00", "#000000");
    row->setData(ColCheck, Qt::CheckStateRole, QVariant());
    if (!anyRow([](QTreeWidgetItem *r) {
            const QString kind = background(r, ColKind);
            return kind == QLatin1String("#ff0000") || kind == QLatin1String("#ffff00");
        }))
        m_ui->UPDATE->hide();
}

bool RedmineUpdateIssue::askBatch(const QString &title, const QString &question)
{
    QMessageBox box(this);
    box.setWindowTitle(title);
    box.setWindowIcon(GetLogoIcon());
    box.setIcon(QMessageBox::Information);
    box.setStyleSheet(QStringLiteral("QLabel{min-width: 150px;min-height: 20px;}"));
    box.setText(question);
    QPushButton *yes = AskBox::Button(box, "yes", tr("yes"), QMessageBox::YesRole);
    QPushButton *no = AskBox::Button(box, "no", tr("no"), QMessageBox::NoRole);
    return AskBox::Confirmed(box, yes, no);
}

bool RedmineUpdateIssue::trackerBatch(QTreeWidgetItem *row, QTreeWidgetItem *tracker)
{
    const auto noTracker = [](QTreeWidgetItem *r) { return background(r, ColTracker) == Missing; };
    if (!row->text(ColId).isEmpty() || !noTracker(row))
        return false;
    QList<QTreeWidgetItem *> rows = allRows();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](QTreeWidgetItem *r) { return !noTracker(r); }),
               rows.end());
    if (rows.size() < 2 ||
        !askBatch(tr("Tracker batch process "), tr("Do you want to change all tracker of none name?")))
        return false;
    for (QTreeWidgetItem *r : rows) {
        r->setText(ColTracker, tracker->text(0));
        r->setData(ColTracker, Qt::UserRole, tracker->text(2));
        paint(r, ColTracker, "#ffff00", "#000000");
        r->setText(ColStatus, tracker->text(1));
        r->setData(ColStatus, Qt::UserRole, tracker->data(1, Qt::UserRole));
        paint(r, ColKind, "#ffff00", "#000000");
        setChecked(r, true);
    }
    return true;
}

void RedmineUpdateIssue::DblTrackerProc(QTreeWidgetItem *item, int)
{
    m_ui->MSG->clear();
    if (m_readOnly || !item || !checkCurrentRow())
        return;
    QTreeWidgetItem *row = m_ui->ISSUETREE->currentItem();
    if (item->text(0) == row->text(ColTracker)) {
        showMessage(tr("tracker name is same"), true);
        return;
    }
    if (!trackerBatch(row, item)) {
        assign(ColTracker, item->text(0), item->text(2), tr("tracker name is same"));
        // A new issue starts in the status its tracker gives new issues.
        if (row->text(ColId).isEmpty()) {
            row->setText(ColStatus, item->text(1));
            row->setData(ColStatus, Qt::UserRole, item->data(1, Qt::UserRole));
        }
        reclassify(row);
    }
    fitColumns();
}

void RedmineUpdateIssue::DblCategoryProc(QTreeWidgetItem *item, int)
{
    m_ui->MSG->clear();
    if (m_readOnly || !item || !checkCurrentRow())
        return;
    if (assign(ColCategory, item->text(0), item->text(1), tr("category name is same")))
        reclassify(m_ui->ISSUETREE->currentItem());
    fitColumns();
}

void RedmineUpdateIssue::DblVersionProc(QTreeWidgetItem *item, int)
{
    m_ui->MSG->clear();
    if (m_readOnly || !item || !checkCurrentRow())
        return;
    if (assign(ColVersion, item->text(0), item->text(3), tr("version name is same")))
        reclassify(m_ui->ISSUETREE->currentItem());
    fitColumns();
}

void RedmineUpdateIssue::DblPriorityProc(QTreeWidgetItem *item, int)
{
    m_ui->MSG->clear();
    if (m_readOnly || !item || !checkCurrentRow())
        return;
    if (assign(ColPriority, item->text(0), item->text(2), tr("priority name is same")))
        reclassify(m_ui->ISSUETREE->currentItem());
    fitColumns();
}

void RedmineUpdateIssue::setStatus(QTreeWidgetItem *row, const QString &name, const QString &id, bool mark)
{
    row->setText(ColStatus, name);
    row->setData(ColStatus, Qt::UserRole, id);
    if (mark)
        paint(row, ColStatus, "#ffff00", "#000000");
    else
        markAgainstReference(row, ColStatus, name);
}

bool RedmineUpdateIssue::closeBatch(QTreeWidgetItem *status)
{
    QList<QTreeWidgetItem *> rows = allRows();
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [](QTreeWidgetItem *r) {
                                  return r->text(ColDone) != QLatin1String("100") ||
                                         background(r, ColStatus) != Missing;
                              }),
               rows.end());
    if (rows.size() < 2 ||
        !askBatch(tr("Close ticket batch process "),
                  tr("Do you want to change all Status to closed ticket that progress rate is 100%?")))
        return false;
    for (QTreeWidgetItem *r : rows) {
        setStatus(r, status->text(0), status->text(2), true);
        paint(r, ColKind, "#ffff00", "#000000");
        setChecked(r, true);
    }
    return true;
}

void RedmineUpdateIssue::DblStatusProc(QTreeWidgetItem *item, int)
{
    m_ui->MSG->clear();
    if (m_readOnly || !item || !checkCurrentRow())
        return;
    QTreeWidgetItem *row = m_ui->ISSUETREE->currentItem();
    if (row->text(ColKind) == m_kinds.value(KindNew)) {
        showMessage(row->text(ColTracker) == m_none ? tr("you must set tracker")
                                                    : tr("status of new ticket is not change"),
                    true);
        return;
    }
    if (item->text(0) == row->text(ColStatus)) {
        showMessage(tr("status name is same"), true);
        return;
    }
    const bool closed = !item->text(1).isEmpty();
    const bool full = row->text(ColDone) == QLatin1String("100");
    if (full && !closed) {
        showMessage(tr("As progress ragte is 100%,you must select close ticket status"), true);
        return;
    }
    if (full && closed && closeBatch(item)) {
        fitColumns();
        return;
    }
    if (closed) {
        for (int c = 0; !row->parent() && c < row->childCount(); ++c) {
            QTreeWidgetItem *child = row->child(c);
            if (isClosedStatus(child->data(ColStatus, Qt::UserRole).toString()))
                continue;
            setStatus(child, item->text(0), item->text(2), true);
            reclassify(child);
        }
        if (!full)
            showMessage(tr("warning:done_rate is not 100%"), true);
    }
    setStatus(row, item->text(0), item->text(2), false);
    reclassify(row);
    fitColumns();
}

void RedmineUpdateIssue::TrackerBtnProc(bool)
{
    if (QTreeWidgetItem *item = m_ui->TRACKER_TREE->currentItem())
        DblTrackerProc(item, 0);
    else
        showMessage(tr("tracker name is not selected"), true);
}

void RedmineUpdateIssue::StatusBtnProc(bool)
{
    if (QTreeWidgetItem *item = m_ui->STATUS_TREE->currentItem())
        DblStatusProc(item, 0);
    else
        showMessage(tr("Status name is not selected"), true);
}

void RedmineUpdateIssue::PriorityBtnProc(bool)
{
    if (QTreeWidgetItem *item = m_ui->PRIORITY_TREE->currentItem())
        DblPriorityProc(item, 0);
    else
        showMessage(tr("Priority name is not selected"), true);
}

void RedmineUpdateIssue::CategoryBtnProc(bool)
{
    if (QTreeWidgetItem *item = m_ui->CATEGORY_TREE->currentItem())
        DblCategoryProc(item, 0);
    else
        showMessage(tr("Category name is not selected"), true);
}

void RedmineUpdateIssue::VersionBtnProc(bool)
{
    if (QTreeWidgetItem *item = m_ui->VERSION_TREE->currentItem())
        DblVersionProc(item, 0);
    else
        showMessage(tr("Version name is not selected"), true);
}

void RedmineUpdateIssue::IssueClicked(QTreeWidgetItem *item, int column)
{
    if (!item)
        return;
    const QString back = background(item, column);
    QString text;
    if (back == QLatin1String("#e5ade4"))
        text = tr("field:") + m_labels.value(column) + tr(" is not checked for tracker");
    else if (back == QLatin1String("#93d9f3"))
        text = tr("status is not workflow of tracker or not check");
    else if (back == Missing && column == ColTracker)
        text = tr("select tracker at new ticket");
    else if (back == Missing && column == ColStatus)
        text = tr("done rate is 100. but status is not close");
    else if (back == QLatin1String("#bcbbb4"))
        text = tr("parent ticket is have no value. this value is Pelmorine's value");
    if (text.isEmpty())
        text = item->data(ColKind, KeptRole).toString();
    showMessage(text, true);
}

void RedmineUpdateIssue::IssueItemChanged(QTreeWidgetItem *item, int column)
{
    if (m_busy || column != ColCheck || !item)
        return;
    const bool deleteRow = item->text(ColKind) == m_kinds.value(KindDelete);
    QTreeWidgetItem *parent = item->parent();
    if (isChecked(item)) {
        for (int c = 0; deleteRow && !parent && c < item->childCount(); ++c)
            setChecked(item->child(c), true);
        if (parent && !deleteRow && !isChecked(parent)) {
            const QString kind = background(parent, ColKind);
            if (kind != QLatin1String("#00ff00") && kind != QLatin1String("#808080"))
                setChecked(parent, true);
        }
        offerUpdate();
        return;
    }
    if (parent && deleteRow && isChecked(parent))
        setChecked(parent, false);
    for (int c = 0; !parent && item->text(ColId).isEmpty() && c < item->childCount(); ++c) {
        if (isChecked(item->child(c)))
            setChecked(item->child(c), false);
    }
    if (!anyRow(isChecked))
        m_ui->UPDATE->hide();
}

void RedmineUpdateIssue::DblIssueProc(QTreeWidgetItem *item, int column)
{
    m_ui->MSG->clear();
    if (!item)
        return;
    if (column == ColDescription && item->text(ColKind) != m_kinds.value(KindDelete)) {
        QString refusal;
        const QString explanation = explanationOf(item, &refusal);
        m_viewer->ShowText(refusal.isEmpty() ? explanation : refusal);
    } else if (column == ColKey) {
        m_jumpKey = item->text(ColKey);
        m_jumpSet = true;
        if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
            tab->SelectTreeItem(m_jumpKey.mid(1));
        PostBox::Post(MsgCode::IssueSelectInstance);
    }
}
