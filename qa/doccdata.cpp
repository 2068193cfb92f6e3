#include "qa/doccdata.h"

#include "core/decimalid.h"
#include "core/xmltext.h"

#include "core/safefile.h"
#include "core/sharedxml.h"
#include "core/uireport.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace
{
QHash<quint64, DocCdataCase *> &liveCases()
{
    static QHash<quint64, DocCdataCase *> cases;
    return cases;
}
quint64 nextSerial()
{
    static quint64 serial = 0;
    return ++serial;
}
} // namespace

DocCdataCase::DocCdataCase() : m_serial(nextSerial())
{
    liveCases().insert(m_serial, this);
}

DocCdataCase::DocCdataCase(const DocCdataCase &other)
    : Stored(other.Stored), Deleted(other.Deleted), ID(other.ID), TYPE(other.TYPE), MID(other.MID),
      DateTime(other.DateTime), NAME(other.NAME), TITLE(other.TITLE), Text(other.Text), IsSend(other.IsSend),
      InFile(other.InFile), Changed(other.Changed), Kept(other.Kept), m_serial(nextSerial())
{
    liveCases().insert(m_serial, this);
}

// A copy is another entry: it keeps its own serial.
DocCdataCase &DocCdataCase::operator=(const DocCdataCase &other)
{
    const quint64 serial = m_serial;
    Stored = other.Stored;
    Deleted = other.Deleted;
    ID = other.ID;
    TYPE = other.TYPE;
    MID = other.MID;
    DateTime = other.DateTime;
    NAME = other.NAME;
    TITLE = other.TITLE;
    Text = other.Text;
    IsSend = other.IsSend;
    InFile = other.InFile;
    Changed = other.Changed;
    Kept = other.Kept;
    m_serial = serial;
    return *this;
}

DocCdataCase::~DocCdataCase()
{
    liveCases().remove(m_serial);
}

DocCdataCase *DocCdataCase::Live(quint64 serial)
{
    return liveCases().value(serial);
}

DocCdataRecord::DocCdataRecord()
    : LastModified(QDateTime::fromString(QStringLiteral("0000/00/00 00:00"),
                                         QString::fromLatin1(DocCdata::TimeFormat)))
{
}

DocCdataRecord::~DocCdataRecord()
{
    qDeleteAll(Cases);
}

DocCdata::DocCdata(QObject *parent) : QObject(parent) {}

DocCdata::~DocCdata()
{
    Clear();
}

void DocCdata::Clear()
{
    qDeleteAll(m_records);
    m_records.clear();
}

DocCdataRecord *DocCdata::recordFor(const QString &key)
{
    DocCdataRecord *&record = m_records[key];
    if (!record)
        record = new DocCdataRecord;
    return record;
}

QList<DocCdataCase *> *DocCdata::LoadIfChanged(const QString &key, const QString &path)
{
    DocCdataRecord *record = recordFor(key);
    // Only a change of the user's is ever written: a history that is shown is not.
    if (QFileInfo::exists(path) && fileChanged(record, path))
        refresh(record, path);
    return &record->Cases;
}

void DocCdata::SetRecordPath(const QString &key, const QString &path)
{
    if (DocCdataRecord *record = m_records.value(key))
        record->Path = path;
}

int DocCdata::GetNextID(const QString &key) const
{
    const DocCdataRecord *record = m_records.value(key);
    return record && record->MaxID < DecimalId::Ceiling ? record->MaxID + 1 : -1;
}

DocCdataCase *DocCdata::append(const QString &key, void *owner, DocCdataCase *entry)
{
    DocCdataRecord *record = recordFor(key);
    m_refusal.clear();
    if (record->MaxID >= DecimalId::Ceiling) {
        delete entry;
        UiReport::Error(tr("File error"),
                        DecimalId::ExhaustedMessage(record->Path.isEmpty() ? key : record->Path));
        return nullptr;
    }
    entry->ID = record->MaxID + 1;
    m_refusal = EntryRefusal(key, *entry);
    if (!m_refusal.isEmpty()) {
        delete entry;
        return nullptr;
    }
    record->MaxID = entry->ID;
    record->Cases.append(entry);
    record->Modified = true;
    record->Owner = owner;
    return entry;
}

DocCdataCase *DocCdata::AddRecordNow(const QString &key, void *owner, const QString &name, const QString &mid,
                                     const QString &title, const QString &sent, const QString &text)
{
    return AddRecord(key, owner, name, QDateTime::currentDateTime(), mid, title, sent, text);
}

DocCdataCase *DocCdata::AddRecord(const QString &key, void *owner, const QString &name, const QDateTime &time,
                                  const QString &mid, const QString &title, const QString &sent,
                                  const QString &text)
{
    auto *entry = new DocCdataCase;
    entry->NAME = name;
    entry->DateTime = time;
    entry->MID = mid;
    entry->TITLE = title;
    entry->IsSend = sent == QLatin1String("1");
    entry->Text = text;
    return append(key, owner, entry);
}

DocCdataCase *DocCdata::AddCaseNow(const QString &key, void *owner, int type, const QString &name,
                                   const QString &text)
{
    return AddCase(key, owner, type, name, QDateTime::currentDateTime(), text);
}

DocCdataCase *DocCdata::AddCase(const QString &key, void *owner, int type, const QString &name,
                                const QDateTime &time, const QString &text)
{
    auto *entry = new DocCdataCase;
    entry->TYPE = type;
    entry->NAME = name;
    entry->DateTime = time;
    entry->Text = text;
    return append(key, owner, entry);
}

void DocCdata::SetModified(const QString &key)
{
    if (DocCdataRecord *record = m_records.value(key))
        record->Modified = true;
}

void DocCdata::SetChanged(const QString &key, DocCdataCase *entry)
{
    DocCdataRecord *record = m_records.value(key);
    if (!record || !entry)
        return;
    entry->Changed = true;
    record->Modified = true;
}

bool DocCdata::SaveModified()
{
    const bool mailing =
        m_hook && m_kind == QandAKind && GetStrVar(RegSlot::StrMailIsSend) == QLatin1String("1");
    bool written = true;
    for (DocCdataRecord *record : qAsConst(m_records)) {
        // Notifications go out only for entries whose file is written: a mail must not announce
        // what no member can read. Entries written by an earlier save whose mail failed are
        // announced again.
        if (record->Modified && !saveRecord(record)) {
            written = false;
            continue;
        }
        if (record->LoadFailed)
            continue;
        if (mailing)
            m_hook(record);
    }
    return written;
}

bool DocCdata::HasUnwritten() const
{
    for (const DocCdataRecord *record : m_records) {
        if (record->Modified)
            return true;
    }
    return false;
}

// A changed record that is not written makes the save a failed one, every time, so that Save stays
// on and quitting asks; the message is said once per cause when once is set.
bool DocCdata::notWritten(DocCdataRecord *record, const QString &message, bool once)
{
    if (!once || !record->FailureReported)
        UiReport::Error(tr("File error"), message);
    if (once)
        record->FailureReported = true;
    SetBoolVar(RegSlot::FlagWriteFailed, true);
    return false;
}

// Writes the user's changes into the file as it is now; false when they are not written.
bool DocCdata::saveRecord(DocCdataRecord *record)
{
    // Another program may write the file between the read and the write: the write is refused
    // then, and the changes go into a copy read again. A few rounds, then the save fails rather
    // than chase a file that never rests.
    constexpr int Rounds = 3;
    QString why;
    for (int round = 0; round < Rounds; ++round) {
        // Written over a copy read now: another program's entries since the last read stay.
        if (!record->Path.isEmpty() && bytesChanged(record, record->Path) && !refresh(record, record->Path) &&
            !record->LoadFailed)
            return false; // no ID left for the user's entries: said, and flagged, by the merge
        if (record->LoadFailed) {
            // Writing would replace the history another member's program can still read whole.
            return notWritten(
                record, tr("history not written, its file could not be read:%1").arg(record->Path), true);
        }
        // A history its reader would refuse hides every entry of it: the file keeps what it holds.
        const QString refusal = refusalOf(record, record->Path, costOf(record));
        if (!refusal.isEmpty())
            return notWritten(record, tr("history not written: %1").arg(refusal), false);
        // No entries: nothing of the user's to write.
        if (!buildDocument(record)) {
            record->Modified = false;
            return true;
        }
        const SharedXml::Written written = writeFile(record, &why);
        if (written == SharedXml::Written::Changed)
            continue;
        if (written != SharedXml::Written::Yes) {
            UiReport::Fatal(tr("File error"), why);
            SetBoolVar(RegSlot::FlagWriteFailed, true);
            return false;
        }
        record->Modified = false;
        record->FailureReported = false;
        for (DocCdataCase *entry : qAsConst(record->Cases)) {
            entry->Changed = false;
            entry->InFile = !entry->Deleted;
        }
        return true;
    }
    return notWritten(record, why, false);
}
