#pragma once

#include "model/deleterowdiag.h"

namespace Ui
{
class DeleteLclassDiag;
}

// Confirms the removal of a large class with all its small classes and their parameters.
class DeleteLclassDiag final : public DeleteRowDiag
{
    Q_OBJECT
public:
    explicit DeleteLclassDiag(QWidget *parent = nullptr);
    ~DeleteLclassDiag() override;

    void SetItem(QTreeWidget *tree, QTreeWidgetItem *item);

public slots:
    void OkProc() override;

private:
    Ui::DeleteLclassDiag *m_ui;
};
