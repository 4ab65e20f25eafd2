#include "practice/BenchTimer.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace Bench {

void Report(const char *name, double value, const char *unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

double OnceMs(const std::function<void()> &operation)
{
    QElapsedTimer timer;
    timer.start();
    operation();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double MedianMs(int runs, const std::function<void()> &operation)
{
    std::vector<double> times;
    times.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i)
        times.push_back(OnceMs(operation));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double ResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0.0;
}

} // namespace Bench
