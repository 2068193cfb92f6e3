#include "redmine/redmineproject.h"

#include "redmine/redminerefproject.h"
#include "shell/numeditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
const char *const LabelNormal = "background-color: #628DB6;color: #FFFFFF";

template <class W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void styleTabBar(QTabWidget *tabs)
{
    tabs->tabBar()->setStyleSheet(QStringLiteral("background-color: #28649d"));
    tabs->tabBar()->setTabTextColor(0, Qt::white);
}

QTreeWidget *tree(const char *name, const QStringList &headers)
{
    auto *t = named(new QTreeWidget, name);
    t->setColumnCount(headers.size());
    t->setHeaderLabels(headers);
    t->setRootIsDecorated(false);
    for (int i = 0; i < headers.size(); ++i) {
        t->headerItem()->setForeground(i, Qt::white);
        t->headerItem()->setBackground(i, QColor(QStringLiteral("#28649d")));
    }
    return t;
}

// One list in a tab of its own, as the tracker window shows each of the project's lists.
QTabWidget *tabbed(const char *name, const QString &title, QWidget *page)
{
    auto *tabs = named(new QTabWidget, name);
    tabs->addTab(page, title);
    styleTabBar(tabs);
    return tabs;
}

QLabel *label(const char *name, const QString &text)
{
    auto *l = named(new QLabel(text), name);
    l->setStyleSheet(QLatin1String(LabelNormal));
    return l;
}
} // namespace

RedmineProject::RedmineProject(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("RedmineProject"));
    setWindowTitle(QStringLiteral("Form"));
    resize(804, 537);
    buildForm();

    connect(m_set, &QPushButton::clicked, this, &RedmineProject::SetProc);
    connect(m_ref, &QPushButton::clicked, this, &RedmineProject::RefProc);
    connect(m_new, &QPushButton::clicked, this, &RedmineProject::NewProc);
    connect(m_zqvTree, &QTreeWidget::currentItemChanged, this, &RedmineProject::ZQVTreeItemChanged);
    connect(m_version, &QTreeWidget::itemDoubleClicked, this, &RedmineProject::VersionDblClicked);
    connect(m_category, &QTreeWidget::itemDoubleClicked, this, &RedmineProject::CategoryDblClicked);
    connect(m_ident, &QLineEdit::textChanged, this, &RedmineProject::IdentChanged);
    connect(m_add, &QPushButton::clicked, this, &RedmineProject::MemberAddProc);
    connect(m_del, &QPushButton::clicked, this, &RedmineProject::MemberDelProc);
    connect(m_mod, &QPushButton::clicked, this, &RedmineProject::MemberModProc);
    connect(m_url, &QLineEdit::textChanged, this, &RedmineProject::UrlChanged);
    connect(m_public, &QCheckBox::stateChanged, this, &RedmineProject::PublicCheckChanged);
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

void RedmineProject::buildForm()
{
    auto *top = new QVBoxLayout(this);
    top->setSpacing(2);
    top->setContentsMargins(2, 2, 2, 2);

    auto *head = new QHBoxLayout;
    m_readOnly = named(new QLabel(QStringLiteral("READ_ONLY")), "READ_ONLY");
    m_readOnly->setStyleSheet(QStringLiteral("background-color: #ff0000; color: #ffffff"));
    m_readOnly->hide();
    m_prjName = named(new QLineEdit, "PRJNAME");
    m_prjName->setReadOnly(true);
    m_id = named(new QLineEdit, "ID");
    m_id->setReadOnly(true);
    m_id->setMinimumWidth(60);
    m_id->setMaximumWidth(80);
    m_set = named(new QPushButton(QStringLiteral("SET")), "SET");
    m_ref = named(new QPushButton(tr("Ref")), "REF");
    m_new = named(new QPushButton(tr("New")), "NEW");
    head->addWidget(m_readOnly);
    head->addWidget(label("LB1", tr("project name")));
    head->addWidget(m_prjName, 1);
    head->addWidget(label("LB2", tr("ID")));
    head->addWidget(m_id);
    head->addWidget(m_set);
    head->addWidget(m_ref);
    head->addWidget(m_new);
    top->addLayout(head);

    auto *fields = new QGridLayout;
    m_lb3 = label("LB3", tr("iidentifier"));
    m_ident = named(new QLineEdit, "IDENT");
    auto *identExp = named(new QLineEdit(tr("alphabet")), "IDENT_EXP");
    identExp->setReadOnly(true);
    m_public = named(new QCheckBox(tr("public")), "PUBLICCHK");
    m_public->setStyleSheet(QStringLiteral("background-color: #FFFFFF;color: #000000"));
    m_lb4 = label("LB4", tr("URL"));
    m_url = named(new QLineEdit, "URL");
    fields->addWidget(m_lb3, 0, 0);
    fields->addWidget(m_ident, 0, 1);
    fields->addWidget(identExp, 0, 2);
    fields->addWidget(m_public, 0, 3);
    fields->addWidget(m_lb4, 1, 0);
    fields->addWidget(m_url, 1, 1, 1, 3);
    top->addLayout(fields);

    m_explain = new NumEditor;
    m_explain->setReadOnly(true);
    m_explainTab = tabbed("EXPLAIN_TAB", tr("Explain"), m_explain);

    auto *rmPage = new QWidget;
    auto *rmLayout = new QVBoxLayout(rmPage);
    rmLayout->setContentsMargins(0, 0, 0, 0);
    m_rmTree = tree("RM_TREE", {tr("First Name"), tr("Last Name"), tr("ID"), tr("Role"), tr("Member ID")});
    auto *buttons = new QHBoxLayout;
    m_add = named(new QPushButton(tr("Add")), "ADD");
    m_mod = named(new QPushButton(tr("MOD")), "MOD");
    m_del = named(new QPushButton(tr("DEL")), "DEL");
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addWidget(m_mod);
    buttons->addWidget(m_del);
    rmLayout->addWidget(m_rmTree);
    rmLayout->addLayout(buttons);

    m_zqvTree = tree("ZQV_TREE", {tr("Type"), tr("Name"), tr("Email"), tr("ID"), tr("First Name"),
                                  tr("Last Name"), tr("Redmine ID")});
    for (int i = 1; i <= 3; ++i)
        m_zqvTree->headerItem()->setBackground(i, QColor(QStringLiteral("#666666")));
    m_category = tree("CATEGORY_TREE", {tr("category name"), tr("ID")});
    m_tracker = tree("TRACKER_TREE", {tr("Tracker name"), tr("New State Name"), tr("ID")});
    m_version = tree("VERSION_TREE", {tr("Version name"), tr("Status"), tr("Share"), tr("ID")});
    m_priority = tree("PRIORITY_TREE", {tr("priority name"), tr("default"), tr("ID")});
    m_status = tree("STATUS_TREE", {tr("Status name"), tr("Close ticket"), tr("ID")});

    auto *versionTab = tabbed("VERSION_TAB", tr("Version"), m_version);
    m_versionAdd = named(new QPushButton(tr("version Add")), "versionAdd");
    versionTab->setCornerWidget(m_versionAdd, Qt::TopRightCorner);
    auto *categoryTab = tabbed("CATEGORY_TAB", tr("Category"), m_category);
    m_categoryAdd = named(new QPushButton(tr("category Add")), "categoryAdd");
    categoryTab->setCornerWidget(m_categoryAdd, Qt::TopRightCorner);

    auto *upper = new QSplitter(Qt::Horizontal);
    upper->addWidget(m_explainTab);
    upper->addWidget(tabbed("RM_TAB", tr("Redmine member"), rmPage));
    upper->addWidget(tabbed("ZQV_MEMBER", tr("Pelmorine member"), m_zqvTree));
    auto *lower = new QSplitter(Qt::Horizontal);
    lower->addWidget(categoryTab);
    lower->addWidget(tabbed("TRACKER_TAB", tr("Tracker"), m_tracker));
    lower->addWidget(versionTab);
    lower->addWidget(tabbed("PRIORITY_TAB", tr("Priority"), m_priority));
    lower->addWidget(tabbed("STATUS_TAB", tr("Status"), m_status));
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(upper);
    split->addWidget(lower);
    top->addWidget(split, 1);

    m_msg = named(new QLineEdit, "MSG");
    m_msg->setReadOnly(true);
    top->addWidget(m_msg);
}
