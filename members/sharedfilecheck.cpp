#include "members/sharedfilecheck.h"

#include "core/globalmutex.h"
#include "core/registryslots.h"
#include "core/safefile.h"
#include "core/xmlclass.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

void SharedFileCheck::Attach(const QString &instanceDir, MemberTable *table, xmlclass *store, StatusSink sink,
                             const QDate &today)
{
    MutexHold hold(MutexNo::Members);
    m_dir = instanceDir;
    m_table = table;
    m_store = store;
    m_sink = std::move(sink);
    m_counter = 0;
    m_lastDay = today;
    ++m_generation;
}

void SharedFileCheck::Detach()
{
    MutexHold hold(MutexNo::Members);
    if (!m_table)
        return;
    m_table = nullptr;
    m_store = nullptr;
    m_sink = nullptr;
    ++m_generation;
}

bool SharedFileCheck::IsAttached() const
{
    MutexHold hold(MutexNo::Members);
    return m_table != nullptr;
}

void SharedFileCheck::SetListTakenHook(std::function<void()> hook)
{
    MutexHold hold(MutexNo::Members);
    m_listTaken = std::move(hook);
}

int SharedFileCheck::Counter() const
{
    MutexHold hold(MutexNo::Members);
    return m_counter;
}

// The files are looked at without mutex 0 and what was seen is applied under it one record at a
// time: a share that hangs in a stat or a read must not hold the GUI thread's Detach and member
// edits. A record is touched only while the session it was taken from still runs, as Detach
// comes before any record is freed.
FileCheckResult SharedFileCheck::Run(const QDate &today)
{
    FileCheckResult result;
    QVector<Seen> seen;
    std::function<void()> listTaken;
    {
        MutexHold hold(MutexNo::Members);
        result.generation = m_generation.load();
        // No workspace open: nothing to compare and no marker to write.
        if (!m_table)
            return result;
        ++m_counter;
        // Any change of date counts: a clock set back must not leave the daily state stale.
        if (today != m_lastDay) {
            m_lastDay = today;
            result.newDay = true;
        }
        seen.reserve(m_table->size());
        for (MemberInfo *record : qAsConst(*m_table)) {
            if (record->OtherUser == 1)
                seen.append(Seen{record, record->ID, QString(), -1, MarkerSeen(), {}});
        }
        listTaken = m_listTaken;
    }
    if (listTaken)
        listTaken();
    bool force = false;
    for (Seen &s : seen) {
        {
            MutexHold hold(MutexNo::Members);
            if (!m_table || m_generation.load() != result.generation)
                return result;
            if (s.record->Deleted)
                continue;
            snapshotLocked(&s);
        }
        lookAt(&s);
        MutexHold hold(MutexNo::Members);
        if (!m_table || m_generation.load() != result.generation)
            return result;
        if (s.record->Deleted)
            continue;
        if (applyMarker(s.record, s.marker) == 1)
            force = true;
        result.status = changedSharedFile(s);
        if (result.status != 0)
            break;
    }
    WriteOwnMarker(force);
    return result;
}

void SharedFileCheck::snapshotLocked(Seen *s) const
{
    s->markerPath = MarkerPath(m_dir, s->id);
    s->markerTime = s->record->MarkerTime.isValid() ? s->record->MarkerTime.toMSecsSinceEpoch() : -1;
    const int bases[] = {XmlIndex::Manager, XmlIndex::Instance, XmlIndex::Question, XmlIndex::Answer};
    for (int base : bases) {
        const std::optional<XmlFileTime> recorded =
            m_store ? m_store->GetFileTime(base + s->id) : std::nullopt;
        if (recorded && recorded->valid)
            s->files.append({base, recorded->fileName, recorded->time.toMSecsSinceEpoch(), -1});
    }
}

// The only part of a run that touches the disk, without the mutex.
void SharedFileCheck::lookAt(Seen *s)
{
    s->marker = StatMarker(s->markerPath, s->markerTime);
    for (SharedFile &f : s->files)
        f.current = FileTimeMs(f.path);
}

qint64 SharedFileCheck::FileTimeMs(const QString &path)
{
    // A bare stat: the check runs every ten seconds over every member's files, and building
    // local date-times for each costs several times the stat itself.
    struct stat st {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

// Only inequality with the recorded time counts as a change: a file time that moves backwards,
// or one written by a machine whose clock differs from ours, is still a change seen once, never
// a change seen forever. A time recorded again while the file was looked at (our own save) is
// the newer truth: that file is left to the next run.
int SharedFileCheck::changedSharedFile(const Seen &s) const
{
    if (!m_store)
        return 0;
    for (const SharedFile &f : s.files) {
        if (f.current < 0 || f.current == f.recorded)
            continue;
        const std::optional<XmlFileTime> recorded = m_store->GetFileTime(f.base + s.id);
        if (recorded && recorded->valid && recorded->time.toMSecsSinceEpoch() == f.recorded)
            return (f.base == XmlIndex::Manager && s.id == 0) ? 2 : 1;
    }
    return 0;
}

SharedFileCheck::MarkerSeen SharedFileCheck::StatMarker(const QString &path, qint64 known)
{
    MarkerSeen m;
    m.time = FileTimeMs(path);
    if (m.time >= 0 && m.time != known) {
        m.open = ReadMarkerWord(path).startsWith(QLatin1Char('O'));
        m.wordRead = true;
    }
    return m;
}

int SharedFileCheck::ReadMemberMarker(MemberInfo *record)
{
    if (record->Deleted)
        return 0;
    const qint64 known = record->MarkerTime.isValid() ? record->MarkerTime.toMSecsSinceEpoch() : -1;
    return applyMarker(record, StatMarker(MarkerPath(m_dir, record->ID), known));
}

int SharedFileCheck::applyMarker(MemberInfo *record, const MarkerSeen &marker)
{
    if (marker.time < 0)
        return 0;
    const qint64 known = record->MarkerTime.isValid() ? record->MarkerTime.toMSecsSinceEpoch() : -1;
    if (marker.time != known) {
        // Seen against a time the record no longer holds: the word was not read, look again next run.
        if (!marker.wordRead)
            return 0;
        if (marker.open)
            record->UnchangedChecks = 0;
        record->MarkerTime = QDateTime::fromMSecsSinceEpoch(marker.time, Qt::UTC);
        if (record->Open && !marker.open && m_sink)
            m_sink(record, false);
        if (!record->Open && marker.open) {
            if (m_sink)
                m_sink(record, true);
            return 1;
        }
        return 0;
    }
    if (record->Open && ++record->UnchangedChecks == ChecksUntilGone && m_sink)
        m_sink(record, false);
    return 0;
}

// The marker's bytes are written and synced without mutex 0; only the rename that puts them in
// place is done under it, and only while the session still runs: the close writes its "C" after
// Detach, so an "O" of this run never lands after it, and a slow share delays no GUI lock by
// more than that one rename.
void SharedFileCheck::WriteOwnMarker(bool force)
{
    QStringList paths;
    int generation = 0;
    {
        MutexHold hold(MutexNo::Members);
        if (!m_table)
            return;
        generation = m_generation.load();
        if (m_counter >= OwnMarkerEvery || force) {
            for (const MemberInfo *record : qAsConst(*m_table)) {
                if (record->OtherUser == 0 && !record->Deleted)
                    paths << MarkerPath(m_dir, record->ID);
            }
        }
        if (m_counter >= OwnMarkerEvery)
            m_counter = 0;
    }
    for (const QString &path : qAsConst(paths)) {
        // A marker that cannot be written is skipped: the next rewrite tries again. One that is a
        // link or a pipe was reported at open and is left alone.
        SafeFile::Pending pending;
        const bool prepared = pending.Prepare(path, QByteArrayLiteral("O"));
        MutexHold hold(MutexNo::Members);
        if (!m_table || m_generation.load() != generation)
            continue;
        const bool written = prepared && pending.Commit();
        // The others see this member as gone while the marker is stale: said once, not every
        // minute, and again only after a rewrite worked in between.
        if (written) {
            m_failingMarkers.remove(path);
        } else if (!m_failingMarkers.contains(path) && !SafeFile::LastRefused()) {
            m_failingMarkers.insert(path);
            m_markerNotice = SafeFile::WithReason(
                QCoreApplication::translate("xmlclass", "can not write file:%1").arg(path));
        }
    }
}

QString SharedFileCheck::TakeMarkerNotice()
{
    MutexHold hold(MutexNo::Members);
    QString notice;
    notice.swap(m_markerNotice);
    return notice;
}

QString SharedFileCheck::MarkerPath(const QString &instanceDir, int n)
{
    return instanceDir + QLatin1Char('/') + QString::number(n) + QStringLiteral(".iod");
}

QString SharedFileCheck::ReadMarkerWord(const QString &path)
{
    QFile file;
    // A pipe would hold the check, and the member lock with it, until someone writes into it.
    if (!SafeFile::OpenRead(file, path))
        return QString();
    // Only the first character counts; a damaged or huge file is not read whole.
    const QString text = QString::fromUtf8(file.read(64)).trimmed();
    const int end = text.indexOf(QRegularExpression(QStringLiteral("\\s")));
    return end < 0 ? text : text.left(end);
}

bool SharedFileCheck::WriteMarker(const QString &path, const QString &state)
{
    return SafeFile::WriteUtf8(path, state);
}

bool SharedFileCheck::ScanMarker(MemberInfo *record, const QString &instanceDir, const QDateTime &now)
{
    const QString path = MarkerPath(instanceDir, record->ID);
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    record->MarkerTime = info.lastModified().toUTC();
    const qint64 age = record->MarkerTime.msecsTo(now);
    if (age <= 0 || age >= TrustedMarkerAgeMs || !ReadMarkerWord(path).startsWith(QLatin1Char('O')))
        return false;
    // Shown open until the marker would have gone unchanged for as long as the check allows.
    record->UnchangedChecks = static_cast<int>(age / CheckIntervalMs);
    return true;
}
