#include "redmine/redmineissue.h"

#include "core/postbox.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "redmine/issuesync.h"
#include "redmine/nwredmine.h"
#include "redmine/redmineproject.h"
#include "shell/tab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

namespace
{
constexpr int PageSize = 100;
constexpr int TagColumn = 14;

QString dated(QString text)
{
    return text.replace(QLatin1Char('-'), QLatin1Char('/'));
}
} // namespace

RedmineIssue::RedmineIssue(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("RedmineIssue"));
    setWindowTitle(QStringLiteral("Form"));
    resize(576, 300);
    auto *top = new QVBoxLayout(this);
    auto *counts = new QHBoxLayout;
    auto field = [&](const char *labelName, const QString &text, const char *name) {
        auto *l = new QLabel(text);
        l->setObjectName(QLatin1String(labelName));
        l->setStyleSheet(QStringLiteral("background-color: #628DB6;color: #FFFFFF"));
        auto *edit = new QLineEdit;
        edit->setObjectName(QLatin1String(name));
        edit->setReadOnly(true);
        edit->setFixedWidth(100);
        counts->addWidget(l);
        counts->addWidget(edit);
        return edit;
    };
    m_total = field("LB1", tr("total"), "TOTAL");
    m_underWork = field("LB2", tr("cunder work"), "UWORK");
    m_complete = field("LB3", tr("complete"), "COMP");
    counts->addStretch();
    m_show = new QPushButton(tr("SHOW"));
    m_show->setObjectName(QStringLiteral("SHOW"));
    counts->addWidget(m_show);
    top->addLayout(counts);

    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("ISSUETREE"));
    const QStringList headers = {tr("ID"),       tr("ticket"),        tr("assigned"),
                                 tr("subject"),  tr("description"),   tr("start_date"),
                                 tr("due_date"), tr("done_ratio"),    tr("estimated_hours"),
                                 tr("tracker"),  tr("status"),        tr("priority"),
                                 tr("category"), tr("fixed_version"), tr("Pelmorine Instance ID")};
    m_tree->setColumnCount(headers.size());
    m_tree->setHeaderLabels(headers);
    for (int i = 0; i < headers.size(); ++i) {
        m_tree->headerItem()->setForeground(i, Qt::white);
        m_tree->headerItem()->setBackground(i, QColor(i == TagColumn ? "#666666" : "#28649d"));
    }
    top->addWidget(m_tree, 1);
    m_msg = new QLineEdit;
    m_msg->setObjectName(QStringLiteral("MSG"));
    m_msg->setReadOnly(true);
    top->addWidget(m_msg);

    connect(m_show, &QPushButton::clicked, this, &RedmineIssue::ShowProc);
    connect(m_tree, &QTreeWidget::itemExpanded, this, &RedmineIssue::Expanded);
    connect(m_tree, &QTreeWidget::itemCollapsed, this, &RedmineIssue::Collapsed);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &RedmineIssue::IssueDblClicked);
    TreeColumnAdjustment(m_tree);
    SetObj(RegSlot::ObjRedmineIssue, this);
}

RedmineIssue::~RedmineIssue()
{
    // Pending rows have no parent yet; the tree does not own them.
    qDeleteAll(m_pending);
    if (GetObj<RedmineIssue>(RegSlot::ObjRedmineIssue) == this)
        SetObj<RedmineIssue>(RegSlot::ObjRedmineIssue, nullptr);
}

QString RedmineIssue::MessageText() const
{
    return m_msg->text();
}

QString RedmineIssue::CountText(int which) const
{
    return (which == 0 ? m_total : which == 1 ? m_underWork : m_complete)->text();
}

void RedmineIssue::showMessage(const QString &text, bool error)
{
    m_msg->setStyleSheet(error ? QStringLiteral("color: #ff0000") : QString());
    m_msg->setText(text);
}

void RedmineIssue::ShowProc(bool)
{
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    if (!client || client->IsBusy()) {
        showMessage(tr("Under Process"), false);
        return;
    }
    m_tree->clear();
    qDeleteAll(m_pending);
    m_pending.clear();
    m_dropNext = false;
    m_count = m_closed = m_page = 0;
    m_rows.clear();
    client->SetPage(0);
    client->GetIssueList();
    showMessage(tr("processing(1-") + QString::number(PageSize) + QLatin1Char(')'), false);
}

QString RedmineIssue::GetInstanceTag(const QString &subject)
{
    // The same marker the synchronisation page writes and reads: the one that ends the subject.
    return IssueSync::LinkKey(subject);
}

void RedmineIssue::ReadIssues()
{
    if (m_dropNext) {
        m_dropNext = false;
        return;
    }
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    auto *project = GetObj<RedmineProject>(RegSlot::ObjRedmineProject);
    const int index = XmlIndex::RedmineFirst + 7;
    if (!store || !store->HasDoc(index))
        return;
    const QDomElement root = store->GetXmlDoc(index)->documentElement();
    int read = 0;
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement issue = n.toElement();
        if (issue.isNull() || issue.tagName() != QLatin1String("issue") || !issue.hasChildNodes())
            continue;
        ++read;
        auto *row = new QTreeWidgetItem;
        bool child = false;
        bool hasStatus = false;
        QString statusId;
        for (QDomElement e = issue.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            const QString tag = e.tagName();
            const QString name = e.attribute(QStringLiteral("name"));
            if (tag == QLatin1String("id")) {
                row->setText(0, e.text());
                m_rows.insert(e.text(), row);
            } else if (tag == QLatin1String("subject")) {
                row->setText(3, e.text());
                const QString instance = GetInstanceTag(e.text());
                if (!instance.isEmpty())
                    row->setText(TagColumn, instance);
            } else if (tag == QLatin1String("assigned_to")) {
                row->setText(2, name);
            } else if (tag == QLatin1String("description")) {
                const QString text = e.text();
                row->setText(4, text.size() > 20 ? text.left(20) + QStringLiteral("...") : text);
            } else if (tag == QLatin1String("parent")) {
                const QString parent = e.attribute(QStringLiteral("id"));
                if (!parent.isEmpty()) {
                    row->setData(0, Qt::UserRole, parent);
                    child = true;
                }
            } else if (tag == QLatin1String("start_date")) {
                row->setText(5, dated(e.text()));
            } else if (tag == QLatin1String("due_date")) {
                row->setText(6, dated(e.text()));
            } else if (tag == QLatin1String("done_ratio")) {
                row->setText(7, e.text());
            } else if (tag == QLatin1String("estimated_hours")) {
                row->setText(8, e.text());
            } else if (tag == QLatin1String("tracker")) {
                row->setText(9, name);
            } else if (tag == QLatin1String("status")) {
                row->setText(10, name);
                hasStatus = true;
                statusId = e.attribute(QStringLiteral("id"));
            } else if (tag == QLatin1String("priority")) {
                row->setText(11, name);
            } else if (tag == QLatin1String("category")) {
                row->setText(12, name);
            } else if (tag == QLatin1String("fixed_version")) {
                row->setText(13, name);
            }
        }
        if (child)
            m_pending.append(row);
        else
            m_tree->addTopLevelItem(row);
        if (hasStatus) {
            const bool closed = project && project->IsClosedStatus(statusId);
            row->setText(1, closed ? tr("close ticket") : tr("under ticket"));
            row->setBackground(1, QColor(closed ? "#808080" : "#00ff00"));
            row->setForeground(1, QColor(closed ? "#ffffff" : "#000000"));
            if (closed)
                ++m_closed;
        }
    }
    m_count += read;

    if (read == PageSize) {
        ++m_page;
        if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine)) {
            client->SetPage(m_page);
            client->GetIssueList();
        }
        showMessage(tr("processing(") + QString::number(m_page * PageSize + 1) + QLatin1Char('-') +
                        QString::number((m_page + 1) * PageSize) + QLatin1Char(')'),
                    false);
        TreeColumnAdjustment(m_tree);
        return;
    }
    // A parent outside the project: the issue is counted but has nowhere to be shown. Rows are freed
    // only at the end, since later rows may still look them up; a parent chain that loops back to
    // the row itself (a damaged reply) is not followed.
    QList<QTreeWidgetItem *> unshown;
    while (!m_pending.isEmpty()) {
        QTreeWidgetItem *row = m_pending.takeFirst();
        QTreeWidgetItem *parent = m_rows.value(row->data(0, Qt::UserRole).toString());
        QTreeWidgetItem *up = parent;
        while (up && up != row)
            up = up->parent();
        if (parent && !up)
            parent->addChild(row);
        else
            unshown.append(row);
    }
    qDeleteAll(unshown);
    m_rows.clear();
    showMessage(tr("processed count:") + QString::number(m_count) + tr("nums"), false);
    m_total->setText(QLatin1Char(' ') + QString::number(m_count) + tr("ken"));
    m_underWork->setText(QLatin1Char(' ') + QString::number(m_count - m_closed) + tr("ken"));
    m_complete->setText(QLatin1Char(' ') + QString::number(m_closed) + tr("ken"));
    std::function<void(QTreeWidgetItem *)> expand = [&](QTreeWidgetItem *item) {
        if (item->childCount() == 0)
            return;
        item->setExpanded(true);
        for (int i = 0; i < item->childCount(); ++i)
            expand(item->child(i));
    };
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        expand(m_tree->topLevelItem(i));
    TreeColumnAdjustment(m_tree);
}

void RedmineIssue::ShowError(int mode, int error)
{
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    showMessage(client ? client->GetErrorText(mode, error) : QString::number(error), true);
    // The listing ends: rows still waiting for their parents are not shown.
    qDeleteAll(m_pending);
    m_pending.clear();
    m_rows.clear();
}

void RedmineIssue::ResetPage()
{
    m_tree->clear();
    qDeleteAll(m_pending);
    m_pending.clear();
    m_rows.clear();
    m_msg->clear();
    m_count = 0;
    m_dropNext = true;
}

void RedmineIssue::CheckProjectSet()
{
    if (GetIntVar(RegSlot::IntRedmineProjectId) != -1) {
        m_show->setEnabled(true);
        m_msg->clear();
        return;
    }
    m_tree->clear();
    m_show->setEnabled(false);
    showMessage(tr("Redmine project is not set"), false);
}

void RedmineIssue::Expanded(QTreeWidgetItem *)
{
    TreeColumnAdjustment(m_tree);
}

void RedmineIssue::Collapsed(QTreeWidgetItem *)
{
    TreeColumnAdjustment(m_tree);
}

void RedmineIssue::IssueDblClicked(QTreeWidgetItem *item, int index)
{
    if (!item || index != TagColumn)
        return;
    const QString text = item->text(TagColumn);
    if (text.isEmpty() || !text.contains(QLatin1Char('I')))
        return;
    auto *instances = GetObj<deftab>(RegSlot::ObjDeftab);
    QTreeWidgetItem *element = instances ? instances->FindTreeItem(text.mid(1)) : nullptr;
    if (!element)
        return;
    instances->SetCurrentUserItem(element);
    if (auto *tab = GetObj<Tab>(RegSlot::ObjTab))
        tab->SelectTab(GetStrVar(RegSlot::StrTabInstance));
    PostBox::Post(MsgCode::IssueSelectInstance);
}
