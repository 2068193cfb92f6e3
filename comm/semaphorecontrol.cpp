#include "comm/semaphorecontrol.h"

#include "comm/chatcdata.h"
#include "core/globalmutex.h"

#include <QThread>

void Semaphore::SetStore(ChatCdata *store)
{
    // A pass reads its files with the store in hand but no lock held: the store goes only once
    // that pass is over.
    QMutexLocker pass(&m_pass);
    MutexHold hold(MutexNo::Chat);
    m_store = store;
}

// The program's exit interrupts the thread without knowing the semaphore: the wait is bounded so
// that the loop sees it. Every other stop path releases the semaphore. An interrupted worker
// takes no wake-up left over: it would start another pass on the share it was given up on.
bool Semaphore::waitWake(QSemaphore *wake)
{
    QThread *thread = QThread::currentThread();
    while (!thread->isInterruptionRequested()) {
        if (wake->tryAcquire(1, 1000))
            return true;
    }
    return false;
}

int Semaphore::RunPass()
{
    static const int order[] = {RegSlot::FlagChatFirstLoad,     RegSlot::FlagChatTick,
                                RegSlot::FlagChatWindowRequest, RegSlot::FlagChatResponse,
                                RegSlot::FlagChatSend,          RegSlot::FlagChatRememberPos,
                                RegSlot::FlagChatRefresh};
    QMutexLocker pass(&m_pass);
    int flag = 0;
    int generation = 0;
    ChatRecord *record = nullptr;
    ChatRecord *target = nullptr;
    bool news = false;
    // The writing half of the second step, under the chat lock; the cells are the window's.
    const auto finish = [&] {
        if (!m_store)
            return;
        if (flag == RegSlot::FlagChatWindowRequest)
            target = m_store->ApplyModified(record);
        else if (flag == RegSlot::FlagChatResponse)
            target = m_store->ApplyResponse(record);
        if (record && record->Own)
            m_store->SaveAll();
        // A day file that could not be written (a full disk) is tried again every tick.
        else if (flag == RegSlot::FlagChatTick && m_store->HasUnsaved())
            m_store->SaveAll();
        generation = m_store->Generation();
        news = m_store->HasSaveNews() || m_store->HasNotes();
    };
    ChatCdata *reader = nullptr;
    int taken = 0;
    int targetSeq = 0;
    {
        MutexHold chat(MutexNo::Chat);
        auto *request = GetObj<QSemaphore>(RegSlot::ObjChatRequestSem);
        if (request)
            request->acquire();
        for (int f : order) {
            if (GetBoolVar(f)) {
                flag = f;
                break;
            }
        }
        if (flag == RegSlot::FlagChatWindowRequest || flag == RegSlot::FlagChatResponse ||
            flag == RegSlot::FlagChatSend) {
            int left = 0;
            if (m_store && flag == RegSlot::FlagChatWindowRequest) {
                record = m_store->TakeModified();
                left = m_store->ModifiedCount();
            } else if (m_store && flag == RegSlot::FlagChatResponse) {
                record = m_store->TakeResponse();
                left = m_store->ResponseCount();
            } else if (m_store) {
                record = m_store->TakeNew();
                left = m_store->NewCount();
            }
            SetBoolVar(flag, left > 0);
        } else if (flag != 0) {
            SetBoolVar(flag, false);
        }
        if (request)
            request->release();
        // Files are read with the chat lock given back (the store takes it again to merge): the
        // window waits on it, and the largest day file taken is seconds of reading.
        if (flag == RegSlot::FlagChatTick || flag == RegSlot::FlagChatFirstLoad)
            reader = m_store;
        else
            finish();
        taken = record ? record->Seq : 0;
        targetSeq = target ? target->Seq : 0;
    }
    if (reader) {
        if (flag == RegSlot::FlagChatTick)
            reader->Poll();
        else
            reader->ReadDayFiles(QDate::currentDate());
        MutexHold chat(MutexNo::Chat);
        finish();
    }
    // A tick's step only when there is something to tell: a save's news or a file left out.
    if (flag != 0 && (flag != RegSlot::FlagChatTick || news))
        emit stepDone(flag, taken, targetSeq, generation);
    return flag;
}

void Semaphore::DoLoad()
{
    auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem);
    if (!wake)
        return;
    bool running = waitWake(wake);
    while (running) {
        {
            MutexHold chat(MutexNo::Chat);
            if (GetBoolVar(RegSlot::FlagChatStop))
                break;
        }
        RunPass();
        running = waitWake(wake);
    }
    {
        MutexHold chat(MutexNo::Chat);
        SetBoolVar(RegSlot::FlagChatStop, false);
    }
    emit resultReady(1);
}

SemaphoreControl::SemaphoreControl(QObject *parent)
    : WorkerControl(parent), m_request(new QSemaphore(1)), m_wake(new QSemaphore(0)), m_worker(new Semaphore)
{
    SetObj(RegSlot::ObjChatRequestSem, m_request);
    SetObj(RegSlot::ObjChatWakeSem, m_wake);
    connect(this, &SemaphoreControl::do_start, m_worker, &Semaphore::DoLoad);
    connect(m_worker, &Semaphore::resultReady, this, &SemaphoreControl::handleResults);
    startWorker(m_worker);
}

SemaphoreControl::~SemaphoreControl()
{
    // A worker the program's exit gave up may be inside a pass for as long as a share hangs, with
    // the chat lock held if it hangs in a write: it is not told under that lock, and a wake-up
    // would only start it on another pass. Its interruption ends its wait for the next one.
    const bool givenUp = GivenUp();
    if (!givenUp) {
        {
            MutexHold hold(MutexNo::Chat);
            SetBoolVar(RegSlot::FlagChatStop, true);
        }
        m_wake->release();
    }
    stopThread();
    if (GetObj<QSemaphore>(RegSlot::ObjChatRequestSem) == m_request)
        SetObj<QSemaphore>(RegSlot::ObjChatRequestSem, nullptr);
    if (GetObj<QSemaphore>(RegSlot::ObjChatWakeSem) == m_wake)
        SetObj<QSemaphore>(RegSlot::ObjChatWakeSem, nullptr);
    if (givenUp)
        return;
    delete m_request;
    delete m_wake;
}
