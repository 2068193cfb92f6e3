#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QPointer>
#include <QTreeWidget>

class OptionDiag;

// The group dialog: adds or edits one group (child) account, optionally looking the account up
// in the issue tracker.
class AddGroup final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit AddGroup(QWidget *parent = nullptr);
    void SetResultText(const QString &text);
    void SetRedmineResult(int mode, int error);
    void SetRedmineUser(const QString &firstName, const QString &lastName, const QString &id);
    QString ResultText() const { return m_result; }

    // Prepared by the Options dialog before each showing.
    void SetCaller(OptionDiag *caller) { m_caller = caller; }
    void SetParentWidget(QTreeWidget *tree) { m_tree = tree; }
    void SetMode(int mode) { m_mode = mode; }
    void SetRedmine(bool on) { m_redmine = on; }
    void ShowDiag() { show(); }
    OptionDiag *Caller() const { return m_caller; }
    QTreeWidget *ParentWidget() const { return m_tree; }
    int Mode() const { return m_mode; }
    bool Redmine() const { return m_redmine; }

private:
    QString m_result;
    OptionDiag *m_caller = nullptr;
    QPointer<QTreeWidget> m_tree;
    int m_mode = 0;
    bool m_redmine = false;
};
