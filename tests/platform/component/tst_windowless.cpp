// Windowless objects: drawing where the container says, on screen or paper,
// and telling the container about new pictures and extents.
#include "TestHelpers.h"

#include "support/TestSupport.h"

#include "component/DispatchDriver.h"
#include "component/Values.h"
#include "component/ViewObject.h"

#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <QtPrintSupport/QPrinter>

using namespace Component;

namespace {

struct CountingSite : IObjectSite
{
    int changes = 0;
    void OnViewChange() override { ++changes; }
};

} // namespace

TEST(Windowless, DrawsWhereTheContainerSaysAndKnowsPaperFromScreen)
{
    const ComPtr<IViewObject> view = CreateInstance<IViewObject>(TestServer::kClsidView);
    ASSERT_TRUE(view);
    const DispatchDriver dispatch(view.Get());
    EXPECT_EQ(-1, dispatch.Get(TestServer::kViewLastTarget).toInt());

    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        EXPECT_EQ(DrawTarget::Screen, DrawTargetOf(&painter));
        EXPECT_HR(S_OK, view->Draw(&painter, QRect(10, 5, 20, 10), DrawTargetOf(&painter)));
    }
    EXPECT_EQ(QColor(Qt::blue), image.pixelColor(15, 10));
    EXPECT_EQ(QColor(Qt::white), image.pixelColor(5, 10)); // nothing outside the bounds
    EXPECT_EQ(0, dispatch.Get(TestServer::kViewLastTarget).toInt());

    TestSupport::TemporaryFolder folder;
    QPdfWriter pdf(folder.filePath(QStringLiteral("page.pdf")));
    {
        QPainter painter(&pdf);
        EXPECT_EQ(DrawTarget::Paper, DrawTargetOf(&painter));
        EXPECT_HR(S_OK, view->Draw(&painter, QRect(0, 0, 200, 100), DrawTargetOf(&painter)));
    }
    EXPECT_EQ(1, dispatch.Get(TestServer::kViewLastTarget).toInt());

    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(QStringLiteral("printed.pdf")));
    {
        QPainter painter(&printer);
        EXPECT_EQ(DrawTarget::Paper, DrawTargetOf(&painter));
    }

    // Without a device nothing is drawn.
    QPainter idle;
    EXPECT_HR(E_POINTER, view->Draw(nullptr, QRect(0, 0, 10, 10), DrawTarget::Screen));
    EXPECT_HR(E_POINTER, view->Draw(&idle, QRect(0, 0, 10, 10), DrawTarget::Screen));
    EXPECT_EQ(DrawTarget::Screen, DrawTargetOf(nullptr));
}

TEST(Windowless, SiteHearsOfChangesAndExtentFollowsInHimetric)
{
    const ComPtr<IViewObject> view = CreateInstance<IViewObject>(TestServer::kClsidView);
    ASSERT_TRUE(view);
    const DispatchDriver dispatch(view.Get());
    QSize extent;
    EXPECT_HR(E_POINTER, view->GetExtent(nullptr));
    ASSERT_HR(S_OK, view->GetExtent(&extent));
    EXPECT_EQ(QSize(20, 10), HimetricToPixels(extent));

    CountingSite site;
    EXPECT_HR(S_OK, view->SetSite(&site));
    dispatch.Put(TestServer::kViewWidth, 300);
    dispatch.Put(TestServer::kViewColour, Rgb(1, 2, 3));
    EXPECT_EQ(2, site.changes);
    view->GetExtent(&extent);
    EXPECT_EQ(QSize(300, 10), HimetricToPixels(extent));

    dispatch.Put(TestServer::kViewHeight, -5); // a negative side is no side
    view->GetExtent(&extent);
    EXPECT_EQ(QSize(300, 0), HimetricToPixels(extent));

    view->SetSite(nullptr);
    dispatch.Put(TestServer::kViewWidth, 1);
    EXPECT_EQ(3, site.changes);
}
