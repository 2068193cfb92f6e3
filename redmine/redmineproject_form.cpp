#include "redmine/redmineproject.h"

#include "redmine/redminerefproject.h"
#include "shell/numeditor.h"
#include "ui_redmineproject.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace
{
const char *const TrackerBlue = "#28649d";

void styleTabBar(QTabWidget *tabs)
{
    tabs->tabBar()->setStyleSheet(QStringLiteral("background-color: %1").arg(QLatin1String(TrackerBlue)));
    tabs->tabBar()->setTabTextColor(0, Qt::white);
}

void styleHeader(QTreeWidget *tree)
{
    for (int i = 0; i < tree->columnCount(); ++i) {
        tree->headerItem()->setForeground(i, Qt::white);
        tree->headerItem()->setBackground(i, QColor(QLatin1String(TrackerBlue)));
    }
}
} // namespace

RedmineProject::RedmineProject(QWidget *parent) : QWidget(parent), m_ui(new Ui::RedmineProject)
{
    m_ui->setupUi(this);
    buildForm();

    connect(m_ui->SET, &QPushButton::clicked, this, &RedmineProject::SetProc);
    connect(m_ui->REF, &QPushButton::clicked, this, &RedmineProject::RefProc);
    connect(m_ui->NEW, &QPushButton::clicked, this, &RedmineProject::NewProc);
    connect(m_ui->ZQV_TREE, &QTreeWidget::currentItemChanged, this, &RedmineProject::ZQVTreeItemChanged);
    connect(m_ui->VERSION_TREE, &QTreeWidget::itemDoubleClicked, this, &RedmineProject::VersionDblClicked);
    connect(m_ui->CATEGORY_TREE, &QTreeWidget::itemDoubleClicked, this, &RedmineProject::CategoryDblClicked);
    connect(m_ui->IDENT, &QLineEdit::textChanged, this, &RedmineProject::IdentChanged);
    connect(m_ui->ADD, &QPushButton::clicked, this, &RedmineProject::MemberAddProc);
    connect(m_ui->DEL, &QPushButton::clicked, this, &RedmineProject::MemberDelProc);
    connect(m_ui->MOD, &QPushButton::clicked, this, &RedmineProject::MemberModProc);
    connect(m_ui->URL, &QLineEdit::textChanged, this, &RedmineProject::UrlChanged);
    connect(m_ui->PUBLICCHK, &QCheckBox::stateChanged, this, &RedmineProject::PublicCheckChanged);
    connect(m_versionAdd, &QPushButton::clicked, this, &RedmineProject::AddVersionProc);
    connect(m_categoryAdd, &QPushButton::clicked, this, &RedmineProject::AddCategoryProc);
    SetObj(RegSlot::ObjRedmineProject, this);

    m_refProject = new RedmineRefProject(this);
    m_roles = {{3, tr("system")}, {4, tr("developer")}, {5, tr("contributor")}};
    m_versionStatus = {{QStringLiteral("open"), tr("open")},
                       {QStringLiteral("locked"), tr("locked")},
                       {QStringLiteral("closed"), tr("closed")}};
    m_sharing = {{QStringLiteral("none"), tr("none")},
                 {QStringLiteral("descendants"), tr("descendants")},
                 {QStringLiteral("hierarchy"), tr("hierarchy")},
                 {QStringLiteral("tree"), tr("tree")},
                 {QStringLiteral("system"), tr("Allsystem")}};
    createDialogs();
    m_register = tr("register");
    m_update = tr("update");
}

// What the form cannot hold: the explanation editor, the tab corner buttons and the tracker colours.
void RedmineProject::buildForm()
{
    m_ui->READ_ONLY->hide();
    m_explain = new NumEditor;
    m_explain->setReadOnly(true);
    m_ui->EXPLAIN_TAB->addTab(m_explain, tr("Explain"));
    m_versionAdd = new QPushButton(tr("version Add"));
    m_versionAdd->setObjectName(QStringLiteral("versionAdd"));
    m_ui->VERSION_TAB->setCornerWidget(m_versionAdd, Qt::TopRightCorner);
    m_categoryAdd = new QPushButton(tr("category Add"));
    m_categoryAdd->setObjectName(QStringLiteral("categoryAdd"));
    m_ui->CATEGORY_TAB->setCornerWidget(m_categoryAdd, Qt::TopRightCorner);

    for (QTabWidget *tabs : {m_ui->EXPLAIN_TAB, m_ui->RM_TAB, m_ui->ZQV_MEMBER, m_ui->CATEGORY_TAB,
                             m_ui->TRACKER_TAB, m_ui->VERSION_TAB, m_ui->PRIORITY_TAB, m_ui->STATUS_TAB})
        styleTabBar(tabs);
    for (QTreeWidget *tree : {m_ui->RM_TREE, m_ui->ZQV_TREE, m_ui->CATEGORY_TREE, m_ui->TRACKER_TREE,
                              m_ui->VERSION_TREE, m_ui->PRIORITY_TREE, m_ui->STATUS_TREE})
        styleHeader(tree);
    for (int i = 1; i <= 3; ++i)
        m_ui->ZQV_TREE->headerItem()->setBackground(i, QColor(QStringLiteral("#666666")));
}

QTreeWidget *RedmineProject::GetTrackerTree() const
{
    return m_ui->TRACKER_TREE;
}

QTreeWidget *RedmineProject::GetStatusTree() const
{
    return m_ui->STATUS_TREE;
}

QTreeWidget *RedmineProject::GetPriorityTree() const
{
    return m_ui->PRIORITY_TREE;
}

QTreeWidget *RedmineProject::GetCategoryTree() const
{
    return m_ui->CATEGORY_TREE;
}

QTreeWidget *RedmineProject::GetVersionTree() const
{
    return m_ui->VERSION_TREE;
}

QTreeWidget *RedmineProject::GetMemberTree() const
{
    return m_ui->RM_TREE;
}

QTreeWidget *RedmineProject::GetWorkspaceMemberTree() const
{
    return m_ui->ZQV_TREE;
}
