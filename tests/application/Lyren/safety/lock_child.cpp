// Holds a practice's lock for a test, as a running program would: takes the
// lock of the root folder it is given, prints "held" (or "refused") and
// waits to be ended.
#include "safety/PracticeLock.h"

#include <QtCore/QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    PracticeLock lock(QString::fromLocal8Bit(argv[1]));
    const bool held = lock.Acquire() == PracticeLock::State::Held;
    std::printf(held ? "held\n" : "refused\n");
    std::fflush(stdout);
    for (;;)
        ::pause();
}
