#include "core/safefile.h"
#include "core/safefile_p.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Per thread: the chat and file-check workers write too.
thread_local QString g_lastError;
thread_local bool g_refused = false;
thread_local bool g_changed = false;
thread_local SafeFile::Seen g_changedTo;

QString kindOf(mode_t mode)
{
    if (S_ISLNK(mode))
        return QCoreApplication::translate("SafeFile", "a link");
    if (S_ISDIR(mode))
        return QCoreApplication::translate("SafeFile", "a folder");
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("SafeFile", "a named pipe");
    if (S_ISSOCK(mode))
        return QCoreApplication::translate("SafeFile", "a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QCoreApplication::translate("SafeFile", "a device");
    return QCoreApplication::translate("SafeFile", "something else");
}

// A folder where a file goes is a plain failure ("can not write file" says enough); a link, a
// pipe or a device is a trap worth naming.
void refusedWrite(const QString &path, mode_t mode)
{
    g_refused = !S_ISDIR(mode);
    if (!g_refused)
        return;
    g_lastError =
        QCoreApplication::translate("SafeFile", "%1 is %2, not a regular file: nothing was written there")
            .arg(path, kindOf(mode));
}

void refusedRead(const QString &path, mode_t mode)
{
    g_refused = !S_ISDIR(mode);
    if (!g_refused)
        return;
    g_lastError = QCoreApplication::translate("SafeFile", "%1 is %2, not a regular file: it was not read")
                      .arg(path, kindOf(mode));
}

// Whole megabytes, rounded up: a file just past the ceiling must not read as equal to it.
QString megabytes(qint64 bytes)
{
    const qint64 mb = 1024 * 1024;
    return QString::number((bytes + mb - 1) / mb);
}

void refusedSize(const QString &path, qint64 size, qint64 maxBytes)
{
    g_refused = true;
    g_lastError =
        QCoreApplication::translate(
            "SafeFile", "%1 holds %2 MB, more than any workspace file needs (%3 MB): it was not read")
            .arg(path, megabytes(size), megabytes(maxBytes));
}

// The callers' own messages name the path of a failed write or read.
void failed()
{
    g_refused = false;
    g_lastError.clear();
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

void failedWrite(int err)
{
    g_refused = false;
    g_lastError = QCoreApplication::translate("SafeFile", "Reason: %1").arg(qt_error_string(err ? err : EIO));
}

void refusedOnTheWay(const QString &path)
{
    g_refused = true;
    g_lastError = QCoreApplication::translate(
                      "SafeFile", "A folder on the way to %1 is a link: nothing was written there")
                      .arg(path);
}

// The rename needs only the folder's permission: a file the user may not write would be replaced
// without a word, where writing into it is refused.
int refusedReadOnly(const QString &path)
{
    g_refused = true;
    g_lastError =
        QCoreApplication::translate("SafeFile", "%1 is read-only for you: nothing was written there")
            .arg(path);
    return -1;
}

// 1: a regular file the user may write is there (st describes it); 0: nothing, or an entry that
// the write replaces; -1: refused or failed, with the reason set.
int checkTarget(int dir, const QByteArray &name, const QString &path, int options, struct stat *st)
{
    if (::fstatat(dir, name.constData(), st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return 0;
        failedWrite(errno);
        return -1;
    }
    if (!S_ISREG(st->st_mode)) {
        if ((options & SafeFile::ReplaceEntry) && !S_ISDIR(st->st_mode))
            return 0;
        refusedWrite(path, st->st_mode);
        if (S_ISDIR(st->st_mode))
            failedWrite(EISDIR);
        return -1;
    }
    // With the permission of the caller's effective user, not its real one.
    if ((options & SafeFile::MakeWritable) && ::faccessat(dir, name.constData(), W_OK, AT_EACCESS) != 0 &&
        ::fchmodat(dir, name.constData(), (st->st_mode & 07777) | S_IWUSR, AT_SYMLINK_NOFOLLOW) == 0)
        ::fstatat(dir, name.constData(), st, AT_SYMLINK_NOFOLLOW);
    if (::faccessat(dir, name.constData(), W_OK, AT_EACCESS) == 0)
        return 1;
    if (errno == EACCES || errno == EPERM)
        return refusedReadOnly(path);
    failedWrite(errno);
    return -1;
}

// Members who share a file through its group keep their access: the new file takes the old one's
// group. A user who is not in that group may not give it, and the file gets the user's own.
void keepOwnership(int fd, const struct stat &old)
{
    if (old.st_gid != ::getegid() && ::fchown(fd, uid_t(-1), old.st_gid) != 0)
        errno = 0;
}
} // namespace

QString SafeFile::LastError()
{
    return g_lastError;
}

bool SafeFile::LastRefused()
{
    return g_refused;
}

QString SafeFile::WithReason(const QString &message)
{
    return g_lastError.isEmpty() ? message : message + QLatin1Char('\n') + g_lastError;
}

SafeFile::Pending::~Pending()
{
    drop();
}

void SafeFile::Pending::drop()
{
    if (!m_temp.isEmpty())
        ::unlinkat(m_dir, m_temp.constData(), 0);
    if (m_dir >= 0)
        ::close(m_dir);
    m_dir = -1;
    m_temp.clear();
    m_name.clear();
}

bool SafeFile::Pending::Prepare(const QString &path, const QByteArray &bytes, int options)
{
    return PrepareWith(QString(), path, options, [&bytes](int fd) { return writeAll(fd, bytes); });
}

bool SafeFile::Pending::PrepareWithin(const QString &folder, const QString &path, const QByteArray &bytes,
                                      int options)
{
    if (folder.isEmpty()) {
        drop();
        failedWrite(EINVAL);
        return false;
    }
    return PrepareWith(folder, path, options, [&bytes](int fd) { return writeAll(fd, bytes); });
}

bool SafeFile::Pending::PrepareWith(const QString &folder, const QString &path, int options,
                                    const std::function<bool(int)> &fill)
{
    drop();
    g_lastError.clear();
    g_refused = false;
    if (path.isEmpty())
        return false;
    bool linked = false;
    m_dir = folder.isEmpty() ? SafeFileDetail::OpenParent(path, &m_name)
                             : SafeFileDetail::OpenWithin(folder, path, &m_name, &linked);
    if (m_dir < 0) {
        linked ? refusedOnTheWay(path) : failedWrite(errno);
        drop();
        return false;
    }
    struct stat st {
    };
    const int existing = checkTarget(m_dir, m_name, path, options, &st);
    if (existing < 0) {
        drop();
        return false;
    }
    SafeFileDetail::RemoveStale(m_dir);
    const int fd = SafeFileDetail::CreateTemporary(m_dir, m_name, &m_temp);
    if (fd < 0) {
        failedWrite(errno);
        drop();
        return false;
    }
    if (existing == 1)
        keepOwnership(fd, st);
    errno = 0;
    bool ok = (existing == 0 || ::fchmod(fd, st.st_mode & 0777) == 0) && fill(fd) && ::fsync(fd) == 0;
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        failedWrite(err);
        drop();
        return false;
    }
    return true;
}

bool SafeFile::Pending::Commit()
{
    if (m_temp.isEmpty())
        return false;
    // The rename replaces whatever holds the name now, a link made since the check included, and
    // never follows it; it acts in the folder that was checked, whatever was renamed since.
    if (::renameat(m_dir, m_temp.constData(), m_dir, m_name.constData()) != 0) {
        failedWrite(errno);
        drop();
        return false;
    }
    m_temp.clear();
    drop();
    return true;
}

bool SafeFile::Write(const QString &path, const QByteArray &bytes, int options)
{
    Pending pending;
    return pending.Prepare(path, bytes, options) && pending.Commit();
}

bool SafeFile::WriteUtf8(const QString &path, const QString &text, int options)
{
    return Write(path, text.toUtf8(), options);
}

bool SafeFile::Replace(const QString &path, const QByteArray &bytes)
{
    Pending pending;
    return pending.Prepare(path, bytes, ReplaceEntry) && pending.Commit();
}

bool SafeFile::ReplaceWithin(const QString &folder, const QString &path, const QByteArray &bytes)
{
    Pending pending;
    return pending.PrepareWithin(folder, path, bytes, ReplaceEntry) && pending.Commit();
}

bool SafeFile::OpenRead(QFile &file, const QString &path, QIODevice::OpenMode mode, qint64 maxBytes)
{
    g_lastError.clear();
    g_refused = false;
    file.close();
    // The program's own resources are no file system entries.
    if (path.startsWith(QLatin1Char(':'))) {
        file.setFileName(path);
        if (file.open(mode | QIODevice::ReadOnly))
            return true;
        failed();
        return false;
    }
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking: opening a pipe would otherwise wait for a writer before fstat could say no.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        struct stat st {
        };
        if (errno == ENXIO && ::stat(name.constData(), &st) == 0)
            refusedRead(path, st.st_mode);
        else
            failed();
        return false;
    }
    struct stat st {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        refusedRead(path, st.st_mode);
        ::close(fd);
        return false;
    }
    if (maxBytes >= 0 && st.st_size > maxBytes) {
        refusedSize(path, st.st_size, maxBytes);
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, mode | QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        failed();
        return false;
    }
    return true;
}

std::function<void(const QString &)> SafeFileDetail::g_afterReadOpen;

bool SafeFile::ReadAll(const QString &path, QByteArray *bytes, QIODevice::OpenMode mode, qint64 maxBytes)
{
    QFile file;
    if (!OpenRead(file, path, mode, maxBytes))
        return false;
    if (SafeFileDetail::g_afterReadOpen)
        SafeFileDetail::g_afterReadOpen(path);
    // The size now, in one allocation, but never past the ceiling: the file may have grown since
    // the open looked at it (and size() looks again). Then whatever a writer added in place since,
    // in pieces, for as long as the whole stays under the ceiling.
    QByteArray data = file.read(std::min(file.size(), maxBytes + 1));
    for (;;) {
        if (data.size() > maxBytes) {
            refusedSize(path, data.size(), maxBytes);
            return false;
        }
        const QByteArray more = file.read(64 * 1024);
        if (more.isEmpty())
            break;
        data += more;
    }
    if (file.error() != QFileDevice::NoError) {
        failed();
        return false;
    }
    *bytes = data;
    return true;
}

bool SafeFile::ReplaceByCopy(const QString &source, const QString &target, const QDateTime &modified)
{
    return ReplaceByCopyWithin(QString(), source, target, modified);
}

bool SafeFile::ReplaceByCopyWithin(const QString &folder, const QString &source, const QString &target,
                                   const QDateTime &modified)
{
    QFile in;
    if (!OpenRead(in, source, QIODevice::ReadOnly, AnySize))
        return false;
    struct stat from {
    };
    if (::fstat(in.handle(), &from) != 0) {
        failedWrite(errno);
        return false;
    }
    // The old target stays whole until the copy is complete. A viewing copy is read-only by
    // design and is renewed all the same.
    Pending pending;
    const auto fill = [&](int fd) {
        QByteArray chunk;
        while (!(chunk = in.read(1 << 20)).isEmpty()) {
            if (!writeAll(fd, chunk))
                return false;
        }
        if (in.error() != QFileDevice::NoError) {
            errno = EIO;
            return false;
        }
        if (::fchmod(fd, (from.st_mode & 0777) | S_IRUSR | S_IWUSR) != 0)
            return false;
        if (!modified.isValid())
            return true;
        const qint64 ms = modified.toMSecsSinceEpoch();
        const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(ms / 1000), long(ms % 1000) * 1000000}};
        return ::futimens(fd, times) == 0;
    };
    return pending.PrepareWith(folder, target, ReplaceEntry | MakeWritable, fill) && pending.Commit();
}

bool SafeFile::IsAbsent(const QString &path)
{
    const QFileInfo info(path);
    // A folder that opens for reading can be listed; listing it whole cost as much as the folder
    // is large, once per file asked about.
    DIR *dir = ::opendir(QFile::encodeName(info.absolutePath()).constData());
    if (!dir)
        return false;
    ::closedir(dir);
    struct stat st {
    };
    return ::lstat(QFile::encodeName(info.absoluteFilePath()).constData(), &st) != 0 && errno == ENOENT;
}

SafeFile::Seen SafeFile::Seen::Of(const QByteArray &bytes)
{
    Seen seen;
    seen.m_state = Bytes;
    seen.m_hash = QCryptographicHash::hash(bytes, Algorithm);
    return seen;
}

SafeFile::Seen SafeFile::Seen::OfHash(const QByteArray &hash)
{
    Seen seen;
    seen.m_state = Bytes;
    seen.m_hash = hash;
    return seen;
}

SafeFile::Seen SafeFile::Seen::OfHead(const QByteArray &hash, qint64 length)
{
    Seen seen;
    seen.m_state = Head;
    seen.m_hash = hash;
    seen.m_length = length;
    return seen;
}

SafeFile::Seen SafeFile::Seen::Absent()
{
    Seen seen;
    seen.m_state = Missing;
    return seen;
}

SafeFile::Seen SafeFile::SeenNow(const QString &path, const Seen &as)
{
    if (IsAbsent(path))
        return Seen::Absent();
    if (!as.IsHead()) {
        QByteArray bytes;
        return ReadAll(path, &bytes) ? Seen::Of(bytes) : Seen();
    }
    QFile file;
    if (!OpenRead(file, path, QIODevice::ReadOnly, AnySize))
        return Seen();
    QCryptographicHash head(Seen::Algorithm);
    qint64 left = as.HeadLength();
    while (left > 0) {
        const QByteArray piece = file.read(std::min<qint64>(left, 64 * 1024));
        if (piece.isEmpty())
            break;
        head.addData(piece);
        left -= piece.size();
    }
    if (file.error() != QFileDevice::NoError)
        return Seen();
    // A file now shorter than the part seen has another head.
    return Seen::OfHead(head.result(), as.HeadLength() - left);
}

bool SafeFile::LastChanged()
{
    return g_changed;
}

bool SafeFile::WriteOver(const QString &path, const QByteArray &bytes, const Seen &seen, int options)
{
    g_changed = false;
    g_changedTo = Seen();
    Pending pending;
    if (!pending.Prepare(path, bytes, options))
        return false;
    if (seen.IsKnown()) {
        const Seen now = SeenNow(path, seen);
        if (!now.IsKnown())
            return false;
        // A file that already holds these bytes (the same edit saved on another desktop) loses
        // nothing by the write; one removed since holds nothing of anyone's. Of a head only the
        // head was compared: whether the file holds the bytes is a question of the whole file.
        if (now != seen && now != Seen::Absent() &&
            (seen.IsHead() ? SeenNow(path) : now) != Seen::Of(bytes)) {
            g_changed = true;
            g_changedTo = now;
            g_refused = false;
            g_lastError = QCoreApplication::translate(
                              "SafeFile", "%1 changed on disk since it was read: it was not written over")
                              .arg(path);
            return false;
        }
    }
    return pending.Commit();
}

SafeFile::Seen SafeFile::LastChangedTo()
{
    return g_changedTo;
}
