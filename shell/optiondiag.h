#pragma once

#include "core/globalvar.h"

#include <QDialog>

// The Options dialog: the user's accounts, reference programs, editor font, auto-save, mail server
// and issue-tracker connection.
class OptionDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OptionDiag(QWidget *parent = nullptr);
    void LoadOptions();
    void RefUpdate();
};
