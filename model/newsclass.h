#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class NewSclass;
}

// Asks for the name and element of a new small class under the large class of the current
// class-tree item, checks them and hands them to the model editor (code 105).
class NewSclass final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NewSclass(QWidget *parent = nullptr);
    ~NewSclass() override;

    void InitDisplay();
    QString Message() const;

public slots:
    void onAccept();
    void onReject();
    void onSet();

private:
    void clearFields();

    Ui::NewSclass *m_ui;
    QString m_setText;
    QString m_unsetText;
    int m_toggle = 0;
};
