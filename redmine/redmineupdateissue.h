#pragma once

#include "core/globalvar.h"
#include "redmine/issuesync.h"

#include <QDomDocument>
#include <QHash>
#include <QPair>
#include <QWidget>
#include <functional>

namespace Ui
{
class RedmineUpdateIssue;
}
class NwRedmine;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class RedmineExp;

// The "update issue" page of the tracker window: every global instance element against the linked
// project's issues, each row classified (new, set, changed, closed, to delete) and, on UPDATE, the
// checked rows created, changed or deleted on the tracker one request at a time.
class RedmineUpdateIssue final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Column {
        ColCheck,
        ColKind,
        ColId,
        ColAssigned,
        ColSubject,
        ColDescription,
        ColStart,
        ColDue,
        ColDone,
        ColHours,
        ColTracker,
        ColStatus,
        ColPriority,
        ColCategory,
        ColVersion,
        ColKey,
        ColumnCount
    };
    // Row kinds, by their index in the label list.
    enum Kind { KindError = 0, KindNew = 1, KindSet = 2, KindMod = 3, KindClose = 4, KindDelete = 7 };
    // On the kind cell of a "Delete Issue" row the run kept: why it was not deleted.
    static constexpr int KeptRole = Qt::UserRole + 1;

    explicit RedmineUpdateIssue(QWidget *parent = nullptr);
    ~RedmineUpdateIssue() override;

    // Replies the dispatcher hands over, and its error display.
    void ReadIssues();
    void ReadCreatedIssue();
    void RequestIssue();
    void DeleteIssueDone();
    void ReadUpdatedIssue();
    void ShowError(int mode, int error);
    void CheckChangedItems();

    // Called by the tracker window and the project page.
    void ClearPage();
    void ShowPageState();
    void FillMappingTabs();
    void ResetTarget();
    void SetReadOnly(bool on);
    bool IsReadOnly() const { return m_readOnly; }

    QTreeWidget *IssueTree() const;
    QString MessageText() const;
    bool IsBusy() const { return m_busy; }
    QString KindLabel(int kind) const { return m_kinds.value(kind); }

public slots:
    void TargetShowProc(bool status = false);
    void UpdateProc(bool status = false);
    void CheckChanged(int state);
    void IssueClicked(QTreeWidgetItem *item, int column);
    void IssueItemChanged(QTreeWidgetItem *item, int column);
    void DblIssueProc(QTreeWidgetItem *item, int column);
    void DblTrackerProc(QTreeWidgetItem *item, int column);
    void DblCategoryProc(QTreeWidgetItem *item, int column);
    void DblStatusProc(QTreeWidgetItem *item, int column);
    void DblVersionProc(QTreeWidgetItem *item, int column);
    void DblPriorityProc(QTreeWidgetItem *item, int column);
    void TrackerBtnProc(bool status = false);
    void CategoryBtnProc(bool status = false);
    void StatusBtnProc(bool status = false);
    void VersionBtnProc(bool status = false);
    void PriorityBtnProc(bool status = false);

private:
    // ---- cells and rows (redmineupdateissue.cpp) ----
    static QString background(const QTreeWidgetItem *row, int column);
    static void paint(QTreeWidgetItem *row, int column, const char *back, const char *text);
    static bool isChecked(const QTreeWidgetItem *row);
    void setKind(QTreeWidgetItem *row, int kind, const char *back, const char *text);
    void setChecked(QTreeWidgetItem *row, bool on);
    void showMessage(const QString &text, bool error);
    void showSetButtons(bool on);
    QList<QTreeWidgetItem *> allRows() const;
    bool anyRow(const std::function<bool(QTreeWidgetItem *)> &test) const;
    NwRedmine *client() const;
    bool clientIdle();
    void sendRefused();
    // The element's explanation as it is sent and compared: cut to the tracker's limit. When its
    // file was refused, the empty text, and *refusal (when given) says why, naming the file.
    QString explanationOf(const QTreeWidgetItem *row, QString *refusal = nullptr) const;
    bool isClosedStatus(const QString &id) const;
    QPair<QString, QString> defaultPriority() const;
    void fitColumns();
    // Shows UPDATE unless the page is read-only or must read the tracker's list again first.
    void offerUpdate();
    bool isDeleteRow(const QTreeWidgetItem *row) const;

    // ---- the target list (redmineupdateissue_list.cpp) ----
    QTreeWidgetItem *addElementRow(QTreeWidgetItem *element, QTreeWidgetItem *parentRow);
    void finishListing();
    void matchRows();
    void compareRow(QTreeWidgetItem *row, IssueSync::IssueRecord &record);
    void markNewRow(QTreeWidgetItem *row);
    bool addDeleteRows();
    void updateCounts();
    void checkAllRows(bool on);

    // ---- sending (redmineupdateissue_send.cpp) ----
    bool checkBeforeRun();
    QHash<QTreeWidgetItem *, QStringList> keptDeletes() const;
    bool confirmDeletes(int count);
    void keepIssue(QTreeWidgetItem *row, const QStringList &children);
    bool deleteOrKeep(QTreeWidgetItem *row);
    bool waitsForSubIssues(const QTreeWidgetItem *row) const;
    bool nextIssue();
    void sendCurrent(QTreeWidgetItem *row, int rowIndex, int childIndex);
    void sendIssue();
    bool refuseCreate(QTreeWidgetItem *row);
    IssueSync::IssueBody bodyOf(QTreeWidgetItem *row) const;
    bool deferParentUpdate(QTreeWidgetItem *row);
    bool isAssignedMember(const QTreeWidgetItem *row) const;
    void readBackIssue(IssueSync::IssueRecord &record, QTreeWidgetItem *row);
    void readBackField(QTreeWidgetItem *row, int column, bool differs, const QString &id);
    void setKindAfterCreate(QTreeWidgetItem *row);
    void endRun();
    QString endText() const;
    void stopRun();

    // ---- mapping tabs and row editing (redmineupdateissue_mapping.cpp) ----
    bool checkCurrentRow();
    bool assign(int column, const QString &name, const QString &id, const QString &same);
    void markAgainstReference(QTreeWidgetItem *row, int column, const QString &name);
    void reclassify(QTreeWidgetItem *row);
    bool askBatch(const QString &title, const QString &question);
    bool trackerBatch(QTreeWidgetItem *row, QTreeWidgetItem *tracker);
    bool closeBatch(QTreeWidgetItem *status);
    void setStatus(QTreeWidgetItem *row, const QString &name, const QString &id, bool mark);

    Ui::RedmineUpdateIssue *m_ui;
    QString m_unset;
    QString m_none;
    QString m_noField;
    QString m_readOnlyText;
    QHash<int, QString> m_labels;
    QStringList m_kinds;
    bool m_readOnly = false;
    int m_rowIndex = -1;
    int m_childIndex = -1;
    QTreeWidgetItem *m_currentRow = nullptr;
    bool m_loaded = false;
    bool m_morePages = false;
    int m_page = 0;
    bool m_busy = false;
    int m_counts[5] = {};
    QHash<QString, IssueSync::IssueRecord> m_records;
    // Every listed issue's sub-issues by the parent's id, issues without a link key included.
    QHash<QString, QStringList> m_trackerChildren;
    // A request failed without its answer: the tracker may hold what the rows do not show, so
    // nothing is sent until the list is read again.
    bool m_mustRelist = false;
    // "Delete Issue" rows of this run that were not deleted, by reason.
    int m_keptWithSubIssues = 0;
    int m_keptUnconfirmed = 0;
    QDomDocument m_request;
    bool m_deferred = false;
    int m_deferredCount = 0;
    QTreeWidgetItem *m_deferredRow = nullptr;
    bool m_statusWarning = false;
    RedmineExp *m_viewer;
    QString m_jumpKey;
    bool m_jumpSet = false;
    QPushButton *m_set[5];
};
