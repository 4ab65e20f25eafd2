// The patient's media files without the media control: importing with the
// progress window's work on a worker thread, free names, cancel and failure;
// which files a deletion removes; a patient's deletion.
#include "NotesTestUtil.h"

#include "core/ProgressRunner.h"

#include "support/ScriptedDesktop.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtCore/QRegularExpression>
#include <QtCore/QThread>

using namespace NotesTest;

namespace {

// Runs the work on a thread of its own, as the program's window does, and
// records what it reported; may ask the work to stop after its first report.
class ThreadedProgress final : public IProgressRunner
{
public:
    bool Run(QWidget *, const QString &caption, bool cancellable, const Work &work) override
    {
        captions << caption;
        cancellables << cancellable;
        struct Report final : IProgress
        {
            ThreadedProgress &owner;
            explicit Report(ThreadedProgress &progress)
                : owner(progress)
            { }
            void SetStep(const QString &) override { }
            // Kept in ten-thousandths of the whole, as a bar would show them.
            void SetProgress(qint64 done, qint64 total) override
            {
                owner.positions << int(total > 0 ? done * 10000 / total : 10000);
            }
            bool IsCancelled() const override { return owner.cancelAfterFirst && !owner.positions.isEmpty(); }
        } report(*this);
        bool result = false;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            workThread = QThread::currentThread();
            result = work(report);
        }));
        worker->start();
        worker->wait();
        return result;
    }

    bool cancelAfterFirst = false;
    QStringList captions;
    QList<bool> cancellables;
    QList<int> positions;
    QThread *workThread = nullptr;
};

QByteArray RandomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(size);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

class MediaFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(practice.Open());
        practice.Hub().Services().Provide<IProgressRunner>(&progress);
        mediaFolder = practice.Hub().GetLogicFolders()->GetMediaFolder();
        ASSERT_FALSE(mediaFolder.isEmpty());
        source = practice.Root() + QStringLiteral("Recording.MP3");
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        content = RandomBytes(2 * 1024 * 1024 + 17);
        file.write(content);
    }
    void TearDown() override { practice.Hub().Services().Withdraw<IProgressRunner>(&progress); }
    QStringList MediaEntries() const { return QDir(mediaFolder).entryList(QDir::Files); }

    Desktop::ScriptedPrompts prompts;
    ThreadedProgress progress;
    Practice practice;
    QString mediaFolder;
    QString source;
    QByteArray content;
};

} // namespace

TEST_F(MediaFiles, AnImportIsCopiedOnAWorkerThreadUnderANewNameKeepingItsExtension)
{
    QString copied;
    ASSERT_TRUE(practice.Media().Import(source, false, &copied));
    EXPECT_EQ(progress.captions, QStringList { QStringLiteral("Copying media file") });
    EXPECT_EQ(progress.cancellables, QList<bool> { true });
    EXPECT_NE(progress.workThread, QThread::currentThread());
    ASSERT_GE(progress.positions.size(), 8) << "one report per chunk";
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
    EXPECT_EQ(progress.positions.last(), 10000);
    EXPECT_EQ(QFileInfo(copied).absolutePath(), QDir(mediaFolder).absolutePath());
    EXPECT_TRUE(QFileInfo(copied).fileName().contains(QRegularExpression(QStringLiteral("^\\d{14}\\.mp3$"))))
        << copied.toStdString();
    QFile file(copied);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), content);
    EXPECT_EQ(MediaEntries().size(), 1) << "no partial file is left beside it";
    EXPECT_EQ(prompts.Count(), 0);
}

TEST_F(MediaFiles, ASecondImportOfTheSameSecondGetsAFreeName)
{
    // Whatever second the import falls in, its plain name is taken.
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 3; ++s) {
        QFile taken(QDir(mediaFolder)
                        .filePath(now.addSecs(s).toString(QStringLiteral("yyyyMMddHHmmss"))
                            + QStringLiteral(".mp3")));
        ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
        taken.write("older recording");
    }
    QString copied;
    ASSERT_TRUE(practice.Media().Import(source, false, &copied));
    EXPECT_TRUE(copied.endsWith(QStringLiteral("-1.mp3"))) << copied.toStdString();
    EXPECT_EQ(QFileInfo(copied).size(), content.size());
    for (int s = 0; s < 3; ++s)
        EXPECT_EQ(QFileInfo(QDir(mediaFolder)
                                .filePath(now.addSecs(s).toString(QStringLiteral("yyyyMMddHHmmss"))
                                    + QStringLiteral(".mp3")))
                      .size(),
            15)
            << "an existing file is never replaced";
    EXPECT_EQ(practice.Media().NewMediaFileName(QStringLiteral("wma"), now).section(u'/', -1),
        now.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".wma"));
}

TEST_F(MediaFiles, ACancelledImportLeavesNothingAndAFailedOneSaysSo)
{
    progress.cancelAfterFirst = true;
    QString copied;
    EXPECT_FALSE(practice.Media().Import(source, true, &copied));
    EXPECT_TRUE(copied.isEmpty());
    EXPECT_TRUE(MediaEntries().isEmpty());
    EXPECT_EQ(prompts.Count(), 0) << "a cancel is not a failure";

    progress.cancelAfterFirst = false;
    EXPECT_FALSE(practice.Media().Import(practice.Root() + QStringLiteral("gone.avi"), true, &copied));
    EXPECT_EQ(prompts.Texts(), QStringList { QStringLiteral("Failed to import the media file.") });
    EXPECT_TRUE(MediaEntries().isEmpty());
}

TEST_F(MediaFiles, DeletingAFileRemovesOnlyRecordingsAndAllTheirMarkers)
{
    // A path with a quote selects its own markers, every one of them.
    const QString quoted = practice.Root() + QStringLiteral("O'Neil.WMA");
    const QString other = practice.Root() + QStringLiteral("O'Neil.mp3");
    for (const QString &path : { quoted, other }) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    for (int marker = 0; marker < 3; ++marker) {
        auto source = practice.Outside();
        auto markers = OpenTable(source.get(), QStringLiteral("MARKERS"));
        for (const QString &path : { quoted, other, QStringLiteral("O") })
            AddRow(markers.get(),
                { { QStringLiteral("PARENT_FILE"), path },
                    { QStringLiteral("MARKER"), QString::number(marker * 1000) } });
    }
    CLogicMedia &media = practice.Media();
    EXPECT_FALSE(media.DeleteFile(QStringLiteral("   ")));
    EXPECT_FALSE(media.DeleteFile(other)) << "not a recording of the program";
    EXPECT_TRUE(QFileInfo::exists(other));
    EXPECT_TRUE(media.DeleteFile(quoted));
    EXPECT_FALSE(QFileInfo::exists(quoted));
    EXPECT_EQ(practice.RowCount(QStringLiteral("MARKERS")), 6);
    EXPECT_EQ(practice.RowCount(QStringLiteral("MARKERS"), QStringLiteral("PARENT_FILE = 'O''Neil.WMA'")), 0);
}

TEST_F(MediaFiles, DeletingAPatientRemovesTheRowsOfItsNotesAndItsMediaOnceCommitted)
{
    practice.Editor().SetCaret(-1);
    practice.Editor().InsertText(QStringLiteral("Recorded today: "));
    const QString recording = QDir(mediaFolder).filePath(QStringLiteral("20240101101010.wma"));
    {
        QFile file(recording);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("sound");
    }
    auto item = practice.Template(ItemKind::Audio);
    static_cast<CActiveEditorMediaItem &>(*item).m_strFilePath = recording;
    ASSERT_TRUE(practice.Editor().InsertFromTemplate(*item));
    practice.Insert(ItemKind::Image, 1);
    practice.Insert(ItemKind::Sequence, 2);
    ASSERT_EQ(practice.Save(), 1);
    {
        auto source = practice.Outside();
        auto markers = OpenTable(source.get(), QStringLiteral("MARKERS"));
        AddRow(markers.get(),
            { { QStringLiteral("PARENT_FILE"), recording },
                { QStringLiteral("MARKER"), QStringLiteral("5000") } });
    }
    const QString folder = practice.Hub().GetLogicFolders()->GetPatientFolder();
    ASSERT_TRUE(QFileInfo::exists(folder));

    prompts.QueueAnswer(Desktop::Answer::Yes);
    ASSERT_EQ(practice.Send(CommandCode::DeletePatient), 1);
    for (const QString &table : { QStringLiteral("CONSULTATIONS"), QStringLiteral("IMAGES"),
             QStringLiteral("MEDIA"), QStringLiteral("INHALATIONS"), QStringLiteral("MARKERS") })
        EXPECT_EQ(practice.RowCount(table), 0) << table.toStdString();
    EXPECT_FALSE(QFileInfo::exists(recording));
    EXPECT_FALSE(QFileInfo::exists(folder));
}
