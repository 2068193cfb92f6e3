#include "core/workercontrol.h"

#include "core/workerthreads.h"

WorkerControl::WorkerControl(QObject *parent) : QObject(parent) {}

WorkerControl::~WorkerControl()
{
    WorkerThreads::Untrack(&m_thread);
    m_thread.requestInterruption();
    m_thread.quit();
    m_thread.wait(3000);
}

void WorkerControl::startWorker(QObject *worker)
{
    worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, worker, &QObject::deleteLater);
    WorkerThreads::Track(&m_thread);
    m_thread.start();
}
