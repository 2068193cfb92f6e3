#pragma once

#include "core/globalvar.h"
#include "core/workercontrol.h"

#include <QMutex>
#include <QSemaphore>

class ChatCdata;

// The chat worker: woken once per request through the wake-up semaphore, it serves the chat
// request flags in their order of priority, reads and writes the day files through the chat
// store, and leaves the table updates to the chat window on the GUI thread (stepDone).
class Semaphore final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    // The store of today's messages; set by the chat window before the loop first runs.
    void SetStore(ChatCdata *store);
    // One pass: the first set request, served. Returns the request flag served, 0 for none.
    int RunPass();

public slots:
    void DoLoad();
signals:
    void resultReady(int status);
    // Emitted after a pass that has a table step: the flag served, the taken record, the record
    // whose cells change, and the store's generation (a reset store drops older steps).
    void stepDone(int flag, int taken, int target, int generation);
    // The window emits it once the table step is done, with the values of the chat protocol.
    void procFinished(int rc);

private:
    bool waitWake(QSemaphore *wake);
    QMutex m_pass; // held through a pass, taken before the chat lock
    ChatCdata *m_store = nullptr;
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

public slots:
    void Trigger() { emit do_start(); }
    void handleResults(int) {}

private:
    // Freed with this controller, unless its thread was given up: that worker waits on them still.
    QSemaphore *m_request;
    QSemaphore *m_wake;
    Semaphore *m_worker;
};
