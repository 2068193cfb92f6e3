#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class InfOwner;
}
class QTreeWidgetItem;

// Shows the owner of the open model or output definition and offers to hand it over.
class InfOwner final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit InfOwner(QWidget *parent = nullptr);
    ~InfOwner() override;

    // kind 0: the model definition, 1: the output definition.
    void SetOwner(int kind, const QString &name, const QString &email);
    bool IsTransferEnabled() const;

public slots:
    void TransferProc();
    void CancelProc();

private:
    Ui::InfOwner *m_ui;
    QTreeWidgetItem *m_row;
    int m_kind = 0;
    QString m_email;
};
