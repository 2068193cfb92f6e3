#pragma once

#include "core/globalvar.h"

#include <QDialog>

// Opens an existing instance workspace.
class OpenInstanceDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OpenInstanceDiag(QWidget *parent = nullptr);

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
};
