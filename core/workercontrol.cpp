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
    // Destroying a running thread aborts the process, after everything was saved. A worker stuck
    // in a system call (a file check on a hung network share) is left, with its thread object,
    // to the end of the process.
    if (m_thread->wait(3000))
        delete m_thread;
    m_thread = nullptr;
}
