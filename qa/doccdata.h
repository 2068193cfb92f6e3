#pragma once

#include "core/globalvar.h"
#include "core/safefile.h"
#include "core/sharedxml.h"
#include "qa/historykept.h"

#include <QDateTime>
#include <QDomDocument>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

// One entry of a dated message history: a status step of a question or answer (kind 1) or one
// mail of a member (kind 2).
struct DocCdataCase {
    DocCdataCase();
    DocCdataCase(const DocCdataCase &other);
    DocCdataCase &operator=(const DocCdataCase &other);
    ~DocCdataCase();
    // The entry of a serial while it lives, else null: a mail run outlives a reload that frees
    // the entries it reports on. GUI thread only.
    static DocCdataCase *Live(quint64 serial);
    quint64 Serial() const { return m_serial; }

    bool Stored = false;
    bool Deleted = false;
    int ID = 0;
    int TYPE = 0;
    QString MID;
    QDateTime DateTime;
    QString NAME;
    QString TITLE;
    QString Text;
    // Set by the mail worker once the entry's mail went out; never written to a kind 1 file.
    bool IsSend = false;
    // In the file as last read or written: another copy of the file names it by its ID.
    bool InFile = false;
    // Changed or deleted by the user since it was read or written: a save puts its fields over the
    // file's.
    bool Changed = false;
    // What the file held of the entry that the store does not read, and what followed it.
    HistoryKept Kept;

private:
    quint64 m_serial;
};

// One history file in memory.
struct DocCdataRecord {
    DocCdataRecord();
    ~DocCdataRecord();
    DocCdataRecord(const DocCdataRecord &) = delete;
    DocCdataRecord &operator=(const DocCdataRecord &) = delete;

    bool Modified = false;
    // The file exists but could not be read: the record must never be written over it.
    bool LoadFailed = false;
    bool FailureReported = false;
    QString Path;
    // A cheap first look for a shown history: the file's time and size as last read or written.
    QDateTime LastModified;
    qint64 LastSize = -1;
    // The bytes the record was last read from or written as: a save writes only over that file.
    // Times on shares have whole seconds, and another desktop's edit may keep the size.
    SafeFile::Seen Seen;
    int MaxID = 0;
    QDomDocument Document;
    bool HasDocument = false;
    QList<DocCdataCase *> Cases;
    void *Owner = nullptr;
    // The root's attributes and nodes before the first entry that the store does not read, and
    // the nodes before and after the root.
    HistoryKept RootKept;
    HistoryKept Prolog;
};

// The store of dated message histories, one XML file per history, loaded only when the file's
// modification time changed and written back when the user changed it. A file changed since it
// was read is read again, and the user's changes go into that copy: another program's entries
// and whatever the store does not read stay as the file has them.
class DocCdata final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Kind : int { QandAKind = 1, MailKind = 2 };

    // What the reader of a history takes: a file of more nodes (elements, attributes, texts) or
    // bytes is refused whole, and every entry of it vanishes for every member. Its writers keep
    // to the same limits, where the text is typed or the entry added. A text costs one CDATA
    // section more for every "]]>" it holds.
    static constexpr qint64 MaxHistoryNodes = SharedXml::MaxNodes;
    static constexpr qint64 MaxHistoryBytes = SafeFile::MaxReadBytes;

    explicit DocCdata(QObject *parent = nullptr);
    ~DocCdata() override;

    void SetMode(int kind) { m_kind = kind; }
    int Mode() const { return m_kind; }
    QList<DocCdataCase *> *LoadIfChanged(const QString &key, const QString &path);
    void SetRecordPath(const QString &key, const QString &path);
    int GetNextID(const QString &key) const;
    // The Add functions return null when the file has no ID left or the entry would pass the
    // reader's limits (see Refusal()).
    DocCdataCase *AddRecordNow(const QString &key, void *owner, const QString &name, const QString &mid,
                               const QString &title, const QString &sent, const QString &text);
    DocCdataCase *AddRecord(const QString &key, void *owner, const QString &name, const QDateTime &time,
                            const QString &mid, const QString &title, const QString &sent,
                            const QString &text);
    DocCdataCase *AddCaseNow(const QString &key, void *owner, int type, const QString &name,
                             const QString &text);
    DocCdataCase *AddCase(const QString &key, void *owner, int type, const QString &name,
                          const QDateTime &time, const QString &text);
    // False, with the reason in Refusal(), when the text would make the history unreadable.
    bool SetCaseText(const QString &key, int id, const QString &text);
    // Why the history of key could not take the entry (in the place of `replaces`, or added
    // after the others) without passing its reader's limits; empty when it can.
    QString EntryRefusal(const QString &key, const DocCdataCase &entry,
                         const DocCdataCase *replaces = nullptr) const;
    // Why the last entry or text was refused (empty when the last one was taken, or when its file
    // had no ID left, which is reported where it happens).
    QString Refusal() const { return m_refusal; }
    void SetModified(const QString &key);
    // The user changed (or deleted) the entry: the record is written, with the entry's fields.
    void SetChanged(const QString &key, DocCdataCase *entry);
    // Writes each modified record and then hands it (with its owner) to the hook; the
    // questions-and-answers panel queues its notification mails there. A record whose changes
    // were not written reaches no hook; one written before does, so that its unsent entries are
    // mailed again. False when a changed record was not written (FlagWriteFailed is set too): it
    // keeps its changes for the next save.
    bool SaveModified();
    // A changed record is waiting to be written.
    bool HasUnwritten() const;
    // Called with each modified record of a questions-and-answers store once it is written,
    // while notification mail is on.
    void SetSaveHook(std::function<void(DocCdataRecord *)> hook) { m_hook = std::move(hook); }
    void Clear();

    DocCdataRecord *Record(const QString &key) const { return m_records.value(key); }

    static constexpr const char *TimeFormat = "yyyy/MM/dd hh:mm";

private:
    // What a history file costs its reader, as the writer writes it: nodes exactly, bytes at most.
    struct Cost {
        qint64 nodes = 0;
        qint64 bytes = 0;
        Cost &operator+=(const Cost &other);
        Cost &operator-=(const Cost &other);
    };
    Cost costOf(const DocCdataCase &entry, const QString &text) const;
    Cost costOf(const DocCdataRecord *record) const;
    QString refusalOf(const DocCdataRecord *record, const QString &key, const Cost &cost) const;

    DocCdataRecord *recordFor(const QString &key);
    DocCdataCase *append(const QString &key, void *owner, DocCdataCase *entry);
    void loadFile(DocCdataRecord *record, const QString &path);
    void readCases(DocCdataRecord *record);
    DocCdataCase *readCase(const QDomElement &e, const QString &timeFormat) const;
    bool buildDocument(DocCdataRecord *record);
    SharedXml::Written writeFile(DocCdataRecord *record, QString *why);
    bool saveRecord(DocCdataRecord *record);
    bool notWritten(DocCdataRecord *record, const QString &message, bool once);
    // Whether the file's time differs from the copy's: enough to show a history anew.
    static bool fileChanged(const DocCdataRecord *record, const QString &path);
    // Whether the file's bytes differ from the copy's: what decides before a write.
    static bool bytesChanged(const DocCdataRecord *record, const QString &path);
    // Reads the file again: an unchanged record takes it as it is, a changed one keeps the
    // user's changes over it. False when the file could not be read: a changed record keeps its
    // entries and is not written until it can be.
    bool refresh(DocCdataRecord *record, const QString &path);
    bool merge(DocCdataRecord *record, DocCdataRecord *fresh);
    void adopt(DocCdataCase *entry, const DocCdataCase *fresh) const;
    static void take(DocCdataRecord *record, DocCdataRecord *fresh);

    QHash<QString, DocCdataRecord *> m_records;
    int m_kind = QandAKind;
    QString m_refusal;
    std::function<void(DocCdataRecord *)> m_hook;
};
