// Timings of the image manager, printed as "name: value unit" lines:
// importing a 12-megapixel camera JPEG at quality 50 with its thumbnail, and
// opening the images bin on a folder of 200 such photos (how soon the window
// and the first thumbnails show, how long all of them take, and the longest
// time the window did not answer while the thumbnails were made).
#include "Lumisk/ILumisk.h"
#include "Lumisk/ImageFiles.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QImageWriter>
#include <QtGui/QPainter>
#include <QtGui/QRadialGradient>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int PhotoCount = 200;

// Smooth shapes with a little sensor noise, which encodes to about the size of a
// camera photo.
QImage CameraPhoto(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(90, 140, 210));
    sky.setColorAt(1, QColor(230, 200, 160));
    painter.fillRect(image.rect(), sky);
    for (int i = 0; i < 40; ++i) {
        const QPointF centre((i * 997) % width, (i * 613) % height);
        QRadialGradient blob(centre, width / 8.0);
        blob.setColorAt(0, QColor::fromHsv((i * 37) % 360, 180, 220));
        blob.setColorAt(1, Qt::transparent);
        painter.setBrush(blob);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(centre, width / 8.0, width / 8.0);
    }
    painter.end();
    quint32 seed = 7;
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 29) - 4;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + noise, 0, 255), std::clamp(qGreen(p) + noise, 0, 255),
                std::clamp(qBlue(p) + noise, 0, 255));
        }
    }
    return image;
}

void Print(const char *name, double value, const char *unit)
{
    std::printf("%s: %.1f %s\n", name, value, unit);
    std::fflush(stdout);
}

// CPU time of the whole process, which the other work on a shared machine does not inflate.
double ProcessCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Watches the images bin from inside its modal loop.
class BinProbe : public QObject
{
    Q_OBJECT

public:
    BinProbe()
    {
        m_ticker.setInterval(5);
        connect(&m_ticker, &QTimer::timeout, this, &BinProbe::Tick);
    }

    void Start()
    {
        m_clock.start();
        m_ticker.start();
    }

    qint64 shownAt = -1;
    qint64 firstAt = -1;
    qint64 allAt = -1;
    qint64 longestStall = 0;

public slots:
    void OnThumbnailShown(int)
    {
        if (firstAt < 0)
            firstAt = m_clock.elapsed();
        if (++m_shown == PhotoCount)
            allAt = m_clock.elapsed();
    }

private:
    // Every 5 ms while the window answers; a late tick is time it did not.
    void Tick()
    {
        const qint64 now = m_clock.elapsed();
        if (!m_pDialog) {
            m_pDialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (m_pDialog) {
                shownAt = now;
                connect(m_pDialog, SIGNAL(ThumbnailShown(int)), this, SLOT(OnThumbnailShown(int)));
            }
        } else {
            longestStall = std::max(longestStall, now - m_lastTick);
            if (allAt >= 0 || now > 120000)
                m_pDialog->accept();
        }
        m_lastTick = now;
    }

    QElapsedTimer m_clock;
    QTimer m_ticker;
    QDialog *m_pDialog = nullptr;
    qint64 m_lastTick = 0;
    int m_shown = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir work;
    if (!work.isValid())
        return 1;

    const QString camera = work.filePath(QStringLiteral("camera.jpg"));
    {
        QImageWriter writer(camera, "jpeg");
        writer.setQuality(92);
        if (!writer.write(CameraPhoto(4000, 3000)))
            return 1;
    }
    Print("lumisk_camera_photo_size", QFile(camera).size() / 1024.0 / 1024.0, "MB");

    ILumisk *lumisk = ILumiskFactory();
    lumisk->AddRef();
    lumisk->SetQuality(50);
    const QString images = work.filePath(QStringLiteral("Images")) + QLatin1Char('/');
    QDir().mkpath(images);
    lumisk->SetImagesFolder(images);

    std::vector<double> imports;
    std::vector<double> importsCpu;
    std::vector<double> thumbnails;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        const double cpuStart = ProcessCpuMs();
        timer.start();
        QString newPath;
        if (!lumisk->ImportImage(camera, &newPath))
            return 1;
        const qint64 imported = timer.nsecsElapsed();
        const QImage thumbnail = Lumisk::LoadThumbnail(newPath);
        const qint64 total = timer.nsecsElapsed();
        if (thumbnail.isNull())
            return 1;
        imports.push_back(total / 1e6);
        importsCpu.push_back(ProcessCpuMs() - cpuStart);
        thumbnails.push_back((total - imported) / 1e6);
    }
    Print("lumisk_import_12mp_jpeg_q50_with_thumbnail_median", Median(imports), "ms");
    Print("lumisk_import_12mp_jpeg_q50_with_thumbnail_max", *std::max_element(imports.begin(), imports.end()),
        "ms");
    Print("lumisk_import_12mp_jpeg_q50_with_thumbnail_cpu_median", Median(importsCpu), "ms");
    Print("lumisk_thumbnail_12mp_jpeg_median", Median(thumbnails), "ms");

    // The two halves of an import.
    std::vector<double> decodes;
    std::vector<double> encodes;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QImage decoded = Lumisk::LoadImage(camera);
        decodes.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        Lumisk::SaveImage(decoded, work.filePath(QStringLiteral("encoded.jpg")), 50);
        encodes.push_back(timer.nsecsElapsed() / 1e6);
    }
    Print("lumisk_decode_12mp_jpeg_median", Median(decodes), "ms");
    Print("lumisk_encode_12mp_jpeg_q50_median", Median(encodes), "ms");

    const QString bin = work.filePath(QStringLiteral("Bin")) + QLatin1Char('/');
    QDir().mkpath(bin);
    for (int i = 0; i < PhotoCount; ++i)
        QFile::copy(camera, bin + QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0')));
    lumisk->SetImagesFolder(bin);

    BinProbe probe;
    probe.Start();
    lumisk->ShowImagesBin(nullptr);
    Print("lumisk_bin_200_photos_window_shown", double(probe.shownAt), "ms");
    Print("lumisk_bin_200_photos_first_thumbnail", double(probe.firstAt), "ms");
    Print("lumisk_bin_200_photos_all_thumbnails", double(probe.allAt), "ms");
    Print("lumisk_bin_200_photos_longest_ui_stall", double(probe.longestStall), "ms");
    lumisk->Release();
    return 0;
}

#include "bench_lumisk.moc"
