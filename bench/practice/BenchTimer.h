#pragma once

#include <QtCore/QString>

#include <functional>

namespace Bench {

// Prints one result line: "name: value unit".
void Report(const char *name, double value, const char *unit);

// Runs the operation 'runs' times and returns the median duration in milliseconds.
double MedianMs(int runs, const std::function<void()> &operation);

// Milliseconds of one run.
double OnceMs(const std::function<void()> &operation);

// Resident set size of this process in MiB (Linux).
double ResidentMiB();

} // namespace Bench
