#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QImage>
#include <QUrl>

namespace Ui
{
class AboutPelmorine;
}
class QGraphicsScene;

// The About dialog: the product picture, the version and the rights notice, with buttons that open
// the product's web pages.
class AboutPelmorine final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit AboutPelmorine(QWidget *parent = nullptr);
    ~AboutPelmorine() override;

    static QUrl HomePage();
    static QUrl LicensePage();

public slots:
    void GoWeb(bool checked);
    void licenseWeb(bool checked);

private:
    Ui::AboutPelmorine *m_ui;
    QImage m_picture;
    QGraphicsScene *m_scene;
};
