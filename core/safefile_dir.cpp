#include "core/safefile.h"
#include "core/safefile_p.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Every temporary ends so: one name test tells them from the users' own hidden files.
const char kSuffix[] = ".pelmorine-tmp";
// Longer names are shortened so that the temporary's name stays within the file system's limit.
const int kLongestStem = 200;

// Where the clean-up last looked, so that writing many files into one folder lists it once.
thread_local QHash<QByteArray, qint64> t_cleaned;

int openFolderAt(int at, const QByteArray &name, bool follow)
{
    const int fd =
        ::openat(at, name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return -1;
    struct stat st {
    };
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) {
        ::close(fd);
        errno = ENOTDIR;
        return -1;
    }
    return fd;
}
} // namespace

qint64 SafeFileDetail::g_staleSeconds = 10 * 60;

bool SafeFile::IsTemporary(const QString &fileName)
{
    return fileName.startsWith(QLatin1Char('.')) && fileName.endsWith(QLatin1String(kSuffix)) &&
           fileName.size() > int(sizeof kSuffix);
}

int SafeFileDetail::OpenParent(const QString &path, QByteArray *name)
{
    const QFileInfo info(path);
    *name = QFile::encodeName(info.fileName());
    if (name->isEmpty()) {
        errno = EISDIR;
        return -1;
    }
    return openFolderAt(AT_FDCWD, QFile::encodeName(info.absolutePath()), true);
}

int SafeFileDetail::OpenWithin(const QString &folder, const QString &path, QByteArray *name, bool *linked)
{
    *linked = false;
    QString root = QDir::cleanPath(QDir(folder).absolutePath());
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    const QString full = QDir::cleanPath(QDir(folder).absoluteFilePath(path));
    QStringList parts = full.startsWith(root) ? full.mid(root.size()).split(QLatin1Char('/')) : QStringList();
    for (const QString &part : qAsConst(parts)) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) {
            parts.clear();
            break;
        }
    }
    if (parts.isEmpty()) {
        errno = EINVAL;
        return -1;
    }
    *name = QFile::encodeName(parts.takeLast());
    int dir = openFolderAt(AT_FDCWD, QFile::encodeName(root), true);
    for (const QString &part : qAsConst(parts)) {
        if (dir < 0)
            break;
        const int next = openFolderAt(dir, QFile::encodeName(part), false);
        const int err = errno;
        ::close(dir);
        dir = next;
        if (dir < 0) {
            *linked = err == ELOOP || err == ENOTDIR;
            errno = err;
        }
    }
    return dir;
}

int SafeFileDetail::CreateTemporary(int dir, const QByteArray &name, QByteArray *temp)
{
    const QByteArray stem = '.' + (name.size() > kLongestStem ? QByteArrayLiteral("pelmorine") : name) + '.';
    // Made here rather than by QTemporaryFile: a new file gets 0666 less the umask, as any file
    // the user makes, so the other members can read it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp = stem + QByteArray::number(QRandomGenerator::global()->generate(), 36) + kSuffix;
        const int fd =
            ::openat(dir, temp->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void SafeFileDetail::RemoveStale(int dir)
{
    struct stat st {
    };
    if (::fstat(dir, &st) != 0)
        return;
    // The inode alone could be a removed folder's, reused; the descriptor's path tells them apart.
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", dir);
    char where[4096];
    const ssize_t n = ::readlink(link, where, sizeof where);
    const QByteArray key = QByteArray::number(quint64(st.st_dev)) + ':' +
                           QByteArray::number(quint64(st.st_ino)) + ':' +
                           QByteArray(where, n > 0 ? int(n) : 0);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const auto seen = t_cleaned.constFind(key);
    if (seen != t_cleaned.constEnd() && now - *seen < g_staleSeconds)
        return;
    if (t_cleaned.size() > 1000)
        t_cleaned.clear();
    t_cleaned.insert(key, now);
    const int listing = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *entries = listing < 0 ? nullptr : ::fdopendir(listing);
    if (!entries) {
        if (listing >= 0)
            ::close(listing);
        return;
    }
    while (const dirent *entry = ::readdir(entries)) {
        if (!SafeFile::IsTemporary(QFile::decodeName(entry->d_name)))
            continue;
        // The change time, not the modification time: a copy sets an old modification time on
        // its temporary just before the rename, and no one can set the change time back.
        struct stat temp {
        };
        if (::fstatat(dir, entry->d_name, &temp, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(temp.st_mode) &&
            now - qint64(temp.st_ctime) >= g_staleSeconds)
            ::unlinkat(dir, entry->d_name, 0);
    }
    ::closedir(entries);
}
