#pragma once

#include "core/globalvar.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QVBoxLayout;
class RedmineProject;

// What the category and version dialogs share: the page their requests go through, the id of
// the row being changed, the message line, and how a request's outcome closes the dialog.
class RedmineItemDiag : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineItemDiag(RedmineProject *page);

    QString MessageText() const;

public slots:
    void CancelProc(bool status = false);

protected:
    static QPushButton *NamedButton(const QString &text, const char *name);
    // The id of the row being changed: shown, never typed into.
    void MakeIdField();
    // The read-only message line, then the row of DEL, ok and a cancel button that closes the
    // dialog, spaced by spacing when it is not 0.
    void AddMessageAndButtons(QVBoxLayout *top, QPushButton *ok, const QString &cancelText, int spacing);
    // The same parts when a Designer form already holds them.
    void UseFormWidgets(QLineEdit *id, QLineEdit *msg, QPushButton *del, QPushButton *cancel);
    // The page refuses a request while another one is out; the dialog then stays open.
    void Sent(bool sent);
    void AskDelete(const QString &question, bool (RedmineProject::*remove)(const QString &));

    RedmineProject *m_page;
    int m_mode = 1;
    QString m_initialName;
    QLineEdit *m_id = nullptr;
    QLineEdit *m_msg = nullptr;
    QPushButton *m_del = nullptr;
};
