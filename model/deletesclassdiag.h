#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class DeleteSclassDiag;
}
class QTreeWidget;
class QTreeWidgetItem;

// Confirms the removal of a small class with its parameters.
class DeleteSclassDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit DeleteSclassDiag(QWidget *parent = nullptr);
    ~DeleteSclassDiag() override;

    void SetItem(QTreeWidget *tree, QTreeWidgetItem *item);
    // The row going (nullptr: every row) is about to be freed: a dialog asking about it or a row
    // below it closes and forgets it.
    void ForgetRow(const QTreeWidgetItem *going);

public slots:
    void OkProc();
    void CancelProc();

private:
    Ui::DeleteSclassDiag *m_ui;
    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_item = nullptr;
};
