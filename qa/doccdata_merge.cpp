// A history is written only over the copy it was built on: when the file changed since it was
// read (another desktop of the member, or a program that wrote it by mistake), it is read again
// and the user's changes go into the fresh copy.

#include "qa/doccdata.h"

#include "core/decimalid.h"
#include "core/uireport.h"

#include <QFileInfo>
#include <QSet>

bool DocCdata::fileChanged(const DocCdataRecord *record, const QString &path)
{
    const QFileInfo info(path);
    // A file that was read and is gone is a change too: what it held is no longer there. A
    // folder in its place holds no history; the write names it.
    if (!info.exists() || info.isDir())
        return record->LastModified.isValid();
    return info.lastModified() != record->LastModified;
}

bool DocCdata::bytesChanged(const DocCdataRecord *record, const QString &path)
{
    // A folder in its place holds no history; the write names it.
    if (QFileInfo(path).isDir())
        return false;
    const SafeFile::Seen now = SafeFile::SeenNow(path);
    // A file that does not read is read again, unless the copy already failed on it: that is
    // said once, and the file is read again once it reads.
    if (!now.IsKnown())
        return !record->LoadFailed;
    return now != record->Seen;
}

// The record's own content, dropped for the fresh copy's.
void DocCdata::take(DocCdataRecord *record, DocCdataRecord *fresh)
{
    qDeleteAll(record->Cases);
    record->Cases = fresh->Cases;
    fresh->Cases.clear();
    record->Document = fresh->Document;
    record->HasDocument = fresh->HasDocument;
    record->MaxID = fresh->MaxID;
    record->RootKept = fresh->RootKept;
    record->Prolog = fresh->Prolog;
}

bool DocCdata::refresh(DocCdataRecord *record, const QString &path)
{
    DocCdataRecord fresh;
    if (QFileInfo::exists(path)) {
        loadFile(&fresh, path);
        readCases(&fresh);
    } else {
        fresh.Seen = SafeFile::SeenNow(path);
        // A folder that cannot be reached is not an empty history.
        if (!fresh.Seen.IsKnown()) {
            fresh.LoadFailed = true;
            fresh.Path = path;
        }
    }
    record->Seen = fresh.Seen;
    const bool failed = fresh.LoadFailed;
    if (failed) {
        // Not read again, nor reported again, until it changes.
        record->LastModified = fresh.LastModified;
        record->LastSize = fresh.LastSize;
        record->LoadFailed = true;
        record->FailureReported = false;
        record->Path = path;
        // Nothing the user changed is lost: a changed record keeps its entries.
        if (!record->Modified) {
            take(record, &fresh);
            record->HasDocument = false;
        }
        return false;
    }
    record->LoadFailed = false;
    record->FailureReported = false;
    record->LastModified = fresh.LastModified;
    record->LastSize = fresh.LastSize;
    if (fresh.HasDocument)
        record->Path = path;
    if (!record->Modified) {
        take(record, &fresh);
        return true;
    }
    return merge(record, &fresh);
}

// What the file has now of an entry the user left alone.
void DocCdata::adopt(DocCdataCase *entry, const DocCdataCase *fresh) const
{
    entry->TYPE = fresh->TYPE;
    entry->MID = fresh->MID;
    entry->DateTime = fresh->DateTime;
    entry->NAME = fresh->NAME;
    entry->TITLE = fresh->TITLE;
    entry->Text = fresh->Text;
    // A questions-and-answers file does not hold the mark; the mail worker's stays.
    if (m_kind == MailKind)
        entry->IsSend = fresh->IsSend;
    entry->Deleted = false;
    entry->InFile = true;
    entry->Kept = fresh->Kept;
}

// The fresh copy's entries in its order, then the user's new entries numbered above them. Entries
// stay the objects views hold wherever the file still has them; one the file lost is marked
// deleted, unless the user changed it, which is then added again.
bool DocCdata::merge(DocCdataRecord *record, DocCdataRecord *fresh)
{
    QHash<int, DocCdataCase *> inFile;
    for (DocCdataCase *entry : qAsConst(record->Cases)) {
        if (entry->InFile && !inFile.contains(entry->ID))
            inFile.insert(entry->ID, entry);
    }
    QList<DocCdataCase *> merged;
    QSet<DocCdataCase *> placed;
    for (DocCdataCase *f : qAsConst(fresh->Cases)) {
        DocCdataCase *own = inFile.take(f->ID);
        if (!own) {
            merged.append(f);
            continue;
        }
        if (own->Changed)
            own->Kept = f->Kept;
        else
            adopt(own, f);
        merged.append(own);
        placed.insert(own);
        delete f;
    }
    fresh->Cases.clear();
    qint64 maxId = fresh->MaxID;
    bool exhausted = false;
    for (DocCdataCase *entry : qAsConst(record->Cases)) {
        if (placed.contains(entry))
            continue;
        merged.append(entry);
        if (entry->Deleted || (entry->InFile && !entry->Changed)) {
            entry->Deleted = true;
            entry->InFile = false;
            continue;
        }
        entry->InFile = false;
        if (entry->ID > maxId)
            maxId = entry->ID;
        else if (maxId < DecimalId::Ceiling)
            entry->ID = int(++maxId);
        else
            exhausted = true;
    }
    record->Cases = merged;
    // An absent file numbers nothing: the numbers the record gave (a new entry deleted) stay given.
    record->MaxID = int(fresh->HasDocument ? maxId : qMax<qint64>(maxId, record->MaxID));
    record->Document = fresh->Document;
    record->HasDocument = fresh->HasDocument;
    record->RootKept = fresh->RootKept;
    record->Prolog = fresh->Prolog;
    if (exhausted) {
        // Nothing is written with two entries of one ID; the user's entries stay in memory, and
        // the next save reads the file again.
        record->LastModified = QDateTime();
        record->LastSize = -1;
        record->Seen = SafeFile::Seen();
        UiReport::Error(tr("File error"), DecimalId::ExhaustedMessage(record->Path));
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return false;
    }
    return true;
}
