#include "shell/checktimer.h"

#include "comm/chat.h"
#include "comm/smtpcontrol.h"
#include "core/globalmutex.h"
#include "core/initxml.h"
#include "core/saveconflict.h"
#include "core/statuswindow.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "members/threadcontrol.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "redmine/redmineupdateissue.h"
#include "shell/mainwindow.h"
#include "shell/tab.h"
#include "workspace/newdefmodel.h"

#include <QSemaphore>
#include <QTimer>

CheckTimer::CheckTimer(QObject *parent)
    : QObject(parent), m_postTimer(makeTimer(0, &CheckTimer::PostMessageTimeoutEvent)),
      m_saveFlagTimer(makeTimer(0, &CheckTimer::SaveFlagTimeoutEvent)),
      m_layoutTimer(makeTimer(0, &CheckTimer::LayoutTimeoutEvent)),
      m_statusTimer(makeTimer(5000, &CheckTimer::StatusMessageTimeoutEvent)),
      m_fileCheckTimer(makeTimer(SharedFileCheck::CheckIntervalMs, &CheckTimer::FileCheckTimeoutEvent)),
      m_chatTimer(makeTimer(1000, &CheckTimer::ChatTimeoutEvent)),
      m_saveWaitTimer(makeTimer(200, &CheckTimer::SaveWaitTimeoutEvent))
{
    PostBox::Install(this);
}

CheckTimer::~CheckTimer()
{
    m_postTimer->stop();
    m_statusQueue.clear();
}

QTimer *CheckTimer::makeTimer(int interval, void (CheckTimer::*slot)())
{
    auto *timer = new QTimer(this);
    timer->setInterval(interval);
    timer->setSingleShot(false);
    connect(timer, &QTimer::timeout, this, slot);
    return timer;
}

// Codes are queued and every one is delivered, in order: a tracker reply or a file-check result
// posted together with another code must not be lost. Code 115 only enables the save action and
// never waits behind the queue.
void CheckTimer::PostMessage(int code)
{
    if (code == MsgCode::SaveFlag) {
        if (!m_saveFlagTimer->isActive())
            m_saveFlagTimer->start();
        return;
    }
    m_mailbox.enqueue(code);
    if (!m_postTimer->isActive())
        m_postTimer->start();
}

void CheckTimer::PostMessageTimeoutEvent()
{
    m_postTimer->stop();
    if (m_mailbox.isEmpty())
        return;
    const int code = m_mailbox.dequeue();
    // Restart before acting: a handler that opens a modal box runs a nested loop, and the codes
    // behind this one are then delivered from inside it, as a single code would have been.
    if (!m_mailbox.isEmpty())
        m_postTimer->start();
    emit Dispatched(code);
    dispatch(code);
}

void CheckTimer::dispatch(int code)
{
    if (code < MsgCode::First || code > MsgCode::Last)
        return;
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    auto *tab = GetObj<Tab>(RegSlot::ObjTab);
    auto *mdl = GetObj<model>(RegSlot::ObjModel);
    switch (code) {
    case MsgCode::PmInit:
        PostMessagePM_INIT();
        break;
    case MsgCode::NewManager:
        PostMessageNEW_MANAGER();
        break;
    case MsgCode::NewWorkspace:
        if (auto *dlg = GetObj<NewDefModel>(RegSlot::ObjNewDefModel))
            dlg->ResetDisplay();
        break;
    case MsgCode::NewModel:
        PostMessageNEW_MODEL();
        break;
    case MsgCode::AddLclass:
        if (mdl)
            mdl->AddLclass();
        break;
    case MsgCode::AddSclass:
        if (mdl)
            mdl->AddSclass();
        break;
    case MsgCode::OpenModel:
        openModel();
        break;
    case MsgCode::OpenManager:
        PostMessageOPEN_MANAGER();
        break;
    case MsgCode::NewOutput:
        outputStep(true);
        break;
    case MsgCode::OpenOutput:
        outputStep(false);
        break;
    case MsgCode::IssueSelectInstance:
        if (tab)
            tab->SelectTab(GetStrVar(RegSlot::StrTabInstance));
        if (mw) {
            mw->activateWindow();
            mw->raise();
        }
        break;
    case MsgCode::IssueCheckChanged:
        if (auto *page = GetObj<RedmineUpdateIssue>(RegSlot::ObjRedmineUpdateIssue))
            page->CheckChangedItems();
        break;
    case MsgCode::FileCheckResult:
        fileCheckResult();
        break;
    case MsgCode::ChatShowLastPos:
        if (auto *chat = GetObj<Chat>(RegSlot::ObjChat))
            chat->ShowLastPos();
        break;
    case MsgCode::ChatQueueResponse:
        if (auto *chat = GetObj<Chat>(RegSlot::ObjChat))
            chat->QueueResponse();
        break;
    default:
        if (code >= MsgCode::RedmineFirst && code <= MsgCode::RedmineLast)
            redmineReply(code);
        break;
    }
}

void CheckTimer::PostMessagePM_INIT()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (!mw)
        return;
    auto *settings = new initxml(this);
    mw->LoadUserIdentity();
    settings->OpenInit();
    SetObj(RegSlot::ObjSettings, settings);
    for (const auto &record : settings->UserRecords())
        mw->SetUserRecord(record.first, record.second);
    CreateAutoSaveTimer(settings->AutoSaveMinutes());
    StartAutoSaveTimer();
    mw->FinishStartup();
    if (auto *control = GetObj<ThreadControl>(RegSlot::ObjFileCheckControl))
        connect(control, &ThreadControl::otherUpdate, mw, &MainWindow::ShowOtherUpdate, Qt::UniqueConnection);
    if (auto *smtp = GetObj<SmtpControl>(RegSlot::ObjSmtpControl))
        connect(smtp, &SmtpControl::statusMessage, this, &CheckTimer::StatusMessage, Qt::UniqueConnection);
}

// The member tree and the chat belong to this thread: the worker only queued the presence
// changes and said whether a new day began.
void CheckTimer::fileCheckResult()
{
    ApplyItemStatus();
    auto *control = GetObj<ThreadControl>(RegSlot::ObjFileCheckControl);
    if (control && control->TakeNewDay()) {
        if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
            mgr->StartNewDay();
    }
}

void CheckTimer::PostMessageNEW_MANAGER()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    auto *tab = GetObj<Tab>(RegSlot::ObjTab);
    if (!mw || !tab)
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    mw->WaitCursor();
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->NewManager();
    mw->RestoreCursor();
    mw->ShowTabArea();
    tab->EmitCurrentChanged(0);
    if (!tab->IsTabAreaVisible())
        tab->SetTabAreaVisible(true);
    SetBoolVar(RegSlot::FlagBusy, false);
    StartLayoutTimer();
}

void CheckTimer::PostMessageNEW_MODEL()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    auto *mdl = GetObj<model>(RegSlot::ObjModel);
    auto *tab = GetObj<Tab>(RegSlot::ObjTab);
    if (!mw || !tab)
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    mw->WaitCursor();
    if (mdl && mdl->NewModel()) {
        mdl->AdjustLayout();
        tab->SelectTab(GetStrVar(RegSlot::StrTabModel));
        mw->ShowTabArea();
        StartLayoutTimer();
        mw->RestoreCursor();
    } else {
        mw->RestoreCursor();
        // A failed creation used to be silent; the model editor left the reason here.
        mw->FatalMessage(tr("New Model"), GetStrVar(RegSlot::StrLastError));
    }
    SetBoolVar(RegSlot::FlagBusy, false);
}

void CheckTimer::openModel()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    auto *tab = GetObj<Tab>(RegSlot::ObjTab);
    auto *mdl = GetObj<model>(RegSlot::ObjModel);
    if (!mw || !tab)
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    mw->WaitCursor();
    SetIntVar(RegSlot::IntLastErrorKind, 0);
    SetStrVar(RegSlot::StrLastError, QString());
    const bool opened = mdl && mdl->OpenModel();
    mw->RestoreCursor();
    if (!opened) {
        // Showing the empty Model tab for a model that did not open would look like an empty
        // model. A file that could not be read or parsed was already reported by the store.
        SetBoolVar(RegSlot::FlagBusy, false);
        if (GetIntVar(RegSlot::IntLastErrorKind) == 0)
            mw->FatalMessage(tr("Open Model"), GetStrVar(RegSlot::StrLastError).isEmpty()
                                                   ? tr("model name is invalid")
                                                   : GetStrVar(RegSlot::StrLastError));
        return;
    }
    mdl->AdjustLayout();
    if (!tab->IsTabAreaVisible())
        tab->SetTabAreaVisible(true);
    tab->SelectTab(GetStrVar(RegSlot::StrTabModel));
    SetBoolVar(RegSlot::FlagBusy, false);
    if (mdl)
        mdl->SelectFirstLclass();
}

void CheckTimer::PostMessageOPEN_MANAGER()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    auto *tab = GetObj<Tab>(RegSlot::ObjTab);
    auto *inst = GetObj<deftab>(RegSlot::ObjDeftab);
    if (!mw || !tab)
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    if (inst) {
        inst->SetScheduleRefresh(false);
        inst->SetQandARefresh(false);
        inst->SetDocumentRefresh(false);
    }
    mw->WaitCursor();
    auto *mgr = GetObj<manager>(RegSlot::ObjManager);
    const bool opened = mgr && mgr->OpenManager();
    mw->RestoreCursor();
    if (inst) {
        inst->SetScheduleRefresh(true);
        inst->SetQandARefresh(true);
        inst->SetDocumentRefresh(true);
    }
    if (!opened) {
        // A tab area without a document (Close disabled) would be a dead end: the start page
        // comes back, as after a model that does not open. The cause was already reported.
        mw->ResetState();
        if (tab->IsTabAreaVisible())
            tab->SetTabAreaVisible(false);
        mw->ShowStartPage();
        return;
    }
    mw->ShowTabArea();
    if (!tab->IsTabAreaVisible())
        tab->SetTabAreaVisible(true);
    SetBoolVar(RegSlot::FlagBusy, false);
    if (inst)
        inst->SelectFirstChapter();
    StartLayoutTimer();
}

// Codes 108 and 109 differ only in the call and in when the tab area comes up: an opened
// definition shows it first, a new one after it has been written.
void CheckTimer::outputStep(bool create)
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    auto *tab = GetObj<Tab>(RegSlot::ObjTab);
    auto *out = GetObj<outdef>(RegSlot::ObjOutdef);
    if (!mw || !tab)
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    if (!create)
        mw->ShowTabArea();
    mw->WaitCursor();
    if (auto *mdl = GetObj<model>(RegSlot::ObjModel))
        mdl->AdjustLayout();
    if (out) {
        if (create)
            out->CreateOutput();
        else
            out->OpenOutput();
        out->SetMenuState();
        out->SetEditState();
    }
    mw->RestoreCursor();
    if (create)
        mw->ShowTabArea();
    if (!tab->IsTabAreaVisible())
        tab->SetTabAreaVisible(true);
    SetBoolVar(RegSlot::FlagBusy, false);
    StartLayoutTimer();
}

void CheckTimer::SaveFlagTimeoutEvent()
{
    m_saveFlagTimer->stop();
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->EnableFileAction(7, true);
}

void CheckTimer::LayoutTimeoutEvent()
{
    m_layoutTimer->stop();
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->AdjustLayouts();
}

void CheckTimer::StatusMessage(const QString &text)
{
    StopStatusMessageTimer();
    if (GetIntVar(RegSlot::IntStatusMode) == 1) {
        if (auto *window = GetObj<StatusWindow>(RegSlot::ObjStatusWindow))
            window->SendResult(text);
        return;
    }
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->StatusMessage(text);
    m_statusTimer->start();
}

void CheckTimer::StatusMessageTimeoutEvent()
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->StatusMessage(QString());
    m_statusTimer->stop();
}

void CheckTimer::FileCheckTimeoutEvent()
{
    if (auto *control = GetObj<ThreadControl>(RegSlot::ObjFileCheckControl))
        control->Trigger();
}

void CheckTimer::ChatTimeoutEvent()
{
    {
        // The chat worker clears the requests under the same mutex: unguarded, a tick could be
        // lost between its read and its clear.
        MutexHold hold(MutexNo::Chat);
        SetBoolVar(RegSlot::FlagChatTick, true);
    }
    if (auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem))
        wake->release();
}

void CheckTimer::AutoSaveTimeoutEvent()
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SaveAll();
}

// The busy flag is set and cleared in many places with no signal: it (and a save in progress) is
// looked at until it is clear, then the save runs as if asked now.
void CheckTimer::SaveWaitTimeoutEvent()
{
    if (GetBoolVar(RegSlot::FlagBusy) || SaveConflict::InProgress())
        return;
    m_saveWaitTimer->stop();
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SaveAll();
}

namespace
{
void startIfIdle(QTimer *t)
{
    if (t && !t->isActive())
        t->start();
}
void stopIfActive(QTimer *t)
{
    if (t && t->isActive())
        t->stop();
}
} // namespace

void CheckTimer::StartChatTimer()
{
    startIfIdle(m_chatTimer);
}

void CheckTimer::StopChatTimer()
{
    stopIfActive(m_chatTimer);
}

void CheckTimer::StartFileCheckTimer()
{
    startIfIdle(m_fileCheckTimer);
}

void CheckTimer::StopFileCheckTimer()
{
    stopIfActive(m_fileCheckTimer);
}

void CheckTimer::StartLayoutTimer()
{
    startIfIdle(m_layoutTimer);
}

void CheckTimer::StopStatusMessageTimer()
{
    stopIfActive(m_statusTimer);
}

void CheckTimer::StopTimers()
{
    StopAutoSaveTimer();
    StopFileCheckTimer();
    CancelDeferredSave();
}

void CheckTimer::DeferSave()
{
    startIfIdle(m_saveWaitTimer);
}

void CheckTimer::CancelDeferredSave()
{
    stopIfActive(m_saveWaitTimer);
}

bool CheckTimer::IsSaveDeferred() const
{
    return m_saveWaitTimer->isActive();
}

void CheckTimer::CreateAutoSaveTimer(int minutes)
{
    if (m_autoSaveTimer)
        return;
    m_autoSaveMinutes = minutes;
    m_autoSaveTimer = new QTimer(this);
    if (minutes > 0)
        m_autoSaveTimer->setInterval(minutes * 60000);
    connect(m_autoSaveTimer, &QTimer::timeout, this, &CheckTimer::AutoSaveTimeoutEvent);
}

void CheckTimer::SetAutoSaveInterval(int minutes)
{
    m_autoSaveMinutes = minutes;
    if (minutes != 0 && m_autoSaveTimer)
        m_autoSaveTimer->setInterval(minutes * 60000);
}

void CheckTimer::StartAutoSaveTimer()
{
    if (m_autoSaveMinutes == 0)
        return;
    startIfIdle(m_autoSaveTimer);
}

void CheckTimer::StopAutoSaveTimer()
{
    stopIfActive(m_autoSaveTimer);
}

void CheckTimer::AddItemStatus(MemberInfo *record, bool open)
{
    if (record->Deleted)
        return;
    m_statusQueue.append({record, open});
}

void CheckTimer::PurgeItemStatus(const MemberInfo *record)
{
    MutexHold hold(MutexNo::Members);
    for (int i = m_statusQueue.size() - 1; i >= 0; --i) {
        if (m_statusQueue.at(i).record == record)
            m_statusQueue.removeAt(i);
    }
}

void CheckTimer::ApplyItemStatus()
{
    auto *mgr = GetObj<manager>(RegSlot::ObjManager);
    // The presence fields are shared with the file-check worker: they change under mutex 0, the
    // tree rows after it is released, so the worker never waits on widgets.
    QList<ItemStatusEntry> applied;
    {
        MutexHold hold(MutexNo::Members);
        QList<ItemStatusEntry> batch;
        batch.swap(m_statusQueue);
        for (const ItemStatusEntry &entry : qAsConst(batch)) {
            if (entry.record->Deleted)
                continue;
            entry.record->Open = entry.open;
            entry.record->UnchangedChecks = 0;
            applied.append(entry);
        }
    }
    if (!mgr)
        return;
    for (const ItemStatusEntry &entry : qAsConst(applied))
        mgr->ShowPresence(entry.record, entry.open);
}

bool CheckTimer::IsPostTimerActive() const
{
    return m_postTimer->isActive();
}

bool CheckTimer::IsSaveFlagTimerActive() const
{
    return m_saveFlagTimer->isActive();
}

bool CheckTimer::IsStatusTimerActive() const
{
    return m_statusTimer->isActive();
}

bool CheckTimer::IsFileCheckTimerActive() const
{
    return m_fileCheckTimer->isActive();
}

bool CheckTimer::IsChatTimerActive() const
{
    return m_chatTimer->isActive();
}

bool CheckTimer::IsAutoSaveTimerActive() const
{
    return m_autoSaveTimer && m_autoSaveTimer->isActive();
}

int CheckTimer::AutoSaveIntervalMs() const
{
    return m_autoSaveTimer ? m_autoSaveTimer->interval() : 0;
}
