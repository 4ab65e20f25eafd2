// The button grid control, made by class id through the component layer and
// driven only through its dispatch interface, its events and real mouse input.
#include "modules/GridTestSupport.h"

#include "Tessory/TessoryIds.h"
#include "TimeGrid/Metrics.h"

#include "component/DispatchDriver.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QSpinBox>

using namespace Component;
using namespace Tessory;
using GridTest::Fired;
using GridTest::HostedControl;
using GridTest::Ole;

namespace {

const QDate kMarch1(2009, 3, 1);
const OLE_COLOR kRed = Rgb(200, 30, 30);

DispatchDriver MakeWindowless()
{
    return DispatchDriver(CreateInstance<IDispatch>(kClsidTessory));
}

// A grid with two lines, showing March 2009 from its first day.
struct Grid : HostedControl
{
    Grid()
        : HostedControl(kClsidTessory, QSize(800, 200),
            { kOnSequenceNew, kOnSelectEvent, kOnSequenceDeleted, kOnSelectSequence,
                kOnFirstVisibleTSChanged })
    {
        Dispatch().Call(kAddNewLine, { QStringLiteral("arnica"), QStringLiteral("Arnica 30C"), kRed });
        Dispatch().Call(
            kAddNewLine, { QStringLiteral("bryonia"), QStringLiteral("Bryonia 9C"), Rgb(0, 0, 255) });
        Dispatch().Call(kSetFirstVisibleTS, { Ole(kMarch1) });
    }

    // The centre of the cell of a line and a day of March 2009.
    QPoint Cell(int line, int day) const
    {
        const int header = Extent(kGetLineHeaderExtent).width();
        return QPoint(header + (day - 1) * TimeGrid::kColumnWidth + TimeGrid::kColumnWidth / 2,
            TimeGrid::kColumnHeaderHeight + line * kLineHeight + kLineHeight / 2);
    }
    void Click(int line, int day) { QTest::mouseClick(Window(), Qt::LeftButton, {}, Cell(line, day)); }
    bool Selected(const QString &line, int index, int day) const
    {
        return Dispatch().Call(kIsDTSelected, { line, QString(), index, Ole(QDate(2009, 3, day)) }) == S_OK;
    }
    QDate Bound(DISPID member, const QString &line, int index) const
    {
        return Verdanta::FromOleDate(Result(member, { line, QString(), index }).toDouble()).date();
    }
};

double March(int day)
{
    return Ole(QDate(2009, 3, day));
}

} // namespace

TEST(Tessory, RegistersTheControlAndItsPropertyPage)
{
    GridTest::ExpectControlRegistered(QStringLiteral("Tessory"), kClsidTessory, kClsidTessoryPropPage);
    EXPECT_EQ(QStringLiteral("TESSORY.TessoryCtrl.1"), QLatin1String(kProgIdTessory));

    // The about box does not block the container.
    Grid grid;
    EXPECT_HR(S_OK, grid.Dispatch().Call(kAboutBox));
    auto *about = grid.Window()->findChild<QMessageBox *>(QStringLiteral("AboutBox"));
    ASSERT_NE(nullptr, about);
    EXPECT_TRUE(about->isVisible());
    about->close();
}

TEST(Tessory, PropertyPageShowsTheSettingsAndAppliesTheChangedOnes)
{
    Grid grid;
    grid.Dispatch().Put(kZoom, 3);
    DispatchDriver other = MakeWindowless();
    GridTest::PropertyPage page(kClsidTessoryPropPage, { grid.Host()->Object().Get(), other.Dispatch() });
    ASSERT_TRUE(page.window);
    auto *zoom = page.Field<QSpinBox>("zoom");
    ASSERT_TRUE(zoom);
    EXPECT_EQ(3, zoom->value()); // the first object's
    EXPECT_HR(S_FALSE, page.page->IsPageDirty());

    // Values the control cannot be asked for are written only when ticked.
    zoom->setValue(1);
    page.Field<QCheckBox>("firstVisibleSet")->setChecked(true);
    page.Field<QDateEdit>("firstVisible")->setDate(QDate(2009, 3, 10));
    page.Field<QCheckBox>("minLineHeaderSet")->setChecked(true);
    page.Field<QSpinBox>("minLineHeader")->setValue(250);
    page.Field<QSpinBox>("maxLineHeader")->setValue(20);
    EXPECT_HR(S_OK, page.page->IsPageDirty());
    EXPECT_EQ(3, grid.Dispatch().Get(kZoom).toInt()); // nothing before Apply

    EXPECT_HR(S_OK, page.page->Apply());
    EXPECT_HR(S_FALSE, page.page->IsPageDirty());
    EXPECT_EQ(1, grid.Dispatch().Get(kZoom).toInt());
    EXPECT_EQ(1, other.Get(kZoom).toInt());
    EXPECT_EQ(250, grid.Extent(kGetLineHeaderExtent).width());
    grid.Click(0, 1); // the leftmost column
    ASSERT_FALSE(grid.fired.isEmpty());
    EXPECT_EQ((Fired { kOnSelectEvent, { QStringLiteral("arnica"), March(10) } }), grid.fired.first());

    // The widest bound, once ticked, holds the header below the names' width.
    page.Field<QSpinBox>("minLineHeader")->setValue(0);
    page.Field<QCheckBox>("maxLineHeaderSet")->setChecked(true);
    EXPECT_HR(S_OK, page.page->Apply());
    EXPECT_EQ(20, grid.Extent(kGetLineHeaderExtent).width());

    // Objects without a dispatch interface are refused.
    EXPECT_HR(E_POINTER, page.page->SetObjects({ nullptr }));
    EXPECT_HR(S_OK, page.page->Apply());
}

TEST(Tessory, LinesAreAddressedByIdentifierOrIndexAndAbsentOnesFail)
{
    // No window: the control keeps its state and answers all the same.
    DispatchDriver grid = MakeWindowless();
    ASSERT_TRUE(grid.IsValid());
    EXPECT_HR(S_OK, grid.Call(kAddNewLine, { QStringLiteral("a"), QStringLiteral("A"), kRed }));
    EXPECT_HR(S_OK, grid.Call(kAddNewLine, { QStringLiteral("b"), QStringLiteral("B"), kRed }));
    EXPECT_HR(S_OK, grid.Call(kAddNewLine, { QStringLiteral("c"), QStringLiteral("C"), kRed }));
    EXPECT_HR(E_FAIL, grid.Call(kAddNewLine, { QStringLiteral("a"), QStringLiteral("again"), kRed }));
    QVariant result;
    grid.Call(kGetLinesNo, {}, &result);
    EXPECT_EQ(3, result.toInt());
    grid.Call(kGetLineID, { 1 }, &result);
    EXPECT_EQ(QStringLiteral("b"), result.toString());
    grid.Call(kGetLineID, { 3 }, &result);
    EXPECT_EQ(QString(), result.toString());

    EXPECT_HR(S_OK, grid.Call(kUpdateLine, { QStringLiteral("b"), QStringLiteral("B2"), kRed }));
    EXPECT_HR(E_FAIL, grid.Call(kUpdateLine, { QStringLiteral("x"), QStringLiteral("X"), kRed }));
    EXPECT_HR(S_OK, grid.Call(kSetLineData, { 2, QStringLiteral("d"), QStringLiteral("D"), kRed, false }));
    EXPECT_HR(E_FAIL, grid.Call(kSetLineData, { 2, QStringLiteral("a"), QStringLiteral("D"), kRed, true }));
    EXPECT_HR(E_FAIL, grid.Call(kSetLineData, { 7, QStringLiteral("e"), QStringLiteral("E"), kRed, true }));

    // By identifier (the index is ignored), else by index.
    EXPECT_HR(S_OK, grid.Call(kRemoveLine, { QStringLiteral("d"), 0 }));
    EXPECT_HR(S_OK, grid.Call(kRemoveLine, { QString(), 0 }));
    EXPECT_HR(E_FAIL, grid.Call(kRemoveLine, { QStringLiteral("a"), 0 }));
    EXPECT_HR(E_FAIL, grid.Call(kRemoveLine, { QString(), 1 }));
    grid.Call(kGetLineID, { 0 }, &result);
    EXPECT_EQ(QStringLiteral("b"), result.toString());

    // Absent lines and sequences: E_FAIL, 0, empty text or the date 0.
    grid.Call(kGetSequenceNo, { QStringLiteral("x") }, &result);
    EXPECT_EQ(0, result.toInt());
    grid.Call(kGetCurrentSequence, { QStringLiteral("x") }, &result);
    EXPECT_EQ(QString(), result.toString());
    grid.Call(kGetSequenceStart, { QStringLiteral("b"), QString(), 0 }, &result);
    EXPECT_EQ(0.0, result.toDouble());
    EXPECT_HR(E_FAIL, grid.Call(kAddNewSequence, { QStringLiteral("x"), QStringLiteral("1") }));
    EXPECT_HR(E_FAIL, grid.Call(kSelectDT, { QStringLiteral("b"), QStringLiteral("1"), 0, March(3) }));
    EXPECT_HR(E_FAIL, grid.Call(kRemoveSequence, { QStringLiteral("b"), QString(), 0 }));
    EXPECT_HR(E_FAIL, grid.Call(kSetCurrentSequence, { QStringLiteral("b"), QString(), 0, false }));
    EXPECT_HR(E_FAIL, grid.Call(kSetSequenceID, { QStringLiteral("b"), 0, QStringLiteral("5") }));
}

TEST(Tessory, SequencesAreFoundByIdentifierTextOrElseByIndex)
{
    DispatchDriver grid = MakeWindowless();
    const QString line = QStringLiteral("arnica");
    grid.Call(kAddNewLine, { line, QStringLiteral("Arnica"), kRed });
    ASSERT_HR(S_OK, grid.Call(kAddNewSequence, { line, QStringLiteral("9000000000") }));
    ASSERT_HR(S_OK, grid.Call(kAddNewSequence, { line, QStringLiteral("-7") }));
    EXPECT_HR(E_FAIL, grid.Call(kAddNewSequence, { line, QStringLiteral("12abc") }));
    QVariant result;
    grid.Call(kGetSequenceNo, { line }, &result);
    EXPECT_EQ(2, result.toInt());

    // A new sequence starts and ends today.
    const double today = Ole(QDate::currentDate());
    grid.Call(kGetSequenceStart, { line, QStringLiteral("-7"), 0 }, &result);
    EXPECT_EQ(today, result.toDouble());
    grid.Call(kGetSequenceEnd, { line, QString(), 1 }, &result);
    EXPECT_EQ(today, result.toDouble());

    // With a text the index is ignored; without one the index counts.
    ASSERT_HR(S_OK, grid.Call(kSelectDT, { line, QStringLiteral("-7"), 0, March(3) }));
    EXPECT_HR(S_OK, grid.Call(kIsDTSelected, { line, QString(), 1, March(3) }));
    EXPECT_HR(E_FAIL, grid.Call(kIsDTSelected, { line, QString(), 0, March(3) }));
    EXPECT_HR(E_FAIL, grid.Call(kIsDTSelected, { line, QStringLiteral("1"), 1, March(3) }));
    EXPECT_HR(E_FAIL, grid.Call(kIsDTSelected, { line, QStringLiteral("abc"), 1, March(3) }));

    // Current sequence: empty text without one; kept right when an earlier sequence goes.
    grid.Call(kGetCurrentSequence, { line }, &result);
    EXPECT_EQ(QString(), result.toString());
    ASSERT_HR(S_OK, grid.Call(kSetCurrentSequence, { line, QString(), 1, false }));
    grid.Call(kGetCurrentSequence, { line }, &result);
    EXPECT_EQ(QStringLiteral("-7"), result.toString());
    ASSERT_HR(S_OK, grid.Call(kRemoveSequence, { line, QStringLiteral("9000000000"), 5 }));
    grid.Call(kGetCurrentSequence, { line }, &result);
    EXPECT_EQ(QStringLiteral("-7"), result.toString());
    ASSERT_HR(S_OK, grid.Call(kSetSequenceID, { line, 0, QStringLiteral("42") }));
    grid.Call(kGetCurrentSequence, { line }, &result);
    EXPECT_EQ(QStringLiteral("42"), result.toString());
    ASSERT_HR(S_OK, grid.Call(kResetCurrentSequence));
    grid.Call(kGetCurrentSequence, { line }, &result);
    EXPECT_EQ(QString(), result.toString());
}

TEST(Tessory, SelectingBeforeOrAfterMovesTheBoundAndInsideToggles)
{
    DispatchDriver grid = MakeWindowless();
    const QString line = QStringLiteral("arnica");
    grid.Call(kAddNewLine, { line, QStringLiteral("Arnica"), kRed });
    grid.Call(kAddNewSequence, { line, QStringLiteral("1") });
    const auto bounds = [&] {
        QVariant start;
        QVariant end;
        grid.Call(kGetSequenceStart, { line, QStringLiteral("1"), 0 }, &start);
        grid.Call(kGetSequenceEnd, { line, QStringLiteral("1"), 0 }, &end);
        return std::make_pair(start.toDouble(), end.toDouble());
    };
    const auto selected = [&](int day) {
        return grid.Call(kIsDTSelected, { line, QStringLiteral("1"), 0, March(day) }) == S_OK;
    };

    // A sequence with no selected day yet takes the first selected day as its
    // range, rather than stretching from today back to that day.
    ASSERT_HR(S_OK, grid.Call(kSelectDT, { line, QStringLiteral("1"), 0, March(10) + 0.75 }));
    EXPECT_EQ(std::make_pair(March(10), March(10)), bounds());
    grid.Call(kSelectDT, { line, QStringLiteral("1"), 0, March(5) });
    grid.Call(kSelectDT, { line, QStringLiteral("1"), 0, March(14) });
    EXPECT_EQ(std::make_pair(March(5), March(14)), bounds());
    EXPECT_TRUE(selected(5) && selected(10) && selected(14));
    EXPECT_FALSE(selected(6) || selected(13) || selected(4) || selected(15));

    grid.Call(kSelectDT, { line, QStringLiteral("1"), 0, March(7) }); // inside: toggles on
    grid.Call(kSelectDT, { line, QStringLiteral("1"), 0, March(10) }); // and off
    EXPECT_TRUE(selected(7));
    EXPECT_FALSE(selected(10));
    EXPECT_EQ(std::make_pair(March(5), March(14)), bounds()); // clearing inside keeps the range

    // Clearing the last selected day shrinks the range to that day.
    for (int day : { 5, 7, 14 })
        grid.Call(kSelectDT, { line, QStringLiteral("1"), 0, March(day) });
    EXPECT_EQ(std::make_pair(March(14), March(14)), bounds());
    EXPECT_FALSE(selected(14));

    EXPECT_HR(E_FAIL, grid.Call(kSelectDT, { line, QStringLiteral("1"), 0, std::nan("") }));
    EXPECT_HR(E_FAIL, grid.Call(kSelectDT, { line, QStringLiteral("1"), 0, 1e9 }));
    EXPECT_HR(
        DISP_E_TYPEMISMATCH, grid.Call(kSelectDT, { line, QStringLiteral("1"), 0, QStringLiteral("3/5") }));
}

TEST(Tessory, ZoomIsClampedAndTheLineHeaderFollowsTheContainersBounds)
{
    Grid grid;
    for (const auto &[put, expected] : { std::pair { 0, 1 }, { -3, 1 }, { 7, 7 }, { 25, 20 } }) {
        EXPECT_HR(S_OK, grid.Dispatch().Put(kZoom, put));
        EXPECT_EQ(expected, grid.Dispatch().Get(kZoom).toInt()) << put;
    }
    EXPECT_HR(DISP_E_OVERFLOW, grid.Dispatch().Put(kZoom, 40000));

    grid.Dispatch().Call(kSetMinLineHeaderExtent_Cx, { 180 });
    EXPECT_EQ(180, grid.Extent(kGetLineHeaderExtent).width());
    grid.Dispatch().Call(kSetMinLineHeaderExtent_Cx, { 0 });
    grid.Dispatch().Call(kSetMaxLineHeaderExtent_Cx, { 40 });
    EXPECT_EQ(40, grid.Extent(kGetLineHeaderExtent).width());
    grid.Dispatch().Call(kSetMinLineHeaderExtent_Cx, { 120 }); // the minimum wins
    EXPECT_EQ(120, grid.Extent(kGetLineHeaderExtent).width());

    const QSize line = grid.Extent(kGetLineHeaderExtent);
    const QSize column = grid.Extent(kGetColumnHeaderExtent);
    const QSize content = grid.Extent(kGetContentExtent);
    const int scrollBar = TimeGrid::kScrollBarExtent;
    EXPECT_EQ(QSize(120, 200 - scrollBar - TimeGrid::kColumnHeaderHeight), line);
    EXPECT_EQ(QSize(800 - scrollBar - 120, TimeGrid::kColumnHeaderHeight), column);
    EXPECT_EQ(QSize(column.width(), line.height()), content);
}

TEST(Tessory, ClickOutsideEverySequenceMakesAOneDaySequence)
{
    Grid grid;
    grid.Click(0, 4);
    const QString line = QStringLiteral("arnica");
    EXPECT_EQ(
        QList<Fired>({ { kOnSelectEvent, { line, March(4) } }, { kOnSequenceNew, { line } } }), grid.fired);
    EXPECT_EQ(1, grid.Result(kGetSequenceNo, { line }).toInt());
    EXPECT_EQ(QDate(2009, 3, 4), grid.Bound(kGetSequenceStart, line, 0));
    EXPECT_EQ(QDate(2009, 3, 4), grid.Bound(kGetSequenceEnd, line, 0));
    EXPECT_TRUE(grid.Selected(line, 0, 4));
    EXPECT_EQ(0, grid.Result(kGetSequenceNo, { QStringLiteral("bryonia") }).toInt());

    // Not the current sequence: another day elsewhere makes another one.
    grid.fired.clear();
    grid.Click(0, 9);
    EXPECT_EQ(2, grid.fired.size());
    EXPECT_EQ(2, grid.Result(kGetSequenceNo, { line }).toInt());

    // Pressing beside the cells (line header, column header, below the lines) does nothing.
    grid.fired.clear();
    QTest::mouseClick(grid.Window(), Qt::LeftButton, {}, QPoint(5, grid.Cell(0, 4).y()));
    QTest::mouseClick(grid.Window(), Qt::LeftButton, {}, QPoint(grid.Cell(0, 4).x(), 10));
    QTest::mouseClick(grid.Window(), Qt::LeftButton, {}, grid.Cell(3, 4));
    EXPECT_TRUE(grid.fired.isEmpty());
}

TEST(Tessory, ClickInsideASequenceTogglesItsDayAndReportsWhenItEmpties)
{
    Grid grid;
    const QString line = QStringLiteral("arnica");
    grid.Dispatch().Call(kAddNewSequence, { line, QStringLiteral("77") });
    grid.Dispatch().Call(kSelectDT, { line, QStringLiteral("77"), 0, March(3) });
    grid.Dispatch().Call(kSelectDT, { line, QStringLiteral("77"), 0, March(6) });

    grid.Click(0, 5); // inside, not selected: selects
    grid.Click(0, 3); // inside, selected: clears
    EXPECT_EQ(QList<Fired>({ { kOnSelectEvent, { line, March(5) } },
                  { kOnSelectSequence, { line, QStringLiteral("77"), 0, March(5), true } },
                  { kOnSelectEvent, { line, March(3) } },
                  { kOnSelectSequence, { line, QStringLiteral("77"), 0, March(3), false } } }),
        grid.fired);
    EXPECT_TRUE(grid.Selected(line, 0, 5));
    EXPECT_FALSE(grid.Selected(line, 0, 3));

    grid.fired.clear();
    grid.Click(0, 5);
    grid.Click(0, 6);
    ASSERT_EQ(5, grid.fired.size());
    EXPECT_EQ((Fired { kOnSequenceDeleted, { line, QStringLiteral("77"), 0 } }), grid.fired.last());
    // The container decides whether the sequence goes; it stays until removed.
    EXPECT_EQ(1, grid.Result(kGetSequenceNo, { line }).toInt());
}

TEST(Tessory, ClickExtendsTheCurrentSequenceToTheDay)
{
    Grid grid;
    const QString line = QStringLiteral("bryonia");
    grid.Dispatch().Call(kAddNewSequence, { line, QStringLiteral("5") });
    grid.Dispatch().Call(kSelectDT, { line, QStringLiteral("5"), 0, March(2) });
    ASSERT_HR(S_OK, grid.Dispatch().Call(kSetCurrentSequence, { line, QString(), 0, false }));

    grid.Click(1, 8);
    EXPECT_EQ(QList<Fired>({ { kOnSelectEvent, { line, March(8) } },
                  { kOnSelectSequence, { line, QStringLiteral("5"), 0, March(8), true } } }),
        grid.fired);
    EXPECT_EQ(QDate(2009, 3, 8), grid.Bound(kGetSequenceEnd, line, 0));
    EXPECT_TRUE(grid.Selected(line, 0, 8));
    EXPECT_FALSE(grid.Selected(line, 0, 5));
    EXPECT_EQ(1, grid.Result(kGetSequenceNo, { line }).toInt());
}

TEST(Tessory, ClickOnAnInactiveLineOnlyReportsTheDay)
{
    Grid grid;
    ASSERT_HR(S_OK,
        grid.Dispatch().Call(kSetLineData,
            { 1, QStringLiteral("more"), QStringLiteral("Click here to add -->"), Rgb(255, 255, 255),
                false }));
    grid.Click(1, 12);
    EXPECT_EQ(QList<Fired>({ { kOnSelectEvent, { QStringLiteral("more"), March(12) } } }), grid.fired);
    EXPECT_EQ(0, grid.Result(kGetSequenceNo, { QStringLiteral("more") }).toInt());
}

TEST(Tessory, ContainerMayChangeTheLinesWhileAClickIsReported)
{
    Grid grid;
    grid.onEvent = [&grid](DISPID event, const QVariantList &arguments) {
        if (event == kOnSelectEvent && arguments[0] == QStringLiteral("arnica"))
            grid.Dispatch().Call(kRemoveLine, { QStringLiteral("arnica"), 0 });
        if (event == kOnSelectSequence)
            grid.Dispatch().Call(kRemoveSequence, { arguments[0], QString(), arguments[2] });
    };
    grid.Click(0, 4);
    EXPECT_EQ(1, grid.fired.size()); // the line went: nothing more
    EXPECT_EQ(1, grid.Result(kGetLinesNo).toInt());

    // Now "bryonia" is line 0; its sequence goes while its day is reported.
    grid.Dispatch().Call(kAddNewSequence, { QStringLiteral("bryonia"), QStringLiteral("1") });
    grid.Dispatch().Call(kSelectDT, { QStringLiteral("bryonia"), QString(), 0, March(4) });
    grid.fired.clear();
    grid.Click(0, 4);
    EXPECT_EQ(2, grid.fired.size());
    EXPECT_EQ(0, grid.Result(kGetSequenceNo, { QStringLiteral("bryonia") }).toInt());
}

TEST(Tessory, ToolTipShowsTheCellAfterItsDelay)
{
    Grid grid;
    QTest::mouseMove(grid.Window(), grid.Cell(0, 5));
    QLabel *tip = grid.ToolTip();
    ASSERT_NE(nullptr, tip);
    QTest::qWait(120);
    EXPECT_FALSE(tip->isVisible()); // not before its delay
    ASSERT_TRUE(TestSupport::WaitFor([tip] { return tip->isVisible(); }, 2000));
    EXPECT_EQ(QStringLiteral("March 05, 2009    Arnica 30C"), tip->text());
    EXPECT_EQ(QColor(190, 190, 255), tip->palette().color(QPalette::Window));
    EXPECT_EQ(QStringLiteral("Arial"), tip->font().family());

    QTest::mousePress(grid.Window(), Qt::LeftButton, {}, grid.Cell(0, 5));
    EXPECT_FALSE(tip->isVisible());
    QTest::mouseRelease(grid.Window(), Qt::LeftButton, {}, grid.Cell(0, 5));
    QTest::mouseMove(grid.Window(), grid.Cell(1, 6));
    ASSERT_TRUE(TestSupport::WaitFor([tip] { return tip->isVisible(); }, 2000));
    EXPECT_EQ(QStringLiteral("March 06, 2009    Bryonia 9C"), tip->text());
    QTest::mouseMove(grid.Window(), QPoint(grid.Cell(0, 6).x(), 5)); // the column header: no cell
    EXPECT_FALSE(tip->isVisible());
}

TEST(Tessory, ScrollingByTheUserOrToTheCurrentSequenceReportsTheFirstVisibleDay)
{
    Grid grid;
    auto *bar = grid.Window()->findChild<QScrollBar *>();
    ASSERT_NE(nullptr, bar);
    ASSERT_EQ(Qt::Horizontal, bar->orientation());
    EXPECT_TRUE(grid.fired.isEmpty()); // the container's own scrolling is not reported

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(QList<Fired>({ { kOnFirstVisibleTSChanged, { March(2) } } }), grid.fired);
    grid.Dispatch().Put(kZoom, 7);
    grid.fired.clear();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ASSERT_EQ(1, grid.fired.size());
    // The scroll position counts weeks now: 2 March 2009 is day 39874, in
    // week 5696; one step on is week 5697, whose first day is 7 March.
    EXPECT_EQ(March(7), grid.fired[0].arguments[0].toDouble());

    grid.fired.clear();
    grid.Dispatch().Call(kAddNewSequence, { QStringLiteral("arnica"), QStringLiteral("3") });
    grid.Dispatch().Call(
        kSelectDT, { QStringLiteral("arnica"), QStringLiteral("3"), 0, Ole(QDate(2010, 6, 1)) });
    grid.Dispatch().Call(kSetCurrentSequence, { QStringLiteral("arnica"), QStringLiteral("3"), 0, true });
    EXPECT_EQ(QList<Fired>({ { kOnFirstVisibleTSChanged, { Ole(QDate(2010, 6, 1)) } } }), grid.fired);
}

TEST(Tessory, DrawsSelectedDaysInTheLineColourAndTheRestAsButtons)
{
    Grid grid;
    grid.Click(0, 4);
    grid.Click(1, 6);
    EXPECT_EQ(Component::ColorFromOle(kRed), grid.Pixel(grid.Cell(0, 4)));
    EXPECT_EQ(QColor(0, 0, 255), grid.Pixel(grid.Cell(1, 6)));
    const QColor idle = grid.Pixel(grid.Cell(0, 5));
    EXPECT_NE(Component::ColorFromOle(kRed), idle);
    EXPECT_NE(QColor(Qt::white), idle);
    EXPECT_EQ(QColor(Qt::white), grid.Pixel(grid.Cell(3, 5))); // no line there
}
