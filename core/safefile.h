#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDateTime>
#include <QIODevice>
#include <QString>
#include <functional>

class QFile;

// The one way workspace and settings files are written: into a temporary beside the target,
// committed by rename, so a crash or a full disk leaves the old file whole and other members
// never read half a file. A shared name that is a link, a folder, a pipe or a device is another
// member's (or anyone's) trap: it is refused, and a link made there after the check is replaced
// by the rename, never followed. Only the name's own entry is looked at: a workspace reached
// through linked folders works.
namespace SafeFile
{
// Why this thread's last write or read was refused, naming the path: what the name holds (a link,
// a pipe, a device), or a file the user may not write. After a failed write, the system's reason
// (no space left, permission denied). Empty after any other failure, which the callers' own
// messages say enough about. Callers add it to those messages.
QString LastError();
// The last failure was a refusal of what the name holds (a link, a pipe...), not an error.
bool LastRefused();
// message, followed by LastError() on a line of its own when there is one.
QString WithReason(const QString &message);

// Options of a write, or-ed together.
enum WriteOption {
    // A link or pipe at the target is replaced rather than refused (a folder is still refused).
    ReplaceEntry = 1,
    // A read-only file of the user's own is made writable first, as the old writers did; a file
    // the user still may not write (another's, read-only) is refused either way.
    MakeWritable = 2,
};

// A write keeps the file's group where the user may, so that members who share the file through
// its group keep their access. LastError() tells why a write failed.
bool Write(const QString &path, const QByteArray &bytes, int options = 0);
bool WriteUtf8(const QString &path, const QString &text, int options = 0);
// For generated files in a folder of the user's choice: whatever entry holds the name (a link, a
// pipe) is replaced by the new file; nothing is written through it. A folder is still refused.
bool Replace(const QString &path, const QByteArray &bytes);
// As Replace, for a path below folder: the folders between the two are taken as they are when
// walked, and one that is a link is refused, so that no swap of a folder for a link, however
// timed, puts the file outside folder.
bool ReplaceWithin(const QString &folder, const QString &path, const QByteArray &bytes);

// Whether a file name is one of the writer's temporaries (hidden, with a fixed ending): listings
// of files leave them out.
bool IsTemporary(const QString &fileName);

// A write in two steps, for a writer that must decide under a lock whether the new file goes in
// place: Prepare checks the target and writes the whole temporary, Commit renames it over the
// target. A pending write that is not committed removes its temporary.
class Pending
{
public:
    Pending() = default;
    ~Pending();
    Pending(const Pending &) = delete;
    Pending &operator=(const Pending &) = delete;
    bool Prepare(const QString &path, const QByteArray &bytes, int options = 0);
    bool PrepareWithin(const QString &folder, const QString &path, const QByteArray &bytes, int options);
    bool Commit();
    // fill writes the temporary's content into the descriptor (and may set its mode and times).
    // An empty folder: the path's own folder, reached as for Prepare.
    bool PrepareWith(const QString &folder, const QString &path, int options,
                     const std::function<bool(int)> &fill);

private:
    void drop();

    int m_dir = -1;
    QByteArray m_name;
    QByteArray m_temp;
};

// No workspace file needs more: a member's file of 200,000 entries takes some tens of MB. Another
// member's file of a gigabyte or two would end the program in a whole-file read (or in the text
// and tree made of it), so readers refuse anything larger by its size before they allocate.
constexpr qint64 MaxReadBytes = qint64(256) * 1024 * 1024;
// For a reader that takes a file in pieces of its own size (a copy): any size is fine.
constexpr qint64 AnySize = -1;

// Opens a file for reading only when it is a regular file (a link to one is fine) of at most
// maxBytes: a named pipe would block the reader until someone writes, a device may never end. The
// checks are made on the opened descriptor, so nothing can be swapped in between. On failure
// LastError() names the path; a refusal (what the name holds, the size) sets LastRefused().
bool OpenRead(QFile &file, const QString &path, QIODevice::OpenMode mode = QIODevice::ReadOnly,
              qint64 maxBytes = MaxReadBytes);
// The whole content of a regular file of at most maxBytes, opened in mode (Text drops CRs); false
// (LastError() set) for anything else, a failed read or a file that grew past the bound while read.
bool ReadAll(const QString &path, QByteArray *bytes, QIODevice::OpenMode mode = QIODevice::ReadOnly,
             qint64 maxBytes = MaxReadBytes);

// Replaces the target by a copy of the source through a temporary beside it, so a failed copy
// leaves the old target whole. The new target is readable and writable by its user and, when
// modified is valid, carries that modification time (false when it cannot be set).
bool ReplaceByCopy(const QString &source, const QString &target, const QDateTime &modified = QDateTime());
// As ReplaceByCopy, for a target below folder, with the walk of ReplaceWithin.
bool ReplaceByCopyWithin(const QString &folder, const QString &source, const QString &target,
                         const QDateTime &modified);
// True only when the file's folder exists and can be listed, and the file is not in it: a share
// that is offline or a folder that vanished is not a missing file.
bool IsAbsent(const QString &path);

// What a writer's copy of a shared file was made from: a hash of the bytes it read or last wrote,
// or that the file was absent. Another member's program may write the file meanwhile, on a share
// whose times have whole seconds and with an edit that keeps the size, so only the bytes tell.
// Unknown until a read or a write sets it: a copy that never came from the file compares with
// nothing.
class Seen
{
public:
    static constexpr QCryptographicHash::Algorithm Algorithm = QCryptographicHash::Sha256;
    static Seen Of(const QByteArray &bytes);
    // Of bytes hashed with Algorithm by a reader that takes a file in pieces.
    static Seen OfHash(const QByteArray &hash);
    // Of the first length bytes only, hashed so by a reader that stops at what it takes (a grid's
    // rows): compared with the same part of the file.
    static Seen OfHead(const QByteArray &hash, qint64 length);
    static Seen Absent();
    bool IsKnown() const { return m_state != Unknown; }
    bool IsHead() const { return m_state == Head; }
    qint64 HeadLength() const { return m_length; }
    bool operator==(const Seen &other) const
    {
        return m_state == other.m_state && m_hash == other.m_hash && m_length == other.m_length;
    }
    bool operator!=(const Seen &other) const { return !(*this == other); }

private:
    enum State { Unknown, Missing, Bytes, Head };
    State m_state = Unknown;
    QByteArray m_hash;
    qint64 m_length = -1;
};
// The file as it is now; unknown when it neither reads nor is absent (LastError() tells why). For
// a seen of a head, its part of the file as it is now.
Seen SeenNow(const QString &path, const Seen &as = Seen());
// Write, but only over the file a writer's copy was made from: when the file is no longer what
// seen holds (and neither simply gone nor already holding bytes), nothing is written and
// LastChanged() is set. The comparison is made after the temporary is written, just before the
// rename. An unknown seen is not compared.
bool WriteOver(const QString &path, const QByteArray &bytes, const Seen &seen, int options = 0);
// The last WriteOver of this thread was refused because the file had changed.
bool LastChanged();
// What the file held when the last WriteOver of this thread was refused as changed: a writer whose
// user chose to replace that change writes over this, and over nothing newer.
Seen LastChangedTo();
} // namespace SafeFile
