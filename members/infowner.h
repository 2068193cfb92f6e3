#pragma once

#include "core/globalvar.h"

#include <QDialog>

// Shows the owner of the open model or output definition and offers to hand it over.
class InfOwner final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit InfOwner(QWidget *parent = nullptr);

    // kind 0: the model definition, 1: the output definition.
    void SetOwner(int kind, const QString &name, const QString &email);

private:
    int m_kind = 0;
    QString m_name;
    QString m_email;
};
