#pragma once

#include "core/globalvar.h"

#include <QDialog>

// The tracker user and group search dialog; hands the picked user to the group dialog or the project options
// page.
class RUsers final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RUsers(QWidget *parent = nullptr);

    void InitSearch();
    void SetTarget(int target);
    void ShowUsers();
    void ShowError(int mode, int error);

public slots:
    void SetProc();
};
