// Time-grid control figures, each control made by class id and filled with a
// year of data through its dispatch interface:
//   tessory_repaint_*   full repaint at 1600 x 400 of 20 lines with 50 sequences each
//   plenora_repaint_*   full repaint at 1600 x 400 of 5 graphs with a point every day
//   *_click             a left click on a cell with the events it fires
// zoom1: one day per column; zoom7: the whole year on screen. A full repaint is
// what Redraw repaints: headers and cells; "_with_bars" adds the two scroll
// bars (windows of their own, repainted only when they move).
// With "--screens FOLDER" it also saves a picture of each control and of the
// two stacked as on the treatment page (run it under xvfb-run for real fonts).
#include "practice/BenchTimer.h"

#include "Plenora/PlenoraIds.h"
#include "Tessory/TessoryIds.h"

#include "component/ControlHost.h"
#include "component/Events.h"
#include "component/Values.h"

#include "common/OleDate.h"

#include <QtGui/QImage>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QVBoxLayout>

#include <cstdio>

using Component::Rgb;
using Verdanta::ToOleDate;

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 400;
const int kRuns
    = qEnvironmentVariableIntValue("BENCH_RUNS") > 0 ? qEnvironmentVariableIntValue("BENCH_RUNS") : 50;
const QDate kYearStart(2025, 1, 1);

const Component::OLE_COLOR kColours[] = { Rgb(255, 0, 0), Rgb(0, 128, 0), Rgb(0, 0, 255), Rgb(255, 128, 0),
    Rgb(128, 0, 0), Rgb(0, 128, 128), Rgb(128, 0, 128) };

Component::OLE_COLOR ColourOf(int index)
{
    return kColours[index % std::size(kColours)];
}

void FillTessory(const Component::DispatchDriver &grid, int lines, int sequences)
{
    for (int line = 0; line < lines; ++line) {
        const QString id = QStringLiteral("%1_%2").arg(100 + line).arg(7);
        grid.Call(
            Tessory::kAddNewLine, { id, QStringLiteral("Remedy %1 30C").arg(line + 1), ColourOf(line) });
        for (int sequence = 0; sequence < sequences; ++sequence) {
            const QString sequenceId = QString::number(line * 1000 + sequence);
            grid.Call(Tessory::kAddNewSequence, { id, sequenceId });
            const QDate start = kYearStart.addDays(sequence * 7 + line % 3);
            for (int day = 0; day < 3 + (sequence + line) % 4; day += 1 + (day + line) % 2)
                grid.Call(Tessory::kSelectDT, { id, sequenceId, 0, ToOleDate(start.addDays(day)) });
        }
    }
    grid.Call(Tessory::kAddNewLine,
        { QStringLiteral("add"), QStringLiteral("Click here to add -->"), Rgb(255, 255, 255) });
    grid.Call(Tessory::kSetLineData,
        { lines, QStringLiteral("add"), QStringLiteral("Click here to add -->"), Rgb(255, 255, 255), false });
}

void FillPlenora(const Component::DispatchDriver &grid, int graphs, int days)
{
    static const char *names[] = { "MENTAL", "PHYSICAL", "EMOTIONAL", "SLEEP", "ENERGY" };
    for (int graph = 0; graph < graphs; ++graph) {
        const QString id = QString::number(graph);
        grid.Call(Plenora::kAddNewGraph, { id, QLatin1String(names[graph % 5]), ColourOf(graph) });
        for (int day = 0; day < days; ++day) {
            const int row = 4 + ((day / (3 + graph)) + graph * 2) % 5 - (day % 11 == 0 ? 2 : 0);
            grid.Call(Plenora::kSelectDT, { id, ToOleDate(kYearStart.addDays(day)), row });
        }
    }
    grid.Put(Plenora::kCurrentGraph, QStringLiteral("0"));
}

// Median of full repaints of the control's window into an image, without or
// with its scroll bars.
double RepaintMs(QWidget *window, bool withBars)
{
    QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
    const QWidget::RenderFlags flags
        = withBars ? QWidget::DrawWindowBackground | QWidget::DrawChildren : QWidget::DrawWindowBackground;
    return Bench::MedianMs(kRuns, [&] { window->render(&image, QPoint(), QRegion(), flags); });
}

// Median of a left press and release on a cell, with the events it fires.
double ClickMs(QWidget *window, const QPoint &cell)
{
    return Bench::MedianMs(kRuns, [&] {
        QMouseEvent press(QEvent::MouseButtonPress, cell, window->mapToGlobal(cell), Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, cell, window->mapToGlobal(cell), Qt::LeftButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window, &press);
        QApplication::sendEvent(window, &release);
    });
}

QSize Extent(const Component::DispatchDriver &grid, Component::DISPID member)
{
    QVariantList out { QVariant(), QVariant() };
    grid.Invoke(member, Component::InvokeKind::Method, out, nullptr);
    return QSize(out[0].toInt(), out[1].toInt());
}

void Save(QWidget *widget, const QString &path)
{
    if (widget->grab().save(path))
        std::printf("saved: %s\n", qPrintable(path));
    else
        std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("VERDANTA_MODULES_DIR"))
        qputenv("VERDANTA_MODULES_DIR", VERDANTA_MODULES_OUTPUT_DIRECTORY);
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const int screensAt = static_cast<int>(arguments.indexOf(QStringLiteral("--screens")));
    const QString screens = screensAt > 0 ? arguments.value(screensAt + 1) : QString();

    QWidget page;
    auto *layout = new QVBoxLayout(&page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *tessoryHost = new Component::ControlHost(&page);
    auto *plenoraHost = new Component::ControlHost(&page);
    layout->addWidget(tessoryHost);
    layout->addWidget(plenoraHost);
    if (Component::Failed(tessoryHost->CreateControl(Tessory::kClsidTessory))
        || Component::Failed(plenoraHost->CreateControl(Plenora::kClsidPlenora))) {
        std::fprintf(stderr, "the grid controls are not in %s\n",
            qPrintable(qEnvironmentVariable("VERDANTA_MODULES_DIR")));
        return 1;
    }
    const Component::DispatchDriver tessory = tessoryHost->Dispatch();
    const Component::DispatchDriver plenora = plenoraHost->Dispatch();
    FillTessory(tessory, 20, 50);
    FillPlenora(plenora, 5, 365);
    int events = 0;
    Component::EventSink tessoryEvents;
    for (Component::DISPID event : { Tessory::kOnSelectEvent, Tessory::kOnSelectSequence,
             Tessory::kOnSequenceNew, Tessory::kOnSequenceDeleted })
        tessoryEvents.On(event, [&events](const QVariantList &) { ++events; });
    tessoryEvents.Connect(tessoryHost->Object().Get());

    page.resize(kWidth, 2 * kHeight);
    page.show();
    QApplication::processEvents();
    tessory.Call(Tessory::kSetFirstVisibleTS, { ToOleDate(kYearStart.addDays(150)) });
    plenora.Call(Plenora::kSetFirstVisibleTS, { ToOleDate(kYearStart.addDays(150)) });
    QWidget *tessoryWindow = tessoryHost->ControlWindow();
    QWidget *plenoraWindow = plenoraHost->ControlWindow();

    for (const int zoom : { 1, 7 }) {
        tessory.Put(Tessory::kZoom, zoom);
        plenora.Put(Plenora::kZoom, zoom);
        if (zoom == 7) {
            tessory.Call(Tessory::kSetFirstVisibleTS, { ToOleDate(kYearStart.addDays(-7)) });
            plenora.Call(Plenora::kSetFirstVisibleTS, { ToOleDate(kYearStart.addDays(-7)) });
        }
        for (const bool withBars : { false, true }) {
            const QByteArray suffix = "_zoom" + QByteArray::number(zoom) + (withBars ? "_with_bars" : "");
            Bench::Report(("tessory_repaint" + suffix).constData(), RepaintMs(tessoryWindow, withBars), "ms");
            Bench::Report(("plenora_repaint" + suffix).constData(), RepaintMs(plenoraWindow, withBars), "ms");
        }
    }
    tessory.Put(Tessory::kZoom, 1);
    plenora.Put(Plenora::kZoom, 1);
    tessory.Call(Tessory::kSetFirstVisibleTS, { ToOleDate(kYearStart.addDays(150)) });
    plenora.Call(Plenora::kSetFirstVisibleTS, { ToOleDate(kYearStart.addDays(150)) });

    // A day inside a sequence of the fourth line (toggled by each click) and a
    // cell of the fifth row (set and cleared by turns).
    const int tessoryHeader = Extent(tessory, Tessory::kGetLineHeaderExtent).width();
    const int plenoraHeader = Extent(plenora, Plenora::kGetLineHeaderExtent).width();
    const QPoint tessoryCell(tessoryHeader + 3 * 26 + 13, 36 + 3 * Tessory::kLineHeight + 11);
    const QPoint plenoraCell(plenoraHeader + 3 * 26 + 13, 36 + 4 * Plenora::kRowHeight + 10);
    events = 0;
    Bench::Report("tessory_click", ClickMs(tessoryWindow, tessoryCell), "ms");
    Bench::Report("tessory_click_events", static_cast<double>(events) / kRuns, "events");
    Bench::Report("plenora_click", ClickMs(plenoraWindow, plenoraCell), "ms");

    if (!screens.isEmpty()) {
        // As on the treatment page: the button grid's line header as wide as
        // the graph grid's, the dates shown once, both on the same days.
        tessory.Call(Tessory::kSetMinLineHeaderExtent_Cx, { plenoraHeader });
        tessory.Call(Tessory::kSetMaxLineHeaderExtent_Cx, { plenoraHeader });
        tessory.Call(Tessory::kSetCurrentSequence, { QStringLiteral("102_7"), QString(), 21, false });
        page.resize(1000, 560);
        QApplication::processEvents();
        Save(tessoryWindow, screens + QStringLiteral("/tessory.png"));
        Save(plenoraWindow, screens + QStringLiteral("/plenora.png"));
        plenora.Call(Plenora::kDisplayColumnHeader, { false });
        QApplication::processEvents();
        Save(&page, screens + QStringLiteral("/treatment-grids.png"));
    }
    return 0;
}
