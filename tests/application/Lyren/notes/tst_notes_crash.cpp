// A process saving notes is killed at random moments: whatever it reported
// saved is in the database, and the notes text and the item rows stored
// always come from one and the same save.
#include "NotesTestUtil.h"

#include "richedit/RtfCodec.h"

#include <QtCore/QProcess>
#include <QtCore/QRandomGenerator>
#include <QtCore/QRegularExpression>
#include <QtCore/QThread>
#include <QtGui/QTextDocument>

#include <csignal>

using namespace NotesTest;

namespace {

struct Stored
{
    int lastRound = 0;
    QString text;
    std::map<QString, int> images; // file path -> position
};

Stored ReadStored(const Practice &practice, const QString &patient)
{
    Stored stored;
    QTextDocument document;
    const QByteArray notes = practice.StoredNotes(patient);
    if (!notes.isEmpty()) {
        EXPECT_TRUE(RichEdit::RtfCodec::fromRtf(document, notes));
    }
    stored.text = document.toPlainText();
    QRegularExpressionMatchIterator markers
        = QRegularExpression(QStringLiteral(" \\[(\\d+)\\]")).globalMatch(stored.text);
    while (markers.hasNext())
        stored.lastRound = markers.next().captured(1).toInt();
    auto source = practice.Outside();
    auto rows = Query(source.get(), QStringLiteral("IMAGES"), [&](Korbel::IQuery *query) {
        query->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, patient);
    });
    for (int more = rows->Move(Korbel::MoveFirst); more == 1; more = rows->Move(Korbel::MoveNext))
        stored.images[Get(rows.get(), QStringLiteral("FILE_PATH"))]
            = Get(rows.get(), QStringLiteral("CHAR_POS")).toInt();
    return stored;
}

} // namespace

TEST(NotesCrash, KillingASavingProcessNeverLosesWhatWasSavedNorLeavesHalfASave)
{
    Practice practice;
    const QString patient = practice.PatientIds().first();
    QRandomGenerator random(4242);
    int lastSaved = 0;
    int kills = 0;
    for (int round = 0; round < 50; ++round) {
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QStringLiteral(NOTES_SAVE_CHILD), { practice.Root() });
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(20000)) << "the child did not start to save";
        QThread::msleep(random.bounded(120));
        if (child.state() == QProcess::Running) {
            ::kill(pid_t(child.processId()), SIGKILL);
            ++kills;
        }
        child.waitForFinished(10000);
        const QStringList lines
            = QString::fromLatin1(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            if (line.startsWith(QStringLiteral("saved ")))
                lastSaved = std::max(lastSaved, line.mid(6).toInt());
        }

        const Stored stored = ReadStored(practice, patient);
        // Nothing reported saved is lost.
        ASSERT_GE(stored.lastRound, lastSaved) << "round " << round;
        // The rows are those of the text's save: one image per round, except
        // those deleted in the round after theirs, each at the blank after its marker.
        std::map<QString, int> expected;
        for (int r = 1; r <= stored.lastRound; ++r) {
            if (r % 4 == 3 && r + 1 <= stored.lastRound)
                continue;
            expected[QStringLiteral("%1.png").arg(r)] = 0;
        }
        ASSERT_EQ(stored.images.size(), expected.size()) << "round " << round;
        for (const auto &[path, position] : stored.images) {
            ASSERT_EQ(expected.count(path), 1u) << path.toStdString();
            const QString marker = QStringLiteral(" [%1]").arg(path.section(u'.', 0, 0));
            ASSERT_EQ(stored.text.mid(position - marker.size(), marker.size() + 1), marker + QLatin1Char(' '))
                << path.toStdString() << " round " << round;
        }
    }
    EXPECT_GT(kills, 40);
    EXPECT_GT(lastSaved, 50);
    EXPECT_EQ(practice.RowCount(QStringLiteral("MAIN")), 1);
}
