#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class NewWorkspace;
}

// Makes a new, empty workspace folder with its marker file; opened from the New Model dialog.
class NewWorkspace final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NewWorkspace(QWidget *parent = nullptr);
    ~NewWorkspace() override;

public slots:
    void onAccept();
    void onReject();
    void onWsDir();

private:
    Ui::NewWorkspace *m_ui;
};
