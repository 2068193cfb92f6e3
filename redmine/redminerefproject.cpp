#include "redmine/redminerefproject.h"

#include "redmine/nwredmine.h"
#include "redmine/redmineissue.h"
#include "redmine/redmineproject.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RedmineRefProject::RedmineRefProject(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RedmineRefProject"));
    setWindowTitle(QStringLiteral("ProjectList"));
    resize(569, 300);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *top = new QVBoxLayout(this);
    top->setSpacing(0);
    top->setContentsMargins(0, 0, 0, 0);
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("PRJTREE"));
    m_tree->setHeaderLabels({tr("project name"), tr("ID")});
    m_tree->setRootIsDecorated(false);
    for (int i = 0; i < 2; ++i) {
        m_tree->headerItem()->setForeground(i, Qt::white);
        m_tree->headerItem()->setBackground(i, QColor(QStringLiteral("#28649d")));
    }
    m_msg = new QLineEdit;
    m_msg->setObjectName(QStringLiteral("MSG"));
    m_msg->setReadOnly(true);
    m_set = new QPushButton(tr("SET"));
    m_set->setObjectName(QStringLiteral("SET"));
    auto *cancel = new QPushButton(tr("CANCEL"));
    cancel->setObjectName(QStringLiteral("CANCEL"));
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_set);
    row->addWidget(cancel);
    row->addStretch();
    top->addWidget(m_tree, 1);
    top->addWidget(m_msg);
    top->addLayout(row);
    connect(m_set, &QPushButton::clicked, this, &RedmineRefProject::SetProc);
    connect(cancel, &QPushButton::clicked, this, &RedmineRefProject::CancelProc);
    SetObj(RegSlot::ObjRedmineRefProject, this);
}

RedmineRefProject::~RedmineRefProject()
{
    if (GetObj<RedmineRefProject>(RegSlot::ObjRedmineRefProject) == this)
        SetObj<RedmineRefProject>(RegSlot::ObjRedmineRefProject, nullptr);
}

QString RedmineRefProject::MessageText() const
{
    return m_msg->text();
}

void RedmineRefProject::ShowProjects()
{
    m_tree->clear();
    m_msg->clear();
    if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine)) {
        for (const RedminePair &pair : client->GetProjectList()) {
            auto *row = new QTreeWidgetItem(m_tree);
            row->setText(0, pair.second);
            row->setText(1, pair.first);
        }
    }
    const bool any = m_tree->topLevelItemCount() > 0;
    m_set->setEnabled(any);
    if (any) {
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
        TreeColumnAdjustment(m_tree);
    } else {
        m_msg->setText(tr("project is empty"));
    }
}

void RedmineRefProject::SetProc(bool)
{
    QTreeWidgetItem *row = m_tree->currentItem();
    if (!row) {
        m_msg->setText(tr("project is not selected"));
        return;
    }
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    if (!client || client->IsBusy()) {
        m_msg->setText(tr("Under Process"));
        return;
    }
    m_pickedId = row->text(1);
    // The issue list shows the former project's issues.
    if (QString::number(GetIntVar(RegSlot::IntRedmineProjectId)) != m_pickedId) {
        if (auto *issues = GetObj<RedmineIssue>(RegSlot::ObjRedmineIssue))
            issues->ResetPage();
    }
    if (auto *project = GetObj<RedmineProject>(RegSlot::ObjRedmineProject))
        project->ShowSetButton();
    SetIntVar(RegSlot::IntRedmineProjectId, m_pickedId.toInt());
    client->GetIssueStatuses();
    accept();
}

void RedmineRefProject::CancelProc(bool)
{
    reject();
}
