#pragma once

// Timing of loads that grow with the entries of a shared file: a file with ten times the entries
// may cost at most thirty times as long. A linear or n log n load meets that with room to spare, a
// quadratic one (a hundred times) misses it by far. Both sizes are well past the processor's
// caches, so what is compared is the load and not the memory hierarchy; and the process's
// processor time is measured, not the wall clock, which on a machine shared with other builds
// says more about them. The processor time of every thread (some loads run on a worker) is read
// exactly: the kernel's split of it into user and system time is made from samples over the whole
// life of the process, so a difference of user times alone shrinks or stretches with what the
// process did long before. One large run that a burst of other work on the machine slowed is
// measured again before it fails the test: a quadratic load misses the limit every time.

#include <QtTest>
#include <algorithm>
#include <functional>
#include <time.h>

namespace TestSupport
{
// Runs load(small) three times and load(large) once; fails the calling test when the large run
// costs more than `limit` times the quickest small one (never taken below `floorMs`, so a small
// run lost in timer noise cannot fail it). PEL_LOAD_SIZES="10000,200000" measures other sizes by
// hand; the suite keeps sizes that take seconds.
inline void verifyScales(const std::function<void(int)> &load, int small, int large, double limit = 30,
                         double floorMs = 20)
{
    const QStringList sizes = qEnvironmentVariable("PEL_LOAD_SIZES").split(QLatin1Char(','));
    if (sizes.size() == 2 && sizes.at(0).toInt() > 0 && sizes.at(1).toInt() > 0) {
        small = sizes.at(0).toInt();
        large = sizes.at(1).toInt();
    }
    const auto cpuMs = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
    };
    const auto timed = [&](int count) {
        const double start = cpuMs();
        load(count);
        return cpuMs() - start;
    };
    double smallMs = timed(small);
    for (int i = 0; i < 2 && !QTest::currentTestFailed(); ++i)
        smallMs = std::min(smallMs, timed(small));
    if (QTest::currentTestFailed())
        return;
    double largeMs = timed(large);
    if (largeMs > limit * std::max(smallMs, floorMs) && !QTest::currentTestFailed())
        largeMs = std::min(largeMs, timed(large));
    const QString report = QStringLiteral("%1 entries: %2 ms, %3 entries: %4 ms of processor time")
                               .arg(small)
                               .arg(smallMs, 0, 'f', 1)
                               .arg(large)
                               .arg(largeMs, 0, 'f', 1);
    qInfo().noquote() << report;
    QVERIFY2(largeMs <= limit * std::max(smallMs, floorMs), qPrintable(report));
}
} // namespace TestSupport
