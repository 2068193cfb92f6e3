#include "shell/titlediag.h"

#include "ui_titlediag.h"

#include <QEvent>
#include <QGraphicsScene>
#include <QPixmap>

TitleDiag::TitleDiag(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_ui(new Ui::TitleDiag),
      m_scene(new QGraphicsScene(this))
{
    m_ui->setupUi(this);
    setFixedSize(350, 100);
    m_scene->addPixmap(QPixmap(QStringLiteral(":src/title.png")));
    m_ui->GV->setScene(m_scene);
    m_scene->installEventFilter(this);
}

TitleDiag::~TitleDiag()
{
    delete m_ui;
}

bool TitleDiag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scene && event->type() == QEvent::GraphicsSceneMousePress) {
        close();
        if (GetObj<TitleDiag>(RegSlot::ObjTitleDialog) == this)
            SetObj<TitleDiag>(RegSlot::ObjTitleDialog, nullptr);
        deleteLater();
    }
    return QDialog::eventFilter(watched, event);
}
