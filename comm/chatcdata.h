#pragma once

#include "core/globalvar.h"
#include "core/safefile.h"

#include <QDate>
#include <QDateTime>
#include <QDomDocument>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QStringList>
#include <functional>

struct MemberInfo;
struct ChatAccount;
struct ChatDay;
class QTableWidgetItem;

// One message, deletion or response read from a day file or made by the user.
struct ChatRecord {
    ChatAccount *Owner = nullptr;
    int Type = 0; // 0 message, 1 deleted, 2 response
    int ID = 0;
    QDomElement Element; // kept for the user's own records only: their file is written back
    QString Account;
    int Author = 0;
    bool Own = false;
    QDateTime Time;
    QDateTime ModTime;
    QList<int> Recipients;
    QString Text;
    QString AnsweredAccount;
    int Kind = 0;
    int AnsweredID = 0;
    bool Unsaved = false; // the user's own: its day file could not be written since it changed
    ChatDay *Day = nullptr;
    int Seq = 0;
    // What the message tables keep here (GUI thread, under the chat lock).
    int Row = -1;
    QTableWidgetItem *HeadItem = nullptr;
    QTableWidgetItem *TextItem = nullptr;
    int MyResponse = 0;   // the user's own response to this message
    QList<int> Responses; // other members' responses to this (own) message
    int CountedIn = 0;    // a response: the message whose Responses hold it (a look-up there costs them all)
};

struct ChatUser {
    QString Account;
    QString Name;
};

// One day file of one account.
struct ChatDay {
    QDate Date;
    bool Dirty = false;
    QString Path;
    QDomDocument Doc;        // null when the day has none
    QHash<int, int> IdTable; // message ID -> sequence number
    // The highest message ID the day's file holds or was given, whatever its MaxID says; it never
    // goes down, and the user's next message is numbered above it.
    int MaxID = 0;
    // The same for the members the day's file numbers.
    int UserMaxID = 0;
    // "<ID> <TIME>" of a message -> how many such messages were taken: a read that meets a file
    // again (a peer's rewrite caught half old, half new, or a MaxID edited by hand) takes each
    // once, while a day its writer began anew (its file set aside as damaged) brings its own.
    QHash<QString, int> Taken;
    // At most what the own day's file takes once written: its size as last read or written, and
    // what was added since, counted as the writer lays it out.
    qint64 FileBytes = 0;
    qint64 AddedBytes = 0;
    QHash<QString, int> AccountNo;
    QMap<int, ChatUser> Users;
    QHash<QString, int> ResponseKeys; // "<user number>_<message ID>" -> ID of the user's response
    QList<int> Pending;               // own records changed since the file was last written
    // The CASE elements of Doc as the reader counts them, counted again for another root.
    QDomElement CountedRoot;
    int Cases = 0;
    QString Refused; // why the user's own file of the day was not read, which keeps it as it is
    // The own file's bytes as last read or written: the member's other desktop writes the same
    // file, and a write goes only over the file the document was made from.
    SafeFile::Seen Seen;
};

struct ChatAccount {
    QMap<QDate, ChatDay *> Days;
    bool OwnFile = false;
};

// The in-memory store of the chat day files: each member's program writes only its own day file
// (account + "___" + yyyyMMdd + ".cht") and reads the others'. No lock of its own: every access
// happens under the chat lock (mutex 1), and reads of member records also under mutex 0.
class ChatCdata final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    // One member's chat of one day is some hundreds of messages, a busy day a few thousand. A day
    // file of more is another kind of file, or one made to stop the program: every message costs
    // a record and two table rows, and the largest file taken must still be read and shown in
    // seconds on a laptop. The writer keeps to the same limits, or its own file would be refused.
    static constexpr int MaxDayEntries = 25000;
    // A text is written as one CDATA section more for every "]]>" it holds.
    static constexpr int MaxTextSections = 16;
    // The member file numbers fewer.
    static constexpr int MaxDayUsers = 10000;
    // A message's text in the file, in bytes of UTF-8: hundreds of pages, more than anyone types or
    // pastes into a chat; a text of megabytes costs seconds wherever a table lays it out. The day's
    // file as a whole is held to what its reader takes (SafeFile::MaxReadBytes) besides.
    static constexpr qint64 MaxTextBytes = qint64(1024) * 1024;
    // A message is its element, five attributes (the last once it is deleted) and its sections, a
    // response its element and seven attributes; a member named is an element and three
    // attributes; the declaration, the root and USERS with theirs are seven more.
    static constexpr qint64 MaxDayNodes =
        qint64(MaxDayEntries) * (6 + MaxTextSections) + qint64(MaxDayUsers) * 4 + 16;

    explicit ChatCdata(QObject *parent = nullptr);
    ~ChatCdata() override;

    // An account becomes part of a file name: one holding a separator or ".." is never used.
    static bool SafeAccount(const QString &account);
    static QString DayFileName(const QString &account, const QDate &date);
    QString ChatFolder() const;

    void OpenToday(const QString &account);
    // Gives the account's day its file path and, when the file is absent, a new document; null
    // for an account that cannot name a file.
    ChatDay *OpenDay(const QString &account, const QDate &date);
    bool LoadFile(bool full, const QDate &date, const QString &path, bool own, MemberInfo *member);
    // False when a day file could not be written: that day stays dirty and is written again by
    // the next save (the worker tries on every tick while one is unsaved, and the window at close).
    bool SaveAll();
    bool HasUnsaved() const { return m_unsaved; }
    bool NeedsSave() const;
    // The own day files the last save could not write, and the own records they hold unsaved.
    QStringList FailedPaths() const { return m_failedPaths; }
    // Why the last of them was not written (no space, not writable), empty after a refusal of what
    // the name holds, which the notes tell.
    QString FailedReason() const { return m_failedReason; }
    int UnsavedCount() const;
    // What changed since last asked: own records whose unsaved mark flipped, and whether saving
    // failed (with the files) or came right again.
    struct SaveNews {
        QList<int> Changed;
        QStringList Failed;
        QString Reason;
        bool Recovered = false;
    };
    bool HasSaveNews() const { return m_saveNews; }
    SaveNews TakeSaveNews();
    // Records an own change of a day, for the unsaved marks.
    void MarkPending(ChatDay *day, const ChatRecord *record);
    // time: when the message was sent, now when invalid. Characters XML cannot hold are replaced.
    // 0 when the message is refused, with the reason in Refusal().
    int AddMessage(const QDate &date, const QString &account, int author, const QList<int> &recipients,
                   const QString &text, bool own, const QDateTime &time = QDateTime());
    // False when the response is refused, with the reason in Refusal() (empty when there is
    // nothing to answer).
    bool AddResponse(const QDate &date, const QString &account, int kind, int seq);
    // Why the last message or response was refused.
    QString Refusal() const { return m_refusal; }
    void QueueModified(ChatRecord *record);
    ChatRecord *TakeNew() { return take(m_newQueue, m_currentNew); }
    ChatRecord *TakeModified() { return take(m_modQueue, m_currentMod); }
    ChatRecord *TakeResponse() { return take(m_respQueue, m_currentResp); }
    int NewCount() const { return m_newQueue.size(); }
    int ModifiedCount() const { return m_modQueue.size(); }
    int ResponseCount() const { return m_respQueue.size(); }
    const QList<QPair<int, QDateTime>> &GetTimeList() const { return m_timeList; }
    void SortByTime();
    int GetUserNo(const QString &account, const QDate &date);
    int GetRecipientNo(const QString &sender, const QDate &date, const QString &member);
    void SyncUsers(const QString &account, const QDate &date);
    ChatDay *FindDay(const QString &account, const QDate &date);
    ChatAccount *GetAccount(const QString &account);
    ChatDay *GetDay(ChatAccount *entry, const QDate &date);
    QDomDocument GetDayDocument(ChatAccount *entry, const QDate &date);
    void SetDayDocument(ChatAccount *entry, const QDate &date, const QDomDocument &doc);
    static QDomDocument NewDayDocument(const QDate &date);
    void Reset();

    ChatRecord *Record(int seq) const { return m_records.value(seq); }
    // The day of an account, without creating it.
    ChatDay *LookupDay(const QString &account, const QDate &date) const;
    // Reads every member's day file of the date as a full read and ties the responses to their
    // messages (the reading half of loading a day into a table). The files are read and parsed
    // without a lock and taken into the store under the chat lock and mutex 0, which the caller
    // must not hold.
    void ReadDayFiles(const QDate &date);
    // The poll: the other members' files of the poll date and today, read when they changed; its
    // locks as ReadDayFiles takes them.
    void Poll();
    // For tests: called by the poll on the worker with no lock held, once it has taken what it
    // needs of the member records and before it reads the files. Null in the program.
    void SetPollHook(std::function<void()> hook);
    bool HasNotes() const { return !m_notes.isEmpty(); }
    void SetPollDate(const QDate &date) { m_pollDate = date; }
    // The store half of applying a taken deletion or response: the message whose cells change, or
    // null when nothing is to be shown.
    ChatRecord *ApplyModified(ChatRecord *record);
    ChatRecord *ApplyResponse(ChatRecord *record);
    // Counted responses of a message by kind 0-5.
    QList<int> ResponseCounts(const ChatRecord *message) const;
    // Texts for the user (a damaged own file moved aside), taken once.
    QStringList TakeNotes();
    // Changes at every reset, so that work queued for an emptied store is recognised.
    int Generation() const { return m_generation; }

private:
    // One day file of one member as read without a lock, to be taken into the store under it.
    struct DayRead {
        enum Outcome { Unchanged, Absent, Failed, Broken, Refused, Parsed };
        MemberInfo *Member = nullptr;
        int Key = 0; // the member's key in the member table
        QString Account;
        QDate Date;
        QString Path;
        bool Own = false;
        QDateTime Known; // the time the poll last read, invalid for a full read
        bool Recheck = false;
        QDateTime Modified;
        Outcome Result = Unchanged;
        QString Note;
        QDomDocument Doc;
        qint64 Bytes = 0; // the size of the file read
        SafeFile::Seen Seen;

        DayRead() = default;
        // The read of a member's day file in folder.
        DayRead(MemberInfo *member, int key, const QString &folder, const QDate &date);
    };
    static void readDay(DayRead &read, bool full);
    bool mergeDay(DayRead &read, bool full);
    bool stillMember(const DayRead &read) const;
    ChatRecord *take(QList<int> &queue, ChatRecord *&current);
    ChatRecord *newRecord();
    // What one read of a day file passes from CASE to CASE.
    struct CaseRead {
        bool Full = false;
        bool Own = false;
        QString Account;
        int Author = 0;
        int Counts[3] = {0, 0, 0}; // new messages, modified messages, responses of an incremental read
        QHash<QString, int> Seen;  // as ChatDay::Taken, for the messages met so far in this read
    };
    void readDocument(bool full, const QDomDocument &doc, bool own, MemberInfo *member, ChatDay *day);
    void readUsers(const QDomElement &root, ChatDay *day);
    void readCase(const QDomElement &element, CaseRead &read, ChatDay *day);
    void writeUsers(ChatDay *day, int owner);
    void addCaseElement(ChatDay *day, ChatRecord *record);
    // The messages of a day file's root, counted up to `stop` as the reader and the writer count them.
    static int countCases(const QDomElement &root, int stop);
    // At most what a new CASE of the text and recipients takes in the file (a deletion's mark is
    // kept room for apart, for every CASE of the day).
    static qint64 caseBytes(const QString &text, int recipients);
    // At most what the day's file takes once written, with what was added since it was last read or
    // written and its members as they are now.
    static qint64 dayBytes(const ChatDay *day);
    bool roomFor(ChatDay *day, const QString &text, int recipients);
    void setAside(const QString &path, const QDate &date, MemberInfo *member);
    void attachResponses(const QDate &date);
    bool saveDay(ChatDay *day);
    void settlePending(ChatDay *day, bool unsaved);
    void noteRead(const QString &path, const QDateTime &modified);

    QHash<QString, ChatAccount *> m_accounts;
    QList<QPair<int, QDateTime>> m_timeList;
    QList<int> m_newQueue;
    QList<int> m_modQueue;
    QList<int> m_respQueue;
    ChatRecord *m_currentNew = nullptr;
    ChatRecord *m_currentMod = nullptr;
    ChatRecord *m_currentResp = nullptr;
    int m_counter = 0;
    QHash<int, ChatRecord *> m_records;
    QDate m_pollDate;
    QStringList m_notes;
    int m_generation = 0;
    bool m_unsaved = false;
    bool m_saveNews = false;
    QStringList m_failedPaths;
    QString m_failedReason;
    QString m_refusal;
    QString m_saveRefusal; // why the last day file was not written although it could have been
    QList<int> m_changedMarks;
    QSet<QString> m_recheck; // files read while their time stamp was recent
    std::function<void()> m_pollHook;
};
