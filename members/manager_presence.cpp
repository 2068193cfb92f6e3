#include "members/manager.h"

#include "comm/chat.h"
#include "core/globalmutex.h"
#include "core/xmlclass.h"
#include "members/sharedfilecheck.h"
#include "members/threadcontrol.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"

#include <QBrush>
#include <QColor>
#include <QDate>
#include <QTreeWidgetItem>

SharedFileCheck *manager::PresenceCheck() const
{
    auto *control = GetObj<ThreadControl>(RegSlot::ObjFileCheckControl);
    return control ? &control->Check() : nullptr;
}

// Runs once the records are complete (numbers, own or other) and their files' times recorded:
// a check over half-built records could take another member's marker for our own.
void manager::StartPresence()
{
    ScanPresence();
    auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer);
    if (SharedFileCheck *check = PresenceCheck()) {
        SharedFileCheck::StatusSink sink;
        if (timer)
            sink = [timer](MemberInfo *record, bool open) { timer->AddItemStatus(record, open); };
        check->Attach(m_files.InstanceDir(), &m_table, GetObj<xmlclass>(RegSlot::ObjXmlStore), sink,
                      QDate::currentDate());
    }
    if (timer)
        timer->StartFileCheckTimer();
}

void manager::StopPresence()
{
    if (SharedFileCheck *check = PresenceCheck())
        check->Detach();
    // Detached first, so no new change can be queued for the records about to go.
    if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer)) {
        for (const MemberInfo *record : qAsConst(m_table))
            timer->PurgeItemStatus(record);
        for (const MemberInfo *record : qAsConst(m_removed))
            timer->PurgeItemStatus(record);
    }
}

void manager::ScanPresence()
{
    const QDateTime now = QDateTime::currentDateTime();
    QList<MemberInfo *> seenOpen;
    {
        MutexHold hold(MutexNo::Members);
        for (MemberInfo *record : qAsConst(m_table)) {
            if (record->OtherUser != 1 || record->Deleted)
                continue;
            if (SharedFileCheck::ScanMarker(record, m_files.InstanceDir(), now)) {
                record->Open = true;
                seenOpen.append(record);
            }
        }
    }
    for (MemberInfo *record : qAsConst(seenOpen))
        ShowPresence(record, true);
}

int manager::CheckSharedFiles()
{
    SharedFileCheck *check = PresenceCheck();
    if (!check)
        return 0;
    const FileCheckResult result = check->Run(QDate::currentDate());
    if (result.newDay)
        StartNewDay();
    return result.status;
}

int manager::ReadMemberMarker(MemberInfo *record)
{
    SharedFileCheck *check = PresenceCheck();
    if (!check || !record)
        return 0;
    MutexHold hold(MutexNo::Members);
    return check->ReadMemberMarker(record);
}

void manager::WriteOwnMarker(bool force)
{
    if (SharedFileCheck *check = PresenceCheck())
        check->WriteOwnMarker(force);
}

// The first result of a day: the chat takes the user's address again and the daily flags start
// over. Done here, on the GUI thread, because the chat window and the flags belong to it.
void manager::StartNewDay()
{
    m_chat->SetOwnerAddress();
    MutexHold hold(MutexNo::Members); // the chat worker sets the flag under it
    for (MemberInfo *record : qAsConst(m_table))
        record->ChatFlag = false;
}

void manager::ShowPresence(MemberInfo *record, bool open)
{
    QTreeWidgetItem *item = record ? record->TreeItem : nullptr;
    if (!item)
        return;
    const QBrush brush(QColor(open ? "#82fb83" : "#fae992"));
    for (int column = 1; column <= 3; ++column)
        item->setBackground(column, brush);
    item->setText(3, CurStateText(open ? 1 : 2));
}
