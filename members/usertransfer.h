#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class UserTransfer;
}
class QTreeWidgetItem;

// Hands the open model definition, a member row or the open output definition to another account.
class UserTransfer final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit UserTransfer(QWidget *parent = nullptr);
    ~UserTransfer() override;

    // mode 0: model transfer, 1: member transfer, 2: output-definition transfer.
    void SetMode(int mode, const QString &email);
    void SetFromItem(QTreeWidgetItem *item);
    int Mode() const { return m_mode; }
    QString Message() const;

public slots:
    void TreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void TransProc();
    void CancelProc();

private:
    bool confirm();
    void handOver(const QString &name, const QString &email);

    Ui::UserTransfer *m_ui;
    QTreeWidgetItem *m_fromRow;
    QTreeWidgetItem *m_transRow;
    int m_mode = 0;
};
