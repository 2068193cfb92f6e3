#pragma once

#include "core/globalvar.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// What the delete confirmations of the model tree share: the row they ask about, and closing
// without a word when that row is freed under them.
class DeleteRowDiag : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit DeleteRowDiag(QWidget *parent = nullptr);

    // The row going (nullptr: every row) is about to be freed: a dialog asking about it or a row
    // below it closes and forgets it.
    void ForgetRow(const QTreeWidgetItem *going);

public slots:
    virtual void OkProc() = 0;
    void CancelProc();

protected:
    // Called by the subclass once its form is set up, so the icon and flags override the form's.
    void SetUpButtons(QPushButton *ok, QPushButton *cancel);

    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_item = nullptr;
};
