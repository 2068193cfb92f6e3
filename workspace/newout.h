#pragma once

#include "core/globalvar.h"

#include <QDialog>

// Creates a new output definition version for the open model.
class NewOut final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NewOut(QWidget *parent = nullptr);

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
};
