// Media control figures, with the test tone standing in for the microphone:
//   record_to_first_data        Record called until the first encoded packet is on disk (level 4)
//   record_audio_cpu_level4     processor time of the whole process while recording sound at level 4
//   record_video_cpu_level4     the same with the test camera and the tone (for comparison)
#include "practice/BenchTimer.h"

#include "Talmaro/TalmaroIds.h"

#include "component/ControlHost.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QThread>
#include <QtWidgets/QApplication>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Size of the ASF header object (its size field), or 0 while it is not there.
qint64 HeaderSize(const QString &file)
{
    QFile asf(file);
    if (!asf.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray start = asf.read(24);
    if (start.size() < 24)
        return 0;
    quint64 size = 0;
    std::memcpy(&size, start.constData() + 16, sizeof size); // little-endian, as we run
    return static_cast<qint64>(size);
}

// The header and the data object's own 50 bytes come first; anything beyond
// is an encoded packet.
bool HasEncodedData(const QString &file)
{
    const qint64 header = HeaderSize(file);
    return header > 0 && QFileInfo(file).size() > header + 50;
}

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Pump(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
}

// Share of one core used by the process while recording for 'seconds'.
double RecordingCpuPercent(const Component::DispatchDriver &control, const QString &file, int seconds)
{
    control.Call(Talmaro::kRecord, { file });
    Pump(500); // past the start
    const double cpuStart = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    Pump(seconds * 1000);
    const double cpu = CpuSeconds() - cpuStart;
    const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    control.Call(Talmaro::kStop);
    return 100.0 * cpu / elapsed;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("VERDANTA_MODULES_DIR"))
        qputenv("VERDANTA_MODULES_DIR",
            QFile::encodeName(QApplication::applicationDirPath() + QStringLiteral("/../bin/modules")));
    qputenv(Talmaro::kTestDevicesVariable, "audio");
    QTemporaryDir folder;

    auto host = std::make_unique<Component::ControlHost>();
    if (Component::Failed(host->CreateControl(Talmaro::kClsidTalmaro))) {
        std::fprintf(stderr, "the Talmaro control cannot be made; is the module built?\n");
        return 1;
    }
    const Component::DispatchDriver control = host->Dispatch();
    control.Put(Talmaro::kCompressionLevel, QVariant::fromValue<qint16>(4));

    std::vector<double> latencies;
    for (int run = 0; run < 9; ++run) {
        const QString file = folder.filePath(QStringLiteral("first%1.wma").arg(run));
        QElapsedTimer timer;
        timer.start();
        control.Call(Talmaro::kRecord, { file });
        while (!HasEncodedData(file) && timer.elapsed() < 5000) {
            QApplication::processEvents(QEventLoop::AllEvents, 1);
            QThread::usleep(500);
        }
        latencies.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        control.Call(Talmaro::kStop);
    }
    std::sort(latencies.begin(), latencies.end());
    Bench::Report("record_to_first_data_median", latencies[latencies.size() / 2], "ms");
    Bench::Report("record_to_first_data_max", latencies.back(), "ms");

    Bench::Report("record_audio_cpu_level4",
        RecordingCpuPercent(control, folder.filePath(QStringLiteral("cpu.wma")), 10), "% of one core");

    host.reset();
    qputenv(Talmaro::kTestDevicesVariable, "test");
    host = std::make_unique<Component::ControlHost>();
    host->CreateControl(Talmaro::kClsidTalmaro);
    Bench::Report("record_video_cpu_level4",
        RecordingCpuPercent(host->Dispatch(), folder.filePath(QStringLiteral("cpu.asf")), 5),
        "% of one core");
    return 0;
}
