#include "TalmaroFixture.h"

#include "component/Registry.h"

#include <QtCore/QPluginLoader>
#include <QtCore/QSettings>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMenu>
#include <QtWidgets/QSlider>
#include <QtWidgets/QToolButton>

using namespace Component;
using namespace Talmaro;
using namespace TalmaroTest;
using Events = std::vector<DISPID>;

namespace {

QStringList ActionTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text() + (action->isChecked() ? QStringLiteral(" *") : QString());
    return texts;
}

QAction *Action(QWidget *window, const char *name)
{
    return window->findChild<QAction *>(QString::fromLatin1(name));
}

} // namespace

TEST(TalmaroServer, RegistrationMatchesItsFileAndNamesBothClasses)
{
    QString path;
    ServerInfo metadata;
    ASSERT_TRUE(Registry::Instance().FindServer(kClsidTalmaro, &path, &metadata));
    const bool loadedBefore = Registry::Instance().IsServerLoaded(path);
    const Brevik::LogCapture log;
    QPluginLoader loader(path);
    auto *server = qobject_cast<IServer *>(loader.instance());
    ASSERT_NE(nullptr, server);
    // The module starts its logger when it is loaded.
    if (!loadedBefore) {
        EXPECT_TRUE(Logged(log, 5, QStringLiteral("CTalmaroApp::InitInstance()")));
    }
    ServerInfo registered;
    ASSERT_HR(S_OK, server->RegisterServer(&registered));
    EXPECT_TRUE(registered == metadata);

    QUuid classId;
    ASSERT_HR(S_OK, ClassIdFromProgId(QStringLiteral("TALMARO.TalmaroCtrl.1"), &classId));
    EXPECT_EQ(kClsidTalmaro, classId);
    ASSERT_HR(S_OK, ClassIdFromProgId(QStringLiteral("TALMARO.TalmaroCtrl"), &classId));
    EXPECT_EQ(kClsidTalmaro, classId);
    ASSERT_HR(S_OK, ClassIdFromProgId(QStringLiteral("TALMARO.TalmaroPropPage.1"), &classId));
    EXPECT_EQ(kClsidTalmaroPropPage, classId);

    ControlHost page;
    ASSERT_HR(S_OK, page.CreateControl(kClsidTalmaroPropPage));
    EXPECT_EQ(QStringLiteral("General"), page.ControlWindow()->windowTitle());
}

TEST_F(CameraMachine, RecordToggleAsksTheContainerAndStopsOnRelease)
{
    auto *record = Child<QToolButton>("recordButton");
    ASSERT_NE(nullptr, record);
    // The container answers OnStartRecord by recording into a file it names.
    const QString file = FilePath(QStringLiteral("toggled.asf"));
    m_events.On(kOnStartRecord, [this, file](const QVariantList &) {
        m_fired.push_back(kOnStartRecord);
        Call(kRecord, { file });
    });

    record->click();
    EXPECT_EQ(Events { kOnStartRecord }, TakeEvents());
    EXPECT_EQ(kVideoRecording, Status());
    EXPECT_TRUE(record->isChecked());
    RunFor(600);

    record->click();
    EXPECT_EQ(Events { kOnStopRecord }, TakeEvents());
    EXPECT_EQ(kVideoStopped, Status());
    EXPECT_FALSE(record->isChecked());
    EXPECT_TRUE(Discover(file).ok);

    // The play toggle plays the current file and pauses it.
    auto *play = Child<QToolButton>("playButton");
    ASSERT_NE(nullptr, play);
    ASSERT_TRUE(play->isEnabled());
    play->click();
    EXPECT_EQ(Events { kOnStartPlay }, TakeEvents());
    EXPECT_EQ(kVideoPlaying, Status());
    EXPECT_TRUE(play->isChecked());
    play->click();
    EXPECT_EQ(Events { kOnFinishPlay }, TakeEvents());
    EXPECT_EQ(kVideoPaused, Status());
    EXPECT_FALSE(play->isChecked());
}

TEST_F(CameraMachine, RecordToggleWithoutAnAnswerRecordsNothing)
{
    auto *record = Child<QToolButton>("recordButton");
    ASSERT_NE(nullptr, record);
    record->click();
    EXPECT_EQ(Events { kOnStartRecord }, TakeEvents());
    EXPECT_EQ(kVideoReady, Status());
    // The button follows what happens, not what was pressed.
    EXPECT_FALSE(record->isChecked());
}

TEST_F(CameraMachine, SourceMenusAndCaptionsFollowTheDevicesAndChoices)
{
    auto *audioMenu = Child<QMenu>("audioSourceMenu");
    auto *videoMenu = Child<QMenu>("videoSourceMenu");
    ASSERT_TRUE(audioMenu && videoMenu);
    EXPECT_EQ(QStringList({ QStringLiteral("Test Tone Microphone (440 Hz) *"),
                  QStringLiteral("Test Tone Microphone (880 Hz)") }),
        ActionTexts(audioMenu));
    EXPECT_EQ(QStringList({ QStringLiteral("Test Pattern Camera (Bars) *"),
                  QStringLiteral("Test Pattern Camera (Ball)") }),
        ActionTexts(videoMenu));

    QAction *audioToggle = Action(Window(), "audioToggle");
    QAction *videoToggle = Action(Window(), "videoToggle");
    QAction *previewToggle = Action(Window(), "previewToggle");
    ASSERT_TRUE(audioToggle && videoToggle && previewToggle);
    EXPECT_EQ(QStringLiteral("Disable audio"), audioToggle->text());
    EXPECT_EQ(QStringLiteral("Disable video"), videoToggle->text());
    EXPECT_EQ(QStringLiteral("Preview video"), previewToggle->text());

    previewToggle->trigger();
    EXPECT_EQ(kPreviewing, Status());
    EXPECT_EQ(QStringLiteral("Stop previewing video"), previewToggle->text());
    previewToggle->trigger();
    EXPECT_EQ(kVideoReady, Status());

    audioToggle->trigger();
    EXPECT_EQ(QStringLiteral("Enable audio"), audioToggle->text());
    EXPECT_EQ(kVideoReady, Status());

    // Without video the control records sound alone.
    videoToggle->trigger();
    EXPECT_EQ(QStringLiteral("Enable video"), videoToggle->text());
    EXPECT_EQ(kAudioReady, Status());
    EXPECT_EQ(QStringLiteral("  Audio Ready "), StatusText());
    EXPECT_FALSE(previewToggle->isEnabled());

    audioMenu->actions().at(1)->trigger();
    EXPECT_EQ(QStringList({ QStringLiteral("Test Tone Microphone (440 Hz)"),
                  QStringLiteral("Test Tone Microphone (880 Hz) *") }),
        ActionTexts(audioMenu));
}

TEST_F(CameraMachine, DeviceChoicesAreWrittenWhenTheWindowGoesAndReadWhenItIsMade)
{
    Action(Window(), "videoToggle")->trigger();
    Child<QMenu>("audioSourceMenu")->actions().at(1)->trigger();
    Child<QMenu>("videoSourceMenu")->actions().at(1)->trigger();
    // Nothing is written while the window lives.
    EXPECT_FALSE(QSettings().contains(QStringLiteral("Media/Audio Only")));

    DestroyControl();
    QSettings settings;
    EXPECT_EQ(1, settings.value(QStringLiteral("Media/Audio Only")).toInt());
    EXPECT_EQ(0, settings.value(QStringLiteral("Media/Video Only")).toInt());
    EXPECT_EQ(1, settings.value(QStringLiteral("Media/Audio Input")).toInt());
    EXPECT_EQ(1, settings.value(QStringLiteral("Media/Video Input")).toInt());

    settings.setValue(QStringLiteral("Media/Audio Only"), 0);
    settings.setValue(QStringLiteral("Media/Video Only"), 1);
    settings.sync();
    CreateControl();
    EXPECT_EQ(kVideoReady, Status());
    EXPECT_EQ(QStringLiteral("Enable audio"), Action(Window(), "audioToggle")->text());
    EXPECT_TRUE(ActionTexts(Child<QMenu>("audioSourceMenu"))
                    .contains(QStringLiteral("Test Tone Microphone (880 Hz) *")));
    EXPECT_TRUE(ActionTexts(Child<QMenu>("videoSourceMenu"))
                    .contains(QStringLiteral("Test Pattern Camera (Ball) *")));

    // "Video Only" records the picture without sound.
    const QString silent = FilePath(QStringLiteral("silent.asf"));
    RecordFor(silent, 800);
    const MediaInfo silentMedia = Discover(silent);
    EXPECT_FALSE(silentMedia.video.isEmpty());
    EXPECT_TRUE(silentMedia.audio.isEmpty());

    // A chosen device that is gone falls back to the first one.
    DestroyControl();
    settings.setValue(QStringLiteral("Media/Video Only"), 0);
    settings.setValue(QStringLiteral("Media/Audio Input"), 7);
    settings.sync();
    CreateControl();
    const QString fallback = FilePath(QStringLiteral("fallback.asf"));
    RecordFor(fallback, 800);
    EXPECT_FALSE(Discover(fallback).audio.isEmpty());
}

TEST_F(AudioOnlyMachine, QualityDialogSetsTheLevelOnlyWhenAccepted)
{
    const auto answer = [](int level, bool accept) {
        QTimer::singleShot(0, [level, accept] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(nullptr, dialog);
            EXPECT_EQ(QStringLiteral("CMediaQualityDlg"), dialog->objectName());
            dialog->findChild<QSlider *>(QStringLiteral("qualitySlider"))->setValue(level);
            if (accept)
                dialog->accept();
            else
                dialog->reject();
        });
    };

    answer(2, true);
    EXPECT_HR(S_OK, Call(kQueryCompressionLevel));
    EXPECT_EQ(2, m_control.Get(kCompressionLevel).value<qint16>());

    answer(6, false);
    EXPECT_HR(E_FAIL, Call(kQueryCompressionLevel));
    EXPECT_EQ(2, m_control.Get(kCompressionLevel).value<qint16>());
}
