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

public slots:
    void OkProc();
    void CancelProc();

private:
    Ui::DeleteSclassDiag *m_ui;
    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_item = nullptr;
};
