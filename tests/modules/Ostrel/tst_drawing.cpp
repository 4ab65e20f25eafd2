// How the proxies draw: colours, centred text in the right font, icons on
// screen, boxed letters on paper, and nothing outside their bounds.
#include "OstrelTestSupport.h"

#include "common/OleDate.h"

#include "support/TestSupport.h"

#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtGui/QFontMetrics>
#include <QtGui/QFontMetricsF>
#include <QtGui/QPdfWriter>

using namespace Component;
using namespace Ostrel;

namespace {

const QUuid kAllClasses[] = { kClsidLumiskProxy, kClsidInhProxy, kClsidPrescProxy, kClsidAudioManagerProxy,
    kClsidConsultProxy, kClsidCTalmaroProxy };
const QUuid kMediaClasses[] = { kClsidLumiskProxy, kClsidAudioManagerProxy, kClsidCTalmaroProxy };

// Where the text is: the pixels of another colour than the band.
QRect TextArea(const QImage &image, const QColor &band)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != band)
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

} // namespace

TEST(Drawing, TextProxiesFillTheirColourAndCentreTheirText)
{
    Proxy presc(kClsidPrescProxy);
    presc.dispatch.Put(DispIPrescProxy::strMedicine, QStringLiteral("Arnica"));
    presc.dispatch.Put(DispIPrescProxy::clrStatus, Rgb(200, 40, 40));
    Proxy line(kClsidInhProxy);
    line.dispatch.Put(DispIInhProxy::strName, QStringLiteral("Nux vomica"));
    line.dispatch.Put(DispIInhProxy::BackgroundColor, Rgb(40, 200, 40));
    Proxy consult(kClsidConsultProxy);
    consult.dispatch.Put(DispIConsultProxy::ConsultationDate, Verdanta::ToOleDate(QDate(2009, 3, 3)));

    const struct
    {
        const Proxy *proxy;
        QColor colour;
        QString text;
    } cases[] = {
        { &presc, QColor(200, 40, 40), QStringLiteral("Arnica  - 1 tube(s)") },
        { &line, QColor(40, 200, 40), QStringLiteral("Nux vomica  -") },
        { &consult, QColor(190, 190, 255),
            QStringLiteral("Tuesday, 03 Mar, 2009.   Double click here to set an appointment.") },
    };
    for (const auto &[proxy, colour, shown] : cases) {
        SCOPED_TRACE(shown.toStdString());
        const QImage image = proxy->Render(QSize(600, 24));
        EXPECT_EQ(colour, image.pixelColor(0, 0));
        EXPECT_EQ(colour, image.pixelColor(599, 23));
        const QRect text = TextArea(image, colour);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_NEAR(300, text.center().x(), 3);
        EXPECT_NEAR(12, text.center().y(), 3);
        // The whole text in 10-point Arial at the image's resolution: as wide
        // as those glyphs measure (the outer bearings aside).
        QFont arial(QStringLiteral("Arial"));
        arial.setPixelSize(qRound(10 * image.logicalDpiY() / 72.0));
        EXPECT_NEAR(QFontMetrics(arial).horizontalAdvance(shown), text.width(), 3);
    }
}

TEST(Drawing, TextIsTenPointArialOnTheTargetDevice)
{
    Proxy presc(kClsidPrescProxy);
    for (const auto &[dpi, pixels] : { std::pair(96, 13), std::pair(300, 42), std::pair(1200, 167) }) {
        TextRecorder recorder(dpi);
        QPainter painter(&recorder);
        EXPECT_HR(S_OK, presc.view->Draw(&painter, QRect(0, 0, 2000, 300), DrawTarget::Paper));
        painter.end();
        ASSERT_FALSE(recorder.Fonts().isEmpty());
        EXPECT_EQ(pixels, recorder.Fonts().first().pixelSize()) << dpi;
        EXPECT_EQ(QStringLiteral("Arial"), recorder.Fonts().first().family());
    }
}

TEST(Drawing, NothingIsDrawnOutsideTheBoundsOrWithoutADevice)
{
    for (const QUuid &classId : kAllClasses) {
        Proxy proxy(classId);
        proxy.dispatch.Put(
            DispIPrescProxy::strMedicine, QString(200, QLatin1Char('W'))); // long where it applies
        for (const DrawTarget target : { DrawTarget::Screen, DrawTarget::Paper }) {
            QImage image(120, 60, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            EXPECT_HR(S_OK, proxy.view->Draw(&painter, QRect(30, 20, 20, 10), target));
            painter.end();
            const QRect outside[] = { QRect(0, 0, 120, 20), QRect(0, 30, 120, 30), QRect(0, 20, 30, 10),
                QRect(50, 20, 70, 10) };
            for (const QRect &area : outside)
                EXPECT_EQ(0, PixelsOtherThan(image, Qt::white, area)) << classId.toString().toStdString();
        }
        QPainter idle;
        EXPECT_HR(E_POINTER, proxy.view->Draw(nullptr, QRect(0, 0, 10, 10), DrawTarget::Screen));
        EXPECT_HR(E_POINTER, proxy.view->Draw(&idle, QRect(0, 0, 10, 10), DrawTarget::Screen));
    }
}

TEST(Drawing, MediaProxiesShowAnIconOnScreenAndABoxedLetterOnPaper)
{
    const QString letters[] = { QStringLiteral(" I "), QStringLiteral(" A "), QStringLiteral(" V ") };
    QList<QImage> icons;
    for (int i = 0; i < 3; ++i) {
        Proxy proxy(kMediaClasses[i]);
        const QImage screen = proxy.Render(QSize(64, 64));
        EXPECT_GT(PixelsOtherThan(screen, Qt::white, QRect(0, 0, 32, 32)), 100);
        EXPECT_EQ(0, PixelsOtherThan(screen, Qt::white, QRect(32, 0, 32, 64)));
        EXPECT_EQ(0, PixelsOtherThan(screen, Qt::white, QRect(0, 32, 32, 32)));
        icons.append(screen);
        EXPECT_EQ(QString(), TextRecorder::TextOf(proxy, QSize(32, 32), DrawTarget::Screen));

        // On paper: the letter in an 80-unit Times New Roman, framed one pixel in.
        TextRecorder recorder;
        QPainter painter(&recorder);
        proxy.view->Draw(&painter, QRect(0, 0, 200, 120), DrawTarget::Paper);
        painter.end();
        EXPECT_EQ(letters[i], recorder.Text());
        ASSERT_FALSE(recorder.Fonts().isEmpty());
        EXPECT_EQ(QStringLiteral("Times New Roman"), recorder.Fonts().first().family());
        EXPECT_NEAR(80.0, QFontMetricsF(recorder.Fonts().first()).height(), 2.0);

        const QImage paper = proxy.Render(QSize(200, 120), DrawTarget::Paper);
        EXPECT_EQ(QColor(Qt::white), paper.pixelColor(0, 60));
        EXPECT_LT(qGray(paper.pixel(1, 60)), 96); // the frame
        EXPECT_LT(qGray(paper.pixel(198, 60)), 96);
        EXPECT_GT(DarkPixels(paper.copy(40, 10, 120, 100)), 100); // the letter
    }
    EXPECT_NE(icons[0], icons[1]);
    EXPECT_NE(icons[1], icons[2]);
}

TEST(Drawing, ProxiesPrintedToPdfShowTheirLetterAndText)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    // Installed with the other test tools (poppler-utils, scripts/install-deps.sh).
    ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext is not installed";
    TestSupport::TemporaryFolder folder;
    const QString file = folder.filePath(QStringLiteral("notes.pdf"));
    {
        QPdfWriter pdf(file);
        pdf.setResolution(600);
        QPainter painter(&pdf);
        ASSERT_EQ(DrawTarget::Paper, DrawTargetOf(&painter));
        int top = 0;
        for (const QUuid &classId : kMediaClasses) {
            Proxy proxy(classId);
            // The 32-pixel extent at 600 dpi.
            const QSize extent = HimetricToPixels(PixelsToHimetric(proxy.Pixels()), 600, 600);
            EXPECT_HR(
                S_OK, proxy.view->Draw(&painter, QRect(QPoint(0, top), extent), DrawTargetOf(&painter)));
            top += extent.height() + 50;
        }
        Proxy presc(kClsidPrescProxy);
        presc.dispatch.Put(DispIPrescProxy::strMedicine, QStringLiteral("Arnica"));
        presc.dispatch.Put(DispIPrescProxy::strDilution, QStringLiteral("30CH"));
        presc.view->Draw(&painter, QRect(0, top, 3000, 200), DrawTargetOf(&painter));
    }
    QProcess process;
    process.start(pdftotext, { QStringLiteral("-raw"), file, QStringLiteral("-") });
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput()).simplified();
    EXPECT_EQ(QStringLiteral("I A V Arnica 30CH - 1 tube(s)"), text);
}
