#pragma once

#include "members/memberinfo.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QVector>
#include <atomic>
#include <functional>

class xmlclass;

// What one run of the shared-file check found.
struct FileCheckResult {
    int status = 0;      // 0 nothing changed, 1 another member's file, 2 manager.xml of another manager
    bool newDay = false; // first check of a day: the chat's daily state is reset on the GUI thread
    int generation = 0;  // the workspace session the run belonged to
};

// The ten-second look at other members' presence markers and shared files. The member manager
// attaches its member table once the records are complete and detaches it before any record is
// freed; a run touches only files, the records' presence fields and the store's recorded times,
// so it can run on the file-check worker while the GUI thread works. Mutex 0 guards the records
// and times; the files are read without it, so a hung share never stalls the GUI thread.
class SharedFileCheck
{
public:
    using StatusSink = std::function<void(MemberInfo *record, bool open)>;
    static constexpr int OwnMarkerEvery = 6;
    static constexpr int ChecksUntilGone = 12;
    static constexpr int CheckIntervalMs = 10000;
    // At open, an "O" marker younger than this is a member the check itself would still show
    // open; a running program rewrites its marker well within it.
    static constexpr qint64 TrustedMarkerAgeMs = ChecksUntilGone * CheckIntervalMs;

    SharedFileCheck() = default;
    SharedFileCheck(const SharedFileCheck &) = delete;
    SharedFileCheck &operator=(const SharedFileCheck &) = delete;

    // GUI thread; both take mutex 0. Attach resets the counter and the day.
    void Attach(const QString &instanceDir, MemberTable *table, xmlclass *store, StatusSink sink,
                const QDate &today);
    void Detach();
    bool IsAttached() const;
    int Generation() const { return m_generation.load(); }
    int Counter() const;

    // One check; the worker's single step.
    FileCheckResult Run(const QDate &today);
    // Tests only: called on the worker once a run has taken its member list, without mutex 0,
    // so that a test can change the records while the run holds them. Null in the program.
    void SetListTakenHook(std::function<void()> hook);
    // Mutex 0 held by the caller. 1 when the member is newly seen open.
    int ReadMemberMarker(MemberInfo *record);
    void WriteOwnMarker(bool force);
    // Why the own marker could not be written, once when the rewrites start to fail (again
    // after one succeeded); empty otherwise. Takes mutex 0.
    QString TakeMarkerNotice();

    static QString MarkerPath(const QString &instanceDir, int n);
    // The first word of a marker; empty when it cannot be read.
    static QString ReadMarkerWord(const QString &path);
    static bool WriteMarker(const QString &path, const QString &state);
    // The scan at open: takes the marker's time; true when a fresh marker says open, with the
    // checks its age already covers counted as unchanged.
    static bool ScanMarker(MemberInfo *record, const QString &instanceDir, const QDateTime &now);

private:
    // What a run saw of one member's marker and shared files, taken without the mutex. Times
    // are milliseconds since the epoch (-1: no file), the precision of the recorded times.
    struct MarkerSeen {
        qint64 time = -1;
        bool wordRead = false;
        bool open = false;
    };
    struct SharedFile {
        int base = 0;
        QString path;
        qint64 recorded = -1;
        qint64 current = -1;
    };
    struct Seen {
        MemberInfo *record = nullptr;
        int id = 0;
        QString markerPath;
        qint64 markerTime = -1;
        MarkerSeen marker;
        QVector<SharedFile> files;
    };
    static qint64 FileTimeMs(const QString &path);
    static MarkerSeen StatMarker(const QString &path, qint64 known);
    void snapshotLocked(Seen *s) const;
    static void lookAt(Seen *s);
    int applyMarker(MemberInfo *record, const MarkerSeen &marker);
    int changedSharedFile(const Seen &s) const;

    QString m_dir;
    MemberTable *m_table = nullptr;
    xmlclass *m_store = nullptr;
    StatusSink m_sink;
    std::function<void()> m_listTaken;
    int m_counter = 0;
    QDate m_lastDay;
    std::atomic<int> m_generation{0};
    QSet<QString> m_failingMarkers;
    QString m_markerNotice;
};
