#pragma once

#include "core/globalvar.h"

#include <QDialog>

class QTreeWidgetItem;

// Hands the open model definition, a member row or the open output definition to another account.
class UserTransfer final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit UserTransfer(QWidget *parent = nullptr);

    // mode 0: model transfer, 1: member transfer, 2: output-definition transfer.
    void SetMode(int mode, const QString &email);
    void SetFromItem(QTreeWidgetItem *item);

private:
    int m_mode = 0;
    QString m_email;
};
