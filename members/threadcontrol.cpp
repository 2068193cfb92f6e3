#include "members/threadcontrol.h"

#include "core/postbox.h"
#include "core/uireport.h"

#include <QDate>

TimeLoad::TimeLoad(std::shared_ptr<SharedFileCheck> check) : m_check(std::move(check)) {}

void TimeLoad::DoLoad()
{
    const FileCheckResult result = m_check->Run(QDate::currentDate());
    emit resultReady(result.status, result.newDay, result.generation);
}

ThreadControl::ThreadControl(QObject *parent)
    : WorkerControl(parent), m_check(std::make_shared<SharedFileCheck>())
{
    auto *worker = new TimeLoad(m_check);
    connect(this, &ThreadControl::do_start, worker, &TimeLoad::DoLoad);
    connect(worker, &TimeLoad::resultReady, this, &ThreadControl::handleResults);
    startWorker(worker);
}

ThreadControl::~ThreadControl()
{
    if (GetObj<ThreadControl>(RegSlot::ObjFileCheckControl) == this)
        SetObj<ThreadControl>(RegSlot::ObjFileCheckControl, nullptr);
}

void ThreadControl::Trigger()
{
    if (m_checking)
        return;
    m_checking = true;
    emit do_start();
}

void ThreadControl::handleResults(int status, bool newDay, int generation)
{
    m_checking = false;
    // A check that began before the workspace was closed or reopened speaks of records that are
    // gone; its presence changes were purged with them.
    if (generation != m_check->Generation())
        return;
    m_lastResult = status;
    const QString notice = m_check->TakeMarkerNotice();
    if (!notice.isEmpty())
        UiReport::Error(tr("File error"), notice);
    if (newDay)
        m_newDay = true;
    emit otherUpdate(status);
    PostBox::Post(MsgCode::FileCheckResult);
}

bool ThreadControl::TakeNewDay()
{
    const bool newDay = m_newDay;
    m_newDay = false;
    return newDay;
}
