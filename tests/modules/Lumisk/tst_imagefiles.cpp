#include "LumiskTestImages.h"

#include "Lumisk/CImagePreviewStatic.h"
#include "Lumisk/ImageFiles.h"
#include "support/TestSupport.h"

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtGui/QImageReader>
#include <QtGui/QImageWriter>
#include <QtGui/QScreen>

#include <gtest/gtest.h>

using namespace Lumisk;
using namespace LumiskTest;

TEST(ImageFiles, FitRectScalesByTheTighterSideAndCentres)
{
    EXPECT_EQ(FitRect(QSize(200, 50), QSize(100, 90)), QRect(0, 32, 100, 25));
    EXPECT_EQ(FitRect(QSize(50, 200), QSize(100, 90)), QRect(38, 0, 23, 90));
    EXPECT_EQ(FitRect(QSize(10, 10), QSize(100, 90)), QRect(5, 0, 90, 90)); // enlarged
    EXPECT_EQ(FitRect(QSize(100, 90), QSize(100, 90)), QRect(0, 0, 100, 90));
    EXPECT_TRUE(FitRect(QSize(), QSize(100, 90)).isEmpty());
    EXPECT_TRUE(FitRect(QSize(10, 10), QSize(0, 90)).isEmpty());
    // A sliver never collapses to nothing.
    EXPECT_EQ(FitRect(QSize(10000, 1), QSize(100, 90)).height(), 1);
}

TEST(ImageFiles, ScanListsImagesByExtensionInAnyCase)
{
    TestSupport::TemporaryFolder folder;
    for (const char *name : { "b.png", "a.JPG", "c.jpeg", "d.bmp", "e.gif", "f.TIFF", "g.jpg", "notes.txt",
             "photo.jpg.bak", ".hidden.jpg", "x.tif" })
        ASSERT_TRUE(folder.writeFile(QString::fromLatin1(name), "x"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("folder.jpg")));

    const QString root = folder.rootWithSeparator();
    const QStringList expected { root + "d.bmp", root + "e.gif", root + "a.JPG", root + "g.jpg",
        root + "c.jpeg", root + "f.TIFF", root + "b.png" };
    EXPECT_EQ(ScanImagesFolder(root), expected);

    EXPECT_TRUE(ScanImagesFolder(root + "missing/").isEmpty());
    // No folder means no images, not the images of the current directory.
    EXPECT_TRUE(ScanImagesFolder(QString()).isEmpty());
    EXPECT_TRUE(HasImageExtension(QStringLiteral("/x/IMG_0001.JPG")));
    EXPECT_FALSE(HasImageExtension(QStringLiteral("/x/scan.tif")));
    EXPECT_FALSE(HasImageExtension(QStringLiteral("/x/png")));
}

TEST(ImageFiles, EachFormatRoundTripsThroughItsExtension)
{
    TestSupport::TemporaryFolder folder;
    const QImage marked = MarkedImage();
    const std::pair<const char *, const char *> formats[] = { { "m.bmp", "bmp" }, { "m.gif", "gif" },
        { "m.jpg", "jpeg" }, { "m.JPEG", "jpeg" }, { "m.tiff", "tiff" }, { "m.png", "png" } };
    for (const auto &[name, format] : formats) {
        SCOPED_TRACE(name);
        const QString path = folder.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(SaveImage(marked, path, 50));
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray(format));
        const QImage back = LoadImage(path);
        ASSERT_EQ(back.size(), marked.size());
        EXPECT_EQ(MarkAt(back, 0.1, 0.2), Mark::Green);
        EXPECT_EQ(MarkAt(back, 0.4, 0.8), Mark::Red);
        EXPECT_EQ(MarkAt(back, 0.9, 0.5), Mark::Blue);
        EXPECT_TRUE(IsCompleteImageFile(path));
    }
    EXPECT_FALSE(SaveImage(marked, folder.filePath("m.tif"), 50));
    EXPECT_FALSE(SaveImage(QImage(), folder.filePath("n.png"), 50));
    EXPECT_FALSE(SaveImage(marked, folder.filePath("missing/m.png"), 50));
    EXPECT_FALSE(QFile::exists(folder.filePath("n.png")));
}

TEST(ImageFiles, QualityAppliesToJpegOnly)
{
    TestSupport::TemporaryFolder folder;
    const QImage photo = PhotoImage(320, 240);
    ASSERT_TRUE(SaveImage(photo, folder.filePath("q10.jpg"), 10));
    ASSERT_TRUE(SaveImage(photo, folder.filePath("q90.jpg"), 90));
    EXPECT_LT(QFileInfo(folder.filePath("q10.jpg")).size() * 2, QFileInfo(folder.filePath("q90.jpg")).size());

    ASSERT_TRUE(SaveImage(photo, folder.filePath("q10.png"), 10));
    ASSERT_TRUE(SaveImage(photo, folder.filePath("q90.png"), 90));
    EXPECT_EQ(ReadFile(folder.filePath("q10.png")), ReadFile(folder.filePath("q90.png")));
    EXPECT_EQ(LoadImage(folder.filePath("q10.png")).convertToFormat(QImage::Format_RGB32), photo);
}

TEST(ImageFiles, TransparencyBecomesWhiteInJpegAndStaysInGifAndPng)
{
    TestSupport::TemporaryFolder folder;
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            image.setPixel(x, y, qRgba(0, 0, 255, 255));

    ASSERT_TRUE(SaveImage(image, folder.filePath("t.jpg"), 90));
    EXPECT_TRUE(Near(LoadImage(folder.filePath("t.jpg")).pixel(15, 10), Qt::white));
    for (const char *name : { "t.gif", "t.png" }) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(SaveImage(image, folder.filePath(QString::fromLatin1(name)), 90));
        const QImage back = LoadImage(folder.filePath(QString::fromLatin1(name)));
        EXPECT_EQ(qAlpha(back.pixel(15, 10)), 0);
        EXPECT_EQ(back.pixel(5, 10), qRgba(0, 0, 255, 255));
    }
}

TEST(ImageFiles, CutOffEmptyAndForeignFilesAreNotComplete)
{
    TestSupport::TemporaryFolder folder;
    const QImage photo = PhotoImage(200, 150);
    for (const char *name : { "cut.jpg", "cut.png", "cut.gif", "cut.bmp" }) {
        SCOPED_TRACE(name);
        const QString path = folder.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(SaveImage(photo, path, 80));
        const QByteArray whole = ReadFile(path);
        ASSERT_TRUE(IsCompleteImageFile(path));
        for (const double kept : { 0.3, 0.9 }) {
            ASSERT_TRUE(folder.writeFile(QString::fromLatin1(name), whole.left(int(whole.size() * kept))));
            EXPECT_FALSE(IsCompleteImageFile(path)) << kept;
        }
        // Bytes after the end of a JPEG (some cameras add them) do not matter.
        if (QByteArray(name) == "cut.jpg") {
            ASSERT_TRUE(folder.writeFile(QString::fromLatin1(name), whole + "trailing"));
            EXPECT_TRUE(IsCompleteImageFile(path));
        }
    }
    ASSERT_TRUE(folder.writeFile("empty.jpg", QByteArray()));
    EXPECT_FALSE(IsCompleteImageFile(folder.filePath("empty.jpg")));
    EXPECT_FALSE(IsCompleteImageFile(folder.filePath("missing.jpg")));
    ASSERT_TRUE(folder.writeFile("letter.png", "Dear patient, this is not a picture."));
    EXPECT_TRUE(LoadImage(folder.filePath("letter.png")).isNull());
    EXPECT_TRUE(LoadImage(folder.filePath("empty.jpg")).isNull());
}

TEST(ImageFiles, HugeImagesAreRefusedNotAllocated)
{
    TestSupport::TemporaryFolder folder;
    // 20000 x 20000 one-bit pixels make a small file that would need 1.6 GB as colour.
    QImage huge(20000, 20000, QImage::Format_Mono);
    ASSERT_FALSE(huge.isNull());
    huge.fill(0);
    ASSERT_TRUE(WriteImage(huge, folder.filePath("huge.png"), "png"));
    huge = QImage();

    EXPECT_TRUE(LoadImage(folder.filePath("huge.png")).isNull());
    const QImage thumbnail = LoadThumbnail(folder.filePath("huge.png"));
    EXPECT_EQ(thumbnail.size(), ThumbnailSize);
    EXPECT_EQ(thumbnail.pixel(50, 45), qRgb(255, 255, 255));
}

TEST(ImageFiles, ThumbnailIsWhiteWithTheImageFittedAndCentred)
{
    QImage wide(400, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    wide.setDotsPerMeterX(5000);
    wide.setDotsPerMeterY(4000);
    const QImage thumbnail = MakeThumbnail(wide);
    EXPECT_EQ(thumbnail.size(), QSize(100, 90));
    EXPECT_EQ(thumbnail.format(), QImage::Format_RGB888);
    EXPECT_EQ(thumbnail.dotsPerMeterX(), 5000);
    EXPECT_EQ(thumbnail.dotsPerMeterY(), 4000);
    // 400 x 100 at 1/4 is 100 x 25, from row 32 to 56.
    EXPECT_EQ(thumbnail.pixel(50, 31), qRgb(255, 255, 255));
    EXPECT_EQ(thumbnail.pixel(0, 33), qRgb(255, 0, 0));
    EXPECT_EQ(thumbnail.pixel(99, 56), qRgb(255, 0, 0));
    EXPECT_EQ(thumbnail.pixel(50, 58), qRgb(255, 255, 255));

    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(Qt::blue);
    const QImage enlarged = MakeThumbnail(small);
    EXPECT_EQ(enlarged.pixel(3, 45), qRgb(255, 255, 255));
    EXPECT_EQ(enlarged.pixel(6, 1), qRgb(0, 0, 255));
    EXPECT_EQ(enlarged.pixel(94, 88), qRgb(0, 0, 255));
    EXPECT_EQ(enlarged.pixel(96, 45), qRgb(255, 255, 255));

    EXPECT_EQ(MakeThumbnail(QImage()).pixel(50, 45), qRgb(255, 255, 255));
}

TEST(ImageFiles, OrientationTagTurnsTheImageUpright)
{
    TestSupport::TemporaryFolder folder;
    const QString path = folder.filePath("camera.jpg");
    QImageWriter writer(path, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(MarkedImage()));

    const QImage upright = LoadImage(path);
    ASSERT_EQ(upright.size(), QSize(20, 40));
    EXPECT_EQ(MarkAt(upright, 0.8, 0.1), Mark::Green);
    // The reduced decode for thumbnails turns it too.
    const QImage thumbnail = LoadThumbnail(path);
    EXPECT_EQ(MarkAt(thumbnail, 0.56, 0.1), Mark::Green);
    EXPECT_EQ(thumbnail.pixel(20, 45), qRgb(255, 255, 255));
}

TEST(ImagePreviewStatic, DrawsTheImageFittedOnWhiteAndEnlargesSmallOnes)
{
    TestSupport::TemporaryFolder folder;
    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(WriteImage(small, folder.filePath("small.png")));

    CImagePreviewStatic preview;
    EXPECT_FALSE(preview.Create()); // no window yet
    preview.resize(200, 100);
    preview.SetFilename(folder.filePath("small.png"));
    EXPECT_TRUE(preview.HasImage());
    QImage drawn = preview.grab().toImage();
    ASSERT_EQ(drawn.size(), QSize(200, 100));
    EXPECT_EQ(drawn.pixel(45, 50), qRgb(255, 255, 255));
    EXPECT_EQ(drawn.pixel(52, 2), qRgb(255, 0, 0));
    EXPECT_EQ(drawn.pixel(147, 97), qRgb(255, 0, 0));
    EXPECT_EQ(drawn.pixel(155, 50), qRgb(255, 255, 255));

    // Resized, it draws again at the new size.
    preview.resize(100, 200);
    drawn = preview.grab().toImage();
    EXPECT_EQ(drawn.pixel(50, 45), qRgb(255, 255, 255));
    EXPECT_EQ(drawn.pixel(50, 100), qRgb(255, 0, 0));

    preview.SetFilename(folder.filePath("missing.png"));
    EXPECT_FALSE(preview.HasImage());
    EXPECT_EQ(preview.grab().toImage().pixel(50, 100), qRgb(255, 255, 255));

    // A photo larger than the screen is held fitted to the screen's size.
    ASSERT_TRUE(WriteImage(PhotoImage(6000, 3000), folder.filePath("large.jpg")));
    preview.SetFilename(folder.filePath("large.jpg"));
    const QSize screen = preview.screen()->size() * preview.screen()->devicePixelRatio();
    EXPECT_EQ(preview.ImageSize(), QSize(6000, 3000).scaled(screen, Qt::KeepAspectRatio));

    preview.show();
    EXPECT_TRUE(preview.Create());
    EXPECT_FALSE(preview.HasImage());
    EXPECT_EQ(preview.cursor().shape(), Qt::BitmapCursor);
}
