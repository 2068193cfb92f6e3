#pragma once

#include "core/safefile.h"

#include <QString>
#include <QStringList>

// A save refused because another program changed the file since this one read it is the user's to
// decide, as desktop editors ask of a file changed on disk: save anyway (the other change is
// replaced) or keep the edit open, unsaved. A save that writes several files asks once for all.
namespace SaveConflict
{
// Asked by a writer whose write of path was refused as changed, with what the file held then
// (SafeFile::LastChangedTo()). True: the user chose to replace that, and the writer writes over it
// (over nothing newer). False: the edit stays, unwritten; when Kept() the user has been told (or
// will be, by the batch's question), so the writer adds no message of its own. Outside a Batch the
// user is asked at once. Within one the path waits for the batch's question and the answer is no,
// unless that question already said yes to the file as it is. Only the GUI thread asks; elsewhere,
// and while a question is open (a write from inside its event loop), the answer is no and not
// Kept(): the writer reports the refusal itself.
bool SaveAnyway(const QString &path, const SafeFile::Seen &now);
// Whether the last SaveAnyway of this thread kept the edit: the user has heard of the file.
bool Kept();
// Whether a save that may ask is running on the GUI thread (a Batch is open, or a question is): a
// save asked for meanwhile (the auto-save, a modeless dialog's) waits until it has ended, so that
// no save starts inside another's question.
bool InProgress();
// Within a Batch, whether a failure report of this text is the save's first: a file that failed for
// its own reason is reported once, not again by the pass that writes the files the user said to
// save anyway. Always true outside a Batch.
bool FirstReport(const QString &text);

// Gathers the refusals of one save for one question at its end. Batches nest: the outermost asks.
class Batch
{
public:
    Batch();
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;
    // Asks once for the files refused since the last Ask. True: the user chose to save them anyway;
    // the caller runs its save again, which writes them over the files as they were when asked, and
    // only those. False: none was refused (or the batch is nested), or the user kept the edits
    // (KeptFiles()).
    bool Ask();
    QStringList KeptFiles() const { return m_kept; }

private:
    bool m_outer = false;
    QStringList m_kept;
};
} // namespace SaveConflict
