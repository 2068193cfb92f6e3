#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class RedmineLogin;
}

// The Basic login dialog for a tracker reached with login id and password instead of an access key.
class RedmineLogin final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineLogin(QWidget *parent = nullptr);
    ~RedmineLogin() override;

public slots:
    void SetProc();

private:
    Ui::RedmineLogin *m_ui;
};
