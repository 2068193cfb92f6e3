#pragma once

#include "core/globalvar.h"
#include "core/workercontrol.h"

#include <QSemaphore>

// The chat worker: waits for wake-ups, takes the chat requests the chat window left in the
// registry (under the chat mutex) and ends its loop on the stop request.
class Semaphore final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    // One pass over the requests; false once the stop request was seen.
    bool TakeRequests();

public slots:
    void DoLoad();
signals:
    void resultReady(int result);
};

// Controller of the chat thread; owns the two semaphores the chat window and its worker share.
class SemaphoreControl final : public WorkerControl, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit SemaphoreControl(QObject *parent = nullptr);
    ~SemaphoreControl() override;
    Semaphore *GetWorker() const { return m_worker; }

signals:
    void do_start();

private:
    QSemaphore m_request{1};
    QSemaphore m_wake{0};
    Semaphore *m_worker;
};
