#pragma once

#include "core/globalvar.h"

#include <QDialog>

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

private:
    QString m_result;
};
