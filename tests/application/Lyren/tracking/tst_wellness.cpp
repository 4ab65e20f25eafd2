// The wellness graphs end to end: the panel over the real graph grid control,
// the hub over a real database in a throw-away folder, "Tracking.xml" written
// and read through the real XML library.
#include "WellnessTestUtil.h"

#include "core/UserSettings.h"

#include "component/Values.h"

#include <QtCore/QDir>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSlider>

using namespace WellnessTest;

namespace {

constexpr int kColumnWidth = 26;

QDate Today()
{
    return QDate::currentDate();
}

// The centre of the cell of a day (the first visible day is today) and a row.
QPoint Cell(CWellnessPanel &panel, int dayFromToday, int row)
{
    return QPoint(panel.LineHeaderWidth() + dayFromToday * kColumnWidth + kColumnWidth / 2,
        row * Plenora::kRowHeight + Plenora::kRowHeight / 2);
}

QColor PixelAt(CWellnessPanel &panel, const QPoint &point)
{
    QCoreApplication::processEvents();
    return panel.GraphGridWindow()->grab().toImage().pixelColor(point);
}

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void WriteText(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray GraphsFile(const QByteArray &current, const QByteArray &graphs)
{
    return "<Graphs><Current_Graph>" + current + "</Current_Graph>" + graphs + "</Graphs>";
}

} // namespace

TEST(Wellness, ScoresEnteredInTheGraphsSurviveARestart)
{
    Practice practice;
    ASSERT_TRUE(practice.Open());
    CWellnessPanel &panel = practice.Panel();
    ASSERT_TRUE(practice.Grid().IsValid());
    // A click in the grid scores the current graph, the first one.
    QTest::mouseClick(panel.GraphGridWindow(), Qt::LeftButton, {}, Cell(panel, 2, 3));
    EXPECT_EQ(
        PointsInControl(practice.Grid(), 0), (std::vector<TrackingPoint> { { Today().addDays(2), 3 } }));
    // Another graph made current takes the next click.
    panel.CurrentRadio(1)->click();
    EXPECT_EQ(practice.Grid().Get(Plenora::kCurrentGraph).toString(), QStringLiteral("1"));
    QTest::mouseClick(panel.GraphGridWindow(), Qt::LeftButton, {}, Cell(panel, 0, 7));
    EXPECT_EQ(PointsInControl(practice.Grid(), 1), (std::vector<TrackingPoint> { { Today(), 7 } }));
    // The practitioner names and shows the fourth graph.
    panel.NameField(3)->setText(QStringLiteral("SLEEP"));
    panel.VisibleBox(3)->click();

    ASSERT_TRUE(practice.Reopen());
    EXPECT_EQ(
        PointsInControl(practice.Grid(), 0), (std::vector<TrackingPoint> { { Today().addDays(2), 3 } }));
    EXPECT_EQ(PointsInControl(practice.Grid(), 1), (std::vector<TrackingPoint> { { Today(), 7 } }));
    EXPECT_EQ(panel.NameField(3)->text(), QStringLiteral("SLEEP"));
    EXPECT_TRUE(panel.VisibleBox(3)->isChecked());
    EXPECT_TRUE(panel.CurrentRadio(1)->isChecked());
    EXPECT_FALSE(panel.CurrentRadio(0)->isChecked());
    EXPECT_EQ(practice.Grid().Get(Plenora::kCurrentGraph).toString(), QStringLiteral("1"));
    const QString text = ReadText(practice.TrackingPath(practice.PatientIds()[0]));
    EXPECT_TRUE(text.contains(QStringLiteral("<Current_Graph>1</Current_Graph>"))) << text.toStdString();
    EXPECT_TRUE(
        text.contains(Today().addDays(2).toString(QStringLiteral("ddMMyyyy")) + QStringLiteral("-03;")))
        << text.toStdString();
}

TEST(Wellness, ValuesOfHundredAndMoreSurviveASaveAndReload)
{
    Practice practice;
    const QString path = practice.TrackingPath(practice.PatientIds()[0]);
    WriteText(path,
        GraphsFile("0",
            "<Graph><Name>MENTAL</Name><Points>07032009-05;08032009-100;09032009-07;10032009-123;</Points>"
            "<Color>255</Color><Visible>1</Visible></Graph>"));
    ASSERT_TRUE(practice.Open());
    // The control shows the rows it has; the other scores are kept.
    EXPECT_EQ(PointsInControl(practice.Grid(), 0),
        (std::vector<TrackingPoint> { { QDate(2009, 3, 7), 5 }, { QDate(2009, 3, 9), 7 } }));
    // A new score on the day of one of them takes its place.
    practice.Grid().Call(
        Plenora::kSelectDT, { QStringLiteral("0"), Verdanta::ToOleDate(QDate(2009, 3, 10)), 2 });
    ASSERT_EQ(practice.Save(), 1);

    TrackingDocument saved;
    ASSERT_EQ(TrackingFile::Read(path, &saved), TrackingFile::ReadResult::Loaded);
    ASSERT_EQ(saved.graphs.size(), 1u);
    EXPECT_EQ(saved.graphs[0].points,
        (std::vector<TrackingPoint> { { QDate(2009, 3, 7), 5 }, { QDate(2009, 3, 8), 100 },
            { QDate(2009, 3, 9), 7 }, { QDate(2009, 3, 10), 2 } }));
    EXPECT_TRUE(ReadText(path).contains(QStringLiteral("08032009-100;")));
}

TEST(Wellness, APatientWithoutAFileShowsTheDefaultGraphs)
{
    Practice practice;
    const QStringList ids = practice.PatientIds();
    WriteText(practice.TrackingPath(ids[0]),
        GraphsFile("2",
            "<Graph><Name>Joy</Name><Points>07032009-05;</Points><Color>16711935</Color><Visible>0</"
            "Visible></Graph>"
            "<Graph><Name>Pain</Name><Points>07032009-01;</Points><Color>65535</Color><Visible>1</Visible></"
            "Graph>"
            "<Graph><Name>Calm</Name><Points/><Color>8421504</Color><Visible>1</Visible></Graph>"));
    ASSERT_TRUE(practice.Open());
    CWellnessPanel &panel = practice.Panel();
    // Each name field is drawn in its graph's colour (0x00BBGGRR).
    EXPECT_EQ(panel.NameField(0)->text(), QStringLiteral("Joy"));
    EXPECT_EQ(panel.NameField(0)->palette().color(QPalette::Text), QColor(255, 0, 255));
    EXPECT_EQ(panel.NameField(1)->palette().color(QPalette::Text), QColor(255, 255, 0));
    EXPECT_FALSE(panel.VisibleBox(0)->isChecked());
    EXPECT_TRUE(panel.CurrentRadio(2)->isChecked());
    // Rows the file has no graph for show nothing.
    EXPECT_EQ(panel.NameField(3)->text(), QString());
    EXPECT_FALSE(panel.VisibleBox(3)->isChecked());

    ASSERT_EQ(practice.GoTo(ids[1]), 1);
    const std::vector<TrackingGraph> defaults = TrackingFile::DefaultGraphs();
    for (int row = 0; row < IWellnessView::RowCount; ++row) {
        const TrackingGraph &graph = defaults[static_cast<size_t>(row)];
        EXPECT_EQ(panel.NameField(row)->text(), graph.name) << row;
        EXPECT_EQ(panel.NameField(row)->palette().color(QPalette::Text), Component::ColorFromOle(graph.color))
            << row;
        EXPECT_EQ(panel.VisibleBox(row)->isChecked(), graph.visible == 1) << row;
        EXPECT_EQ(panel.CurrentRadio(row)->isChecked(), row == 0) << row;
        EXPECT_TRUE(PointsInControl(practice.Grid(), row).empty()) << row;
    }
    EXPECT_EQ(panel.NameField(0)->palette().color(QPalette::Text), QColor(255, 0, 0));

    // Back to the first patient, whose graphs are as they were.
    ASSERT_EQ(practice.GoTo(ids[0]), 1);
    EXPECT_EQ(panel.NameField(1)->text(), QStringLiteral("Pain"));
    EXPECT_EQ(PointsInControl(practice.Grid(), 1), (std::vector<TrackingPoint> { { QDate(2009, 3, 7), 1 } }));

    // A new patient starts from the default graphs without points too.
    ASSERT_EQ(practice.Send(CommandCode::NewPatient), 1);
    EXPECT_TRUE(practice.Tracking().IsNewPatient());
    EXPECT_EQ(panel.NameField(0)->text(), QStringLiteral("MENTAL"));
    EXPECT_TRUE(PointsInControl(practice.Grid(), 0).empty());
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_FALSE(practice.Tracking().IsNewPatient());
}

TEST(Wellness, AnUnreadableFileIsKeptBeforeItIsReplaced)
{
    Practice practice;
    const QString path = practice.TrackingPath(practice.PatientIds()[0]);
    WriteText(path, "<Graphs><Graph><Name>cut off");
    ASSERT_TRUE(practice.Open());
    EXPECT_EQ(practice.Panel().NameField(0)->text(), QStringLiteral("MENTAL"));
    ASSERT_EQ(practice.Save(), 1);
    TrackingDocument saved;
    EXPECT_EQ(TrackingFile::Read(path, &saved), TrackingFile::ReadResult::Loaded);
    const QStringList kept = QDir(QFileInfo(path).absolutePath())
                                 .entryList({ TrackingFile::FileName + QStringLiteral(".unreadable-*") });
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ReadText(QFileInfo(path).absolutePath() + QLatin1Char('/') + kept[0]),
        QStringLiteral("<Graphs><Graph><Name>cut off"));
}

TEST(Wellness, ShowAllDrawsEveryGraphWithoutChangingTheBoxes)
{
    Practice practice;
    ASSERT_TRUE(practice.Open());
    CWellnessPanel &panel = practice.Panel();
    const Component::DispatchDriver &grid = practice.Grid();
    grid.Call(Plenora::kSelectDT, { QStringLiteral("1"), Verdanta::ToOleDate(Today()), 5 });
    grid.Call(Plenora::kSelectDT, { QStringLiteral("3"), Verdanta::ToOleDate(Today().addDays(1)), 5 });
    const QPoint physical = Cell(panel, 0, 5);
    const QPoint hidden = Cell(panel, 1, 5);
    const QColor green(0, 128, 0);
    const QColor orange(255, 128, 0);
    EXPECT_EQ(PixelAt(panel, physical), green);
    EXPECT_NE(PixelAt(panel, hidden), orange);

    panel.VisibleBox(1)->click();
    EXPECT_NE(PixelAt(panel, physical), green);

    panel.ShowAllBox()->click();
    EXPECT_EQ(PixelAt(panel, physical), green);
    EXPECT_EQ(PixelAt(panel, hidden), orange);
    EXPECT_FALSE(panel.VisibleBox(1)->isChecked());
    EXPECT_FALSE(panel.VisibleBox(3)->isChecked());
    EXPECT_EQ(grid.Get(Plenora::kCurrentGraph).toString(), QStringLiteral("-1"));

    panel.ShowAllBox()->click();
    EXPECT_NE(PixelAt(panel, physical), green);
    EXPECT_NE(PixelAt(panel, hidden), orange);
    EXPECT_EQ(grid.Get(Plenora::kCurrentGraph).toString(), QStringLiteral("0"));

    // While every graph is shown, the next patient's graphs are shown alike.
    panel.ShowAllBox()->click();
    ASSERT_EQ(practice.GoTo(practice.PatientIds()[1]), 1);
    EXPECT_EQ(grid.Get(Plenora::kCurrentGraph).toString(), QStringLiteral("-1"));
    EXPECT_FALSE(panel.VisibleBox(3)->isChecked());
}

TEST(WellnessPanel, TheToggleHidesTheAreaAndIsRemembered)
{
    SetShowWellness(1);
    CWellnessPanel panel;
    panel.show();
    // Without the wellness logic the boxes and buttons would do nothing.
    EXPECT_FALSE(panel.VisibleBox(0)->isEnabled());
    EXPECT_FALSE(panel.CurrentRadio(0)->isEnabled());
    EXPECT_FALSE(panel.ShowAllBox()->isEnabled());
    EXPECT_EQ(panel.ShowAllBox()->property("verdantaCommand").toInt(), int(CommandCode::WellnessShowAll));
    EXPECT_EQ(panel.ZoomBar()->minimum(), 1);
    EXPECT_EQ(panel.ZoomBar()->maximum(), 10);

    QPushButton *toggle = panel.ShowToggle();
    EXPECT_EQ(toggle->text(), QStringLiteral("Wellness: (click to hide)"));
    QSignalSpy shown(&panel, &CWellnessPanel::wellnessShownChanged);
    toggle->click();
    EXPECT_EQ(toggle->text(), QStringLiteral("Click here to show Wellness."));
    EXPECT_FALSE(panel.GraphGridWindow()->isVisible());
    EXPECT_EQ(GetShowWellness(), 0);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_FALSE(shown[0][0].toBool());

    CWellnessPanel next;
    EXPECT_FALSE(next.IsWellnessShown());
    EXPECT_EQ(next.ShowToggle()->text(), QStringLiteral("Click here to show Wellness."));
    toggle->click();
    EXPECT_TRUE(panel.GraphGridWindow()->isVisible());
    EXPECT_EQ(GetShowWellness(), 1);
}

TEST(WellnessPanel, TheTreatmentGridAndTheGraphsScrollAndZoomTogether)
{
    TreatmentWindow page;
    CWellnessPanel &panel = page.Panel();
    QCoreApplication::processEvents();
    QScrollBar *graphs = HorizontalBar(panel.GraphGridWindow());
    QScrollBar *treatment = HorizontalBar(page.TreatmentGridWindow());
    ASSERT_TRUE(graphs && treatment);
    ASSERT_EQ(graphs->value(), treatment->value());

    // The person scrolls the graphs forty days on: the treatment grid follows.
    QSignalSpy scrolled(&panel, &CWellnessPanel::firstVisibleDayChanged);
    graphs->setValue(graphs->value() + 40);
    ASSERT_EQ(scrolled.size(), 1);
    EXPECT_EQ(scrolled[0][0].toDateTime().date(), Today().addDays(40));
    EXPECT_EQ(treatment->value(), graphs->value());

    // And the other way round, without the graphs telling it back.
    treatment->setValue(treatment->value() - 100);
    EXPECT_EQ(graphs->value(), treatment->value());
    EXPECT_EQ(panel.FirstVisibleDay().date(), Today().addDays(-60));
    EXPECT_EQ(scrolled.size(), 1);

    // The zoom bar zooms both grids, which keep scrolling together.
    panel.ZoomBar()->setValue(4);
    EXPECT_EQ(page.TreatmentGrid().Get(Tessory::kZoom).toInt(), 4);
    EXPECT_EQ(panel.GraphGrid().Get(Plenora::kZoom).toInt(), 4);
    QCoreApplication::processEvents();
    graphs->setValue(graphs->value() + 3);
    EXPECT_EQ(treatment->value(), graphs->value());
}
