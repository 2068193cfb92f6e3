#pragma once

#include <QWidget>

namespace Ui
{
class tabcorner;
}

// The small widget in the tab bar's top-right corner.
class tabcorner final : public QWidget
{
    Q_OBJECT
public:
    explicit tabcorner(QWidget *parent = nullptr);
    ~tabcorner() override;

private:
    Ui::tabcorner *m_ui;
};
