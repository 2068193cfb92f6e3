#include "core/workerthreads.h"

#include <QList>
#include <QMutex>
#include <QPointer>
#include <QThread>

namespace
{
QMutex g_lock;
QList<QPointer<QThread>> g_threads;
QList<QThread *> g_givenUp;
} // namespace

void WorkerThreads::Track(QThread *thread)
{
    QMutexLocker lock(&g_lock);
    g_threads.append(thread);
}

void WorkerThreads::Untrack(QThread *thread)
{
    QMutexLocker lock(&g_lock);
    g_threads.removeAll(thread);
}

int WorkerThreads::Count()
{
    QMutexLocker lock(&g_lock);
    return g_threads.size();
}

int WorkerThreads::StopAll(unsigned long waitMs)
{
    QList<QPointer<QThread>> threads;
    {
        QMutexLocker lock(&g_lock);
        threads.swap(g_threads);
    }
    int stuck = 0;
    for (const QPointer<QThread> &t : threads) {
        if (!t)
            continue;
        t->requestInterruption();
        t->quit();
        if (!t->wait(waitMs)) {
            QMutexLocker lock(&g_lock);
            g_givenUp.append(t);
            ++stuck;
        }
    }
    return stuck;
}

bool WorkerThreads::IsGivenUp(QThread *thread)
{
    QMutexLocker lock(&g_lock);
    return g_givenUp.contains(thread);
}

bool WorkerThreads::AnyGivenUp()
{
    QMutexLocker lock(&g_lock);
    return !g_givenUp.isEmpty();
}
