#include "comm/semaphorecontrol.h"

#include "core/globalmutex.h"

#include <QThread>

bool Semaphore::TakeRequests()
{
    MutexHold hold(MutexNo::Chat);
    const bool stop = GetBoolVar(RegSlot::FlagChatStop);
    // The chat files are not read yet: the requests are taken so that none piles up.
    for (int flag = RegSlot::FlagChatFirstLoad; flag <= RegSlot::FlagChatRefresh; ++flag)
        SetBoolVar(flag, false);
    return !stop;
}

void Semaphore::DoLoad()
{
    auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem);
    QThread *thread = QThread::currentThread();
    // Every stop path releases the semaphore; the bound is only for the program's exit, which
    // interrupts the thread without knowing the semaphore. The chat tick wakes it each second
    // anyway, so a longer bound costs nothing and spares ten wake-ups a second.
    while (wake && !thread->isInterruptionRequested()) {
        wake->tryAcquire(1, 1000);
        if (!TakeRequests())
            break;
    }
    emit resultReady(0);
}

SemaphoreControl::SemaphoreControl(QObject *parent) : WorkerControl(parent), m_worker(new Semaphore)
{
    SetObj(RegSlot::ObjChatRequestSem, &m_request);
    SetObj(RegSlot::ObjChatWakeSem, &m_wake);
    connect(this, &SemaphoreControl::do_start, m_worker, &Semaphore::DoLoad);
    startWorker(m_worker);
}

SemaphoreControl::~SemaphoreControl()
{
    {
        MutexHold hold(MutexNo::Chat);
        SetBoolVar(RegSlot::FlagChatStop, true);
    }
    m_wake.release();
    stopThread();
    if (GetObj<QSemaphore>(RegSlot::ObjChatRequestSem) == &m_request)
        SetObj<QSemaphore>(RegSlot::ObjChatRequestSem, nullptr);
    if (GetObj<QSemaphore>(RegSlot::ObjChatWakeSem) == &m_wake)
        SetObj<QSemaphore>(RegSlot::ObjChatWakeSem, nullptr);
}
