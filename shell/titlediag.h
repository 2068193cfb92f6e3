#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class TitleDiag;
}
class QGraphicsScene;

// The title picture shown while the program starts; a click on it closes it early.
class TitleDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit TitleDiag(QWidget *parent = nullptr);
    ~TitleDiag() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ui::TitleDiag *m_ui;
    QGraphicsScene *m_scene;
};
