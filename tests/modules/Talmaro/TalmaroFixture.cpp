#include "TalmaroFixture.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QUrl>
#include <QtGui/QImage>
#include <QtTest/QTest>
#include <QtWidgets/QLabel>
#include <QtWidgets/QWidget>

#include <algorithm>

using namespace Component;

namespace TalmaroTest {

namespace {

// Every test program gets a throw-away cache folder, where GStreamer would
// rebuild its plug-in registry each time (seconds); one registry file shared
// by the test programs keeps that to the first run.
const bool kSharedRegistry = [] {
    if (qEnvironmentVariableIsEmpty("GST_REGISTRY_1_0"))
        qputenv("GST_REGISTRY_1_0",
            QFile::encodeName(QDir::tempPath() + QStringLiteral("/verdanta-tests-gst-registry.bin")));
    return true;
}();

QString CapsText(GstCaps *caps)
{
    if (!caps)
        return QString();
    gchar *text = gst_caps_to_string(caps);
    const QString result = QString::fromUtf8(text);
    g_free(text);
    gst_caps_unref(caps);
    return result;
}

} // namespace

MediaInfo Discover(const QString &file)
{
    MediaInfo media;
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    GstDiscoverer *discoverer = gst_discoverer_new(10 * GST_SECOND, nullptr);
    if (!discoverer)
        return media;
    const QByteArray uri = QUrl::fromLocalFile(file).toEncoded();
    GstDiscovererInfo *info = gst_discoverer_discover_uri(discoverer, uri.constData(), nullptr);
    if (info && gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK) {
        media.ok = true;
        media.seconds = static_cast<double>(gst_discoverer_info_get_duration(info)) / GST_SECOND;
        GstDiscovererStreamInfo *top = gst_discoverer_info_get_stream_info(info);
        if (top) {
            media.container = CapsText(gst_discoverer_stream_info_get_caps(top));
            gst_discoverer_stream_info_unref(top);
        }
        GList *audio = gst_discoverer_info_get_audio_streams(info);
        if (audio) {
            auto *stream = GST_DISCOVERER_AUDIO_INFO(audio->data);
            media.audio = CapsText(gst_discoverer_stream_info_get_caps(GST_DISCOVERER_STREAM_INFO(stream)));
            media.sampleRate = static_cast<int>(gst_discoverer_audio_info_get_sample_rate(stream));
            media.channels = static_cast<int>(gst_discoverer_audio_info_get_channels(stream));
        }
        gst_discoverer_stream_info_list_free(audio);
        GList *video = gst_discoverer_info_get_video_streams(info);
        if (video) {
            auto *stream = GST_DISCOVERER_VIDEO_INFO(video->data);
            media.video = CapsText(gst_discoverer_stream_info_get_caps(GST_DISCOVERER_STREAM_INFO(stream)));
            media.width = static_cast<int>(gst_discoverer_video_info_get_width(stream));
            media.height = static_cast<int>(gst_discoverer_video_info_get_height(stream));
        }
        gst_discoverer_stream_info_list_free(video);
    }
    if (info)
        gst_discoverer_info_unref(info);
    g_object_unref(discoverer);
    return media;
}

bool ShowsPicture(QWidget *window)
{
    if (!window)
        return false;
    const QImage image = window->grab().toImage();
    const QRgb background = window->palette().color(window->backgroundRole()).rgb();
    qint64 coloured = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QRgb pixel = image.pixel(x, y);
            if (qGray(pixel) > 16 && pixel != background)
                ++coloured;
        }
    }
    const qint64 sampled = static_cast<qint64>((image.width() + 1) / 2) * ((image.height() + 1) / 2);
    return sampled > 0 && coloured * 4 > sampled;
}

bool Logged(const Brevik::LogCapture &log, int level, const QString &text)
{
    const QList<Brevik::LogRecord> records = log.Records();
    return std::any_of(records.begin(), records.end(), [&](const Brevik::LogRecord &record) {
        return record.level == level && record.text == text
            && record.category == QStringLiteral("brevik.logic.modules.talmaro");
    });
}

void RunFor(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QTest::qWait(qMin<qint64>(10, milliseconds - timer.elapsed()));
}

void ControlFixture::SetUp()
{
    ASSERT_TRUE(m_folder.isValid());
    qputenv(Talmaro::kTestDevicesVariable, m_devices);
    QSettings().remove(QStringLiteral("Media"));
    m_prompts.SetDefaultAnswer(Desktop::Answer::Ok);
    for (const DISPID event : { Talmaro::kOnStartRecord, Talmaro::kOnStopRecord, Talmaro::kOnStartPlay,
             Talmaro::kOnFinishPlay, Talmaro::kOnStartPreview, Talmaro::kOnStopPreview })
        m_events.On(event, [this, event](const QVariantList &) { m_fired.push_back(event); });
    CreateControl();
    ASSERT_TRUE(m_control.IsValid());
    m_savedLevel = m_control.Get(Talmaro::kCompressionLevel).value<qint16>();
}

void ControlFixture::TearDown()
{
    if (m_control.IsValid())
        m_control.Put(Talmaro::kCompressionLevel, QVariant::fromValue<qint16>(m_savedLevel));
    DestroyControl();
    qunsetenv(Talmaro::kTestDevicesVariable);
}

void ControlFixture::CreateControl()
{
    DestroyControl();
    m_pHost = std::make_unique<ControlHost>();
    m_pHost->resize(480, 90);
    m_pHost->show();
    const HRESULT hr = m_pHost->CreateControl(Talmaro::kClsidTalmaro);
    ASSERT_HR(S_OK, hr);
    m_control = m_pHost->Dispatch();
    ASSERT_HR(S_OK, m_events.Connect(m_pHost->Object().Get()));
}

void ControlFixture::DestroyControl()
{
    m_events.Disconnect();
    m_control.Release();
    m_pHost.reset();
}

HRESULT ControlFixture::Call(DISPID member, const QVariantList &arguments, QVariant *result)
{
    return m_control.Call(member, arguments, result);
}

short ControlFixture::Status()
{
    QVariant status;
    EXPECT_HR(S_OK, Call(Talmaro::kGetStatus, {}, &status));
    return status.value<qint16>();
}

QString ControlFixture::StatusText() const
{
    const auto *label = Child<QLabel>("statusText");
    return label ? label->text() : QString();
}

QString ControlFixture::FileName()
{
    QVariant name;
    EXPECT_HR(S_OK, Call(Talmaro::kGetFileName, {}, &name));
    return name.toString();
}

qint16 ControlFixture::OutFlag(DISPID member)
{
    QVariantList arguments { QVariant::fromValue<qint16>(-7) };
    EXPECT_HR(S_OK, m_control.Invoke(member, InvokeKind::Method, arguments, nullptr));
    return arguments.value(0).value<qint16>();
}

qint64 ControlFixture::MarkerAt(int index)
{
    QVariant position;
    EXPECT_HR(S_OK, Call(Talmaro::kGetMarkerAt, { index }, &position));
    return position.toLongLong();
}

QString ControlFixture::MarkerDescAt(int index)
{
    QVariant description;
    EXPECT_HR(S_OK, Call(Talmaro::kGetMarkerDescAt, { index }, &description));
    return description.toString();
}

int ControlFixture::MarkerCount()
{
    QVariant count;
    EXPECT_HR(S_OK, Call(Talmaro::kGetMarkersNo, {}, &count));
    return static_cast<int>(count.toUInt());
}

void ControlFixture::SetLevel(short level)
{
    ASSERT_HR(S_OK, m_control.Put(Talmaro::kCompressionLevel, QVariant::fromValue<qint16>(level)));
}

void ControlFixture::RecordFor(const QString &file, int milliseconds)
{
    QElapsedTimer recording;
    recording.start();
    ASSERT_HR(S_OK, Call(Talmaro::kRecord, { file }));
    RunFor(milliseconds - static_cast<int>(recording.elapsed()));
    ASSERT_HR(S_OK, Call(Talmaro::kStop));
}

bool ControlFixture::WaitForStatus(short status, int timeoutMs)
{
    return TestSupport::WaitFor([this, status] { return Status() == status; }, timeoutMs);
}

std::vector<DISPID> ControlFixture::TakeEvents()
{
    std::vector<DISPID> events;
    events.swap(m_fired);
    return events;
}

} // namespace TalmaroTest
