#pragma once

#include "core/globalvar.h"

#include <QDialog>

class QPushButton;
class QTabWidget;
class RedmineIssue;
class RedmineProject;
class RedmineUpdateIssue;

// The tracker window: the project, issue-update and issue-list pages of the linked tracker project.
// Leaving it, by Back or by the window's close button, clears the pages, so that a page never shows
// what an earlier opening or another workspace read.
class Redmine final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit Redmine(QWidget *parent = nullptr);
    ~Redmine() override;

    void InitPages();
    void ResetTarget();
    void RefreshTarget();
    void ResetRedmine();
    void SetIssueTabsEnabled(bool on);
    RedmineProject *ProjectPage() const { return m_project; }
    RedmineIssue *IssuePage() const { return m_issue; }
    QTabWidget *Tabs() const { return m_tabs; }

public slots:
    void BackProc(bool status = false);
    void TabChanged(int index);
    void PelmorineProc(bool status = false);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void clearPages();
    void abortRequest();

    QTabWidget *m_tabs;
    RedmineProject *m_project;
    RedmineUpdateIssue *m_update;
    RedmineIssue *m_issue;
    int m_current = 0;
};
