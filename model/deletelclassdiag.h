#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class DeleteLclassDiag;
}
class QTreeWidget;
class QTreeWidgetItem;

// Confirms the removal of a large class with all its small classes and their parameters.
class DeleteLclassDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit DeleteLclassDiag(QWidget *parent = nullptr);
    ~DeleteLclassDiag() override;

    void SetItem(QTreeWidget *tree, QTreeWidgetItem *item);
    // The row going (nullptr: every row) is about to be freed: a dialog asking about it or a row
    // below it closes and forgets it.
    void ForgetRow(const QTreeWidgetItem *going);

public slots:
    void OkProc();
    void CancelProc();

private:
    Ui::DeleteLclassDiag *m_ui;
    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_item = nullptr;
};
