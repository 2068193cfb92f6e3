#pragma once

#include "core/globalvar.h"
#include "core/redmineuserinfo.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <memory>
#include <vector>

class QDomDocument;
class QDomElement;
class GlobalMutex;
class ThreadControl;
class SmtpControl;

// The per-user settings file ~/.Pelmorine/init.xml: finds or creates it, loads it as document 0,
// copies its values into the registry and creates the process-wide mutexes and worker controllers.
class initxml final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit initxml(QObject *parent = nullptr);
    ~initxml() override;

    bool OpenInit();
    QString GetProcEmail(const QString &email) const { return m_procEmail.value(email); }
    void SetProcEmail(const QString &email, const QString &proc) { m_procEmail.insert(email, proc); }

    // What reading the file found for the code-100 handler to hand on: the auto-save minutes for
    // CheckTimer and the tracker identities (key: e-mail address) for the main window.
    int AutoSaveMinutes() const { return m_autoSaveMinutes; }
    const QList<QPair<QString, RedmineUserInfo *>> &UserRecords() const { return m_userRecordList; }

    // Path of the copy kept of a damaged settings file, empty when none was needed.
    QString DamagedCopy() const { return m_damagedCopy; }

    static QDomDocument DefaultDocument(const QString &name, const QString &email);
    // Makes in memory the sections the Options dialog edits that a file lacks (auto-save, tracker,
    // mail), as a start does; the file gets them with its next write.
    static void CompleteDocument(QDomDocument &doc, const QString &email);

    // One definition a window opened last, under its tag in the history (MODEL, INSTANCE, OUTPUT).
    struct HistoryEntry {
        QString tag;
        QString name;
        QString version;
    };
    // Makes the history name this workspace (the same folder written otherwise is no change) and
    // these entries, creating what is missing. Entries are a window's whole set: over another
    // workspace the entries of tags not given go, as they name that workspace's definitions; in
    // the same workspace they stay, another window of it opened them. True when anything changed.
    static bool SetHistory(QDomDocument &doc, const QString &workspace, const QList<HistoryEntry> &entries);

    // What one window opened in its workspace, the set its history writes hand SetHistory, so that
    // the last window to open names its own workspace's entries only.
    class WindowHistory
    {
    public:
        // Entries of a tag held already are replaced; another workspace starts the set over.
        void Open(const QString &workspace, const QList<HistoryEntry> &entries);
        QString Workspace() const { return m_workspace; }
        QList<HistoryEntry> Entries() const { return m_entries; }

    private:
        QString m_workspace;
        QList<HistoryEntry> m_entries;
    };

private:
    void establishDefaults();
    void readIdentity();
    void readHistory();
    void readOptions();
    void readTracker();
    void readMail();
    void addUserRecord(const QString &email, const QString &first, const QString &last, const QString &id);

    QHash<QString, QString> m_procEmail;
    QList<QPair<QString, RedmineUserInfo *>> m_userRecordList;
    std::vector<std::unique_ptr<RedmineUserInfo>> m_userRecords;
    int m_autoSaveMinutes = 0;
    QString m_damagedCopy;
    GlobalMutex *m_mutex = nullptr;
    ThreadControl *m_fileCheck = nullptr;
    SmtpControl *m_smtp = nullptr;
};
