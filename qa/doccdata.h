#pragma once

#include "core/globalvar.h"

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
    QDateTime LastModified;
    int MaxID = 0;
    QDomDocument Document;
    bool HasDocument = false;
    QList<DocCdataCase *> Cases;
    void *Owner = nullptr;
};

// The store of dated message histories, one XML file per history, loaded only when the file's
// modification time changed and written back when a record changed.
class DocCdata final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Kind : int { QandAKind = 1, MailKind = 2 };

    explicit DocCdata(QObject *parent = nullptr);
    ~DocCdata() override;

    void SetMode(int kind) { m_kind = kind; }
    int Mode() const { return m_kind; }
    QList<DocCdataCase *> *LoadIfChanged(const QString &key, const QString &path);
    void SetRecordPath(const QString &key, const QString &path);
    int GetNextID(const QString &key) const;
    DocCdataCase *AddRecordNow(const QString &key, void *owner, const QString &name, const QString &mid,
                               const QString &title, const QString &sent, const QString &text);
    DocCdataCase *AddRecord(const QString &key, void *owner, const QString &name, const QDateTime &time,
                            const QString &mid, const QString &title, const QString &sent,
                            const QString &text);
    DocCdataCase *AddCaseNow(const QString &key, void *owner, int type, const QString &name,
                             const QString &text);
    DocCdataCase *AddCase(const QString &key, void *owner, int type, const QString &name,
                          const QDateTime &time, const QString &text);
    void SetCaseText(const QString &key, int id, const QString &text);
    void SetModified(const QString &key);
    // Writes each modified record and then hands it (with its owner) to the hook; the
    // questions-and-answers panel queues its notification mails there. A record not written
    // reaches no hook.
    void SaveModified();
    // Called with each modified record of a questions-and-answers store once it is written,
    // while notification mail is on.
    void SetSaveHook(std::function<void(DocCdataRecord *)> hook) { m_hook = std::move(hook); }
    void Clear();

    DocCdataRecord *Record(const QString &key) const { return m_records.value(key); }

    static constexpr const char *TimeFormat = "yyyy/MM/dd hh:mm";

private:
    DocCdataRecord *recordFor(const QString &key);
    DocCdataCase *append(const QString &key, void *owner, DocCdataCase *entry);
    void loadFile(DocCdataRecord *record, const QString &path);
    void readCases(DocCdataRecord *record);
    bool buildDocument(DocCdataRecord *record);
    bool writeFile(DocCdataRecord *record);

    QHash<QString, DocCdataRecord *> m_records;
    int m_kind = QandAKind;
    std::function<void(DocCdataRecord *)> m_hook;
};
