#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QPointer>
#include <QTreeWidget>

class OptionDiag;

namespace Ui
{
class AddGroup;
}

// The group dialog: adds or edits one group (child) account, a row of the Options dialog's group
// table, optionally taking the account's names and id from the issue tracker's users.
class AddGroup final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit AddGroup(QWidget *parent = nullptr);
    ~AddGroup() override;

    void SetResultText(const QString &text);
    void SetRedmineResult(int mode, int error);
    void SetRedmineUser(const QString &firstName, const QString &lastName, const QString &id);
    QString ResultText() const;

    // Prepared by the Options dialog before each showing, in this order.
    void SetCaller(OptionDiag *caller) { m_caller = caller; }
    void SetParentWidget(QTreeWidget *tree) { m_tree = tree; }
    void SetMode(int mode);
    void SetRedmine(bool on);
    void ShowDiag();
    OptionDiag *Caller() const { return m_caller; }
    QTreeWidget *ParentWidget() const { return m_tree; }
    int Mode() const { return m_mode; }
    bool Redmine() const { return m_redmine; }

public slots:
    void OkProc();
    void CancelProc();
    void UsersProc();

private:
    void storeRow(QTreeWidgetItem *item, const QString &name, const QString &email,
                  const QString &sendAddress);

    Ui::AddGroup *m_ui;
    OptionDiag *m_caller = nullptr;
    QPointer<QTreeWidget> m_tree;
    int m_mode = 0;
    bool m_redmine = false;
};
