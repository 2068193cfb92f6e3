#include "comm/chatnotif.h"

#include "comm/chat.h"
#include "ui_chatnotif.h"

#include <QGuiApplication>
#include <QScreen>

ChatNotif::ChatNotif(QWidget *parent) : QDialog(parent), m_ui(new Ui::ChatNotif)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    connect(m_ui->COPEN, &QPushButton::clicked, this, &ChatNotif::OpenProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &ChatNotif::CancelProc);
}

ChatNotif::~ChatNotif()
{
    delete m_ui;
}

void ChatNotif::ShowNotif()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect geometry = screen->geometry();
        move(geometry.width() - 400, geometry.height() - 150);
    }
    raise();
    show();
}

void ChatNotif::OpenProc()
{
    if (m_chat) {
        m_chat->SelectFirstTab();
        m_chat->ShowChat();
    }
    accept();
}

void ChatNotif::CancelProc()
{
    reject();
}
