#pragma once

#include "core/globalvar.h"

#include <QDialog>

// Creates a new model definition version in a workspace.
class NewDefModel final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NewDefModel(QWidget *parent = nullptr);
    ~NewDefModel() override;

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
    // A workspace was just created: start again from its root.
    void ResetDisplay();
};
