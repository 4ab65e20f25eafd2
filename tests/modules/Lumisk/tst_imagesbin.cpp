#include "LumiskTestImages.h"

#include "Lumisk/CImagePreviewStatic.h"
#include "Lumisk/ImageFiles.h"

#include <QtCore/QMimeData>
#include <QtCore/QUrl>
#include <QtGui/QAction>
#include <QtGui/QDragEnterEvent>
#include <QtGui/QDropEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QToolBar>

#include <gtest/gtest.h>

using namespace LumiskTest;

namespace {

constexpr int ThumbnailShownRole = Qt::UserRole + 1;

QListWidget *ListOf(QDialog *dialog)
{
    return dialog->findChild<QListWidget *>(QStringLiteral("imageList"));
}

QString CountOf(QDialog *dialog)
{
    return dialog->findChild<QLabel *>(QStringLiteral("imageCount"))->text();
}

CImagePreviewStatic *PreviewOf(QDialog *dialog)
{
    return dialog->findChild<CImagePreviewStatic *>(QStringLiteral("imagePreview"));
}

void Trigger(QDialog *dialog, const char *action)
{
    auto *found = dialog->findChild<QAction *>(QLatin1String(action));
    ASSERT_NE(found, nullptr) << action;
    found->trigger();
}

QImage IconOf(const QListWidgetItem *item)
{
    return item->icon().pixmap(Lumisk::ThumbnailSize).toImage().convertToFormat(QImage::Format_RGB32);
}

bool AllThumbnailsShown(const QListWidget *list)
{
    for (int row = 0; row < list->count(); ++row) {
        if (!list->item(row)->data(ThumbnailShownRole).toBool())
            return false;
    }
    return true;
}

} // namespace

using ImagesBin = ManagerTest;

TEST_F(ImagesBin, ShowsThumbnailsCountAndTheCurrentFileAndReturnChooses)
{
    QImage wide(200, 50, QImage::Format_RGB32);
    wide.fill(Qt::red);
    const QString png = InFolder(QStringLiteral("a.png"), wide);
    const QString jpg = InFolder(QStringLiteral("b.jpg"), PhotoImage(640, 480), "jpeg");
    InFolder(QStringLiteral("c.gif"), MarkedImage(), "png");
    m_pLumisk->SetImagesFolder(m_imagesFolder);
    m_pLumisk->SetCurrentFile(jpg);

    OnNextModal([&](QDialog *dialog) {
        QListWidget *list = ListOf(dialog);
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(CountOf(dialog), QStringLiteral("3 Image(s)"));
        ASSERT_NE(list->currentItem(), nullptr);
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("b.jpg"));
        EXPECT_EQ(PreviewOf(dialog)->Filename(), jpg);

        ASSERT_TRUE(TestSupport::WaitFor([&] { return AllThumbnailsShown(list); }));
        // 200 x 50 fits as 100 x 25, centred from row 32 on white.
        const QImage thumbnail = IconOf(list->item(2));
        EXPECT_EQ(thumbnail.pixel(50, 20), qRgb(255, 255, 255));
        EXPECT_EQ(thumbnail.pixel(50, 45), qRgb(255, 0, 0));
        // Even a file that does not decode as its name says gets its picture.
        EXPECT_EQ(MarkAt(IconOf(list->item(0)), 0.1, 0.3), Mark::Green);

        list->setCurrentRow(2);
        EXPECT_EQ(m_pLumisk->GetCurrentFile(), png);
        EXPECT_EQ(PreviewOf(dialog)->Filename(), png);
        QTest::keyClick(list, Qt::Key_Return);
        EXPECT_FALSE(dialog->isVisible());
    });
    m_pLumisk->ShowImagesBin(nullptr);
    EXPECT_EQ(m_pLumisk->GetCurrentFile(), png);
}

TEST_F(ImagesBin, MenuAndToolbarCommands)
{
    OnNextModal([](QDialog *dialog) {
        const QList<QMenu *> menus = dialog->findChild<QMenuBar *>()->findChildren<QMenu *>();
        ASSERT_EQ(menus.size(), 1);
        EXPECT_EQ(menus.first()->title(), QStringLiteral("Image"));
        QStringList entries;
        for (const QAction *action : menus.first()->actions()) {
            if (!action->isSeparator())
                entries.append(action->text());
        }
        EXPECT_EQ(entries,
            (QStringList { QStringLiteral("&Add New Image..."), QStringLiteral("&Delete Selected"),
                QStringLiteral("Image Quality..."), QStringLiteral("Exit") }));
        QStringList tips;
        for (const QAction *action : dialog->findChild<QToolBar *>()->actions()) {
            if (!action->isSeparator())
                tips.append(action->toolTip());
        }
        EXPECT_EQ(tips,
            (QStringList { QStringLiteral("Rotate right with 90 degrees"),
                QStringLiteral("Rotate left with 90 degrees"), QStringLiteral("Mirror"),
                QStringLiteral("Flip"), QStringLiteral("Set images quality"),
                QStringLiteral("Adds a new image to images bin"),
                QStringLiteral("Remove selected image from images bin"), QStringLiteral("Exit") }));
        EXPECT_EQ(CountOf(dialog), QStringLiteral("0 Image(s)"));
        Trigger(dialog, "actionExit");
        EXPECT_FALSE(dialog->isVisible());
    });
    m_pLumisk->ShowImagesBin(nullptr);
}

TEST_F(ImagesBin, AddsThroughTheOpenDialogAndByDrop)
{
    InFolder(QStringLiteral("old.png"), MarkedImage());
    m_pLumisk->SetImagesFolder(m_imagesFolder);
    const QString chosen = Source(QStringLiteral("chosen.jpg"), PhotoImage(300, 200), "jpeg");
    const QString dropped1 = Source(QStringLiteral("d1.png"), MarkedImage());
    const QString dropped2 = Source(QStringLiteral("d2.bmp"), MarkedImage(), "bmp");
    ASSERT_TRUE(m_folder.writeFile(QStringLiteral("letter.jpg"), "not a picture"));

    OnNextModal([&](QDialog *dialog) {
        QListWidget *list = ListOf(dialog);
        m_prompts.nextFile = chosen;
        Trigger(dialog, "actionAddImage");
        EXPECT_EQ(m_prompts.lastCaption, QStringLiteral("Open Image File"));
        EXPECT_TRUE(m_prompts.lastFilter.contains(QStringLiteral("*.jpeg")));
        EXPECT_TRUE(m_prompts.lastFilter.contains(QStringLiteral("*.TIFF")));
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->currentRow(), 1);
        EXPECT_TRUE(list->currentItem()->isSelected());
        EXPECT_EQ(m_pLumisk->GetCurrentFile(), m_imagesFolder + QStringLiteral("chosen.jpg"));
        EXPECT_EQ(CountOf(dialog), QStringLiteral("2 Image(s)"));

        // Cancelled, then a file that is no image: nothing added, and the status says why.
        m_prompts.nextFile.clear();
        Trigger(dialog, "actionAddImage");
        m_prompts.nextFile = m_folder.filePath(QStringLiteral("letter.jpg"));
        Trigger(dialog, "actionAddImage");
        EXPECT_EQ(list->count(), 2);
        EXPECT_FALSE(dialog->findChild<QStatusBar *>()->currentMessage().isEmpty());

        QMimeData mime;
        mime.setUrls({ QUrl::fromLocalFile(dropped1), QUrl::fromLocalFile(dropped2) });
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog, &drop);
        ASSERT_EQ(list->count(), 4);
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("d2.bmp"));
        EXPECT_TRUE(TestSupport::WaitFor([&] { return AllThumbnailsShown(list); }));
    });
    m_pLumisk->ShowImagesBin(nullptr);
    EXPECT_EQ(m_pLumisk->GetImageCount(), 4);
    EXPECT_TRUE(QFileInfo::exists(m_imagesFolder + QStringLiteral("d2.bmp")));
}

TEST_F(ImagesBin, DeleteKeyRemovesTheSelectedFilesOnceConfirmed)
{
    const QString a = InFolder(QStringLiteral("a.png"), MarkedImage());
    const QString b = InFolder(QStringLiteral("b.png"), MarkedImage());
    const QString c = InFolder(QStringLiteral("c.png"), MarkedImage());
    m_pLumisk->SetImagesFolder(m_imagesFolder);

    OnNextModal([&](QDialog *dialog) {
        QListWidget *list = ListOf(dialog);
        list->setCurrentRow(0);
        ASSERT_EQ(m_pLumisk->GetCurrentFile(), a);

        m_prompts.answer = false;
        QTest::keyClick(list, Qt::Key_Delete);
        EXPECT_EQ(m_prompts.confirmations, 1);
        EXPECT_EQ(list->count(), 3);
        EXPECT_TRUE(QFileInfo::exists(a));

        m_prompts.answer = true;
        QTest::keyClick(list, Qt::Key_Delete);
        EXPECT_EQ(list->count(), 2);
        EXPECT_FALSE(QFileInfo::exists(a));
        EXPECT_FALSE(PreviewOf(dialog)->HasImage());
        EXPECT_EQ(CountOf(dialog), QStringLiteral("2 Image(s)"));
        // The deleted file is no longer anybody's choice.
        EXPECT_TRUE(m_pLumisk->GetCurrentFile().isEmpty());

        list->selectAll();
        Trigger(dialog, "actionDeleteSelected");
        EXPECT_EQ(list->count(), 0);
        EXPECT_EQ(CountOf(dialog), QStringLiteral("0 Image(s)"));
    });
    m_pLumisk->ShowImagesBin(nullptr);
    EXPECT_EQ(m_pLumisk->GetImageCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_FALSE(QFileInfo::exists(c));
}

TEST_F(ImagesBin, TurnsAndFlipsSaveOverTheFileAndRefreshTheThumbnail)
{
    const QString png = InFolder(QStringLiteral("m.png"), MarkedImage());
    const QString jpg = InFolder(QStringLiteral("m.jpg"), MarkedImage(), "jpeg");
    const QByteArray whole = ReadFile(InFolder(QStringLiteral("cut.jpg"), PhotoImage(200, 150), "jpeg"));
    const QString cut = m_imagesFolder + QStringLiteral("cut.jpg");
    ASSERT_TRUE(m_folder.writeFile(QStringLiteral("Images/cut.jpg"), whole.left(whole.size() / 2)));
    const QByteArray cutBytes = ReadFile(cut);
    // Two frames: the image block of a GIF the library wrote, twice.
    const QString animation = m_imagesFolder + QStringLiteral("anim.gif");
    ASSERT_TRUE(Lumisk::SaveImage(MarkedImage(), animation, -1));
    QByteArray gif = ReadFile(animation);
    const int header = 13 + (3 << ((uchar(gif[10]) & 0x07) + 1));
    gif.insert(gif.size() - 1, gif.mid(header, gif.size() - 1 - header));
    ASSERT_TRUE(m_folder.writeFile(QStringLiteral("Images/anim.gif"), gif));
    m_pLumisk->SetImagesFolder(m_imagesFolder);

    OnNextModal([&](QDialog *dialog) {
        QListWidget *list = ListOf(dialog);
        ASSERT_TRUE(TestSupport::WaitFor([&] { return AllThumbnailsShown(list); }));
        const auto rowOf = [&](const QString &path) {
            for (int row = 0; row < list->count(); ++row) {
                if (list->item(row)->toolTip() == path)
                    return row;
            }
            return -1;
        };

        list->setCurrentRow(rowOf(png));
        Trigger(dialog, "actionRotateRight");
        QImage saved = Lumisk::LoadImage(png);
        ASSERT_EQ(saved.size(), QSize(20, 40));
        EXPECT_EQ(MarkAt(saved, 0.8, 0.1), Mark::Green);
        EXPECT_EQ(MarkAt(saved, 0.5, 0.9), Mark::Blue);
        EXPECT_EQ(PreviewOf(dialog)->ImageSize(), QSize(20, 40));
        // The icon shows the turned picture: 20 x 40 fitted as 45 x 90, centred on white.
        const QImage icon = IconOf(list->item(rowOf(png)));
        const QImage fitted = icon.copy(QRect(27, 0, 45, 90));
        EXPECT_EQ(MarkAt(fitted, 0.8, 0.1), Mark::Green);
        EXPECT_EQ(MarkAt(fitted, 0.5, 0.9), Mark::Blue);
        EXPECT_EQ(icon.pixel(10, 45), qRgb(255, 255, 255));
        EXPECT_EQ(icon.pixel(90, 45), qRgb(255, 255, 255));

        Trigger(dialog, "actionRotateLeft");
        saved = Lumisk::LoadImage(png);
        ASSERT_EQ(saved.size(), QSize(40, 20));
        EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), MarkedImage());
        Trigger(dialog, "actionMirror");
        EXPECT_EQ(MarkAt(Lumisk::LoadImage(png), 0.9, 0.2), Mark::Green);
        Trigger(dialog, "actionFlip");
        EXPECT_EQ(MarkAt(Lumisk::LoadImage(png), 0.9, 0.8), Mark::Green);

        list->setCurrentRow(rowOf(jpg));
        Trigger(dialog, "actionRotateRight");
        saved = Lumisk::LoadImage(jpg);
        ASSERT_EQ(saved.size(), QSize(20, 40));
        EXPECT_EQ(MarkAt(saved, 0.8, 0.1), Mark::Green);

        // A cut-off file, and one whose other frames would be lost, are left exactly as they were.
        list->setCurrentRow(rowOf(cut));
        Trigger(dialog, "actionRotateRight");
        EXPECT_EQ(ReadFile(cut), cutBytes);
        EXPECT_FALSE(dialog->findChild<QStatusBar *>()->currentMessage().isEmpty());
        list->setCurrentRow(rowOf(animation));
        Trigger(dialog, "actionMirror");
        EXPECT_EQ(ReadFile(animation), gif);
        EXPECT_EQ(FolderEntries(m_imagesFolder),
            (QStringList { QStringLiteral("anim.gif"), QStringLiteral("cut.jpg"), QStringLiteral("m.jpg"),
                QStringLiteral("m.png") }));
    });
    m_pLumisk->ShowImagesBin(nullptr);
}
