#include "core/safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryFile>
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
    if (!m_temp.isEmpty())
        ::unlink(m_temp.constData());
}

bool SafeFile::Pending::Prepare(const QString &path, const QByteArray &bytes, bool replace)
{
    if (!m_temp.isEmpty())
        ::unlink(m_temp.constData());
    m_temp.clear();
    m_target.clear();
    g_lastError.clear();
    g_refused = false;
    if (path.isEmpty())
        return false;
    const QByteArray target = QFile::encodeName(path);
    // Only the entry itself: links among the folders above it are how a share may be reached.
    struct stat st {
    };
    bool existing = false;
    if (::lstat(target.constData(), &st) == 0) {
        existing = S_ISREG(st.st_mode);
        if (!existing && (!replace || S_ISDIR(st.st_mode))) {
            refusedWrite(path, st.st_mode);
            return false;
        }
    } else if (errno != ENOENT) {
        failed();
        return false;
    }
    const QFileInfo info(path);
    QByteArray name = QFile::encodeName(info.fileName());
    if (name.size() > 200)
        name = QByteArrayLiteral("pelmorine");
    const QByteArray stem = QFile::encodeName(info.absolutePath()) + "/." + name + '.';
    // Made here rather than by QTemporaryFile: a new file gets 0666 less the umask, as any file
    // the user makes, so the other members can read it.
    int fd = -1;
    QByteArray temp;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = stem + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        failed();
        return false;
    }
    m_temp = temp;
    bool ok = (!existing || ::fchmod(fd, st.st_mode & 0777) == 0) && writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        failed();
        ::unlink(m_temp.constData());
        m_temp.clear();
        return false;
    }
    m_target = target;
    return true;
}

bool SafeFile::Pending::Commit()
{
    if (m_temp.isEmpty())
        return false;
    // rename(2) replaces whatever holds the name now, a link made since the check included,
    // and never follows it.
    if (::rename(m_temp.constData(), m_target.constData()) != 0) {
        failed();
        ::unlink(m_temp.constData());
        m_temp.clear();
        return false;
    }
    m_temp.clear();
    return true;
}

bool SafeFile::Write(const QString &path, const QByteArray &bytes)
{
    Pending pending;
    return pending.Prepare(path, bytes) && pending.Commit();
}

bool SafeFile::WriteUtf8(const QString &path, const QString &text)
{
    return Write(path, text.toUtf8());
}

bool SafeFile::Replace(const QString &path, const QByteArray &bytes)
{
    Pending pending;
    return pending.Prepare(path, bytes, true) && pending.Commit();
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

bool SafeFile::ReadAll(const QString &path, QByteArray *bytes, QIODevice::OpenMode mode)
{
    QFile file;
    if (!OpenRead(file, path, mode))
        return false;
    // The size seen at the open, at most the ceiling, in one allocation; then whatever a writer
    // added in place since, in pieces, for as long as the whole stays under the ceiling.
    QByteArray data = file.read(file.size());
    for (;;) {
        const QByteArray more = file.read(64 * 1024);
        if (more.isEmpty())
            break;
        if (data.size() + more.size() > MaxReadBytes) {
            refusedSize(path, data.size() + more.size(), MaxReadBytes);
            return false;
        }
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
    QFile in;
    if (!OpenRead(in, source, QIODevice::ReadOnly, AnySize))
        return false;
    // A unique name made by the file system: a fixed one such as "<target>.copying" may be a
    // user's own file in an output or reference folder.
    const QFileInfo info(target);
    QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return false;
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (temp.write(chunk) != chunk.size())
            return false;
    }
    if (in.error() != QFileDevice::NoError || !temp.flush())
        return false;
    temp.setPermissions(QFile::permissions(source) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    if (modified.isValid() && !temp.setFileTime(modified, QFileDevice::FileModificationTime))
        return false;
    temp.close();
    // rename(2) replaces the target in one step: removing it first would leave a moment, and
    // after a crash a state, with no target at all.
    if (::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    temp.setAutoRemove(false);
    return true;
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
