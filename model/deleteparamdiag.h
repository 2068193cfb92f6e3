#pragma once

#include "model/deleterowdiag.h"

namespace Ui
{
class DeleteParamDiag;
}

// Confirms the removal of a parameter; refuses while a transition uses the state that holds it
// and warns that a transition goes with all three of its parameters.
class DeleteParamDiag final : public DeleteRowDiag
{
    Q_OBJECT
public:
    explicit DeleteParamDiag(QWidget *parent = nullptr);
    ~DeleteParamDiag() override;

    void SetItem(QTreeWidget *tree, QTreeWidgetItem *item);
    void CheckParam(QTreeWidgetItem *item);
    int DelKind() const { return m_kind; }

public slots:
    void OkProc() override;

private:
    Ui::DeleteParamDiag *m_ui;
    int m_kind = 0;
};
