#include "LumiskTestImages.h"

#include "Lumisk/CImagePreviewStatic.h"
#include "Lumisk/ILumisk.h"

#include <QtGui/QImageReader>
#include <QtTest/QTest>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>

#include <gtest/gtest.h>

using namespace LumiskTest;

TEST(LumiskInstance, OneCountedInstanceWhoseQualityOutlivesIt)
{
    ILumisk *lumisk = ILumiskFactory();
    EXPECT_EQ(ILumiskFactory(), lumisk);
    // The factory's own reference and this one.
    const long held = lumisk->AddRef();
    EXPECT_EQ(held, 2);
    EXPECT_EQ(lumisk->Release(), held - 1);
    lumisk->SetCurrentFile(QStringLiteral("/somewhere/a.jpg"));
    ASSERT_TRUE(lumisk->SetQuality(70));

    // The last release deletes it; the next call starts a new one with one reference.
    for (long left = held - 1; left > 0;)
        left = lumisk->Release();
    ILumisk *fresh = ILumiskFactory();
    EXPECT_TRUE(fresh->GetCurrentFile().isEmpty());
    EXPECT_EQ(fresh->GetImageCount(), 0);
    EXPECT_EQ(fresh->AddRef(), 2);
    EXPECT_EQ(fresh->Release(), 1);
    int quality = 0;
    EXPECT_TRUE(fresh->GetQuality(&quality));
    EXPECT_EQ(quality, 70);
    fresh->SetQuality(50);
}

using LumiskManager = ManagerTest;

TEST_F(LumiskManager, QualityStaysWithinZeroToHundred)
{
    int quality = -5;
    EXPECT_TRUE(m_pLumisk->GetQuality(&quality));
    EXPECT_EQ(quality, 50);
    EXPECT_FALSE(m_pLumisk->SetQuality(101));
    EXPECT_FALSE(m_pLumisk->SetQuality(-1));
    m_pLumisk->GetQuality(&quality);
    EXPECT_EQ(quality, 50);
    EXPECT_TRUE(m_pLumisk->SetQuality(0));
    EXPECT_TRUE(m_pLumisk->SetQuality(100));
    m_pLumisk->GetQuality(&quality);
    EXPECT_EQ(quality, 100);
}

TEST_F(LumiskManager, FolderListSelectionAndCurrentFile)
{
    const QString gif = InFolder(QStringLiteral("c.gif"), MarkedImage(), "png");
    const QString jpg = InFolder(QStringLiteral("IMG_0001.JPG"), MarkedImage(), "jpeg");
    const QString png = InFolder(QStringLiteral("a.png"), MarkedImage());

    // Given without its separator, the folder still yields full paths.
    ASSERT_TRUE(m_pLumisk->SetImagesFolder(m_folder.filePath(QStringLiteral("Images"))));
    ASSERT_EQ(m_pLumisk->GetImageCount(), 3);
    EXPECT_EQ(m_pLumisk->GetImage(0), gif);
    EXPECT_EQ(m_pLumisk->GetImage(1), jpg);
    EXPECT_EQ(m_pLumisk->GetImage(2), png);
    EXPECT_TRUE(m_pLumisk->GetImage(3).isEmpty());
    EXPECT_TRUE(m_pLumisk->GetImage(-1).isEmpty());

    EXPECT_TRUE(m_pLumisk->SelectImage(1));
    EXPECT_EQ(m_pLumisk->GetCurrentFile(), jpg);
    EXPECT_FALSE(m_pLumisk->SelectImage(3));
    EXPECT_FALSE(m_pLumisk->SelectImage(-1));
    EXPECT_EQ(m_pLumisk->GetCurrentFile(), jpg);
    EXPECT_TRUE(m_pLumisk->SetCurrentFile(QString()));
    EXPECT_TRUE(m_pLumisk->GetCurrentFile().isEmpty());

    EXPECT_TRUE(m_pLumisk->SetImagesFolder(m_folder.filePath(QStringLiteral("missing"))));
    EXPECT_EQ(m_pLumisk->GetImageCount(), 0);
}

TEST_F(LumiskManager, ImportReencodesByTheExtensionIntoTheFolder)
{
    const std::pair<const char *, const char *> kinds[] = { { "pic.bmp", "bmp" }, { "pic.gif", "gif" },
        { "pic.jpg", "jpeg" }, { "pic.jpeg", "jpeg" }, { "pic.tiff", "tiff" }, { "Shot.PNG", "png" } };
    for (const auto &[name, format] : kinds) {
        SCOPED_TRACE(name);
        // The sources are all PNG inside: what is written follows the name.
        const QString source = Source(QString::fromLatin1(name), MarkedImage(), "png");
        const int before = m_pLumisk->GetImageCount();
        QString newPath;
        ASSERT_TRUE(m_pLumisk->ImportImage(source, &newPath));
        EXPECT_EQ(newPath, m_imagesFolder + QString::fromLatin1(name));
        EXPECT_EQ(m_pLumisk->GetImageCount(), before + 1);
        EXPECT_EQ(m_pLumisk->GetImage(before), newPath);
        QImageReader reader(newPath);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray(format));
        EXPECT_EQ(MarkAt(reader.read(), 0.1, 0.2), Mark::Green);
    }
    // A later scan finds every one of them, the PNG too.
    m_pLumisk->SetImagesFolder(m_imagesFolder);
    EXPECT_EQ(m_pLumisk->GetImageCount(), 6);
    EXPECT_EQ(m_pLumisk->GetImage(5), m_imagesFolder + QStringLiteral("Shot.PNG"));
}

TEST_F(LumiskManager, ImportAppliesTheQualityAndKeepsAnImageOfTheSameName)
{
    const QString source = Source(QStringLiteral("photo.jpg"), PhotoImage(320, 240), "jpeg");
    QString low;
    QString high;
    ASSERT_TRUE(m_pLumisk->SetQuality(10));
    ASSERT_TRUE(m_pLumisk->ImportImage(source, &low));
    const QByteArray lowBytes = ReadFile(low);
    ASSERT_TRUE(m_pLumisk->SetQuality(90));
    ASSERT_TRUE(m_pLumisk->ImportImage(source, &high));

    // The first import keeps its name and its content; the second takes a free name.
    EXPECT_EQ(low, m_imagesFolder + QStringLiteral("photo.jpg"));
    EXPECT_EQ(high, m_imagesFolder + QStringLiteral("photo (1).jpg"));
    EXPECT_EQ(ReadFile(low), lowBytes);
    EXPECT_LT(QFileInfo(low).size() * 2, QFileInfo(high).size());
    EXPECT_EQ(m_pLumisk->GetImageCount(), 2);
}

TEST_F(LumiskManager, ImportRefusesWithoutWritingAnything)
{
    const QString good = Source(QStringLiteral("good.png"), MarkedImage());
    QString newPath = QStringLiteral("stale");
    ASSERT_TRUE(m_pLumisk->ImportImage(good, &newPath));
    const QStringList entries = FolderEntries(m_imagesFolder);
    const int count = m_pLumisk->GetImageCount();

    const QByteArray jpeg = [&] {
        const QString path = Source(QStringLiteral("whole.jpg"), PhotoImage(200, 150), "jpeg");
        return ReadFile(path);
    }();
    ASSERT_TRUE(m_folder.writeFile(QStringLiteral("cut.jpg"), jpeg.left(jpeg.size() / 2)));
    ASSERT_TRUE(m_folder.writeFile(QStringLiteral("empty.jpg"), QByteArray()));
    ASSERT_TRUE(m_folder.writeFile(QStringLiteral("letter.png"), "Dear patient"));
    ASSERT_TRUE(m_folder.writeFile(QStringLiteral("notes.txt"), "text"));
    QImage huge(20000, 20000, QImage::Format_Mono);
    huge.fill(1);
    Source(QStringLiteral("huge.png"), huge, "png");
    huge = QImage();

    const QString refused[] = { QString(),
        m_imagesFolder + QStringLiteral("good.png"), // already in the folder
        m_folder.filePath(QStringLiteral("cut.jpg")), m_folder.filePath(QStringLiteral("empty.jpg")),
        m_folder.filePath(QStringLiteral("letter.png")), m_folder.filePath(QStringLiteral("notes.txt")),
        m_folder.filePath(QStringLiteral("huge.png")), m_folder.filePath(QStringLiteral("missing.png")) };
    for (const QString &source : refused) {
        SCOPED_TRACE(source.toStdString());
        newPath = QStringLiteral("stale");
        EXPECT_FALSE(m_pLumisk->ImportImage(source, &newPath));
        EXPECT_TRUE(newPath.isEmpty());
    }
    EXPECT_EQ(FolderEntries(m_imagesFolder), entries);
    EXPECT_EQ(m_pLumisk->GetImageCount(), count);

    // Without an images folder nothing lands in the current directory.
    m_pLumisk->SetImagesFolder(QString());
    EXPECT_FALSE(m_pLumisk->ImportImage(good, nullptr));
    EXPECT_FALSE(QFileInfo::exists(QDir::current().filePath(QStringLiteral("good.png"))));
    m_pLumisk->SetImagesFolder(m_folder.filePath(QStringLiteral("missing")));
    EXPECT_FALSE(m_pLumisk->ImportImage(good, nullptr));
}

TEST_F(LumiskManager, QualityDialogStoresTheSliderOnlyOnOk)
{
    ASSERT_TRUE(m_pLumisk->SetQuality(35));
    OnNextModal([](QDialog *dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Image Quality"));
        QStringList texts;
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            texts.append(label->text());
        EXPECT_TRUE(texts.contains(QStringLiteral("Set the quality for patient images. Enhacing the quality "
                                                  "will affect the amount of disk space used "
                                                  "to store the image.")));
        EXPECT_TRUE(texts.contains(QStringLiteral("<-  Performance")));
        EXPECT_TRUE(texts.contains(QStringLiteral("Balanced")));
        EXPECT_TRUE(texts.contains(QStringLiteral("Quality  ->")));
        auto *slider = dialog->findChild<QSlider *>(QStringLiteral("qualitySlider"));
        ASSERT_NE(slider, nullptr);
        EXPECT_EQ(slider->minimum(), 0);
        EXPECT_EQ(slider->maximum(), 100);
        EXPECT_EQ(slider->value(), 35);
        slider->setValue(80);
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_TRUE(m_pLumisk->ShowQualityDialog());
    int quality = 0;
    m_pLumisk->GetQuality(&quality);
    EXPECT_EQ(quality, 80);

    OnNextModal([](QDialog *dialog) {
        dialog->findChild<QSlider *>(QStringLiteral("qualitySlider"))->setValue(5);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(m_pLumisk->ShowQualityDialog());
    m_pLumisk->GetQuality(&quality);
    EXPECT_EQ(quality, 80);
}

TEST_F(LumiskManager, ShowImageOpensThePreviewWindow)
{
    EXPECT_FALSE(m_pLumisk->ShowImage(QString()));

    const QString path = InFolder(QStringLiteral("m.png"), MarkedImage());
    bool shown = false;
    OnNextModal([&](QDialog *dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Preview Image"));
        const auto *preview = dialog->findChild<CImagePreviewStatic *>();
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->Filename(), path);
        EXPECT_EQ(preview->ImageSize(), QSize(40, 20));
        shown = true;
    });
    EXPECT_TRUE(m_pLumisk->ShowImage(path));
    EXPECT_TRUE(shown);
}
