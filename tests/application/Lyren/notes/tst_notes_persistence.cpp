// The notes saved and read back through a real database file: items at their
// positions, random documents of every kind of item across a restart, the
// consultation of today, the charge of prescriptions, and saves that fail.
#include "NotesTestUtil.h"

#include "common/LocaleDates.h"
#include "common/Money.h"
#include "richedit/RtfCodec.h"

#include <QtCore/QRandomGenerator>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>

using namespace NotesTest;

namespace {

// Appends filler text until the notes are `position` characters long.
void FillTo(CActiveEditor &editor, int position)
{
    const int length = editor.Document().Rich().textLength();
    ASSERT_LE(length, position);
    editor.SetCaret(-1);
    QString filler;
    for (int i = length; i < position; ++i)
        filler += QChar(u'a' + i % 26);
    editor.InsertText(filler);
}

QString IdOf(const CActiveEditorClientItem *item)
{
    return item ? item->m_strRecordId : QString();
}

// On both engines.
class NotesPersistence : public ::testing::TestWithParam<Korbel::Engine>
{
protected:
    void SetUp() override { VERDANTA_SKIP_WITHOUT_SERVER(GetParam()); }
};

} // namespace

TEST_P(NotesPersistence, ItemsAt5_12And40ComeBackWithTheTextBetweenThem)
{
    Practice practice({ QStringLiteral("Anna") }, GetParam());
    ASSERT_TRUE(practice.Open());
    CActiveEditor &editor = practice.Editor();
    practice.Clear();
    practice.Insert(ItemKind::Separator, 0);
    editor.InsertText(QStringLiteral("\nSo"));
    FillTo(editor, 5);
    practice.Insert(ItemKind::Image, 1);
    FillTo(editor, 12);
    practice.Insert(ItemKind::Audio, 2);
    editor.InsertText(QStringLiteral(" pain in the left knee, "));
    FillTo(editor, 40);
    practice.Insert(ItemKind::Prescription, 3);
    editor.InsertText(QStringLiteral(" twice a day."));
    const QString text = TextOf(editor);
    const QStringList items = DescribeItems(editor);
    ASSERT_EQ(items.size(), 4);

    ASSERT_EQ(practice.Save(), 1);
    const QString patient = practice.PatientIds().first();
    EXPECT_EQ(practice.Rows(QStringLiteral("IMAGES"), patient).join(u','), QStringLiteral("1:5"));
    EXPECT_EQ(practice.Rows(QStringLiteral("MEDIA"), patient).join(u','), QStringLiteral("1:12"));
    EXPECT_EQ(practice.Rows(QStringLiteral("PRESCRIPTIONS"), patient).join(u','), QStringLiteral("1:40"));
    // Each item went out as one blank.
    QTextDocument stored;
    ASSERT_TRUE(RichEdit::RtfCodec::fromRtf(stored, practice.StoredNotes(patient)));
    QString blanks = text;
    blanks.replace(QChar::ObjectReplacementCharacter, u' ');
    EXPECT_EQ(stored.toPlainText(), blanks);

    ASSERT_TRUE(practice.Reopen());
    EXPECT_EQ(TextOf(practice.Editor()), text);
    EXPECT_EQ(DescribeItems(practice.Editor()), items);
    EXPECT_TRUE(practice.Notes().Notices().isEmpty());
}

TEST_P(NotesPersistence, TwoHundredRandomDocumentsSurviveARestart)
{
    constexpr int Documents = 200;
    QStringList names;
    for (int i = 0; i < Documents; ++i)
        names << QStringLiteral("P%1").arg(i);
    Practice practice(names, GetParam());
    ASSERT_TRUE(practice.Open());
    QRandomGenerator random(20261208);
    const ItemKind kinds[]
        = { ItemKind::Image, ItemKind::Audio, ItemKind::Video, ItemKind::Sequence, ItemKind::Prescription };
    const QStringList words = { QStringLiteral("pain"), QStringLiteral("better"), QStringLiteral("sleeps"),
        QStringLiteral("thirst"), QStringLiteral("cold"), QStringLiteral("Ärger"), QStringLiteral("fièvre"),
        QStringLiteral("頭痛"), QStringLiteral("{braces}"), QStringLiteral("back\\slash"),
        QStringLiteral("tab\t") };

    struct Expected
    {
        QString text;
        QStringList items;
        QByteArray rtf;
    };
    std::vector<Expected> expected;
    int seed = 0;
    for (const QString &id : practice.PatientIds()) {
        ASSERT_EQ(practice.GoTo(id), 1);
        CActiveEditor &editor = practice.Editor();
        practice.Clear();
        const int consultations = 1 + int(random.bounded(3));
        for (int c = 0; c < consultations; ++c) {
            editor.SetCaret(-1);
            if (c > 0)
                editor.InsertText(QStringLiteral("\n"));
            // The last consultation is today's, so that none is added at the next load.
            practice.Insert(ItemKind::Separator, c + 1 == consultations ? 0 : 30 * (consultations - c));
            editor.InsertText(QStringLiteral("\n"));
            const int pieces = 1 + int(random.bounded(8));
            for (int p = 0; p < pieces; ++p) {
                if (p > 0 && random.bounded(3) == 0) {
                    practice.Insert(kinds[random.bounded(5)], ++seed);
                    continue;
                }
                QTextCursor cursor = editor.Caret();
                QTextCharFormat format;
                format.setFontWeight(random.bounded(4) == 0 ? QFont::Bold : QFont::Normal);
                format.setFontItalic(random.bounded(5) == 0);
                cursor.insertText(words[random.bounded(words.size())]
                        + (random.bounded(6) == 0 ? QStringLiteral("\n") : QStringLiteral(" ")),
                    format);
                editor.SetCaretCursor(cursor);
            }
        }
        expected.push_back({ TextOf(editor), DescribeItems(editor), {} });
        ASSERT_TRUE(editor.SaveNotes(expected.back().rtf));
    }
    ASSERT_EQ(practice.Save(), 1);

    ASSERT_TRUE(practice.Reopen());
    for (int i = 0; i < Documents; ++i) {
        const QString id = practice.PatientIds()[i];
        ASSERT_EQ(practice.GoTo(id), 1);
        CActiveEditor &editor = practice.Editor();
        EXPECT_EQ(TextOf(editor), expected[size_t(i)].text) << i;
        EXPECT_EQ(DescribeItems(editor), expected[size_t(i)].items) << i;
        QByteArray rtf;
        ASSERT_TRUE(editor.SaveNotes(rtf));
        EXPECT_EQ(rtf, expected[size_t(i)].rtf) << i;
        // Every item has its row, at its position, and no row is left over.
        ItemList items;
        editor.CollectItems(items);
        std::map<QString, QStringList> rows;
        for (const CActiveEditorClientItem *item : items) {
            EXPECT_FALSE(item->m_bNew);
            const QString table = TableOf(item->Kind());
            rows[table] << item->m_strRecordId + QLatin1Char(':') + QString::number(item->m_nCharPos);
        }
        for (const QString &table : ItemTables())
            EXPECT_EQ(practice.Rows(table, id), rows[table]) << i << " " << table.toStdString();
    }
}

TEST_P(NotesPersistence, TodaysConsultationIsOpenedOnceAndEmptyOnesNeverStored)
{
    Practice practice({ QStringLiteral("Anna"), QStringLiteral("Bert") }, GetParam());
    ASSERT_TRUE(practice.Open());
    const QString anna = practice.PatientIds()[0];
    // Opening a patient without a consultation of today appends one at the end.
    QStringList items = DescribeItems(practice.Editor());
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(
        items[0].startsWith(QStringLiteral("0: consultation ") + QDate::currentDate().toString(Qt::ISODate)));
    CActiveEditorSeparatorItem *today = practice.Notes().TodaysSeparator();
    ASSERT_NE(today, nullptr);

    // Saved with nothing after it, it is removed and no row is stored; a fresh
    // one is appended again.
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("CONSULTATIONS")), 0);
    EXPECT_EQ(DescribeItems(practice.Editor()).size(), 1);
    ASSERT_NE(practice.Notes().TodaysSeparator(), nullptr);

    // An image before the first separator has no consultation; text after
    // today's separator stores it, and the image after it belongs to it.
    practice.Editor().SetCaret(0);
    CActiveEditorClientItem *early = practice.Insert(ItemKind::Image, 1);
    practice.Editor().SetCaret(-1);
    practice.Editor().InsertText(QStringLiteral("Feels better. "));
    CActiveEditorClientItem *late = practice.Insert(ItemKind::Image, 2);
    ASSERT_EQ(practice.Save(), 1);
    const QString separatorId = practice.Notes().TodaysSeparator()->m_strRecordId;
    EXPECT_FALSE(separatorId.isEmpty());
    EXPECT_EQ(practice.RowCount(QStringLiteral("IMAGES"),
                  QStringLiteral("ID = %1 AND CONSULTATION_ID IS NULL").arg(IdOf(early))),
        1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("IMAGES"),
                  QStringLiteral("ID = %1 AND CONSULTATION_ID = %2").arg(IdOf(late), separatorId)),
        1);

    // Opened again the same day (another patient between), no second separator.
    ASSERT_EQ(practice.Send(CommandCode::Next), 1);
    ASSERT_EQ(practice.GoTo(anna), 1);
    items = DescribeItems(practice.Editor());
    EXPECT_EQ(items.size(), 3);
    EXPECT_EQ(std::count_if(items.begin(), items.end(),
                  [](const QString &line) { return line.contains(QStringLiteral("consultation")); }),
        1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("CONSULTATIONS")), 1);
    // Bert, whose only consultation was never written in, has no row either.
    EXPECT_EQ(practice.RowCount(QStringLiteral("CONSULTATIONS"),
                  QStringLiteral("PATIENT_ID = %1").arg(practice.PatientIds()[1])),
        0);
}

TEST_P(NotesPersistence, ConsultationDatesAndNextDatesAreStoredAndAnUnsetNextDateIsNull)
{
    Practice practice({ QStringLiteral("Anna") }, GetParam());
    ASSERT_TRUE(practice.Open());
    practice.Clear();
    CActiveEditorClientItem *old = practice.Insert(ItemKind::Separator, 9);
    practice.Editor().InsertText(QStringLiteral("\nfirst visit\n"));
    CActiveEditorClientItem *planned = practice.Insert(ItemKind::Separator, 4); // 4 % 3 == 1: a next date
    practice.Editor().InsertText(QStringLiteral("\nsecond visit"));
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("CONSULTATIONS"),
                  QStringLiteral("ID = %1 AND NEXT_DATE IS NULL").arg(IdOf(old))),
        1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("CONSULTATIONS"),
                  QStringLiteral("ID = %1 AND NEXT_DATE IS NOT NULL").arg(IdOf(planned))),
        1);
    const QStringList before = DescribeItems(practice.Editor());
    ASSERT_TRUE(practice.Reopen());
    // Neither is of today: a third one is opened at the end, after every save
    // and at every load, and never stored.
    ASSERT_EQ(before.size(), 3);
    QStringList after = DescribeItems(practice.Editor());
    ASSERT_EQ(after.size(), 3);
    EXPECT_EQ(practice.RowCount(QStringLiteral("CONSULTATIONS")), 2);
    EXPECT_EQ(after.mid(0, 2), before.mid(0, 2));
}

TEST_P(NotesPersistence, PrescriptionsAreChargedUnlessProvidedByThePatientOrNotCharged)
{
    Practice practice({ QStringLiteral("Anna") }, GetParam());
    // A new prescription costs what its remedy costs when it is made: 12.50
    // with a first tax of 10 percent.
    ASSERT_TRUE(practice.Exec(
        QStringLiteral("INSERT INTO MEDICINES (ID, NAME, PRICE) VALUES (1, 'Arnica', 125000)")));
    ASSERT_TRUE(
        practice.Exec(QStringLiteral("INSERT INTO OFFICE_DATA (ID, NAME, TAX1) VALUES (1, 'Office', 10)")));
    ASSERT_TRUE(practice.Open());
    practice.Editor().SetCaret(-1);
    practice.Editor().InsertText(QStringLiteral("Prescribed: "));
    auto *provided
        = static_cast<CActiveEditorPrescItem *>(practice.Insert(ItemKind::Prescription, 6)); // status 7
    auto *charged
        = static_cast<CActiveEditorPrescItem *>(practice.Insert(ItemKind::Prescription, 0)); // status 1
    ASSERT_EQ(provided->m_nStatusId, 7);
    ASSERT_EQ(charged->m_nStatusId, 1);
    ASSERT_EQ(practice.Save(), 1);
    const auto invoicing = [&](const CActiveEditorPrescItem *item, const QString &active) {
        return practice.RowCount(QStringLiteral("INVOICING"),
            QStringLiteral("ID = %1 AND ACTIVE = %2 AND IS_PRESC = 1 AND FEE = 0 AND DESCRIPTION = "
                           "'Invoicing item for a prescription' AND AMOUNT = %3")
                .arg(item->m_strInvoicingId, active)
                .arg(item->m_amount.Units()));
    };
    EXPECT_EQ(invoicing(provided, QStringLiteral("0")), 1);
    EXPECT_EQ(invoicing(charged, QStringLiteral("1")), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("PRESCRIPTIONS"),
                  QStringLiteral("ID = %1 AND INVOICING_ID = %2 AND STATUS_ID = 1")
                      .arg(charged->m_strRecordId, charged->m_strInvoicingId)),
        1);

    // A status that is not charged takes the charge off at the next save.
    charged->m_nStatusId = 6;
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_EQ(invoicing(charged, QStringLiteral("0")), 1);
    const QString chargedId = charged->m_strRecordId;
    ASSERT_TRUE(practice.Reopen());
    ItemList items;
    practice.Editor().CollectItems(items);
    const auto found = std::find_if(items.begin(), items.end(), [&](CActiveEditorClientItem *item) {
        return item->Kind() == ItemKind::Prescription && item->m_strRecordId == chargedId;
    });
    ASSERT_NE(found, items.end());
    const auto &reloaded = static_cast<CActiveEditorPrescItem &>(**found);
    EXPECT_EQ(reloaded.m_nStatusId, 6);
    EXPECT_EQ(reloaded.m_amount, Verdanta::Money::FromUnits(125000));
    EXPECT_EQ(reloaded.m_tax1, Verdanta::Money::FromUnits(12500));
}

TEST_P(NotesPersistence, ASaveThatCannotWriteTheNotesOrARowStopsTheMoveAndCommitsNothing)
{
    Practice practice({ QStringLiteral("Anna"), QStringLiteral("Bert") }, GetParam());
    ASSERT_TRUE(practice.Open());
    const QString anna = practice.PatientIds()[0];
    practice.Editor().SetCaret(-1);
    practice.Editor().InsertText(QStringLiteral("Stored before."));
    ASSERT_EQ(practice.Save(), 1);
    const QByteArray stored = practice.StoredNotes(anna);

    // The database refuses the notes text: the new image's row is rolled back
    // with it, the image is new again, and the patient is not left.
    CActiveEditorClientItem *image = practice.Insert(ItemKind::Image, 5);
    practice.Editor().InsertText(QStringLiteral(" Typed after."));
    ASSERT_TRUE(TestSupport::AddRefusingTrigger(practice.DatabasePath(), QStringLiteral("refuse_notes"),
        QStringLiteral("MAIN"), QStringLiteral("UPDATE OF NOTES"), QStringLiteral("1 = 1"),
        QStringLiteral("refused")));
    EXPECT_EQ(practice.Send(CommandCode::Next), 0);
    EXPECT_EQ(practice.Hub().Context().CurrentPatientId(), anna.toLongLong());
    EXPECT_EQ(practice.StoredNotes(anna), stored);
    EXPECT_EQ(practice.RowCount(QStringLiteral("IMAGES")), 0);
    EXPECT_TRUE(image->m_bNew);
    EXPECT_TRUE(image->m_strRecordId.isEmpty());
    EXPECT_TRUE(TextOf(practice.Editor()).contains(QStringLiteral("Typed after.")));

    // A row the database refuses fails the save the same way.
    ASSERT_TRUE(TestSupport::DropRefusingTrigger(
        practice.DatabasePath(), QStringLiteral("refuse_notes"), QStringLiteral("MAIN")));
    ASSERT_TRUE(TestSupport::AddRefusingTrigger(practice.DatabasePath(), QStringLiteral("refuse_images"),
        QStringLiteral("IMAGES"), QStringLiteral("INSERT"), QStringLiteral("1 = 1"),
        QStringLiteral("refused")));
    EXPECT_EQ(practice.Save(), 0);
    EXPECT_EQ(practice.StoredNotes(anna), stored);
    EXPECT_TRUE(image->m_bNew);

    // Once the database takes them, everything is stored in one save.
    ASSERT_TRUE(TestSupport::DropRefusingTrigger(
        practice.DatabasePath(), QStringLiteral("refuse_images"), QStringLiteral("IMAGES")));
    ASSERT_EQ(practice.Send(CommandCode::Next), 1);
    EXPECT_EQ(practice.Rows(QStringLiteral("IMAGES"), anna).size(), 1);
    ASSERT_EQ(practice.GoTo(anna), 1);
    EXPECT_TRUE(TextOf(practice.Editor()).contains(QStringLiteral("Typed after.")));
    EXPECT_EQ(DescribeItems(practice.Editor()).filter(QStringLiteral("img5")).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, NotesPersistence, TestSupport::BothEngines(), TestSupport::EngineName);
