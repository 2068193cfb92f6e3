#pragma once

#include "core/globalvar.h"

#include <QWidget>

// The project and issue-tracker page of the Options dialog.
class OptProject final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OptProject(QWidget *parent = nullptr);
    void ShowMessage(const QString &text);
    void ShowErrorText(const QString &text);
    void ShowReplyError(int mode, int error);
    void SetRedmineUser(const QString &firstName, const QString &lastName, const QString &id);
    QString MessageText() const { return m_message; }
    bool MessageIsError() const { return m_error; }

private:
    QString m_message;
    bool m_error = false;
};
