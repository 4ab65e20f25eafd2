#pragma once

// What the calendar benchmarks share: ten years of a busy practice's
// appointments, timing with the process's CPU time beside the wall time, and
// painting and dragging as the window system would.

#include "practice/BenchTimer.h"

#include "Calendar/Model/Event.h"

#include <QtCore/QList>
#include <QtCore/QPointF>

#include <functional>
#include <utility>

class QWidget;

namespace CalendarBench {

constexpr int Appointments = 20000;

// Eight appointments a working day, ending on lastDay: half-hour and hour
// visits of 3,000 patients, some with notes or a room.
QList<Calendar::Event> TenBusyYears(QDate lastDay);
// This week's Wednesday: the week shown in the benchmarks.
QDate ThisWednesday();

double CpuMs();
// Median wall and CPU milliseconds of runs of the operation; prepare runs
// before each, outside the timing.
std::pair<double, double> Measure(
    int runs, const std::function<void()> &operation, const std::function<void()> &prepare = {});
// Prints "<name>" with the wall figure and "<name without _ms>_cpu_ms" with the CPU one.
void Report(const char *name, const std::pair<double, double> &figures);
// The median of the figures (sorted in place); 0 for none.
double Median(std::vector<double> &figures);

// Paints the widget now, as the window system's expose would.
void PaintNow(QWidget *widget);
void DragWithMouse(QWidget *widget, QPointF from, QPointF to);

} // namespace CalendarBench
