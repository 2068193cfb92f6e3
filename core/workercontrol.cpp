#include "core/workercontrol.h"

#include "core/workerthreads.h"

WorkerControl::WorkerControl(QObject *parent) : QObject(parent), m_thread(new QThread) {}

WorkerControl::~WorkerControl()
{
    stopThread();
}

void WorkerControl::startWorker(QObject *worker)
{
    worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, worker, &QObject::deleteLater);
    WorkerThreads::Track(m_thread);
    m_thread->start();
}

void WorkerControl::stopThread()
{
    if (!m_thread)
        return;
    WorkerThreads::Untrack(m_thread);
    m_thread->requestInterruption();
    m_thread->quit();
    // The worker uses what its owner frees next: it is waited for however long a busy machine
    // takes. Only a thread the exit path gave up (stuck in a system call, such as a file check on
    // a hung network share) is left, with its thread object, to the end of the process:
    // destroying a running thread would abort the process after everything was saved.
    if (WorkerThreads::IsGivenUp(m_thread)) {
        m_givenUp = true;
        m_thread = nullptr;
        return;
    }
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

bool WorkerControl::GivenUp() const
{
    return m_givenUp || (m_thread && WorkerThreads::IsGivenUp(m_thread));
}
