#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class ChatNotif;
}
class Chat;

// The small always-on-top window that tells of chat traffic while the chat window is out of view.
class ChatNotif final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ChatNotif(QWidget *parent = nullptr);
    ~ChatNotif() override;

    void SetChat(Chat *chat) { m_chat = chat; }
    void ShowNotif();

public slots:
    void OpenProc();
    void CancelProc();

private:
    Ui::ChatNotif *m_ui;
    Chat *m_chat = nullptr;
};
