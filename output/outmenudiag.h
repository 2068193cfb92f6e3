#pragma once

#include "core/globalvar.h"

#include <QDialog>

// The output-run dialog: chooses what to generate from the open instance and output definition.
class OutMenuDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OutMenuDiag(QWidget *parent = nullptr);

    // True when the dialog was filled and may be shown.
    bool InitOutMenu(bool outputTabCurrent);
};
