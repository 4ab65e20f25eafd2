#include "LumiskTestImages.h"

#include "support/TestSupport.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTimer>
#include <QtGui/QImageWriter>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>

#include <cstdlib>

namespace LumiskTest {

QImage MarkedImage()
{
    QImage image(40, 20, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, 20, 20, Qt::red);
    painter.fillRect(20, 0, 20, 20, Qt::blue);
    painter.fillRect(0, 0, 10, 10, Qt::green);
    return image;
}

QImage PhotoImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 27);
            line[x] = qRgb((x * 255 / width + noise) & 0xFF, (y * 255 / height + noise) & 0xFF,
                ((x + y) * 127 / (width + height) + 2 * noise) & 0xFF);
        }
    }
    return image;
}

bool WriteImage(const QImage &image, const QString &path, const char *format, int quality)
{
    QImageWriter writer(path, format ? QByteArray(format) : QByteArray());
    writer.setQuality(quality);
    return writer.write(image);
}

bool Near(QRgb pixel, const QColor &color, int tolerance)
{
    return std::abs(qRed(pixel) - color.red()) <= tolerance
        && std::abs(qGreen(pixel) - color.green()) <= tolerance
        && std::abs(qBlue(pixel) - color.blue()) <= tolerance;
}

Mark MarkAt(const QImage &image, double xFraction, double yFraction)
{
    const QRgb pixel = image.pixel(int(xFraction * image.width()), int(yFraction * image.height()));
    if (qGreen(pixel) > qRed(pixel) && qGreen(pixel) > qBlue(pixel))
        return Mark::Green;
    return qRed(pixel) > qBlue(pixel) ? Mark::Red : Mark::Blue;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList FolderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void OnNextModal(const std::function<void(QDialog *)> &act)
{
    const ::testing::TestInfo *armedIn = ::testing::UnitTest::GetInstance()->current_test_info();
    // A real timer, not a posted call: events posted while it runs must still be delivered.
    QTimer::singleShot(1, [act, armedIn] {
        // A test that ended without showing its dialog must not answer the
        // dialog of a later one.
        if (::testing::UnitTest::GetInstance()->current_test_info() != armedIn) {
            ADD_FAILURE() << "no modal dialog was shown in " << armedIn->name();
            return;
        }
        QDialog *dialog = nullptr;
        const bool shown = TestSupport::WaitFor([&] {
            dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            return dialog != nullptr && dialog->isVisible();
        });
        if (!shown) {
            ADD_FAILURE() << "no modal dialog was shown";
            return;
        }
        act(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

void ManagerTest::SetUp()
{
    m_imagesFolder = m_folder.filePath(QStringLiteral("Images")) + QLatin1Char('/');
    ASSERT_TRUE(QDir().mkpath(m_imagesFolder));
    m_pLumisk = ILumiskFactory();
    m_pLumisk->AddRef();
    m_pLumisk->SetQuality(50);
    m_pLumisk->SetImagesFolder(m_imagesFolder);
    m_pLumisk->SetCurrentFile(QString());
    LumiskSetPrompts(&m_prompts);
}

void ManagerTest::TearDown()
{
    LumiskSetPrompts(nullptr);
    m_pLumisk->SetQuality(50);
    m_pLumisk->Release();
}

QString ManagerTest::Source(const QString &name, const QImage &image, const char *format)
{
    const QString path = m_folder.filePath(name);
    EXPECT_TRUE(WriteImage(image, path, format)) << name.toStdString();
    return path;
}

QString ManagerTest::InFolder(const QString &name, const QImage &image, const char *format)
{
    const QString path = m_imagesFolder + name;
    EXPECT_TRUE(WriteImage(image, path, format)) << name.toStdString();
    return path;
}

} // namespace LumiskTest
