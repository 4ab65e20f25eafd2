// Stored notes and rows the program did not write, or that were damaged:
// everything that can be shown is, nothing stored is deleted or written over
// unseen, and the person is told once.
#include "NotesTestUtil.h"

#include "common/LocaleDates.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>

using namespace NotesTest;

namespace {

// Stores bytes as a patient's notes through a connection of its own.
void StoreNotes(Practice &practice, const QString &patient, const QByteArray &bytes)
{
    auto source = practice.Outside();
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    ASSERT_EQ(main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, patient), 1);
    ASSERT_EQ(main->Edit(), 1);
    ASSERT_TRUE(main->SetBinary(QStringLiteral("NOTES"), bytes));
    ASSERT_TRUE(main->Update());
}

QString AddItemRow(
    Practice &practice, const QString &table, const std::vector<std::pair<QString, QString>> &values)
{
    auto source = practice.Outside();
    auto rows = OpenTable(source.get(), table);
    return AddRow(rows.get(), values);
}

} // namespace

TEST(NotesInput, NotesThatAreNotRichTextAreShownReadOnlyAndNeverWrittenOver)
{
    Practice practice({ QStringLiteral("Anna"), QStringLiteral("Bert") });
    const QString anna = practice.PatientIds()[0];
    const QByteArray plain("Imported from the old card index.\nAllergic to penicillin.\n");
    StoreNotes(practice, anna, plain);
    const QString image = AddItemRow(practice, QStringLiteral("IMAGES"),
        { { QStringLiteral("PATIENT_ID"), anna }, { QStringLiteral("CHAR_POS"), QStringLiteral("3") } });
    ASSERT_TRUE(practice.Open());

    CLogicNotes &notes = practice.Notes();
    EXPECT_TRUE(notes.IsReadOnly());
    EXPECT_EQ(TextOf(practice.Editor()), QString::fromUtf8(plain));
    EXPECT_EQ(notes.Notices(), QStringList { CLogicNotes::UnreadableNotice() });
    EXPECT_TRUE(DescribeItems(practice.Editor()).isEmpty())
        << "no separator, no item in notes that are not written";
    // The phrase of another page and a stamp are refused rather than lost.
    EXPECT_EQ(practice.Send(CommandCode::PickPhrase, 0, QStringLiteral("headache")), 0);
    EXPECT_FALSE(notes.AppendToNotes(QStringLiteral("<<Call>>")));

    ASSERT_EQ(practice.Save(), 1);
    ASSERT_EQ(practice.Send(CommandCode::Next), 1);
    EXPECT_FALSE(practice.Notes().IsReadOnly());
    ASSERT_EQ(practice.GoTo(anna), 1);
    EXPECT_EQ(practice.StoredNotes(anna), plain);
    EXPECT_EQ(
        practice.RowCount(QStringLiteral("IMAGES"), QStringLiteral("ID = %1 AND CHAR_POS = 3").arg(image)),
        1);
}

TEST(NotesInput, NotesOfAnotherWriterAreKeptAsStoredBeforeTheirFirstRewrite)
{
    Practice practice;
    const QString anna = practice.PatientIds()[0];
    // A Western font in a Big5 document keeps its code page; the picture
    // cannot be shown and would be lost at the next save.
    const QByteArray foreign(
        R"({\rtf1\ansi\ansicpg950{\fonttbl{\f0\fcharset0 Arial;}}\f0 Copyright \'a9 2009 {\pict\wmetafile8\picw10\pich10 0102030405}\par})");
    StoreNotes(practice, anna, foreign);
    ASSERT_TRUE(practice.Open());
    EXPECT_FALSE(practice.Notes().IsReadOnly());
    EXPECT_TRUE(TextOf(practice.Editor()).startsWith(QStringLiteral("Copyright \u00A9 2009")));
    ASSERT_EQ(practice.Notes().Notices().size(), 1);
    const QString notice = practice.Notes().Notices().first();
    const QDir folder(practice.Root() + QStringLiteral("UserData/") + anna);
    const QStringList kept = folder.entryList({ QStringLiteral("NotesAsStored-*.rtf") }, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(notice.contains(folder.filePath(kept.first()))) << notice.toStdString();
    QFile file(folder.filePath(kept.first()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), foreign);

    // The first save rewrites the notes; read back, they are clean.
    practice.Editor().SetCaret(-1);
    practice.Editor().InsertText(QStringLiteral("Seen today."));
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_NE(practice.StoredNotes(anna), foreign);
    ASSERT_TRUE(practice.Reopen());
    EXPECT_TRUE(practice.Notes().Notices().isEmpty());
    EXPECT_TRUE(TextOf(practice.Editor()).startsWith(QStringLiteral("Copyright \u00A9 2009")));
}

TEST(NotesInput, NotesThatCannotBeKeptAsStoredAreNotRewritten)
{
    Practice practice;
    const QString anna = practice.PatientIds()[0];
    const QByteArray foreign(R"({\rtf1\ansi Text {\pict\pngblip 0102} more\par})");
    StoreNotes(practice, anna, foreign);
    // Where the patient's folder should be, a file stands: nothing can be kept there.
    ASSERT_TRUE(QDir().mkpath(practice.Root() + QStringLiteral("UserData")));
    QFile blocker(practice.Root() + QStringLiteral("UserData/") + anna);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ASSERT_TRUE(practice.Open());
    EXPECT_TRUE(practice.Notes().IsReadOnly());
    ASSERT_EQ(practice.Notes().Notices().size(), 1);
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_EQ(practice.StoredNotes(anna), foreign);
}

TEST(NotesInput, RowsThatCannotBePlacedWhereStoredGoToTheEndOfTheirConsultation)
{
    Practice practice;
    const QString anna = practice.PatientIds()[0];
    // Two consultations of text, blanks where items stood at 2 and 12.
    const QString today = Verdanta::FormatLocaleDate(QDate::currentDate());
    const QString before = Verdanta::FormatLocaleDate(QDate::currentDate().addDays(-7));
    // Text " \n  first visit\n  \nsecond": separators at 0 and 16, blanks at 2, 3 and 17.
    StoreNotes(practice, anna, QByteArray(R"({\rtf1\ansi\f0  \par   first visit\par   \par second\par})"));
    const QString first = AddItemRow(practice, QStringLiteral("CONSULTATIONS"),
        { { QStringLiteral("PATIENT_ID"), anna }, { QStringLiteral("CHAR_POS"), QStringLiteral("0") },
            { QStringLiteral("DATE"), before } });
    const QString second = AddItemRow(practice, QStringLiteral("CONSULTATIONS"),
        { { QStringLiteral("PATIENT_ID"), anna }, { QStringLiteral("CHAR_POS"), QStringLiteral("16") },
            { QStringLiteral("DATE"), today } });
    const auto image = [&](const QString &position, const QString &consultation, const QString &path) {
        return AddItemRow(practice, QStringLiteral("IMAGES"),
            { { QStringLiteral("PATIENT_ID"), anna }, { QStringLiteral("CHAR_POS"), position },
                { QStringLiteral("CONSULTATION_ID"), consultation }, { QStringLiteral("FILE_PATH"), path } });
    };
    image(QStringLiteral("2"), first, QStringLiteral("/missing/placed.png"));
    image(QStringLiteral("2"), first, QStringLiteral("/missing/same-position.png"));
    image(QStringLiteral("500"), first, QStringLiteral("/missing/past-the-end.png"));
    image(QStringLiteral("-4"), second, QStringLiteral("/missing/negative.png"));
    image(QStringLiteral("6"), second, QStringLiteral("/missing/on-a-letter.png"));
    // A prescription whose status the status table does not know, a recording
    // whose kind flag is not 0 or 1.
    AddItemRow(practice, QStringLiteral("PRESCRIPTIONS"),
        { { QStringLiteral("PATIENT_ID"), anna }, { QStringLiteral("CHAR_POS"), QStringLiteral("3") },
            { QStringLiteral("STATUS_ID"), QStringLiteral("42") },
            { QStringLiteral("MEDICINE_ID"), QStringLiteral("999") },
            { QStringLiteral("QUANTITY"), QStringLiteral("2") } });
    ASSERT_TRUE(practice.Exec(QStringLiteral(
        "INSERT INTO MEDIA (PATIENT_ID, CHAR_POS, FILE_PATH, IS_VIDEO) VALUES (%1, 17, '/x.wma', 7)")
                                  .arg(anna)));

    ASSERT_TRUE(practice.Open());
    const QStringList items = DescribeItems(practice.Editor());
    const QString text = TextOf(practice.Editor());
    // Everything is there; the first text is untouched ("first visit" keeps its letters).
    EXPECT_EQ(items.size(), 9) << items.join(u'\n').toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("first visit")));
    EXPECT_TRUE(text.contains(QStringLiteral("second")));
    EXPECT_EQ(items.filter(QStringLiteral("placed.png")).first().section(u':', 0, 0), QStringLiteral("2"));
    EXPECT_EQ(items.filter(QStringLiteral("consultation")).size(), 2)
        << "today's consultation exists: none is added";
    EXPECT_EQ(items.filter(QStringLiteral("video /x.wma")).size(), 1);
    EXPECT_EQ(items.filter(QStringLiteral("status 42")).size(), 1);
    // The misplaced images stand at the ends of their consultations: before
    // the second separator, and at the end of the text.
    const int secondSeparator
        = items.filter(QStringLiteral("consultation ") + QDate::currentDate().toString(Qt::ISODate))
              .first()
              .section(u':', 0, 0)
              .toInt();
    for (const QString &name : { QStringLiteral("same-position"), QStringLiteral("past-the-end") })
        EXPECT_LT(items.filter(name).first().section(u':', 0, 0).toInt(), secondSeparator)
            << name.toStdString();
    for (const QString &name : { QStringLiteral("negative"), QStringLiteral("on-a-letter") })
        EXPECT_GT(items.filter(name).first().section(u':', 0, 0).toInt(), secondSeparator)
            << name.toStdString();
    EXPECT_EQ(practice.Notes().Notices(), QStringList { CLogicNotes::MisplacedNotice(4) });

    // Saved and read again: every row is kept, at the item's new position, and
    // nothing is misplaced any more.
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("IMAGES")), 5);
    EXPECT_EQ(practice.RowCount(QStringLiteral("PRESCRIPTIONS")), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("MEDIA")), 1);
    ASSERT_TRUE(practice.Reopen());
    EXPECT_EQ(DescribeItems(practice.Editor()), items);
    EXPECT_TRUE(practice.Notes().Notices().isEmpty());
}

TEST(NotesInput, AnOldDatabaseKeepsItsRecordingsInTableAudio)
{
    Practice practice;
    const QString anna = practice.PatientIds()[0];
    ASSERT_TRUE(practice.Exec(QStringLiteral("ALTER TABLE MEDIA RENAME TO AUDIO")));
    ASSERT_TRUE(practice.Open());
    EXPECT_EQ(practice.Hub().GetMediaTableName(), QStringLiteral("AUDIO"));
    practice.Editor().SetCaret(-1);
    practice.Editor().InsertText(QStringLiteral("Recorded: "));
    practice.Insert(ItemKind::Audio, 3);
    practice.Insert(ItemKind::Video, 4);
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("AUDIO"), QStringLiteral("IS_VIDEO = 1")), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("AUDIO"), QStringLiteral("IS_VIDEO = 0")), 1);
    ASSERT_TRUE(practice.Reopen());
    EXPECT_EQ(
        DescribeItems(practice.Editor()).filter(QRegularExpression(QStringLiteral("audio|video"))).size(), 2);
}
