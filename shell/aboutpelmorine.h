#pragma once

#include "core/globalvar.h"

#include <QDialog>

// The About dialog.
class AboutPelmorine final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit AboutPelmorine(QWidget *parent = nullptr);
};
