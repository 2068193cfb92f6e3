#include "redmine/redmineupdateissue.h"

#include "core/defvar.h"
#include "core/textfiles.h"
#include "instance/deftab.h"
#include "redmine/nwredmine.h"
#include "redmine/redmineexp.h"
#include "redmine/redmineproject.h"
#include "ui_redmineupdateissue.h"

#include <QTabBar>

RedmineUpdateIssue::RedmineUpdateIssue(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::RedmineUpdateIssue), m_viewer(new RedmineExp(this))
{
    m_ui->setupUi(this);
    m_unset = tr("unset");
    m_none = tr("None");
    m_noField = tr("No field");
    m_readOnlyText = tr("READ_ONLY");
    const QStringList labels = {tr("assigned"), tr("subject"),    tr("description"), tr("start date"),
                                tr("due date"), tr("done ratio"), tr("hours"),       tr("tracker"),
                                tr("status"),   tr("priority"),   tr("category"),    tr("version")};
    for (int i = 0; i < labels.size(); ++i)
        m_labels.insert(ColAssigned + i, labels.at(i));
    m_kinds = QStringList{tr("Error"),       tr("New Issue"),   tr("Set Issue"), tr("Mod Issue"),
                          tr("Close Issue"), tr("Close Issue"), tr("None"),      tr("Delete Issue"),
                          tr("None"),        tr("None"),        tr("None")};

    QTreeWidget *tree = m_ui->ISSUETREE;
    for (int i = 0; i < ColumnCount; ++i) {
        tree->headerItem()->setBackground(i, QColor(i == ColKey ? "#666666" : "#28649d"));
        tree->headerItem()->setForeground(i, Qt::white);
    }
    QTabWidget *tabs[5] = {m_ui->TRACKER_TAB, m_ui->CATEGORY_TAB, m_ui->STATUS_TAB, m_ui->VERSION_TAB,
                           m_ui->PRIORITY_TAB};
    QTreeWidget *trees[5] = {m_ui->TRACKER_TREE, m_ui->CATEGORY_TREE, m_ui->STATUS_TREE, m_ui->VERSION_TREE,
                             m_ui->PRIORITY_TREE};
    const char *setNames[5] = {"TRACKER_SET", "CATEGORY_SET", "STATUS_SET", "VERSION_SET", "PRIORITY_SET"};
    for (int t = 0; t < 5; ++t) {
        tabs[t]->removeTab(1);
        tabs[t]->tabBar()->setStyleSheet(QStringLiteral("background-color: #28649d"));
        tabs[t]->tabBar()->setTabTextColor(0, Qt::white);
        for (int c = 0; c < trees[t]->columnCount(); ++c) {
            trees[t]->headerItem()->setBackground(c, QColor("#28649d"));
            trees[t]->headerItem()->setForeground(c, Qt::white);
        }
        m_set[t] = new QPushButton(tr("SET"), tabs[t]);
        m_set[t]->setObjectName(QLatin1String(setNames[t]));
        tabs[t]->setCornerWidget(m_set[t]);
        m_set[t]->hide();
    }

    connect(m_ui->TARGETSHOW, &QPushButton::clicked, this, &RedmineUpdateIssue::TargetShowProc);
    connect(m_ui->UPDATE, &QPushButton::clicked, this, &RedmineUpdateIssue::UpdateProc);
    connect(m_ui->UPISSUE, &QCheckBox::stateChanged, this, &RedmineUpdateIssue::CheckChanged);
    connect(tree, &QTreeWidget::itemClicked, this, &RedmineUpdateIssue::IssueClicked);
    connect(tree, &QTreeWidget::itemChanged, this, &RedmineUpdateIssue::IssueItemChanged);
    connect(tree, &QTreeWidget::itemDoubleClicked, this, &RedmineUpdateIssue::DblIssueProc);
    connect(m_ui->TRACKER_TREE, &QTreeWidget::itemDoubleClicked, this, &RedmineUpdateIssue::DblTrackerProc);
    connect(m_ui->CATEGORY_TREE, &QTreeWidget::itemDoubleClicked, this, &RedmineUpdateIssue::DblCategoryProc);
    connect(m_ui->STATUS_TREE, &QTreeWidget::itemDoubleClicked, this, &RedmineUpdateIssue::DblStatusProc);
    connect(m_ui->VERSION_TREE, &QTreeWidget::itemDoubleClicked, this, &RedmineUpdateIssue::DblVersionProc);
    connect(m_ui->PRIORITY_TREE, &QTreeWidget::itemDoubleClicked, this, &RedmineUpdateIssue::DblPriorityProc);
    connect(m_set[0], &QPushButton::clicked, this, &RedmineUpdateIssue::TrackerBtnProc);
    connect(m_set[1], &QPushButton::clicked, this, &RedmineUpdateIssue::CategoryBtnProc);
    connect(m_set[2], &QPushButton::clicked, this, &RedmineUpdateIssue::StatusBtnProc);
    connect(m_set[3], &QPushButton::clicked, this, &RedmineUpdateIssue::VersionBtnProc);
    connect(m_set[4], &QPushButton::clicked, this, &RedmineUpdateIssue::PriorityBtnProc);
    m_ui->UPDATE->hide();
    m_ui->UPISSUE->hide();
    SetObj(RegSlot::ObjRedmineUpdateIssue, this);
}

RedmineUpdateIssue::~RedmineUpdateIssue()
{
    if (GetObj<RedmineUpdateIssue>(RegSlot::ObjRedmineUpdateIssue) == this)
        SetObj<RedmineUpdateIssue>(RegSlot::ObjRedmineUpdateIssue, nullptr);
    delete m_ui;
}

QTreeWidget *RedmineUpdateIssue::IssueTree() const
{
    return m_ui->ISSUETREE;
}

QString RedmineUpdateIssue::MessageText() const
{
    return m_ui->MSG->text();
}

QString RedmineUpdateIssue::background(const QTreeWidgetItem *row, int column)
{
    const QBrush brush = row->background(column);
    return brush.style() == Qt::NoBrush ? QString() : brush.color().name();
}

void RedmineUpdateIssue::paint(QTreeWidgetItem *row, int column, const char *back, const char *text)
{
    row->setBackground(column, QColor(QLatin1String(back)));
    row->setForeground(column, QColor(QLatin1String(text)));
}

bool RedmineUpdateIssue::isChecked(const QTreeWidgetItem *row)
{
    const QVariant state = row->data(ColCheck, Qt::CheckStateRole);
    return state.isValid() && state.toInt() == Qt::Checked;
}

void RedmineUpdateIssue::setKind(QTreeWidgetItem *row, int kind, const char *back, const char *text)
{
    row->setText(ColKind, m_kinds.value(kind));
    paint(row, ColKind, back, text);
}

// A row is sendable only with a check box; in read-only mode no row gets one.
void RedmineUpdateIssue::setChecked(QTreeWidgetItem *row, bool on)
{
    if (m_readOnly)
        row->setData(ColCheck, Qt::CheckStateRole, QVariant());
    else
        row->setCheckState(ColCheck, on ? Qt::Checked : Qt::Unchecked);
}

void RedmineUpdateIssue::showMessage(const QString &text, bool error)
{
    m_ui->MSG->setStyleSheet(error ? QStringLiteral("color: #FF0000") : QStringLiteral("color: #000000"));
    m_ui->MSG->setText(text);
}

void RedmineUpdateIssue::showSetButtons(bool on)
{
    for (QPushButton *button : m_set) {
        if (button->isVisibleTo(this) != on)
            button->setVisible(on);
    }
}

QList<QTreeWidgetItem *> RedmineUpdateIssue::allRows() const
{
    QList<QTreeWidgetItem *> rows;
    QTreeWidget *tree = m_ui->ISSUETREE;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        rows.append(tree->topLevelItem(i));
        for (int c = 0; c < tree->topLevelItem(i)->childCount(); ++c)
            rows.append(tree->topLevelItem(i)->child(c));
    }
    return rows;
}

bool RedmineUpdateIssue::anyRow(const std::function<bool(QTreeWidgetItem *)> &test) const
{
    const QList<QTreeWidgetItem *> rows = allRows();
    return std::any_of(rows.cbegin(), rows.cend(), test);
}

NwRedmine *RedmineUpdateIssue::client() const
{
    return GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
}

// A second request while another is outstanding would make the client drop the first chain.
bool RedmineUpdateIssue::clientIdle()
{
    NwRedmine *c = client();
    if (c && !c->IsBusy() && !m_busy)
        return true;
    showMessage(tr("Under Process"), false);
    return false;
}

// The client refused a send of the running listing or run (another request is outstanding): nothing
// went out, so the page stops where it is, keeps every row and check as the user left them, and
// offers the same button again.
void RedmineUpdateIssue::sendRefused()
{
    stopRun();
    showMessage(tr("Under Process"), false);
    ShowPageState();
}

QString RedmineUpdateIssue::explanationOf(const QTreeWidgetItem *row, QString *refusal) const
{
    if (refusal)
        refusal->clear();
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    QTreeWidgetItem *element = tab ? tab->FindTreeItem(row->text(ColKey).mid(1)) : nullptr;
    if (!element)
        return QString();
    const QString text = tab->GetItemExplanation(element);
    const QString refused = tab->ExplanationRefusal(deftab::RecordOf(element));
    if (refusal)
        *refusal = refused;
    // The empty text standing in for a refused file is nobody's description.
    if (!refused.isEmpty())
        return QString();
    return TextFiles::TruncateUtf8(text, GetIntVar(RegSlot::IntDescriptionMax));
}

bool RedmineUpdateIssue::isClosedStatus(const QString &id) const
{
    QTreeWidget *tree = m_ui->STATUS_TREE;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        if (tree->topLevelItem(i)->text(2) == id)
            return !tree->topLevelItem(i)->text(1).isEmpty();
    }
    return false;
}

QPair<QString, QString> RedmineUpdateIssue::defaultPriority() const
{
    QPair<QString, QString> found(m_none, QString());
    QTreeWidget *tree = m_ui->PRIORITY_TREE;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        if (!tree->topLevelItem(i)->text(1).isEmpty())
            found = {tree->topLevelItem(i)->text(0), tree->topLevelItem(i)->text(2)};
    }
    return found;
}

void RedmineUpdateIssue::fitColumns()
{
    TreeColumnAdjustment(m_ui->ISSUETREE);
}

void RedmineUpdateIssue::offerUpdate()
{
    m_ui->UPDATE->setVisible(!m_readOnly && !m_mustRelist);
}

bool RedmineUpdateIssue::isDeleteRow(const QTreeWidgetItem *row) const
{
    return row->text(ColKind) == m_kinds.value(KindDelete);
}

void RedmineUpdateIssue::ShowPageState()
{
    const bool linked = GetBoolVar(RegSlot::FlagRedmineLink);
    if (linked && m_loaded) {
        m_ui->TARGETSHOW->setVisible(m_mustRelist);
        m_ui->UPISSUE->show();
        m_ui->UPDATE->setVisible(!m_readOnly && !m_mustRelist && anyRow(isChecked));
        showSetButtons(true);
        return;
    }
    for (QLineEdit *count : {m_ui->T_COUNT, m_ui->N_COUNT, m_ui->W_COUNT, m_ui->C_COUNT})
        count->clear();
    m_ui->TARGETSHOW->setVisible(linked);
    m_ui->UPISSUE->hide();
    m_ui->UPDATE->hide();
    showSetButtons(false);
}

void RedmineUpdateIssue::ShowError(int mode, int error)
{
    NwRedmine *c = client();
    QString text = c ? c->GetErrorText(mode, error) : QString::number(error);
    // A create whose answer was lost may well stand on the tracker: sent again, it would be filed
    // twice. Only a fresh list, which finds such an issue by its marker, tells what is left to send.
    if (c && !c->IsOutcomeKnown()) {
        m_mustRelist = true;
        m_ui->UPDATE->hide();
        text += QLatin1Char(' ') + tr("(no answer: the tracker may have done it, press target show before "
                                      "sending again)");
    }
    showMessage(text, true);
    // The run or the listing stops where it is; the page must not stay busy with TARGETSHOW hidden,
    // or nothing could ever be sent or listed again.
    stopRun();
    m_ui->TARGETSHOW->setVisible(GetBoolVar(RegSlot::FlagRedmineLink));
}

void RedmineUpdateIssue::stopRun()
{
    m_busy = false;
    m_morePages = false;
    m_currentRow = nullptr;
    m_deferred = false;
    m_deferredRow = nullptr;
}

void RedmineUpdateIssue::ClearPage()
{
    stopRun();
    m_ui->ISSUETREE->clear();
    for (QTreeWidget *tree : {m_ui->TRACKER_TREE, m_ui->CATEGORY_TREE, m_ui->STATUS_TREE, m_ui->VERSION_TREE,
                              m_ui->PRIORITY_TREE})
        tree->clear();
    m_records.clear();
    m_trackerChildren.clear();
    m_mustRelist = false;
    m_loaded = false;
}

void RedmineUpdateIssue::ResetTarget()
{
    m_jumpKey.clear();
    m_jumpSet = false;
}

void RedmineUpdateIssue::SetReadOnly(bool on)
{
    m_readOnly = on;
    for (QPushButton *button : m_set)
        button->setEnabled(!on);
    if (!on)
        return;
    // Rows listed before the project turned out closed lose their check boxes too.
    {
        const QSignalBlocker quiet(m_ui->ISSUETREE);
        for (QTreeWidgetItem *row : allRows())
            row->setData(ColCheck, Qt::CheckStateRole, QVariant());
    }
    m_ui->UPDATE->hide();
    showMessage(m_readOnlyText, true);
}

void RedmineUpdateIssue::CheckChangedItems()
{
    if (anyRow([](QTreeWidgetItem *row) { return background(row, ColKind) == QLatin1String("#ffff00"); }))
        m_ui->UPISSUE->setChecked(false);
}

void RedmineUpdateIssue::CheckChanged(int state)
{
    checkAllRows(state == Qt::Checked);
}
