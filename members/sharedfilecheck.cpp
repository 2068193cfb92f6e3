#include "members/sharedfilecheck.h"

#include "core/globalmutex.h"
#include "core/registryslots.h"
#include "core/safefile.h"
#include "core/xmlclass.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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

int SharedFileCheck::Counter() const
{
    MutexHold hold(MutexNo::Members);
    return m_counter;
}

FileCheckResult SharedFileCheck::Run(const QDate &today)
{
    FileCheckResult result;
    bool force = false;
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
        for (MemberInfo *record : qAsConst(*m_table)) {
            if (record->OtherUser != 1 || record->Deleted)
                continue;
            if (ReadMemberMarker(record) == 1)
                force = true;
            result.status = changedSharedFile(record->ID);
            if (result.status != 0)
                break;
        }
    }
    WriteOwnMarker(force);
    return result;
}

// Only inequality with the recorded time counts as a change: a file time that moves backwards,
// or one written by a machine whose clock differs from ours, is still a change seen once, never
// a change seen forever.
int SharedFileCheck::changedSharedFile(int n) const
{
    if (!m_store)
        return 0;
    const int bases[] = {XmlIndex::Manager, XmlIndex::Instance, XmlIndex::Question, XmlIndex::Answer};
    for (int base : bases) {
        const std::optional<XmlFileTime> recorded = m_store->GetFileTime(base + n);
        if (!recorded || !recorded->valid)
            continue;
        const QFileInfo info(recorded->fileName);
        if (!info.exists())
            continue;
        if (info.lastModified() != recorded->time)
            return (base == XmlIndex::Manager && n == 0) ? 2 : 1;
    }
    return 0;
}

int SharedFileCheck::ReadMemberMarker(MemberInfo *record)
{
    if (record->Deleted)
        return 0;
    const QString path = MarkerPath(m_dir, record->ID);
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    const QDateTime time = info.lastModified();
    if (time != record->MarkerTime) {
        const bool open = ReadMarkerWord(path).startsWith(QLatin1Char('O'));
        if (open)
            record->UnchangedChecks = 0;
        record->MarkerTime = time;
        if (record->Open && !open && m_sink)
            m_sink(record, false);
        if (!record->Open && open) {
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

void SharedFileCheck::WriteOwnMarker(bool force)
{
    MutexHold hold(MutexNo::Members);
    if (!m_table)
        return;
    if (m_counter >= OwnMarkerEvery || force)
        writeOwnMarkersLocked();
    if (m_counter >= OwnMarkerEvery)
        m_counter = 0;
}

void SharedFileCheck::writeOwnMarkersLocked()
{
    for (const MemberInfo *record : qAsConst(*m_table)) {
        // A marker that cannot be written is skipped: the next rewrite tries again.
        if (record->OtherUser == 0 && !record->Deleted)
            WriteMarker(MarkerPath(m_dir, record->ID), QStringLiteral("O"));
    }
}

QString SharedFileCheck::MarkerPath(const QString &instanceDir, int n)
{
    return instanceDir + QLatin1Char('/') + QString::number(n) + QStringLiteral(".iod");
}

QString SharedFileCheck::ReadMarkerWord(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
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
    record->MarkerTime = info.lastModified();
    const qint64 age = record->MarkerTime.msecsTo(now);
    if (age <= 0 || age >= TrustedMarkerAgeMs || !ReadMarkerWord(path).startsWith(QLatin1Char('O')))
        return false;
    // Shown open until the marker would have gone unchanged for as long as the check allows.
    record->UnchangedChecks = static_cast<int>(age / CheckIntervalMs);
    return true;
}
