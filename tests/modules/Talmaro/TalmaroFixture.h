#pragma once

#include "Talmaro/TalmaroIds.h"

#include "Brevik/LogCapture.h"
#include "component/ControlHost.h"
#include "component/Events.h"
#include "support/ScriptedDesktop.h"
#include "support/TestSupport.h"

#include <QtCore/QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

class QWidget;

#define EXPECT_HR(expected, actual) EXPECT_EQ(Component::ResultName(expected), Component::ResultName(actual))
#define ASSERT_HR(expected, actual) ASSERT_EQ(Component::ResultName(expected), Component::ResultName(actual))

namespace TalmaroTest {

// What GStreamer's discoverer reads from a recorded file.
struct MediaInfo
{
    bool ok = false;
    double seconds = 0;
    QString container; // caps of the container
    QString audio; // caps of the first audio stream, empty when none
    QString video; // caps of the first video stream, empty when none
    int sampleRate = 0;
    int channels = 0;
    int width = 0;
    int height = 0;
};
MediaInfo Discover(const QString &file);

// Whether a window shows a picture: enough pixels that are neither black nor
// the window's own background.
bool ShowsPicture(QWidget *window);

// Whether the control's logger wrote exactly this text at this level.
bool Logged(const Brevik::LogCapture &log, int level, const QString &text);

// Runs the event loop for the time given.
void RunFor(int milliseconds);

// A Talmaro control in a host window, created by class id with the test
// devices given ("test", "audio" or "none"), its events recorded in order.
// The compression level, shared by the process, is put back afterwards.
class ControlFixture : public ::testing::Test
{
protected:
    explicit ControlFixture(const char *devices)
        : m_devices(devices)
    { }

    void SetUp() override;
    void TearDown() override;

    // Makes (again) the host and the control; the old ones go first.
    void CreateControl();
    void DestroyControl();

    Component::HRESULT Call(
        Component::DISPID member, const QVariantList &arguments = {}, QVariant *result = nullptr);
    short Status();
    QString StatusText() const;
    QString FileName();
    qint16 OutFlag(Component::DISPID member);
    qint64 MarkerAt(int index);
    QString MarkerDescAt(int index);
    int MarkerCount();
    void SetLevel(short level);

    // Records into 'file' for about 'milliseconds' and stops.
    void RecordFor(const QString &file, int milliseconds);
    // Waits until the control's status is 'status'.
    bool WaitForStatus(short status, int timeoutMs = 8000);

    // Events fired since the last call.
    std::vector<Component::DISPID> TakeEvents();

    QWidget *Window() const { return m_pHost ? m_pHost->ControlWindow() : nullptr; }
    template<class T> T *Child(const char *name) const
    {
        return Window() ? Window()->findChild<T *>(QString::fromLatin1(name)) : nullptr;
    }
    QString FilePath(const QString &name) const { return m_folder.filePath(name); }

    Brevik::LogCapture m_log; // before the control, which logs as it is made
    std::unique_ptr<Component::ControlHost> m_pHost;
    Component::DispatchDriver m_control;
    Component::EventSink m_events;
    std::vector<Component::DISPID> m_fired;
    Desktop::ScriptedPrompts m_prompts;
    TestSupport::TemporaryFolder m_folder;

private:
    QByteArray m_devices;
    qint16 m_savedLevel = 4;
};

class AudioOnlyMachine : public ControlFixture
{
protected:
    AudioOnlyMachine()
        : ControlFixture("audio")
    { }
};

class CameraMachine : public ControlFixture
{
protected:
    CameraMachine()
        : ControlFixture("test")
    { }
};

class BareMachine : public ControlFixture
{
protected:
    BareMachine()
        : ControlFixture("none")
    { }
};

} // namespace TalmaroTest
