#pragma once

#include "core/globalvar.h"

#include <QDialog>

// Opens an existing model definition version.
class OpenDefModel final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OpenDefModel(QWidget *parent = nullptr);

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
};
