#pragma once

#include <QFile>
#include <malloc.h>
#include <sys/resource.h>

// What a read costs from here on: processor time in user mode, and how far the resident memory
// rose. Memory freed before goes back to the system and the kernel's peak mark is reset, so no
// earlier peak of the process hides a new one.
struct ReadCost {
    static double userMs()
    {
        rusage r{};
        getrusage(RUSAGE_SELF, &r);
        return r.ru_utime.tv_sec * 1000.0 + r.ru_utime.tv_usec / 1000.0;
    }
    static long statusKb(const QByteArray &field)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
        return text.mid(text.indexOf(field) + field.size()).trimmed().split(' ').value(0).toLong();
    }
    static bool reset()
    {
        malloc_trim(0);
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    }
    // Room for a sanitized build in both.
    bool Within(double ms, long mb) const { return userMs() - startMs < ms && grownMb() < mb; }
    long grownMb() const { return (statusKb("VmHWM:") - startKb) / 1024; }
    QString Report() const { return QStringLiteral("%1 ms, %2 MB").arg(userMs() - startMs).arg(grownMb()); }

    const bool wasReset = reset();
    const long startKb = statusKb("VmRSS:");
    const double startMs = userMs();
};
