#pragma once
// What every benchmark prints: one figure a line, with its bound where it has one, and the
// process's peak memory. Benchmarks report; they never fail a test.

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace bench {

// False once any figure reported with a bound went over it.
inline bool &allWithin() {
    static bool within = true;
    return within;
}

// The middle figure of several runs (0 for none): one slow run on a busy machine does not count.
inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline double msSince(const QElapsedTimer &clock) {
    return clock.nsecsElapsed() / 1e6;
}

// CPU time of the whole process (every thread) in ms: unlike the wall clock it leaves out the
// time other programs on a shared machine take from us.
inline double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

inline void report(const char *what, double value, const char *unit, double bound = 0) {
    if (bound <= 0) {
        std::printf("    %-52s %10.2f %s\n", what, value, unit);
        return;
    }
    const bool within = value < bound;
    allWithin() = allWithin() && within;
    std::printf("    %-52s %10.2f %s   (bound %.0f %s: %s)\n", what, value, unit, bound, unit,
                within ? "ok" : "OVER");
}

// Peak resident memory of this process so far, in MB (-1 where /proc does not tell).
inline double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    const auto peak = std::find_if(lines.cbegin(), lines.cend(), [](const QByteArray &line) {
        return line.startsWith("VmHWM:");
    });
    return peak == lines.cend() ? -1
                                : peak->mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
}

} // namespace bench
