// The Treatment tab over a real practice: the button grid (reached through
// the component layer) shows a line per remedy of the notes, and real clicks
// on its days make, change and remove treatment lines in the notes.

#include "PrescriptionsTestUtil.h"

#include "notes/ActiveEditorItems.h"
#include "notes/TreatmentGrid.h"
#include "treatment/ui/CTreatmentPage.h"

#include "common/OleDate.h"
#include "component/ControlHost.h"

#include <QtTest/QTest>
#include <QtWidgets/QVBoxLayout>

using namespace PrescriptionsTest;

namespace {

constexpr int HeaderWidth = 150;
constexpr int ColumnWidth = 26;
constexpr int HeaderHeight = 36;
constexpr int LineHeight = 22;

class TreatmentBench
{
public:
    TreatmentBench()
    {
        m_page.resize(900, 500);
        m_page.show();
        Attach();
    }

    void Attach()
    {
        m_page.Attach(&bench.practice().Hub());
        const Component::DispatchDriver &grid = m_page.TreatmentGrid();
        grid.Call(22, { HeaderWidth });
        grid.Call(23, { HeaderWidth });
        m_page.setZoom(1);
        m_page.setFirstVisibleDay(m_first.startOfDay());
    }

    const Component::DispatchDriver &Grid() const { return m_page.TreatmentGrid(); }

    // A left click on a day of the grid's line at index line.
    void Click(int line, const QDate &day)
    {
        QWidget *window = m_page.GridHost()->ControlWindow();
        const QPoint point(HeaderWidth + ColumnWidth * int(m_first.daysTo(day)) + ColumnWidth / 2,
            HeaderHeight + LineHeight * line + LineHeight / 2);
        QWidget *target = window->childAt(point) ? window->childAt(point) : window;
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window, point));
    }

    QList<CActiveEditorSequenceItem *> Lines()
    {
        QList<CActiveEditorSequenceItem *> lines;
        ItemList items;
        bench.practice().Editor().CollectItems(items);
        for (CActiveEditorClientItem *item : items) {
            if (item->Kind() == ItemKind::Sequence)
                lines << static_cast<CActiveEditorSequenceItem *>(item);
        }
        return lines;
    }

    int Count(int member, const QVariantList &arguments = {})
    {
        QVariant result;
        Grid().Call(member, arguments, &result);
        return result.toInt();
    }

    Workbench bench;
    CTreatmentPage m_page;
    QDate m_first = QDate::currentDate().addDays(-3);
};

} // namespace

TEST(TreatmentPage, ClicksOnTheGridWriteTreatmentLinesIntoTheNotes)
{
    TreatmentBench treatment;
    ASSERT_TRUE(treatment.Grid().IsValid());
    EXPECT_NE(treatment.m_page.WellnessArea(), nullptr);
    EXPECT_NE(qobject_cast<QVBoxLayout *>(treatment.m_page.WellnessArea()->layout()), nullptr);
    // The placeholder line alone.
    EXPECT_EQ(treatment.Count(CTreatmentGrid::GetLinesNo), 1);
    treatment.bench.Prescribe(QStringLiteral("Arnica"), QStringLiteral("30CH"), 1);
    EXPECT_EQ(treatment.Count(CTreatmentGrid::GetLinesNo), 2);

    // A click on today of Arnica's line: a treatment line of that day.
    const QDate today = QDate::currentDate();
    treatment.Click(0, today);
    ASSERT_EQ(treatment.Lines().size(), 1);
    CActiveEditorSequenceItem *line = treatment.Lines().front();
    EXPECT_EQ(line->m_remedy,
        (RemedyRef {
            QStringLiteral("1"), QStringLiteral("Arnica"), QStringLiteral("1"), QStringLiteral("30CH") }));
    EXPECT_EQ(line->m_dates, (QList<QDate> { today }));
    EXPECT_EQ(line->m_nLineIndex, 0);
    EXPECT_EQ(treatment.Count(CTreatmentGrid::GetSequenceNo, { QStringLiteral("1_1") }), 1);

    // The same day again unselects it: the line has no day left and goes.
    treatment.Click(0, today);
    EXPECT_TRUE(treatment.Lines().isEmpty());
    EXPECT_EQ(treatment.Count(CTreatmentGrid::GetSequenceNo, { QStringLiteral("1_1") }), 0);

    // The placeholder line adds nothing.
    treatment.Click(1, today);
    EXPECT_TRUE(treatment.Lines().isEmpty());

    // A line made, saved, and found again after a restart with its day.
    treatment.Click(0, today.addDays(-1));
    ASSERT_EQ(treatment.Lines().size(), 1);
    ASSERT_EQ(treatment.bench.practice().Save(), 1);
    const QString recordId = treatment.Lines().front()->m_strRecordId;
    ASSERT_FALSE(recordId.isEmpty());
    EXPECT_EQ(treatment.bench.practice().RowCount(QStringLiteral("INHALATIONS"),
                  QStringLiteral("ID = %1 AND SEQUENCE = '%2;'")
                      .arg(recordId, today.addDays(-1).toString(QStringLiteral("ddMMyyyy")))),
        1);
    // The stored line's day clicked twice: the line goes, and a new one comes.
    treatment.Click(0, today.addDays(-1));
    treatment.Click(0, today.addDays(-1));
    ASSERT_EQ(treatment.Lines().size(), 1);
    EXPECT_TRUE(treatment.Lines().front()->m_bNew);
    ASSERT_TRUE(treatment.bench.practice().Reopen());
    treatment.Attach();
    ASSERT_EQ(treatment.Lines().size(), 1);
    const QString storedId = treatment.Lines().front()->m_strRecordId;
    EXPECT_NE(storedId, recordId);
    EXPECT_EQ(treatment.bench.practice().RowCount(QStringLiteral("INHALATIONS")), 1);
    EXPECT_EQ(treatment.Lines().front()->m_dates, (QList<QDate> { today.addDays(-1) }));
    EXPECT_EQ(treatment.Count(CTreatmentGrid::GetLinesNo), 2);
    EXPECT_EQ(treatment.Count(CTreatmentGrid::GetSequenceNo, { QStringLiteral("1_1") }), 1);

    // A click in the notes on the treatment line makes it the grid's current sequence.
    CActiveEditor &editor = treatment.bench.practice().Editor();
    const int position = editor.Document().Rich().positionOf(treatment.Lines().front()->m_nHandle);
    QTextCursor cursor = editor.Caret();
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    editor.SetCaretCursor(cursor);
    treatment.bench.practice().Notes().OnClick();
    QVariant current;
    treatment.Grid().Call(4, { QStringLiteral("1_1") }, &current);
    EXPECT_EQ(current.toString(), storedId);
    // Elsewhere: no current sequence.
    cursor.setPosition(0);
    editor.SetCaretCursor(cursor);
    treatment.bench.practice().Notes().OnClick();
    treatment.Grid().Call(4, { QStringLiteral("1_1") }, &current);
    EXPECT_TRUE(current.toString().isEmpty());

    // A stored day unselected in the grid (scrolled back, since the current
    // sequence was scrolled into view) leaves the line and its row with the
    // next save.
    treatment.m_page.setFirstVisibleDay(treatment.m_first.startOfDay());
    treatment.Click(0, today.addDays(-1));
    EXPECT_TRUE(treatment.Lines().isEmpty());
    ASSERT_EQ(treatment.bench.practice().Save(), 1);
    EXPECT_EQ(treatment.bench.practice().RowCount(QStringLiteral("INHALATIONS")), 0);
}

TEST(TreatmentPage, GridCommandsWithoutAMatchingLineDoNothing)
{
    TreatmentBench treatment;
    LogicCommand command;
    command.code = CommandCode::TreatmentDateToggle;
    command.text = QStringLiteral("9_9");
    command.resultId = QStringLiteral("77");
    command.resultText1 = QStringLiteral("not a day");
    EXPECT_EQ(treatment.bench.practice().Hub().OnCommand(command), 0);
    command.code = CommandCode::TreatmentLineRemove;
    EXPECT_EQ(treatment.bench.practice().Hub().OnCommand(command), 0);
    command.code = CommandCode::TreatmentLineAdd;
    command.text = QStringLiteral("garbage");
    EXPECT_EQ(treatment.bench.practice().Hub().OnCommand(command), 0);
    EXPECT_TRUE(treatment.Lines().isEmpty());
}

TEST(TreatmentPage, StoredDaysWithGarbageReadWhatIsValid)
{
    // Pieces without ";", impossible dates, signs, letters and a long text.
    EXPECT_EQ(TreatmentDays::Parse(QStringLiteral("03032009;xx;31022009;+1032009;0303200;05032009")),
        (QList<QDate> { QDate(2009, 3, 3) }));
    EXPECT_EQ(TreatmentDays::Parse(QStringLiteral("05032009;03032009;05032009;")),
        (QList<QDate> { QDate(2009, 3, 3), QDate(2009, 3, 5) }));
    EXPECT_TRUE(TreatmentDays::Parse(QStringLiteral("\u00e9\u00e9\u00e9;;;")).isEmpty());
    QString huge;
    for (int i = 0; i < 100000; ++i)
        huge += QStringLiteral("9%1;").arg(i);
    EXPECT_TRUE(TreatmentDays::Parse(huge).size() < 100000);
    const QList<QDate> days = { QDate(2009, 3, 3), QDate(2009, 3, 5) };
    EXPECT_EQ(TreatmentDays::Parse(TreatmentDays::Format(days)), days);
}
