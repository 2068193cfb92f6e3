#include "members/threadcontrol.h"

#include "core/postbox.h"

void TimeLoad::DoLoad()
{
    // The member manager's comparison of the shared files joins here with the member files;
    // until a workspace's members are known there is nothing to compare.
    emit resultReady(0);
}

ThreadControl::ThreadControl(QObject *parent) : WorkerControl(parent)
{
    auto *worker = new TimeLoad;
    connect(this, &ThreadControl::do_start, worker, &TimeLoad::DoLoad);
    connect(worker, &TimeLoad::resultReady, this, &ThreadControl::handleResults);
    startWorker(worker);
}

void ThreadControl::handleResults(int result)
{
    m_lastResult = result;
    PostBox::Post(MsgCode::FileCheckResult);
}
