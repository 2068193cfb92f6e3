#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class DeleteParamDiag;
}
class QTreeWidget;
class QTreeWidgetItem;

// Confirms the removal of a parameter; refuses while a transition uses the state that holds it
// and warns that a transition goes with all three of its parameters.
class DeleteParamDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit DeleteParamDiag(QWidget *parent = nullptr);
    ~DeleteParamDiag() override;

    void SetItem(QTreeWidget *tree, QTreeWidgetItem *item);
    // The row going (nullptr: every row) is about to be freed: a dialog asking about it or a row
    // below it closes and forgets it.
    void ForgetRow(const QTreeWidgetItem *going);
    void CheckParam(QTreeWidgetItem *item);
    int DelKind() const { return m_kind; }

public slots:
    void OkProc();
    void CancelProc();

private:
    Ui::DeleteParamDiag *m_ui;
    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_item = nullptr;
    int m_kind = 0;
};
