// The graph grid control, made by class id through the component layer and
// driven only through its dispatch interface, its event and real mouse input.
#include "modules/GridTestSupport.h"

#include "Plenora/PlenoraIds.h"
#include "TimeGrid/Metrics.h"

#include "component/DispatchDriver.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QSpinBox>

#include <cmath>

using namespace Component;
using namespace Plenora;
using GridTest::Fired;
using GridTest::HostedControl;
using GridTest::Ole;

namespace {

const OLE_COLOR kRed = Rgb(255, 0, 0);
const OLE_COLOR kGreen = Rgb(0, 128, 0);

double March(int day)
{
    return Ole(QDate(2009, 3, day));
}

DispatchDriver MakeWindowless()
{
    return DispatchDriver(CreateInstance<IDispatch>(kClsidPlenora));
}

// A grid of 800 x 300 pixels with graphs "0" (red) and "1" (green), showing
// March 2009 from its first day.
struct Grid : HostedControl
{
    explicit Grid(int height = 300)
        : HostedControl(kClsidPlenora, QSize(800, height), { kOnFirstVisibleTSChanged })
    {
        Dispatch().Call(kAddNewGraph, { QStringLiteral("0"), QStringLiteral("MENTAL"), kRed });
        Dispatch().Call(kAddNewGraph, { QStringLiteral("1"), QStringLiteral("PHYSICAL"), kGreen });
        Dispatch().Call(kSetFirstVisibleTS, { March(1) });
    }

    // The cell of a row and a day of March 2009.
    QRect Cell(int row, int day) const
    {
        return QRect(kLineHeaderWidth + (day - 1) * TimeGrid::kColumnWidth,
            TimeGrid::kColumnHeaderHeight + row * kRowHeight, TimeGrid::kColumnWidth, kRowHeight);
    }
    QPoint DotCentre(int row, int day) const { return Cell(row, day).topLeft() + QPoint(13, 10); }
    void Click(int row, int day) { QTest::mouseClick(Window(), Qt::LeftButton, {}, DotCentre(row, day)); }
    bool Has(const QString &graph, int day, int row) const
    {
        return Result(kIsDTSelected, { graph, March(day), row }).toBool();
    }
};

} // namespace

TEST(Plenora, RegistersTheControlAndItsPropertyPage)
{
    GridTest::ExpectControlRegistered(QStringLiteral("Plenora"), kClsidPlenora, kClsidPlenoraPropPage);
    EXPECT_EQ(QStringLiteral("PLENORA.PlenoraCtrl.1"), QLatin1String(kProgIdPlenora));
}

TEST(Plenora, PropertyPageShowsTheSettingsAndAppliesTheChangedOnes)
{
    Grid grid;
    GridTest::PropertyPage page(kClsidPlenoraPropPage, { grid.Host()->Object().Get() });
    ASSERT_TRUE(page.window);
    auto *graph = page.Field<QSpinBox>("currentGraph");
    ASSERT_TRUE(graph);
    EXPECT_EQ(QStringLiteral("None"), graph->text()); // -1
    EXPECT_EQ(1, page.Field<QSpinBox>("zoom")->value());
    EXPECT_EQ(Qt::PartiallyChecked, page.Field<QCheckBox>("lineHeader")->checkState());

    graph->setValue(1);
    page.Field<QCheckBox>("firstVisibleSet")->setChecked(true);
    page.Field<QDateEdit>("firstVisible")->setDate(QDate(2009, 3, 10));
    page.Field<QCheckBox>("lineHeader")->setCheckState(Qt::Unchecked);
    EXPECT_HR(S_OK, page.page->IsPageDirty());
    EXPECT_HR(S_OK, page.page->Apply());

    EXPECT_EQ(QStringLiteral("1"), grid.Dispatch().Get(kCurrentGraph).toString());
    EXPECT_EQ(0, grid.Extent(kGetLineHeaderExtent).width());
    // A partly ticked box leaves its header as it was.
    EXPECT_EQ(TimeGrid::kColumnHeaderHeight, grid.Extent(kGetColumnHeaderExtent).height());
    // A click in the leftmost column, now 10 March without the labels before
    // it, sets a point of graph "1".
    QTest::mouseClick(grid.Window(), Qt::LeftButton, {},
        QPoint(TimeGrid::kColumnWidth / 2, TimeGrid::kColumnHeaderHeight + 3 * kRowHeight + kRowHeight / 2));
    EXPECT_TRUE(grid.Has(QStringLiteral("1"), 10, 3));
    EXPECT_FALSE(grid.Has(QStringLiteral("0"), 10, 3));
}

TEST(Plenora, GraphsAreAddedOnceAndRemovedByIndex)
{
    DispatchDriver grid = MakeWindowless();
    QVariant result;
    grid.Call(kGetYAxis, {}, &result);
    EXPECT_EQ(10, result.toInt());
    for (const char *id : { "a", "b", "c", "a" })
        EXPECT_HR(S_OK, grid.Call(kAddNewGraph, { QLatin1String(id), QStringLiteral("name"), kRed }));
    grid.Call(kGetGraphsNo, {}, &result);
    EXPECT_EQ(3, result.toInt());
    EXPECT_HR(S_OK, grid.Call(kUpdateGraph, { QStringLiteral("b"), QStringLiteral("B"), kGreen }));
    EXPECT_HR(S_FALSE, grid.Call(kUpdateGraph, { QStringLiteral("x"), QStringLiteral("X"), kGreen }));
    EXPECT_HR(S_OK, grid.Call(kSetGraphVisible, { QStringLiteral("c"), false }));
    EXPECT_HR(S_FALSE, grid.Call(kSetGraphVisible, { QStringLiteral("x"), false }));

    // The index decides, whatever graph the identifier names.
    EXPECT_HR(S_OK, grid.Call(kRemoveGraph, { QStringLiteral("c"), 0 }));
    EXPECT_HR(S_FALSE, grid.Call(kSelectDT, { QStringLiteral("a"), March(1), 0 }));
    EXPECT_HR(S_OK, grid.Call(kSelectDT, { QStringLiteral("c"), March(1), 0 }));
    EXPECT_HR(S_FALSE, grid.Call(kRemoveGraph, { QStringLiteral("b"), 2 }));
    EXPECT_HR(S_FALSE, grid.Call(kRemoveGraph, { QStringLiteral("b"), -1 }));
    EXPECT_HR(S_OK, grid.Call(kRemoveAllGraphs));
    grid.Call(kGetGraphsNo, {}, &result);
    EXPECT_EQ(0, result.toInt());
}

TEST(Plenora, SelectDTSetsMovesOrClearsTheDaysPoint)
{
    Grid grid;
    const QString graph = QStringLiteral("0");
    ASSERT_HR(S_OK, grid.Dispatch().Call(kSelectDT, { graph, March(5), 3 }));
    EXPECT_TRUE(grid.Has(graph, 5, 3));
    EXPECT_FALSE(grid.Has(graph, 5, 4));
    EXPECT_FALSE(grid.Has(QStringLiteral("1"), 5, 3));

    // The same calendar day at another time: another row moves the point...
    ASSERT_HR(S_OK, grid.Dispatch().Call(kSelectDT, { graph, March(5) + 0.6, 7 }));
    EXPECT_FALSE(grid.Has(graph, 5, 3));
    EXPECT_TRUE(grid.Has(graph, 5, 7));
    EXPECT_EQ(1, grid.Result(kGetGraphPointsNo, { graph }).toInt());
    // ...and the same row clears it.
    ASSERT_HR(S_OK, grid.Dispatch().Call(kSelectDT, { graph, March(5), 7 }));
    EXPECT_EQ(0, grid.Result(kGetGraphPointsNo, { graph }).toInt());

    // Failures store nothing: absent graph, a row outside 0..9, an invalid date.
    EXPECT_HR(S_FALSE, grid.Dispatch().Call(kSelectDT, { QStringLiteral("9"), March(5), 1 }));
    EXPECT_HR(S_FALSE, grid.Dispatch().Call(kSelectDT, { graph, March(5), 10 }));
    EXPECT_HR(S_FALSE, grid.Dispatch().Call(kSelectDT, { graph, March(5), -1 }));
    EXPECT_HR(S_FALSE, grid.Dispatch().Call(kSelectDT, { graph, std::nan(""), 1 }));
    EXPECT_HR(S_FALSE, grid.Dispatch().Call(kSelectDT, { graph, 1e9, 1 }));
    EXPECT_EQ(0, grid.Result(kGetGraphPointsNo, { graph }).toInt());
    EXPECT_FALSE(grid.Result(kIsDTSelected, { QStringLiteral("9"), March(5), 1 }).toBool());
}

TEST(Plenora, PointsComeBackInDateOrder)
{
    DispatchDriver grid = MakeWindowless();
    const QString graph = QStringLiteral("g");
    grid.Call(kAddNewGraph, { graph, QStringLiteral("G"), kRed });
    const QList<std::pair<QDate, int>> added { { QDate(2009, 3, 20), 1 }, { QDate(2008, 12, 31), 9 },
        { QDate(2009, 3, 2), 0 }, { QDate(2009, 1, 15), 4 } };
    for (const auto &[day, row] : added)
        ASSERT_HR(S_OK, grid.Call(kSelectDT, { graph, Ole(day), row }));

    QVariant count;
    grid.Call(kGetGraphPointsNo, { graph }, &count);
    ASSERT_EQ(4, count.toInt());
    QList<std::pair<QDate, int>> read;
    for (int index = 0; index < 4; ++index) {
        QVariantList arguments { graph, index, QVariant(), QVariant() };
        ASSERT_HR(S_OK, grid.Invoke(kGetGraphPoint, InvokeKind::Method, arguments, nullptr));
        read.append({ Verdanta::FromOleDate(arguments[2].toDouble()).date(), arguments[3].toInt() });
    }
    EXPECT_EQ((QList<std::pair<QDate, int>> { added[1], added[3], added[2], added[0] }), read);

    QVariantList outside { graph, 4, QVariant(), QVariant() };
    EXPECT_HR(S_FALSE, grid.Invoke(kGetGraphPoint, InvokeKind::Method, outside, nullptr));
    QVariantList absent { QStringLiteral("x"), 0, QVariant(), QVariant() };
    EXPECT_HR(S_FALSE, grid.Invoke(kGetGraphPoint, InvokeKind::Method, absent, nullptr));
    grid.Call(kGetGraphPointsNo, { QStringLiteral("x") }, &count);
    EXPECT_EQ(0, count.toInt());
}

TEST(Plenora, ZoomIsClampedAndCurrentGraphConvertsItsText)
{
    DispatchDriver grid = MakeWindowless();
    EXPECT_EQ(1, grid.Get(kZoom).toInt());
    for (const auto &[put, expected] : { std::pair { 0, 1 }, { -4, 1 }, { 12, 12 }, { 25, 20 } }) {
        EXPECT_HR(S_OK, grid.Put(kZoom, put));
        EXPECT_EQ(expected, grid.Get(kZoom).toInt()) << put;
    }
    EXPECT_EQ(QStringLiteral("-1"), grid.Get(kCurrentGraph).toString());
    const QList<std::pair<QString, QString>> conversions { { QStringLiteral("2"), QStringLiteral("2") },
        { QStringLiteral(" 3rd"), QStringLiteral("3") }, { QStringLiteral("none"), QStringLiteral("0") },
        { QString(), QStringLiteral("0") }, { QStringLiteral("-1"), QStringLiteral("-1") },
        { QStringLiteral("99999999999"), QStringLiteral("2147483647") } };
    for (const auto &[put, expected] : conversions) {
        EXPECT_HR(S_OK, grid.Put(kCurrentGraph, put));
        EXPECT_EQ(expected, grid.Get(kCurrentGraph).toString()) << put.toStdString();
    }
    EXPECT_HR(DISP_E_TYPEMISMATCH, grid.Put(kCurrentGraph, 2));
}

TEST(Plenora, ClickSetsTheCurrentGraphsPointAndDrawsItsDot)
{
    Grid grid;
    grid.Click(2, 4); // no current graph yet
    EXPECT_EQ(0, grid.Result(kGetGraphPointsNo, { QStringLiteral("0") }).toInt());
    EXPECT_EQ(QColor(Qt::white), grid.Pixel(grid.DotCentre(2, 4)));

    grid.Dispatch().Put(kCurrentGraph, QStringLiteral("1"));
    grid.Click(2, 4);
    EXPECT_TRUE(grid.Has(QStringLiteral("1"), 4, 2));
    EXPECT_EQ(ColorFromOle(kGreen), grid.Pixel(grid.DotCentre(2, 4)));
    // The dot keeps its margins: the cell's corner stays white.
    EXPECT_EQ(QColor(Qt::white), grid.Pixel(grid.Cell(2, 4).topLeft() + QPoint(4, 3)));

    grid.Click(2, 4); // again: cleared
    EXPECT_FALSE(grid.Has(QStringLiteral("1"), 4, 2));
    EXPECT_EQ(QColor(Qt::white), grid.Pixel(grid.DotCentre(2, 4)));

    // A graph added again keeps its colour; a hidden graph is not drawn.
    grid.Dispatch().Call(kAddNewGraph, { QStringLiteral("1"), QStringLiteral("other"), kRed });
    grid.Click(9, 6);
    EXPECT_EQ(ColorFromOle(kGreen), grid.Pixel(grid.DotCentre(9, 6)));
    grid.Dispatch().Call(kSetGraphVisible, { QStringLiteral("1"), false });
    EXPECT_EQ(QColor(Qt::white), grid.Pixel(grid.DotCentre(9, 6)));

    // At a week per column a cell stands for the first day of its week.
    grid.Dispatch().Put(kZoom, 7);
    grid.Click(8, 2);
    EXPECT_TRUE(grid.Has(QStringLiteral("1"), 8, 8));
    grid.Dispatch().Put(kZoom, 1);

    // "-1": clicks change nothing; presses on the headers do nothing.
    grid.Dispatch().Put(kCurrentGraph, QStringLiteral("-1"));
    grid.Click(5, 5);
    grid.Dispatch().Put(kCurrentGraph, QStringLiteral("0"));
    QTest::mouseClick(grid.Window(), Qt::LeftButton, {}, QPoint(40, grid.DotCentre(5, 5).y()));
    QTest::mouseClick(grid.Window(), Qt::LeftButton, {}, QPoint(grid.DotCentre(5, 5).x(), 20));
    EXPECT_EQ(0, grid.Result(kGetGraphPointsNo, { QStringLiteral("0") }).toInt());
    EXPECT_EQ(2, grid.Result(kGetGraphPointsNo, { QStringLiteral("1") }).toInt());
}

TEST(Plenora, NeighbouringPointsAreJoinedTwoPixelsWideForTheCurrentGraph)
{
    Grid grid;
    for (const char *graph : { "0", "1" }) {
        grid.Dispatch().Call(kSelectDT, { QLatin1String(graph), March(3), graph[0] == '0' ? 2 : 6 });
        grid.Dispatch().Call(kSelectDT, { QLatin1String(graph), March(4), graph[0] == '0' ? 2 : 6 });
    }
    // Pixels of a colour in the column between the two dots of a row.
    const auto thickness = [&grid](int row, const QColor &colour) {
        const QImage image = grid.Window()->grab().toImage();
        const QRect cell = grid.Cell(row, 3);
        int count = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            count += image.pixelColor(cell.left() + 22, y) == colour ? 1 : 0;
        return count;
    };
    EXPECT_EQ(1, thickness(2, ColorFromOle(kRed)));
    EXPECT_EQ(1, thickness(6, ColorFromOle(kGreen)));
    grid.Dispatch().Put(kCurrentGraph, QStringLiteral("1"));
    EXPECT_EQ(1, thickness(2, ColorFromOle(kRed)));
    EXPECT_EQ(2, thickness(6, ColorFromOle(kGreen)));

    // A point whose previous point is off screen gets no line.
    grid.Dispatch().Call(kSelectDT, { QStringLiteral("0"), March(4), 2 }); // clears the 4th
    grid.Dispatch().Call(kSelectDT, { QStringLiteral("0"), March(20), 2 });
    EXPECT_EQ(ColorFromOle(kRed), grid.Pixel(grid.Cell(2, 10).center())); // the 3rd joined to the 20th
    grid.Dispatch().Call(kSetFirstVisibleTS, { March(4) });
    EXPECT_EQ(QColor(Qt::white), grid.Pixel(grid.Cell(2, 10 - 3).center()));
    EXPECT_EQ(ColorFromOle(kRed), grid.Pixel(grid.DotCentre(2, 20 - 3)));
}

TEST(Plenora, HeadersAndScrollBarsFollowTheLayout)
{
    Grid grid;
    const int scrollBar = TimeGrid::kScrollBarExtent;
    EXPECT_EQ(QSize(kLineHeaderWidth, 300 - scrollBar - TimeGrid::kColumnHeaderHeight),
        grid.Extent(kGetLineHeaderExtent));
    EXPECT_EQ(QSize(800 - scrollBar - kLineHeaderWidth, TimeGrid::kColumnHeaderHeight),
        grid.Extent(kGetColumnHeaderExtent));
    EXPECT_HR(S_OK, grid.Dispatch().Call(kDisplayLineHeader, { false }));
    EXPECT_HR(S_OK, grid.Dispatch().Call(kDisplayColumnHeader, { false }));
    EXPECT_EQ(QSize(0, 300 - scrollBar), grid.Extent(kGetLineHeaderExtent));
    EXPECT_EQ(QSize(800 - scrollBar, 0), grid.Extent(kGetColumnHeaderExtent));

    QScrollBar *horizontal = nullptr;
    QScrollBar *vertical = nullptr;
    for (QScrollBar *bar : grid.Window()->findChildren<QScrollBar *>())
        (bar->orientation() == Qt::Horizontal ? horizontal : vertical) = bar;
    ASSERT_TRUE(horizontal && vertical);
    EXPECT_EQ(QRect(0, 300 - scrollBar, 800 - scrollBar, scrollBar), horizontal->geometry());
    EXPECT_FALSE(vertical->isEnabled()); // ten rows fit

    // 360 days around today and the points, in positions of day number / zoom.
    grid.Dispatch().Call(kSelectDT, { QStringLiteral("0"), March(1), 0 });
    grid.Dispatch().Put(kZoom, 2);
    grid.Window()->grab();
    const qint64 today = static_cast<qint64>(Ole(QDate::currentDate()));
    EXPECT_EQ(static_cast<int>(std::floor((March(1) - 360) / 2)), horizontal->minimum());
    EXPECT_EQ(static_cast<int>(std::floor((today + 360) / 2.0)), horizontal->maximum());
    EXPECT_EQ(static_cast<int>(March(1)) / 2, horizontal->value());

    Grid small(150);
    const QList<QScrollBar *> bars = small.Window()->findChildren<QScrollBar *>();
    small.Window()->grab();
    EXPECT_TRUE(std::any_of(bars.begin(), bars.end(),
        [](QScrollBar *bar) { return bar->orientation() == Qt::Vertical && bar->isEnabled(); }));
}

TEST(Plenora, ScrollingByTheUserReportsTheFirstVisibleDay)
{
    Grid grid;
    EXPECT_TRUE(grid.fired.isEmpty());
    QScrollBar *horizontal = nullptr;
    for (QScrollBar *bar : grid.Window()->findChildren<QScrollBar *>())
        horizontal = bar->orientation() == Qt::Horizontal ? bar : horizontal;
    ASSERT_NE(nullptr, horizontal);
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(QList<Fired>({ { kOnFirstVisibleTSChanged, { Ole(QDate(2009, 2, 28)) } } }), grid.fired);
    QTest::keyClick(grid.Window(), Qt::Key_Right);
    EXPECT_EQ(2, grid.fired.size());
    EXPECT_EQ(QVariantList { March(1) }, grid.fired.last().arguments);
}

TEST(Plenora, ToolTipShowsTheDayAndTheRowLabel)
{
    Grid grid;
    QTest::mouseMove(grid.Window(), grid.DotCentre(3, 5));
    QLabel *tip = grid.ToolTip();
    ASSERT_NE(nullptr, tip);
    QTest::qWait(200);
    EXPECT_FALSE(tip->isVisible()); // not before its delay
    ASSERT_TRUE(TestSupport::WaitFor([tip] { return tip->isVisible(); }, 2000));
    EXPECT_EQ(QStringLiteral("March 05, 2009    7"), tip->text());
    QTest::mouseMove(grid.Window(), QPoint(40, grid.DotCentre(3, 5).y())); // the row labels
    EXPECT_FALSE(tip->isVisible());
}
