// The editor's operations on its document, and deleting items with undo: a
// stored item deleted from the text keeps its rows until the next save, comes
// back whole with undo, and gets rows again when undo brings it back later.
#include "NotesTestUtil.h"

#include <QtCore/QRandomGenerator>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>

using namespace NotesTest;

namespace {

// Every item of the text has its row at its position, and every row of the
// patient belongs to an item of the text. Only the consultation of today
// opened after the save at the end, still empty, has none.
void ExpectRowsMatchTheText(Practice &practice, const QString &patient)
{
    ItemList items;
    practice.Editor().CollectItems(items);
    std::map<QString, QStringList> expected;
    QStringList invoicing;
    for (const CActiveEditorClientItem *item : items) {
        if (item->Kind() == ItemKind::Separator && item->m_bNew
            && practice.Editor().IsConsultationEmpty(item->m_nCharPos))
            continue;
        EXPECT_FALSE(item->m_bNew) << Describe(*item).toStdString();
        expected[TableOf(item->Kind())]
            << item->m_strRecordId + QLatin1Char(':') + QString::number(item->m_nCharPos);
        if (item->Kind() == ItemKind::Prescription)
            invoicing << static_cast<const CActiveEditorPrescItem *>(item)->m_strInvoicingId;
    }
    for (const QString &table : ItemTables()) {
        QStringList rows = practice.Rows(table, patient);
        QStringList wanted = expected[table];
        rows.sort();
        wanted.sort();
        EXPECT_EQ(rows, wanted) << table.toStdString();
    }
    EXPECT_EQ(practice.RowCount(QStringLiteral("INVOICING")), int(invoicing.size()));
}

} // namespace

TEST(NotesEditor, DocumentOperations)
{
    Practice practice;
    ASSERT_TRUE(practice.Open());
    CActiveEditor &editor = practice.Editor();
    practice.Clear();
    EXPECT_EQ(editor.Document().Rich().textLength(), 0);

    // A separator made from a template is protected even when the template was not.
    auto separatorTemplate = practice.Template(ItemKind::Separator);
    separatorTemplate->m_bProtected = false;
    CActiveEditorClientItem *separator = nullptr;
    ASSERT_TRUE(editor.InsertFromTemplate(*separatorTemplate, &separator));
    EXPECT_TRUE(separator->m_bProtected);
    EXPECT_TRUE(separator->HasProxy()) << "the proxy server is loaded by class id";

    // White space and line breaks after a separator leave its consultation empty; an image does not.
    editor.InsertText(QStringLiteral("  \n\t \n"));
    EXPECT_TRUE(editor.IsConsultationEmpty(separator->m_nCharPos));
    editor.InsertText(QString());
    EXPECT_EQ(editor.Document().Rich().textLength(), 7) << "inserting nothing changes nothing";
    CActiveEditorClientItem *image = practice.Insert(ItemKind::Image, 1);
    EXPECT_FALSE(editor.IsConsultationEmpty(separator->m_nCharPos));
    EXPECT_TRUE(editor.PositionOf(*image));
    EXPECT_EQ(image->m_nCharPos, 7);

    // Text around an item is placed with it; the caret ends after the text after it.
    auto line = practice.Template(ItemKind::Sequence);
    static_cast<CActiveEditorSequenceItem &>(*line).m_remedy
        = { QStringLiteral("3"), QStringLiteral("Nux"), QStringLiteral("2"), QStringLiteral("15CH") };
    line->m_strTextBefore = QStringLiteral("[");
    line->m_strTextAfter = QStringLiteral("]  ");
    editor.SetCaret(-1);
    CActiveEditorClientItem *madeLine = nullptr;
    ASSERT_TRUE(editor.InsertFromTemplate(*line, &madeLine));
    EXPECT_EQ(TextOf(editor).right(5), QStringLiteral("[\uFFFC]  "));
    EXPECT_EQ(editor.Caret().position(), editor.Document().Rich().textLength() - 3);

    // A treatment line not stored yet is the same as another of its remedy and
    // index; a stored one is found by its record ID.
    auto probe = practice.Template(ItemKind::Sequence);
    static_cast<CActiveEditorSequenceItem &>(*probe).m_remedy
        = static_cast<CActiveEditorSequenceItem *>(madeLine)->m_remedy;
    EXPECT_EQ(editor.FindSame(*probe), madeLine);
    static_cast<CActiveEditorSequenceItem &>(*probe).m_nLineIndex = 1;
    EXPECT_EQ(editor.FindSame(*probe), nullptr);
    ASSERT_EQ(practice.Save(), 1);
    probe->m_bNew = false;
    probe->m_strRecordId = madeLine->m_strRecordId;
    EXPECT_EQ(editor.FindSame(*probe), madeLine);

    // Templates of unknown class ids are not made.
    EXPECT_EQ(editor.CreateTemplate(QUuid::createUuid()), nullptr);
    // DeleteRange to the end; SetCaret(-1) is the end.
    editor.DeleteRange(1, -1);
    EXPECT_EQ(editor.Document().Rich().textLength(), 1);
    editor.SetCaret(-1);
    EXPECT_EQ(editor.Caret().position(), 1);
}

TEST(NotesEditor, TreatmentDaysReadAndWriteTheirStoredForm)
{
    const QList<QDate> days = { QDate(2009, 3, 5), QDate(2009, 3, 3), QDate(2009, 3, 5) };
    EXPECT_EQ(TreatmentDays::Format(days), QStringLiteral("03032009;05032009;"));
    EXPECT_EQ(TreatmentDays::Parse(QStringLiteral("03032009;05032009;")),
        (QList<QDate> { QDate(2009, 3, 3), QDate(2009, 3, 5) }));
    // A piece counts only when ";" ends it; nothing is read without a first piece; bad pieces are left out.
    EXPECT_EQ(TreatmentDays::Parse(QStringLiteral("03032009;0503")).size(), 1);
    EXPECT_TRUE(TreatmentDays::Parse(QStringLiteral(";03032009;")).isEmpty());
    EXPECT_TRUE(TreatmentDays::Parse(QStringLiteral("03032009")).isEmpty());
    EXPECT_EQ(
        TreatmentDays::Parse(QStringLiteral("31022009;xx;01012010;")), (QList<QDate> { QDate(2010, 1, 1) }));

    Practice practice;
    ASSERT_TRUE(practice.Open());
    practice.Editor().SetCaret(-1);
    practice.Editor().InsertText(QStringLiteral("Treatment: "));
    auto *line = static_cast<CActiveEditorSequenceItem *>(practice.Insert(ItemKind::Sequence, 0));
    // Selecting a day twice keeps it once; unselecting removes it.
    EXPECT_TRUE(line->SelectDay(QDate(2009, 4, 2), true));
    EXPECT_FALSE(line->SelectDay(QDate(2009, 4, 2), true));
    EXPECT_TRUE(line->SelectDay(QDate(2009, 3, 3), false));
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_EQ(
        practice.RowCount(QStringLiteral("INHALATIONS"), QStringLiteral("SEQUENCE = '05032009;02042009;'")),
        1);
}

TEST(NotesEditor, AStoredPrescriptionDeletedFromTheNotesKeepsItsRowsUntilTheSaveAndUndoBringsItBackWhole)
{
    Practice practice;
    ASSERT_TRUE(practice.Open());
    const QString patient = practice.PatientIds().first();
    CActiveEditor &editor = practice.Editor();
    QTextDocument *document = editor.Document().Document();
    editor.SetCaret(-1);
    editor.InsertText(QStringLiteral("Take "));
    auto *prescription = static_cast<CActiveEditorPrescItem *>(practice.Insert(ItemKind::Prescription, 0));
    editor.InsertText(QStringLiteral(" daily."));
    ASSERT_EQ(practice.Save(), 1);
    const QString id = prescription->m_strRecordId;
    const QString invoicing = prescription->m_strInvoicingId;
    ASSERT_FALSE(id.isEmpty());
    ASSERT_FALSE(invoicing.isEmpty());
    const int at = prescription->m_nCharPos;

    // Deleted: the rows stay until the next save.
    editor.DeleteRange(at, at + 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("PRESCRIPTIONS")), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("INVOICING")), 1);
    // Undone before the save: the same item with the same rows.
    document->undo();
    ASSERT_TRUE(editor.PositionOf(*prescription));
    EXPECT_EQ(prescription->m_strRecordId, id);
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("PRESCRIPTIONS"), QStringLiteral("ID = %1").arg(id)), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("INVOICING"), QStringLiteral("ID = %1").arg(invoicing)), 1);

    // Deleted and saved: both rows go.
    editor.DeleteRange(prescription->m_nCharPos, prescription->m_nCharPos + 1);
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_EQ(practice.RowCount(QStringLiteral("PRESCRIPTIONS")), 0);
    EXPECT_EQ(practice.RowCount(QStringLiteral("INVOICING")), 0);

    // Undone after that save: the item is stored again, with a charge of its own.
    ASSERT_TRUE(document->isUndoAvailable());
    while (!editor.PositionOf(*prescription) && document->isUndoAvailable())
        document->undo();
    ASSERT_TRUE(editor.PositionOf(*prescription));
    EXPECT_TRUE(prescription->m_bNew);
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_EQ(practice.Rows(QStringLiteral("PRESCRIPTIONS"), patient).size(), 1);
    EXPECT_EQ(practice.RowCount(
                  QStringLiteral("INVOICING"), QStringLiteral("ID = %1").arg(prescription->m_strInvoicingId)),
        1);
    ExpectRowsMatchTheText(practice, patient);
    ASSERT_TRUE(practice.Reopen());
    EXPECT_EQ(DescribeItems(practice.Editor()).filter(QStringLiteral("prescription")).size(), 1);
}

TEST(NotesEditor, ARandomWalkOfEditsUndoRedoAndSavesNeverLeavesAnItemWithoutItsRows)
{
    Practice practice;
    ASSERT_TRUE(practice.Open());
    const QString patient = practice.PatientIds().first();
    CActiveEditor &editor = practice.Editor();
    QTextDocument *document = editor.Document().Document();
    QRandomGenerator random(77);
    const ItemKind kinds[] = { ItemKind::Separator, ItemKind::Image, ItemKind::Audio, ItemKind::Video,
        ItemKind::Sequence, ItemKind::Prescription };
    editor.SetCaret(-1);
    editor.InsertText(QStringLiteral("First consultation of the walk."));
    int seed = 0;
    int saves = 0;
    for (int step = 0; step < 800; ++step) {
        const int length = editor.Document().Rich().textLength();
        const int position = int(random.bounded(length + 1));
        switch (random.bounded(10)) {
        case 0:
        case 1:
            editor.SetCaret(position);
            editor.InsertText(random.bounded(4) == 0 ? QStringLiteral("\n") : QStringLiteral("word "));
            break;
        case 2:
            editor.SetCaret(position);
            practice.Insert(kinds[random.bounded(6)], ++seed);
            break;
        case 3:
        case 4:
            editor.DeleteRange(position, std::min(length, position + 1 + int(random.bounded(12))));
            break;
        case 5:
        case 6:
            document->undo();
            break;
        case 7:
            document->redo();
            break;
        default:
            ASSERT_EQ(practice.Save(), 1) << step;
            ++saves;
            ExpectRowsMatchTheText(practice, patient);
            if (::testing::Test::HasFailure())
                FAIL() << "after step " << step << "\n"
                       << DescribeItems(editor).join(u'\n').toStdString() << "\n"
                       << TextOf(editor).toStdString();
            // What a save stored is often undone right after it.
            for (int undo = int(random.bounded(4)); undo > 0; --undo)
                document->undo();
            break;
        }
    }
    ASSERT_GT(saves, 20);
    ASSERT_EQ(practice.Save(), 1);
    ExpectRowsMatchTheText(practice, patient);
    const QString text = TextOf(editor);
    const QStringList items = DescribeItems(editor);
    ASSERT_TRUE(practice.Reopen());
    EXPECT_EQ(TextOf(practice.Editor()), text);
    EXPECT_EQ(DescribeItems(practice.Editor()), items);
}

TEST(NotesEditor, APhrasePickedElsewhereGoesToTodaysConsultationWhichIsStoredForIt)
{
    Practice practice;
    ASSERT_TRUE(practice.Open());
    CActiveEditor &editor = practice.Editor();
    // An older consultation with text, and today's, empty, at the end.
    editor.SetCaret(0);
    practice.Insert(ItemKind::Separator, 30);
    editor.InsertText(QStringLiteral("\nolder consultation\n"));
    ASSERT_EQ(practice.Save(), 1);
    ASSERT_EQ(practice.RowCount(QStringLiteral("CONSULTATIONS")), 1);
    CActiveEditorSeparatorItem *today = practice.Notes().TodaysSeparator();
    ASSERT_NE(today, nullptr);
    ASSERT_TRUE(today->m_bNew);

    // The phrase is written into today's empty consultation, which is stored
    // so that the keyword can name it.
    EXPECT_EQ(practice.Send(CommandCode::PickPhrase, 0, QStringLiteral("fear of the dark")), 1);
    EXPECT_TRUE(TextOf(editor).endsWith(QStringLiteral("\uFFFC\nfear of the dark")));
    EXPECT_FALSE(today->m_bNew);
    EXPECT_EQ(practice.RowCount(QStringLiteral("CONSULTATIONS")), 2);
    // Once it holds text, another phrase is not written again.
    EXPECT_EQ(practice.Send(CommandCode::PickPhrase, 0, QStringLiteral("thirstless")), 1);
    EXPECT_FALSE(TextOf(editor).contains(QStringLiteral("thirstless")));
    EXPECT_EQ(practice.Send(CommandCode::PickPhrase, 0, QString()), 0);

    QString header;
    QString footer;
    EXPECT_TRUE(practice.Notes().GetPrintHeaderFooter(&header, &footer));
    EXPECT_EQ(header, QStringLiteral("NOTES FOR Anna Annason"));
    EXPECT_EQ(footer, QStringLiteral("Page %d of %d"));
}
