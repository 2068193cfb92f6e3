#include "shell/aboutpelmorine.h"

#include "ui_aboutpelmorine.h"

#include <QDesktopServices>
#include <QGraphicsScene>
#include <QPixmap>
#include <QUrl>

AboutPelmorine::AboutPelmorine(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::AboutPelmorine), m_scene(new QGraphicsScene(this))
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    connect(m_ui->WEB, &QPushButton::clicked, this, &AboutPelmorine::GoWeb);
    connect(m_ui->LICENSE, &QPushButton::clicked, this, &AboutPelmorine::licenseWeb);
    connect(m_ui->CLOSE, &QPushButton::clicked, this, &QDialog::accept);
    // A missing picture leaves the view empty.
    m_picture.load(QStringLiteral(":src/about.png"));
    m_ui->GV->setScene(m_scene);
    if (!m_picture.isNull())
        m_scene->addPixmap(QPixmap::fromImage(m_picture));
}

AboutPelmorine::~AboutPelmorine()
{
    delete m_ui;
}

QUrl AboutPelmorine::HomePage()
{
    return QUrl(QStringLiteral("https://pelmorine.example.org/"));
}

QUrl AboutPelmorine::LicensePage()
{
    return QUrl(QStringLiteral("https://pelmorine.example.org/license.html"));
}

void AboutPelmorine::GoWeb(bool)
{
    QDesktopServices::openUrl(HomePage());
    accept();
}

void AboutPelmorine::licenseWeb(bool)
{
    QDesktopServices::openUrl(LicensePage());
    accept();
}
