#pragma once

#include "model/deleterowdiag.h"

namespace Ui
{
class DeleteSclassDiag;
}

// Confirms the removal of a small class with its parameters.
class DeleteSclassDiag final : public DeleteRowDiag
{
    Q_OBJECT
public:
    explicit DeleteSclassDiag(QWidget *parent = nullptr);
    ~DeleteSclassDiag() override;

    void SetItem(QTreeWidget *tree, QTreeWidgetItem *item);

public slots:
    void OkProc() override;

private:
    Ui::DeleteSclassDiag *m_ui;
};
