#include "redmine/redmine.h"

#include "redmine/nwredmine.h"
#include "redmine/redmineissue.h"
#include "redmine/redmineproject.h"
#include "redmine/redmineupdateissue.h"
#include "shell/mainwindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace
{
const QColor Other(QStringLiteral("#e9f350"));
}

Redmine::Redmine(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Redmine"));
    setWindowTitle(QStringLiteral("Redmine"));
    resize(729, 405);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(Qt::Window | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    auto *top = new QVBoxLayout(this);
    top->setSpacing(0);
    top->setContentsMargins(0, 0, 0, 0);
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("RedmineTab"));
    top->addWidget(m_tabs, 1);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(-1, 5, -1, 15);
    row->addStretch();
    auto *pelmorine = new QPushButton(tr("Pelmorine"));
    pelmorine->setObjectName(QStringLiteral("PELMORINE"));
    pelmorine->setStyleSheet(QStringLiteral("QPushButton {background-color: '#666666' ; color: white}"));
    auto *back = new QPushButton(tr("Back"));
    back->setObjectName(QStringLiteral("BACK"));
    row->addWidget(pelmorine);
    row->addSpacing(40);
    row->addWidget(back);
    row->addSpacing(40);
    top->addLayout(row);

    SetObj(RegSlot::ObjRedmineWindow, this);
    m_project = new RedmineProject;
    m_update = new RedmineUpdateIssue;
    m_issue = new RedmineIssue;
    m_tabs->addTab(m_project, tr("project info"));
    m_tabs->addTab(m_update, tr("update issue"));
    m_tabs->addTab(m_issue, tr("issue"));
    m_tabs->tabBar()->setStyleSheet(QStringLiteral("background-color: #28649d"));
    m_tabs->tabBar()->setTabTextColor(0, Qt::white);
    m_tabs->tabBar()->setTabTextColor(1, Other);
    m_tabs->tabBar()->setTabTextColor(2, Other);
    connect(m_tabs, &QTabWidget::currentChanged, this, &Redmine::TabChanged);
    connect(back, &QPushButton::clicked, this, &Redmine::BackProc);
    connect(pelmorine, &QPushButton::clicked, this, &Redmine::PelmorineProc);
}

Redmine::~Redmine()
{
    if (GetObj<Redmine>(RegSlot::ObjRedmineWindow) == this)
        SetObj<Redmine>(RegSlot::ObjRedmineWindow, nullptr);
}

void Redmine::clearPages()
{
    m_project->ResetPage();
    m_update->ClearPage();
    m_issue->ResetPage();
}

// A request of the window still under way is dropped: the window is usable again at once, and a
// reply that comes later reaches no page.
void Redmine::abortRequest()
{
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    if (client && client->IsBusy() && client->IsWindowRequest())
        client->Abort();
}

void Redmine::BackProc(bool)
{
    abortRequest();
    m_tabs->setCurrentIndex(0);
    clearPages();
    if (!isHidden())
        reject();
}

void Redmine::closeEvent(QCloseEvent *event)
{
    BackProc();
    event->accept();
}

void Redmine::ResetRedmine()
{
    abortRequest();
    clearPages();
    if (!isHidden())
        reject();
}

void Redmine::TabChanged(int index)
{
    m_tabs->tabBar()->setTabTextColor(index, Qt::white);
    if (m_current != index)
        m_tabs->tabBar()->setTabTextColor(m_current, Other);
    if (index == 1) {
        m_update->ShowPageState();
        m_update->FillMappingTabs();
    } else if (index == 2) {
        m_issue->CheckProjectSet();
    }
    m_current = index;
}

void Redmine::PelmorineProc(bool)
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->activateWindow();
        mw->raise();
    }
}

void Redmine::SetIssueTabsEnabled(bool on)
{
    m_tabs->setTabEnabled(1, on);
    m_tabs->setTabEnabled(2, on);
}

void Redmine::InitPages()
{
    m_project->SetEditorFont();
    m_project->InitPage();
    m_update->ResetTarget();
}

void Redmine::ResetTarget()
{
    m_update->ResetTarget();
}

void Redmine::RefreshTarget()
{
    m_update->TargetShowProc();
}
