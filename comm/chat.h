#pragma once

#include "core/globalvar.h"

#include <QDate>
#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QSet>

namespace Ui
{
class Chat;
}
class ChatCdata;
class ChatNotif;
class ChatResponse;
class ChatTable;
class NumEditor;
class QLineEdit;
class QTabBar;
class QThread;
class QTimer;
class QTableWidgetItem;
class QTreeWidgetItem;
class Semaphore;
struct ChatRecord;

// The chat dialog of the open instance workspace: today's messages on the first tab, an earlier
// day on the second. It never reads or writes a day file: it queues requests for the chat worker
// and fills its tables, on the GUI thread, from the worker's steps.
class Chat final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit Chat(QWidget *parent = nullptr);
    ~Chat() override;

    void ConnectSemaphore(Semaphore *worker);
    void ShowChat();
    void ResetChat();
    void SetOwnerAddress();
    void SetPollDate(const QDate &day);
    void SetEditFont();
    void QueueResponse();
    void ShowLastPos();
    // store: 0 today's, 1 the earlier day's (table clicks on the second tab).
    ChatRecord *FindMessage(int seq, int store = 0) const;
    // A copy taken under the chat lock, for reading on this thread while the worker writes the
    // record; Seq is 0 when there is none. It holds no file element.
    ChatRecord CopyMessage(int seq, int store = 0) const;
    int MessageCount(int table = 0) const { return m_count[table]; }
    void SetResponse(int kind, int seq);
    void OpenResponse(int kind, const QString &author, const QString &time, int seq);
    void CheckRecipients(const ChatRecord *message);
    void DeleteMessage(QTableWidgetItem *cell);
    void SelectFirstTab();

    // Table steps, each run under the chat lock.
    void LoadTodayChat();
    bool ShowNewMessage(int seq);
    int ApplyModifiedMessage(int taken, int target);
    int ApplyResponse(int taken, int target);
    // Reads the day's files (taking the chat lock only to merge them) and builds the second table.
    int LoadDateChat(const QDate &date);

    ChatTable *Table(int index) const { return m_table[index]; }
    ChatCdata *Store(int index) const { return m_store[index]; }
    ChatResponse *Response() const { return m_response; }
    ChatNotif *Notification() const { return m_notif; }

public slots:
    void SendProc(bool checked = false);
    void ClearProc(bool checked = false);
    void CloseProc(bool checked = false);
    void SelectProc(bool checked = false);
    void CalendarProc(const QDate &date);
    void TabChanged(int index);
    void CheckChanged(QTreeWidgetItem *item, int column);
    void layoutbtnproc();
    void SetLastPos();
    void ChatRefresh();
    void SemaphoreFinished(int rc);
    void WorkerStep(int flag, int taken, int target, int generation);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void FillUserTree();
    void releaseRequest(int flag);
    void showRedMessage(const QString &text);
    void setLine(QLineEdit *line, const QString &color, const QString &text);
    QString lineText(const QString &text) const;
    void setColumnWidth(ChatTable *table);
    void buildTable(int index);
    void addEmptyRowPair(int index);
    void fillPair(int index, ChatRecord *record, int pair, bool full);
    QString headText(const ChatRecord *record, bool full) const;
    void setTextCell(ChatRecord *record);
    QTableWidgetItem *showMyResponse(int index, ChatRecord *message);
    QTableWidgetItem *showSummary(int index, ChatRecord *message);
    void fitRows(int index, int pair);
    void fitPending();
    void showNotes();
    void showSaveNews();
    void tellUnsaved(const QStringList &files, int count, const QString &reason);

    Ui::Chat *m_ui;
    QString m_kindTexts[6];
    QTabBar *m_tabBar = nullptr;
    int m_prevTab = 0;
    NumEditor *m_editor = nullptr;
    bool m_firstShow = true;
    int m_defaultWidth = 800;
    int m_defaultHeight = 800;
    bool m_ignoreNext = false;
    bool m_filling = false;
    bool m_parentByChild = false;
    ChatCdata *m_store[2];
    QSet<QString> m_seen;
    QString m_ownName;
    ChatTable *m_table[2];
    int m_count[2] = {0, 0};
    QTableWidgetItem *m_spare[2][4] = {{nullptr, nullptr, nullptr, nullptr},
                                       {nullptr, nullptr, nullptr, nullptr}};
    QDate m_chosenDate;
    QDate m_loadedDate{1955, 1, 1};
    QDate m_shownDate{1900, 1, 1};
    int m_shownCount = 0;
    QFont m_bold;
    int m_lastRc = -2;
    ChatResponse *m_response;
    ChatNotif *m_notif;
    int m_responseKind = 0;
    int m_responseSeq = 0;
    QPointer<Semaphore> m_worker;
    // Null once the thread is freed; a thread the exit gave up is never freed.
    QPointer<QThread> m_workerThread;
    QTimer *m_lastPosTimer; // one pending SetLastPos, however many steps ask for one
    QList<int> m_unfitted;  // pairs of the first table shown but not fitted yet
    QSet<int> m_unsummed;   // own messages whose response count waits for the last response queued
};
