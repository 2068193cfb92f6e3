#include "members/threadcontrol.h"

#include "core/postbox.h"

void FileCheckWorker::DoCheck()
{
    // The member manager's comparison of the shared files joins here with the member files;
    // until a workspace's members are known there is nothing to compare.
    emit resultReady(0);
}

ThreadControl::ThreadControl(QObject *parent) : WorkerControl(parent)
{
    auto *worker = new FileCheckWorker;
    connect(this, &ThreadControl::do_start, worker, &FileCheckWorker::DoCheck);
    connect(worker, &FileCheckWorker::resultReady, this, &ThreadControl::handleResults);
    startWorker(worker);
}

void ThreadControl::handleResults(int result)
{
    m_lastResult = result;
    PostBox::Post(MsgCode::FileCheckResult);
}
