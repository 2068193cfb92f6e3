#include "comm/chat.h"

#include "core/globalmutex.h"

#include <QSemaphore>

Chat::Chat(QWidget *parent) : QWidget(parent)
{
    SetObj(RegSlot::ObjChat, this);
}

Chat::~Chat()
{
    if (GetObj<Chat>(RegSlot::ObjChat) == this)
        SetObj<Chat>(RegSlot::ObjChat, nullptr);
}

void Chat::ConnectSemaphore(Semaphore *) {}
void Chat::QueueResponse() {}
void Chat::ResetChat()
{
    {
        MutexHold hold(MutexNo::Chat);
        SetBoolVar(RegSlot::FlagChatStop, true);
    }
    if (auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem))
        wake->release();
}
void Chat::SetCurrentDay(const QDate &) {}
void Chat::SetEditFont() {}
void Chat::SetOwnerAddress() {}
void Chat::ShowLastPos() {}

void Chat::ShowChat()
{
    show();
}
