// The Notes tab of the real main window over a real practice: typing, saving,
// moving and restarting keep the notes; the frame's clipboard commands keep
// items whole; the media control of the header band records into the notes
// and keeps each file's markers; the progress window copies an import.
#include "NotesTestUtil.h"

#include "notes/ui/CActiveEditorView.h"
#include "notes/ui/CNotesPage.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CMainView.h"
#include "shell/ui/CPageContainer.h"
#include "shell/ui/WindowPresenters.h"

#include "core/MediaControl.h"

#include "richedit/widgets/RichEditControl.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtGui/QAction>
#include <QtGui/QClipboard>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>

using namespace NotesTest;

namespace {

// The media control records from a tone source here; GStreamer's plug-in
// registry is built once for every test program.
const bool kTestDevices = [] {
    qputenv("VERDANTA_TALMARO_DEVICES", "audio");
    if (qEnvironmentVariableIsEmpty("GST_REGISTRY_1_0"))
        qputenv("GST_REGISTRY_1_0",
            QFile::encodeName(QDir::tempPath() + QStringLiteral("/verdanta-tests-gst-registry.bin")));
    return true;
}();

class NotesWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kTestDevices);
        prompts.SetDefaultAnswer(Desktop::Answer::Yes);
        OpenFrame();
    }
    void TearDown() override { CloseFrame(); }
    void OpenFrame()
    {
        frame = std::make_unique<CMainFrame>(practice.Root(), practice.Root() + QStringLiteral("windows"));
        QString error;
        ASSERT_TRUE(frame->Initialize(&error)) << error.toStdString();
        frame->resize(1000, 700);
        frame->show();
        page = dynamic_cast<CNotesPage *>(frame->GetPageContainer()->GetPage(CNotesPage::PageIndex));
        ASSERT_NE(page, nullptr);
        control = page->Control();
    }
    void CloseFrame()
    {
        if (frame)
            frame->close();
        frame.reset();
    }
    CLogicNotes &Notes() { return *frame->GetHub()->Services().Get<CLogicNotes>(); }
    CActiveEditor &Editor() { return Notes().ActiveEditor(); }
    QAction *Action(const char *name) { return frame->GetAction(QLatin1String(name)); }
    void TypeAtEnd(const QString &text)
    {
        control->moveCursor(QTextCursor::End);
        control->setFocus();
        QTest::keyClicks(control, text);
    }

    Desktop::ScriptedPrompts prompts;
    Practice practice { { QStringLiteral("Anna"), QStringLiteral("Bert") } };
    std::unique_ptr<CMainFrame> frame;
    CNotesPage *page = nullptr;
    RichEdit::RichEditControl *control = nullptr;
};

} // namespace

TEST_F(NotesWindow, TypedNotesAndItemsSurviveSavesMovesAndARestart)
{
    // The tab shows the notes logic's own document, with today's consultation.
    EXPECT_EQ(control->document(), Editor().Document().Document());
    EXPECT_EQ(DescribeItems(Editor()).size(), 1);
    EXPECT_FALSE(control->isReadOnly());
    EXPECT_TRUE(page->NoticeBar()->isHidden());

    TypeAtEnd(QStringLiteral("Headache since Monday, worse in the evening."));
    auto image = Editor().CreateTemplate(ItemProxy::LumiskProxy);
    static_cast<CActiveEditorImageItem &>(*image).m_strFilePath = QStringLiteral("/images/tongue.png");
    ASSERT_TRUE(Editor().InsertFromTemplate(*image));
    QTest::keyClicks(control, QStringLiteral(" Tongue coated."));
    const QString text = TextOf(Editor());
    EXPECT_TRUE(text.contains(QStringLiteral("worse in the evening.\uFFFC Tongue coated.")));
    const QStringList items = DescribeItems(Editor());

    Action("actionSave")->trigger();
    Action("actionNext")->trigger();
    EXPECT_FALSE(TextOf(Editor()).contains(QStringLiteral("Headache")));
    Action("actionPrevious")->trigger();
    EXPECT_EQ(TextOf(Editor()), text);
    EXPECT_EQ(control->toPlainText().size(), text.size());

    CloseFrame();
    OpenFrame();
    EXPECT_EQ(TextOf(Editor()), text);
    EXPECT_EQ(DescribeItems(Editor()), items);
    // The main menu's printing and clipboard commands reach the notes.
    EXPECT_TRUE(Action("actionPrint")->isEnabled());
    EXPECT_TRUE(Action("actionCopy")->isEnabled());
}

TEST_F(NotesWindow, TheClipboardCommandsKeepItemsWhole)
{
    TypeAtEnd(QStringLiteral("before "));
    ASSERT_TRUE(Editor().InsertFromTemplate(*Editor().CreateTemplate(ItemProxy::PrescProxy)));
    QTest::keyClicks(control, QStringLiteral(" after"));
    const QString text = TextOf(Editor());
    const int item = int(text.indexOf(QChar::ObjectReplacementCharacter, 2));
    QGuiApplication::clipboard()->setText(QStringLiteral("on the clipboard"));

    // A selection holding an item is neither copied nor cut; the cut only collapses it.
    control->setSelection(item - 3, item + 3);
    Action("actionCopy")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("on the clipboard"));
    Action("actionCut")->trigger();
    EXPECT_EQ(TextOf(Editor()), text);
    EXPECT_EQ(control->textCursor().position(), item + 3);
    EXPECT_FALSE(control->textCursor().hasSelection());

    // Paste over an item collapses the selection first.
    control->setSelection(item - 3, item + 3);
    Action("actionPaste")->trigger();
    EXPECT_TRUE(TextOf(Editor()).contains(QStringLiteral("\uFFFC aon the clipboardfter")))
        << TextOf(Editor()).toStdString();

    // Text alone is copied and cut as usual.
    control->setSelection(item - 7, item - 1);
    Action("actionCopy")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

TEST_F(NotesWindow, NotesThatCannotBeReadAreShownReadOnlyWithTheirNotice)
{
    CloseFrame();
    {
        auto source = practice.Outside();
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        ASSERT_EQ(main->Move(Korbel::MoveFirst), 1);
        ASSERT_EQ(main->Edit(), 1);
        ASSERT_TRUE(main->SetBinary(QStringLiteral("NOTES"), QByteArray("plain words from an old program")));
        ASSERT_TRUE(main->Update());
    }
    OpenFrame();
    EXPECT_TRUE(control->isReadOnly());
    EXPECT_EQ(control->toPlainText(), QStringLiteral("plain words from an old program"));
    EXPECT_FALSE(page->NoticeBar()->isHidden());
    EXPECT_EQ(page->NoticeBar()->text(), CLogicNotes::UnreadableNotice());
    Action("actionNext")->trigger();
    EXPECT_FALSE(control->isReadOnly());
    EXPECT_TRUE(page->NoticeBar()->isHidden());
}

TEST_F(NotesWindow, TheMediaControlRecordsIntoTheNotesAndKeepsEachFilesMarkers)
{
    const Component::DispatchDriver media = frame->GetMainView()->GetMediaControl();
    if (!media.IsValid())
        GTEST_SKIP() << "the media control's server is not built";
    ASSERT_TRUE(frame->GetHub()->Reaches(CommandCode::MediaTransport));
    TypeAtEnd(QStringLiteral("Recorded: "));

    // Record (code 32, sub-command 1) inserts an audio item recording into a
    // new file of the patient's media folder; the same command stops it.
    ASSERT_EQ(frame->SendCommand(CommandCode::MediaTransport, 1), 1);
    ItemList items;
    Editor().CollectItems(items);
    ASSERT_EQ(items.back()->Kind(), ItemKind::Audio);
    const QString recording = static_cast<CActiveEditorMediaItem *>(items.back())->m_strFilePath;
    EXPECT_EQ(QFileInfo(recording).absolutePath(),
        QDir(frame->GetHub()->GetLogicFolders()->GetMediaFolder()).absolutePath());
    EXPECT_TRUE(recording.endsWith(QStringLiteral(".wma")));
    EXPECT_FALSE(frame->GetMainView()->GetAudioDisplay()->isHidden());
    QTest::qWait(800);
    EXPECT_EQ(frame->SendCommand(CommandCode::MediaTransport, 1), 1);
    EXPECT_TRUE(frame->GetMainView()->GetAudioDisplay()->isHidden());
    EXPECT_GT(QFileInfo(recording).size(), 0);

    // Markers of the file, set on the control, are stored with its item and
    // loaded back when the file is opened again.
    CLogicMedia &logic = *frame->GetHub()->Services().Get<CLogicMedia>();
    media.Call(MediaDispid::AddMarker, { QVariant::fromValue<qint64>(3'000'000), QStringLiteral("Cough") });
    media.Call(MediaDispid::AddMarker, { QVariant::fromValue<qint64>(6'000'000), QStringLiteral("Laugh") });
    Action("actionSave")->trigger();
    EXPECT_EQ(practice.RowCount(QStringLiteral("MEDIA"),
                  QStringLiteral("FILE_PATH = '%1' AND IS_VIDEO = 0").arg(recording)),
        1);
    EXPECT_EQ(
        practice.RowCount(QStringLiteral("MARKERS"), QStringLiteral("PARENT_FILE = '%1'").arg(recording)), 2);

    // A copy under a name with a quote keeps markers of its own; removing a
    // marker removes its row at the next store.
    const QString quoted = QFileInfo(recording).absolutePath() + QStringLiteral("/O'Neil.wma");
    ASSERT_TRUE(QFile::copy(recording, quoted));
    ASSERT_TRUE(logic.Open(quoted));
    QVariant count;
    media.Call(MediaDispid::GetMarkersNo, {}, &count);
    EXPECT_EQ(count.toUInt(), 0u) << "the copy has no markers yet";
    media.Call(MediaDispid::AddMarker, { QVariant::fromValue<qint64>(1'000'000), QStringLiteral("Only") });
    ASSERT_TRUE(logic.Open(recording));
    media.Call(MediaDispid::GetMarkersNo, {}, &count);
    EXPECT_EQ(count.toUInt(), 2u);
    const QString escaped = QString(quoted).replace(u'\'', QStringLiteral("''"));
    EXPECT_EQ(
        practice.RowCount(QStringLiteral("MARKERS"), QStringLiteral("PARENT_FILE = '%1'").arg(escaped)), 1);
    media.Call(MediaDispid::CleanMarkers);
    media.Call(MediaDispid::AddMarker, { QVariant::fromValue<qint64>(6'000'000), QStringLiteral("Laugh") });
    logic.StoreMarkers();
    EXPECT_EQ(
        practice.RowCount(QStringLiteral("MARKERS"), QStringLiteral("PARENT_FILE = '%1'").arg(recording)), 1);
    media.Call(MediaDispid::Close);
}

TEST_F(NotesWindow, TheProgressWindowCopiesAnImportOnItsWorkerAndClosesItself)
{
    const QString source = practice.Root() + QStringLiteral("Interview.WAV");
    {
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(3 * 1024 * 1024, 'x'));
    }
    CLogicMedia &logic = *frame->GetHub()->Services().Get<CLogicMedia>();
    QString copied;
    ASSERT_TRUE(logic.Import(source, false, &copied));
    EXPECT_TRUE(copied.endsWith(QStringLiteral(".wav")));
    EXPECT_EQ(QFileInfo(copied).size(), 3 * 1024 * 1024);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(prompts.Count(), 0);
}
