#include "core/xmlclass.h"
#include "redmine/nwredmine.h"
#include "redmine/redmineupdateissue.h"
#include "ui_redmineupdateissue.h"

#include <QMessageBox>

// The tracker deletes an issue's sub-issues with it, whoever made them and whatever they stand for.
// So a checked "Delete Issue" row goes only when every sub-issue the list found goes in the same run;
// the others are kept, each with the sub-issues that keep it.
QHash<QTreeWidgetItem *, QStringList> RedmineUpdateIssue::keptDeletes() const
{
    QHash<QString, QTreeWidgetItem *> going;
    for (QTreeWidgetItem *row : allRows()) {
        if (isDeleteRow(row) && isChecked(row))
            going.insert(row->text(ColId), row);
    }
    QHash<QTreeWidgetItem *, QStringList> kept;
    for (bool dropped = true; dropped;) {
        dropped = false;
        for (auto it = going.begin(); it != going.end();) {
            QStringList staying;
            for (const QString &child : m_trackerChildren.value(it.key())) {
                if (!going.contains(child))
                    staying << child;
            }
            if (staying.isEmpty()) {
                ++it;
                continue;
            }
            kept.insert(it.value(), staying);
            it = going.erase(it);
            dropped = true;
        }
    }
    return kept;
}

// Deleting an issue cannot be undone, and a "Delete Issue" row may well stand for an issue another
// workspace made on the same project: one question per run, naming how many go, before any request.
bool RedmineUpdateIssue::confirmDeletes(int count)
{
    if (count == 0)
        return true;
    QMessageBox box(this);
    box.setWindowTitle(tr("confirmation"));
    box.setWindowIcon(GetLogoIcon());
    box.setIcon(QMessageBox::Warning);
    box.setText(tr("%1 issue(s) will be deleted on the tracker. Do you want to delete them?").arg(count));
    QPushButton *yes = box.addButton(tr("yes"), QMessageBox::YesRole);
    yes->setObjectName(QStringLiteral("yes"));
    QPushButton *no = box.addButton(tr("no"), QMessageBox::NoRole);
    no->setObjectName(QStringLiteral("no"));
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

// The row stays as it was listed, unchecked, and says why: on its cells and when clicked.
void RedmineUpdateIssue::keepIssue(QTreeWidgetItem *row, const QStringList &children)
{
    const QString why =
        children.isEmpty()
            ? tr("not deleted: the tracker did not show which sub-issues it would delete with it")
            : tr("not deleted: the tracker would delete its sub-issue(s) #%1 with it")
                  .arg(children.join(QStringLiteral(", #")));
    ++(children.isEmpty() ? m_keptUnconfirmed : m_keptWithSubIssues);
    row->setData(ColKind, KeptRole, why);
    for (int c = ColKind; c < ColumnCount; ++c)
        row->setToolTip(c, why);
    if (isChecked(row))
        row->setCheckState(ColCheck, Qt::Unchecked);
}

// A "Delete Issue" row goes after those of its sub-issues, wherever the list shows them: the tracker
// would take them with it, and its own look at the tracker before the delete must find them gone.
bool RedmineUpdateIssue::waitsForSubIssues(const QTreeWidgetItem *row) const
{
    const auto children = m_trackerChildren.constFind(row->text(ColId));
    if (children == m_trackerChildren.cend())
        return false;
    return anyRow([this, &children](QTreeWidgetItem *other) {
        return isDeleteRow(other) && isChecked(other) && children->contains(other->text(ColId));
    });
}

// Sub-issues made by hand, or the issues of live elements moved under it since the list was read,
// would go with the issue: they keep it. Its own children in this run were deleted before it.
bool RedmineUpdateIssue::deleteOrKeep(QTreeWidgetItem *row)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const int index = XmlIndex::RedmineFirst + 7;
    const QDomElement root =
        store && store->HasDoc(index) ? store->GetXmlDoc(index)->documentElement() : QDomElement();
    QStringList children;
    const QDomElement list = root.firstChildElement(QStringLiteral("children"));
    for (QDomElement e = list.firstChildElement(QStringLiteral("issue")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("issue")))
        children << e.attribute(QStringLiteral("id"));
    // A reply that is not this issue proves nothing: it is not deleted either.
    if (root.tagName() != QLatin1String("issue") || !children.isEmpty() ||
        root.firstChildElement(QStringLiteral("id")).text() != row->text(ColId)) {
        keepIssue(row, children);
        return false;
    }
    NwRedmine *c = client();
    if (!c || !c->DeleteIssue(row->text(ColId)))
        sendRefused();
    return true;
}

void RedmineUpdateIssue::DeleteIssueDone()
{
    QTreeWidgetItem *row = m_currentRow;
    if (!m_busy || !row)
        return;
    m_currentRow = nullptr;
    m_records.remove(row->text(ColKey));
    // The cursor steps back over the removed row, so the scan goes on with the row after it; a
    // child row is removed and the run goes on just the same.
    if (QTreeWidgetItem *parent = row->parent()) {
        m_childIndex = parent->indexOfChild(row) - 1;
    } else {
        m_rowIndex = m_ui->ISSUETREE->indexOfTopLevelItem(row) - 1;
        m_childIndex = -1;
    }
    delete row;
    if (!nextIssue())
        endRun();
}

// A "Delete Issue" row the run kept is named at the end, with why: the tracker may have gained a
// sub-issue after the list was read, and a silent end would read as if every checked row had gone.
QString RedmineUpdateIssue::endText() const
{
    QString text = tr("Redmine process is end");
    if (m_keptWithSubIssues > 0)
        text += QStringLiteral("; ") +
                tr("%n issue(s) not deleted: the tracker would delete sub-issues with them (click the row)",
                   nullptr, m_keptWithSubIssues);
    if (m_keptUnconfirmed > 0)
        text += QStringLiteral("; ") +
                tr("%n issue(s) not deleted: the tracker did not show their sub-issues (click the row)",
                   nullptr, m_keptUnconfirmed);
    return text;
}
