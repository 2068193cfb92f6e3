#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QPointer>

namespace Ui
{
class EditFont;
}
class QLineEdit;
class QTreeWidgetItem;

// Lists the platform's font families and puts the chosen one into a field of the Font page.
class EditFont final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit EditFont(QWidget *parent = nullptr);
    ~EditFont() override;

    void ShowFor(QLineEdit *target);

public slots:
    void OkProc();
    void itemDclicked(QTreeWidgetItem *item, int column);

private:
    Ui::EditFont *m_ui;
    QPointer<QLineEdit> m_target;
};
