#include "comm/chat.h"

#include "comm/chatcdata.h"
#include "comm/chatnotif.h"
#include "comm/chatresponse.h"
#include "comm/chattable.h"
#include "comm/semaphorecontrol.h"
#include "core/globalmutex.h"
#include "core/workerthreads.h"
#include "core/xmltext.h"
#include "members/memberinfo.h"
#include "shell/checktimer.h"
#include "shell/numeditor.h"
#include "ui_chat.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSemaphore>
#include <QTabBar>
#include <QTimer>

Chat::Chat(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::Chat), m_response(new ChatResponse), m_notif(new ChatNotif)
{
    m_response->SetChat(this);
    m_notif->SetChat(this);
    m_lastPosTimer = new QTimer(this);
    m_lastPosTimer->setSingleShot(true);
    m_lastPosTimer->setInterval(200);
    connect(m_lastPosTimer, &QTimer::timeout, this, &Chat::SetLastPos);
    m_ui->setupUi(this);
    SetObj(RegSlot::ObjChat, this);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const char *const kinds[] = {QT_TR_NOOP("NONE"),   QT_TR_NOOP("AGREE"), QT_TR_NOOP("OPPO"),
                                 QT_TR_NOOP("NUTRAL"), QT_TR_NOOP("MINF"),  QT_TR_NOOP("GOOD")};
    for (int i = 0; i < 6; ++i)
        m_kindTexts[i] = tr(kinds[i]);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->geometry().size();
        m_defaultWidth = size.width() >= 1000 ? 1000 : (size.width() >= 800 ? 800 : 600);
        m_defaultHeight = size.height() >= 800 ? 800 : (size.height() >= 600 ? 600 : 400);
    }
    m_bold = font();
    m_bold.setWeight(75);
    m_ui->DATE->setFont(m_bold);
    m_ui->MSG->setFont(m_bold);
    m_editor = new NumEditor;
    m_editor->SetKind(10);
    m_ui->EDIT->addWidget(m_editor);
    for (int i = 0; i < 2; ++i) {
        m_store[i] = new ChatCdata(this);
        m_table[i] = new ChatTable;
        m_table[i]->SetChat(this, i == 1);
        (i == 0 ? m_ui->TABLE : m_ui->TABLE2)->addWidget(m_table[i]);
        addEmptyRowPair(i);
    }
    m_ui->SEND->setStyleSheet(QStringLiteral("background-color: #007a00; color: #FFFFFF"));
    m_ui->CLOSE->setStyleSheet(QStringLiteral("background-color: #e84c77; color: #FFFFFF"));
    m_ui->SELECT->setStyleSheet(QStringLiteral("background-color: #007a00; color: #FFF100"));
    m_ui->SDATE->setStyleSheet(QStringLiteral("background-color: #666666;color: #FFFFFF"));
    m_tabBar = m_ui->tabWidget->tabBar();
    m_tabBar->setStyleSheet(QStringLiteral("background-color: #666666"));
    m_tabBar->setTabTextColor(0, QColor("#FFFFFF"));
    m_tabBar->setTabTextColor(1, QColor("#00dd00"));
    QTreeWidgetItem *header = m_ui->USER->headerItem();
    for (int c = 0; c < 2; ++c) {
        header->setForeground(c, QBrush(QColor("#FFFFFF")));
        header->setBackground(c, QBrush(QColor("#666666")));
    }
    auto *layoutButton = new QPushButton(tr("Layout"));
    m_ui->tabWidget->setCornerWidget(layoutButton, Qt::TopRightCorner);
    connect(m_ui->SEND, &QPushButton::clicked, this, &Chat::SendProc);
    connect(m_ui->CLEAR, &QPushButton::clicked, this, &Chat::ClearProc);
    connect(m_ui->CLOSE, &QPushButton::clicked, this, &Chat::CloseProc);
    connect(m_ui->SELECT, &QPushButton::clicked, this, &Chat::SelectProc);
    connect(m_ui->CALENDAR, &QCalendarWidget::clicked, this, &Chat::CalendarProc);
    connect(m_ui->tabWidget, &QTabWidget::currentChanged, this, &Chat::TabChanged);
    connect(m_ui->USER, &QTreeWidget::itemChanged, this, &Chat::CheckChanged);
    connect(layoutButton, &QPushButton::clicked, this, &Chat::layoutbtnproc);
    // A reason starts with the file it names and may run far past the line: a line set shows its
    // start, and its tooltip the whole of it, wrapped.
    for (QLineEdit *line : {m_ui->MSG, m_ui->MSG2}) {
        connect(line, &QLineEdit::textChanged, line, [line](const QString &text) {
            line->setCursorPosition(0);
            line->setToolTip(text.isEmpty()
                                 ? QString()
                                 : QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>"));
        });
    }
}

Chat::~Chat()
{
    // A worker the program's exit gave up may be inside a pass, its pass lock held and today's
    // store in hand, for as long as a share hangs: the store is left to it, never waited for.
    if (m_workerThread && WorkerThreads::IsGivenUp(m_workerThread))
        m_store[0]->setParent(nullptr);
    else if (m_worker)
        m_worker->SetStore(nullptr);
    if (GetObj<Chat>(RegSlot::ObjChat) == this)
        SetObj<Chat>(RegSlot::ObjChat, nullptr);
    SetObj<QTableWidgetItem>(RegSlot::ObjChatChangedItem, nullptr);
    delete m_response;
    delete m_notif;
    delete m_ui;
}

void Chat::ConnectSemaphore(Semaphore *worker)
{
    m_worker = worker;
    m_workerThread = worker ? worker->thread() : nullptr;
    if (!worker)
        return;
    worker->SetStore(m_store[0]);
    connect(worker, &Semaphore::stepDone, this, &Chat::WorkerStep, Qt::QueuedConnection);
    connect(worker, &Semaphore::procFinished, this, &Chat::SemaphoreFinished);
}

// Sets a request flag (under the chat lock, where the worker reads it) and wakes the worker.
void Chat::releaseRequest(int flag)
{
    {
        MutexHold chat(MutexNo::Chat);
        SetBoolVar(flag, true);
    }
    if (auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem))
        wake->release();
}

void Chat::SetOwnerAddress()
{
    MutexHold chat(MutexNo::Chat);
    m_store[0]->OpenToday(GetStrVar(RegSlot::StrUserEmail));
}

void Chat::SetPollDate(const QDate &day)
{
    MutexHold chat(MutexNo::Chat);
    m_store[0]->SetPollDate(day);
}

void Chat::SetEditFont()
{
    m_editor->SetEditFont();
}

ChatRecord *Chat::FindMessage(int seq, int store) const
{
    MutexHold chat(MutexNo::Chat);
    return m_store[store]->Record(seq);
}

ChatRecord Chat::CopyMessage(int seq, int store) const
{
    MutexHold chat(MutexNo::Chat);
    const ChatRecord *record = m_store[store]->Record(seq);
    ChatRecord copy = record ? *record : ChatRecord();
    copy.Element = QDomElement();
    return copy;
}

// The worker's table step, on this thread; then the result the chat protocol gives for it.
void Chat::WorkerStep(int flag, int taken, int target, int generation)
{
    int rc = 0;
    bool report = false;
    {
        MutexHold chat(MutexNo::Chat);
        if (generation != m_store[0]->Generation())
            return; // queued before the chat was reset
        switch (flag) {
        case RegSlot::FlagChatFirstLoad:
            LoadTodayChat();
            rc = -2;
            report = true;
            break;
        case RegSlot::FlagChatSend:
            ShowNewMessage(taken);
            rc = -1;
            report = true;
            break;
        case RegSlot::FlagChatWindowRequest:
            rc = ApplyModifiedMessage(taken, target);
            report = rc >= 1;
            break;
        case RegSlot::FlagChatResponse:
            rc = ApplyResponse(taken, target);
            report = rc >= 1;
            break;
        case RegSlot::FlagChatRememberPos:
            ShowLastPos();
            break;
        case RegSlot::FlagChatRefresh:
            m_table[m_ui->tabWidget->currentIndex() == 1 ? 1 : 0]->viewport()->update();
            break;
        case RegSlot::FlagChatTick:
            showNotes(); // a file the poll left out
            break;
        default:
            break;
        }
        showSaveNews();
    }
    if (!report)
        return;
    if (m_worker)
        emit m_worker->procFinished(rc);
    else
        SemaphoreFinished(rc);
}

void Chat::SemaphoreFinished(int rc)
{
    m_lastRc = rc;
    if (isVisible()) {
        if (rc == -1) {
            // A timer each for thousands of messages of one poll would cost the event loop more
            // with every one.
            if (!m_lastPosTimer->isActive())
                m_lastPosTimer->start();
        } else if (rc == -2) {
            releaseRequest(RegSlot::FlagChatRememberPos);
        } else if (rc >= 1) {
            m_table[0]->setCurrentCell(rc, 0);
            m_table[0]->ScrollTo(GetObj<QTableWidgetItem>(RegSlot::ObjChatChangedItem));
            m_table[0]->viewport()->update();
        }
    }
    if ((rc == -1 || rc >= 1) && (!isVisible() || isMinimized()))
        m_notif->ShowNotif();
}

void Chat::SetLastPos()
{
    releaseRequest(RegSlot::FlagChatRememberPos);
}

void Chat::ChatRefresh()
{
    releaseRequest(RegSlot::FlagChatRefresh);
}

void Chat::ShowLastPos()
{
    const int index = m_ui->tabWidget->currentIndex() == 1 ? 1 : 0;
    m_table[index]->ScrollTo(m_spare[index][3]);
}

void Chat::SetResponse(int kind, int seq)
{
    m_responseKind = kind;
    m_responseSeq = seq;
    if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
        timer->PostMessage(MsgCode::ChatQueueResponse);
    else
        QueueResponse();
}

void Chat::QueueResponse()
{
    {
        MutexHold chat(MutexNo::Chat);
        auto *request = GetObj<QSemaphore>(RegSlot::ObjChatRequestSem);
        if (request)
            request->acquire();
        const ChatRecord *message = m_store[0]->Record(m_responseSeq);
        bool added = false;
        if (message) {
            const QDate date = message->Time.isValid()
                                   ? message->Time.date()
                                   : (message->Day ? message->Day->Date : QDate::currentDate());
            added = m_store[0]->AddResponse(date, GetStrVar(RegSlot::StrUserEmail), m_responseKind,
                                            m_responseSeq);
        }
        if (request)
            request->release();
        if (!added) {
            if (message && !m_store[0]->Refusal().isEmpty())
                showRedMessage(tr("answer can not be sent: %1").arg(m_store[0]->Refusal()));
            return;
        }
        SetBoolVar(RegSlot::FlagChatResponse, true);
    }
    if (auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem))
        wake->release();
}

void Chat::OpenResponse(int kind, const QString &author, const QString &time, int seq)
{
    m_response->SetId(seq);
    m_response->SetKind(kind);
    m_response->SetUserTime(author, time);
    m_response->show();
}

void Chat::DeleteMessage(QTableWidgetItem *cell)
{
    {
        MutexHold chat(MutexNo::Chat);
        ChatRecord *record = cell ? m_store[0]->Record(cell->data(Qt::UserRole).toInt()) : nullptr;
        if (!record)
            return;
        record->Type = 1;
        record->Text.clear();
        record->ModTime = QDateTime::currentDateTime();
        auto *request = GetObj<QSemaphore>(RegSlot::ObjChatRequestSem);
        if (request)
            request->acquire();
        SetBoolVar(RegSlot::FlagChatWindowRequest, true);
        m_store[0]->QueueModified(record);
        if (request)
            request->release();
    }
    if (auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem))
        wake->release();
    QTimer::singleShot(500, this, &Chat::ChatRefresh);
}

void Chat::SelectFirstTab()
{
    m_ui->tabWidget->setCurrentIndex(0);
}

void Chat::ResetChat()
{
    releaseRequest(RegSlot::FlagChatStop);
    QStringList lostFiles;
    QString lostReason;
    int lostCount = 0;
    {
        MutexHold chat(MutexNo::Chat);
        // What the worker has not written yet (a full disk, or a message sent just now) is
        // written before the store forgets it.
        if (m_store[0]->NeedsSave() && !m_store[0]->SaveAll()) {
            lostFiles = m_store[0]->FailedPaths();
            lostReason = m_store[0]->FailedReason();
            lostCount = m_store[0]->UnsavedCount();
        }
        m_count[0] = m_count[1] = 0;
        m_unfitted.clear();
        m_unsummed.clear();
        m_shownDate = QDate(1900, 1, 1);
        for (int i = 0; i < 2; ++i) {
            m_store[i]->Reset();
            m_table[i]->setRowCount(0);
            // A new workspace starts without a full load: its first message needs the pair.
            addEmptyRowPair(i);
        }
        SetObj<QTableWidgetItem>(RegSlot::ObjChatChangedItem, nullptr);
        m_filling = true;
        m_ui->USER->clear();
        m_filling = false;
        m_seen.clear();
        m_editor->ClearText();
        m_ui->DATE->clear();
        m_ui->MSG->clear();
        m_ui->MSG2->clear();
        m_ui->tabWidget->setCurrentIndex(0);
        m_loadedDate = QDate(1955, 1, 1);
    }
    // An open answer names a message of the emptied store by its number.
    m_response->hide();
    m_notif->hide();
    hide();
    // Shown after the lock is given back: the box runs an event loop.
    if (!lostFiles.isEmpty())
        tellUnsaved(lostFiles, lostCount, lostReason);
}

void Chat::showRedMessage(const QString &text)
{
    setLine(m_ui->MSG2, QStringLiteral("#FF0000"), text);
}

void Chat::SendProc(bool)
{
    m_ui->MSG2->clear();
    QTreeWidgetItem *top = m_ui->USER->topLevelItem(0);
    if (!top)
        return;
    if (top->childCount() == 0) {
        showRedMessage(tr("received account is empty"));
        return;
    }
    const QString own = GetStrVar(RegSlot::StrUserEmail);
    // One clock reading: the message's day and its time must agree across midnight.
    const QDateTime now = QDateTime::currentDateTime();
    const QDate today = now.date();
    QList<int> numbers;
    {
        MutexHold chat(MutexNo::Chat);
        m_store[0]->SyncUsers(own, today);
        for (int i = 0; i < top->childCount(); ++i) {
            QTreeWidgetItem *child = top->child(i);
            if (child->checkState(0) != Qt::Checked)
                continue;
            const int number = m_store[0]->GetRecipientNo(own, today, child->text(1));
            if (number > 0 && !numbers.contains(number))
                numbers << number;
        }
    }
    if (numbers.isEmpty()) {
        showRedMessage(tr("received account is not selected"));
        return;
    }
    const QString text = m_editor->toPlainText();
    if (text.isEmpty()) {
        showRedMessage(tr("message is empty"));
        return;
    }
    {
        MutexHold chat(MutexNo::Chat);
        auto *request = GetObj<QSemaphore>(RegSlot::ObjChatRequestSem);
        if (request)
            request->acquire();
        const int seq =
            m_store[0]->AddMessage(today, own, m_store[0]->GetUserNo(own, today), numbers, text, true, now);
        if (seq != 0)
            SetBoolVar(RegSlot::FlagChatSend, true);
        if (request)
            request->release();
        // The text stays in the editor.
        if (seq == 0) {
            showRedMessage(tr("message can not be sent: %1").arg(m_store[0]->Refusal()));
            return;
        }
    }
    if (auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem))
        wake->release();
    m_editor->ClearText();
    const QString replaced = XmlText::ReplacedMessage(text);
    if (!replaced.isEmpty())
        showRedMessage(replaced);
    if (!m_lastPosTimer->isActive())
        m_lastPosTimer->start();
}

void Chat::ClearProc(bool)
{
    m_ui->MSG2->clear();
    m_editor->ClearText();
}

void Chat::CloseProc(bool)
{
    m_ui->MSG2->clear();
    accept();
}
