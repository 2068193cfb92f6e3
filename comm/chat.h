#pragma once

#include "core/globalvar.h"

#include <QWidget>

class QDate;
class Semaphore;

// The chat window: the day's messages between the members of the open instance workspace.
class Chat final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit Chat(QWidget *parent = nullptr);
    ~Chat() override;

    void ConnectSemaphore(Semaphore *worker);
    void QueueResponse();
    void ResetChat();
    void SetCurrentDay(const QDate &day);
    void SetEditFont();
    void SetOwnerAddress();
    void ShowChat();
    void ShowLastPos();
};
