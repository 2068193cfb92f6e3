#pragma once

#include "core/globalvar.h"

#include <QHash>
#include <QList>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The "issue" page of the tracker window: every issue of the linked tracker project, read 100 at a
// time, with sub-issues under their parents; an issue made from an instance element opens it.
class RedmineIssue final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineIssue(QWidget *parent = nullptr);
    ~RedmineIssue() override;

    void ReadIssues();
    void ShowError(int mode, int error);
    void ResetPage();
    void CheckProjectSet();
    static QString GetInstanceTag(const QString &subject);
    QTreeWidget *IssueTree() const { return m_tree; }
    QString MessageText() const;
    QString CountText(int which) const;

public slots:
    void ShowProc(bool status = false);
    void Expanded(QTreeWidgetItem *item);
    void Collapsed(QTreeWidgetItem *item);
    void IssueDblClicked(QTreeWidgetItem *item, int index);

private:
    void showMessage(const QString &text, bool error);

    QLineEdit *m_total;
    QLineEdit *m_underWork;
    QLineEdit *m_complete;
    QPushButton *m_show;
    QTreeWidget *m_tree;
    QLineEdit *m_msg;
    QList<QTreeWidgetItem *> m_pending;
    int m_page = 0;
    int m_count = 0;
    int m_closed = 0;
    bool m_dropNext = true;
    QHash<QString, QTreeWidgetItem *> m_rows;
};
