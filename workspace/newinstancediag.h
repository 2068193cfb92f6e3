#pragma once

#include "core/globalvar.h"

#include <QDialog>

// Creates a new instance workspace for a model version.
class NewInstanceDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NewInstanceDiag(QWidget *parent = nullptr);

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
};
