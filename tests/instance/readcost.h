#pragma once

#include <QFile>
#include <QString>
#include <algorithm>
#include <functional>
#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

// What a read costs from here on, in what a busy machine or a sanitizer does not stretch: the
// bytes the process read from files, and how far the resident memory rose. Memory freed before
// goes back to the system and the kernel's peak mark is reset, so no earlier peak of the process
// hides a new one. Where processor time is the only measure of a fault, it is judged against a
// plain pass over the same input in the same run (PlainMs), which load and sanitizers stretch alike.
struct ReadCost {
    static double userMs()
    {
        rusage r{};
        getrusage(RUSAGE_SELF, &r);
        return r.ru_utime.tv_sec * 1000.0 + r.ru_utime.tv_usec / 1000.0;
    }
    // Processor time of every thread of the process, exactly: the kernel splits it into user and
    // system time by samples taken over the whole life of the process, so a difference of user
    // times is stretched or shrunk by what the process did long before.
    static double cpuMs()
    {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
    }
    static long statusKb(const QByteArray &field)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
        return text.mid(text.indexOf(field) + field.size()).trimmed().split(' ').value(0).toLong();
    }
    // Bytes the process has had from read() and its kind so far, whatever the page cache held.
    static qint64 bytesRead()
    {
        QFile io(QStringLiteral("/proc/self/io"));
        const QByteArray text = io.open(QIODevice::ReadOnly) ? io.readAll() : QByteArray();
        const QByteArray field("rchar:");
        return text.mid(text.indexOf(field) + field.size()).trimmed().split('\n').value(0).toLongLong();
    }
    static bool reset()
    {
        malloc_trim(0);
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    }
    // Processor time of one plain pass, run again until the passes took `atLeastMs` together, so
    // that the timer's grain and one burst of other work weigh little. What the pass returns is
    // kept, or the compiler may leave out the work that makes it.
    static double PlainMs(const std::function<quint64()> &pass, double atLeastMs = 100)
    {
        static volatile quint64 kept = 0;
        const double start = cpuMs();
        int passes = 0;
        do {
            kept = kept + pass();
            ++passes;
        } while (cpuMs() - start < atLeastMs);
        return (cpuMs() - start) / passes;
    }
    // A plain pass over a file: read in pieces of 64 KB, each decoded as UTF-8 and each byte
    // hashed in turn (FNV-1a: every step waits for the one before, so no compiler spreads it over
    // vector registers). The byte loop is compiled with the test, so a sanitizer slows it as it
    // slows the readers, which the library's decoder it does not.
    static quint64 ScanInPieces(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        quint64 hash = 14695981039346656037ULL;
        for (QByteArray piece = file.read(64 * 1024); !piece.isEmpty(); piece = file.read(64 * 1024)) {
            hash += quint64(QString::fromUtf8(piece).size());
            for (const char c : qAsConst(piece))
                hash = (hash ^ static_cast<uchar>(c)) * 1099511628211ULL;
        }
        return hash;
    }
    // Whether `spentMs` is within `factor` plain passes; a pass below a millisecond counts as one,
    // so that the timer's grain cannot decide for work too small to show a fault.
    static bool WithinPlain(double spentMs, double plainMs, double factor)
    {
        return spentMs < factor * std::max(plainMs, 1.0);
    }
    // Room for a sanitized build, whose allocator keeps freed memory a while.
    bool Kept(long mb) const { return grownMb() < mb; }
    long grownMb() const { return (statusKb("VmHWM:") - startKb) / 1024; }
    qint64 read() const { return bytesRead() - startRead; }
    double spentMs() const { return cpuMs() - startMs; }
    QString Report() const
    {
        return QStringLiteral("%1 MB kept, %2 bytes read, %3 ms").arg(grownMb()).arg(read()).arg(spentMs());
    }

    const bool wasReset = reset();
    const long startKb = statusKb("VmRSS:");
    const qint64 startRead = bytesRead();
    const double startMs = cpuMs();
};
