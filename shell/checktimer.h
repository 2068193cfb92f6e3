#pragma once

#include "core/globalvar.h"
#include "core/postbox.h"

#include <QList>
#include <QObject>
#include <QQueue>

class QTimer;
struct MemberInfo;

// A member's presence change found by the file-check worker, applied to the member tree when
// the check's result (code 153) arrives.
struct ItemStatusEntry {
    MemberInfo *record;
    bool open;
};

// Owns the application's timers and the posted-message queue: components post a code, and a
// 0 ms timer delivers it from the event loop to the component that does the work.
class CheckTimer final : public QObject, public PostBox, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit CheckTimer(QObject *parent = nullptr);
    ~CheckTimer() override;

    void PostMessage(int code) override;
    void StatusMessage(const QString &text);

    void StartChatTimer();
    void StopChatTimer();
    void StartFileCheckTimer();
    void StopFileCheckTimer();
    void StartLayoutTimer();
    void StopStatusMessageTimer();
    void StopTimers();

    // A save asked while other work holds the documents: done once that work ends, unless the
    // workspace is closed first.
    void DeferSave();
    void CancelDeferredSave();
    bool IsSaveDeferred() const;

    void CreateAutoSaveTimer(int minutes);
    void SetAutoSaveInterval(int minutes);
    void StartAutoSaveTimer();
    void StopAutoSaveTimer();
    int AutoSaveMinutes() const { return m_autoSaveMinutes; }

    void AddItemStatus(MemberInfo *record, bool open);
    void ApplyItemStatus();
    // Drops every queued change of a record that is about to be freed.
    void PurgeItemStatus(const MemberInfo *record);
    int PendingItemStatus() const { return m_statusQueue.size(); }

    void PostMessagePM_INIT();
    void PostMessageNEW_MANAGER();
    void PostMessageNEW_MODEL();
    void PostMessageOPEN_MANAGER();

    // Test access to the timers' states.
    bool IsPostTimerActive() const;
    bool IsSaveFlagTimerActive() const;
    bool IsStatusTimerActive() const;
    bool IsFileCheckTimerActive() const;
    bool IsChatTimerActive() const;
    bool IsAutoSaveTimerActive() const;
    int AutoSaveIntervalMs() const;

signals:
    // Emitted for every code the dispatcher takes off the queue, before it acts on it.
    void Dispatched(int code);

public slots:
    void PostMessageTimeoutEvent();
    void SaveFlagTimeoutEvent();
    void LayoutTimeoutEvent();
    void StatusMessageTimeoutEvent();
    void FileCheckTimeoutEvent();
    void ChatTimeoutEvent();
    void AutoSaveTimeoutEvent();
    void SaveWaitTimeoutEvent();

private:
    void dispatch(int code);
    void fileCheckResult();
    void openModel();
    void outputStep(bool create);
    void redmineReply(int kind);
    void redmineTestReply();
    void redmineGroupsReply();
    QTimer *makeTimer(int interval, void (CheckTimer::*slot)());

    QTimer *m_postTimer;
    QTimer *m_saveFlagTimer;
    QTimer *m_layoutTimer;
    QTimer *m_statusTimer;
    QTimer *m_fileCheckTimer;
    QTimer *m_chatTimer;
    QTimer *m_saveWaitTimer;
    QTimer *m_autoSaveTimer = nullptr;
    int m_autoSaveMinutes = 0;
    QQueue<int> m_mailbox;
    QList<ItemStatusEntry> m_statusQueue;
};
