// The keywords bar with the possible-rubrics logic of a real practice: the
// real list control offscreen, the real database and "WordSearch.xml".
#include "RubricsTestUtil.h"

#include "notes/NotesTestUtil.h"
#include "rubrics/ui/CKeywordsBar.h"

#include "core/UserSettings.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "Sylvan/XmlPlatform.h"
#include "common/LocaleDates.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QDir>
#include <QtGui/QAction>
#include <QtGui/QBrush>
#include <QtGui/QContextMenuEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

using namespace RubricsTest;

namespace {

class KeywordsBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(practice.Open());
        Attach();
    }
    void TearDown() override { bar.Attach(nullptr); }

    void Attach()
    {
        bar.Attach(&practice.Hub());
        metaWords = practice.Hub().Services().Get<CLogicMetaWords>();
        ASSERT_NE(metaWords, nullptr);
        bar.resize(400, 300);
    }
    bool Reopen()
    {
        bar.Attach(nullptr);
        if (!practice.Reopen())
            return false;
        Attach();
        return true;
    }

    Korbel::CXListCtrl &List() { return *bar.List(); }
    int Rows() { return List().GetItemCount(); }
    QString Text(int row) { return List().GetItemText(row, 1); }
    QColor Background(int row)
    {
        return List()
            .model()
            ->data(List().model()->index(row, 1), Qt::BackgroundRole)
            .value<QBrush>()
            .color();
    }
    // Column 1 of every row; the placeholder row shows as "+".
    QStringList Shown()
    {
        QStringList shown;
        for (int row = 0; row < Rows(); ++row)
            shown << (List().IsItemPlaceHolder(row) ? QStringLiteral("+") : Text(row));
        return shown;
    }
    void Click(int row)
    {
        List().SetCurSel(row);
        EXPECT_EQ(practice.Send(CommandCode::RubricsListClicked), 1);
    }
    int Keyword(qint64 consultation, const QString &word)
    {
        return SendKeyword(practice.Hub(), consultation, word);
    }

    Sylvan::PlatformScope xml;
    NotesTest::Practice practice { { QStringLiteral("Anna"), QStringLiteral("Boris") } };
    CKeywordsBar bar;
    CLogicMetaWords *metaWords = nullptr;
};

TEST_F(KeywordsBarTest, KeywordsGatherOnTheLinesOfTheirConsultation)
{
    const QString empty = CLogicMetaWords::EmptyStateText();
    EXPECT_EQ(Shown(), QStringList { empty });
    EXPECT_TRUE(List().GetItalic(0, 1));
    EXPECT_FALSE(List().IsItemDeletable(0));
    EXPECT_EQ(List().GetColumnHeading(1), QStringLiteral("Possible Rubrics"));
    EXPECT_TRUE(bar.isHidden());

    // The first keyword makes a line and shows the bar.
    EXPECT_EQ(Keyword(7, QStringLiteral("  fear ")), 1);
    EXPECT_FALSE(bar.isHidden());
    EXPECT_TRUE(bar.ToggleAction()->isChecked());
    EXPECT_EQ(Shown(), (QStringList { QStringLiteral("fear"), QStringLiteral("+") }));
    EXPECT_EQ(List().GetColumnHeading(1), QStringLiteral("Possible Rubrics. Right click for more options."));
    EXPECT_EQ(List().GetItemText(1, 0), QStringLiteral("Click here to start a new rubrics line..."));
    EXPECT_TRUE(List().GetBold(1, 0));
    EXPECT_EQ(Background(0), QColor(230, 230, 255));
    EXPECT_TRUE(List().IsEdit(0, 1));
    EXPECT_FALSE(List().IsEdit(0, 0));
    EXPECT_EQ(List().GetItemToolTipText(0, 0),
        QStringLiteral("Consultation date: %1").arg(Verdanta::FormatLocaleDate(QDate(2024, 2, 3))));

    // The same word twice stands twice; blanks change nothing.
    EXPECT_EQ(Keyword(7, QStringLiteral("fear")), 1);
    EXPECT_EQ(Keyword(7, QStringLiteral(" \t ")), 1);
    // Another consultation's keyword makes a line above the placeholder.
    EXPECT_EQ(Keyword(8, QStringLiteral("thirst")), 1);
    EXPECT_EQ(Shown(),
        (QStringList { QStringLiteral("fear fear"), QStringLiteral("thirst"), QStringLiteral("+") }));
    EXPECT_EQ(List().GetCurSel(), 1);

    // A started empty line takes the next keyword, whatever its consultation;
    // from then on it is the lowest line of consultation 7.
    Click(2);
    EXPECT_EQ(Shown(),
        (QStringList { QStringLiteral("fear fear"), QStringLiteral("thirst"), empty, QStringLiteral("+") }));
    EXPECT_EQ(Background(2), QColor(255, 200, 200));
    EXPECT_TRUE(List().GetItalic(2, 1));
    EXPECT_TRUE(List().IsItemDeletable(2));
    EXPECT_FALSE(List().IsEdit(2, 1));
    // A second click on the placeholder selects the started line instead.
    Click(3);
    EXPECT_EQ(Rows(), 4);
    EXPECT_EQ(List().GetCurSel(), 2);
    EXPECT_EQ(Keyword(7, QStringLiteral("night")), 1);
    EXPECT_EQ(Keyword(7, QStringLiteral("cold")), 1);
    EXPECT_EQ(Keyword(8, QStringLiteral("evening")), 1);
    EXPECT_EQ(Shown(),
        (QStringList { QStringLiteral("fear fear"), QStringLiteral("thirst evening"),
            QStringLiteral("night cold"), QStringLiteral("+") }));
    EXPECT_EQ(Contents(*metaWords),
        (QStringList {
            QStringLiteral("fear fear"), QStringLiteral("thirst evening"), QStringLiteral("night cold") }));
    EXPECT_FALSE(List().GetItalic(2, 1));
    EXPECT_EQ(Background(2), QColor(230, 230, 255));

    // A click on a line row starts nothing.
    Click(0);
    EXPECT_EQ(Rows(), 4);
}

TEST_F(KeywordsBarTest, EditingAndDeletingLines)
{
    ASSERT_EQ(Keyword(7, QStringLiteral("fear")), 1);
    ASSERT_EQ(Keyword(8, QStringLiteral("thirst")), 1);
    bar.show();
    auto openEditor = [this]() -> QLineEdit * {
        for (QLineEdit *editor : List().findChildren<QLineEdit *>()) {
            if (editor->isVisible())
                return editor;
        }
        return nullptr;
    };
    // A double click opens the cell's editor; Return commits it.
    auto edit = [&](int row, const QString &text) {
        const QPoint cell = List().GetSubItemRect(row, 1).center();
        QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, cell);
        QLineEdit *editor = openEditor();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(TestSupport::WaitFor([&] { return openEditor() == nullptr; }));
    };
    // Emptying a line keeps its keywords; a new text is trimmed.
    edit(0, QStringLiteral("   "));
    EXPECT_EQ(Text(0), QStringLiteral("fear"));
    EXPECT_EQ(Contents(*metaWords), (QStringList { QStringLiteral("fear"), QStringLiteral("thirst") }));
    edit(0, QStringLiteral("  fear of the dark "));
    EXPECT_EQ(
        Contents(*metaWords), (QStringList { QStringLiteral("fear of the dark"), QStringLiteral("thirst") }));

    // Del removes a line; the placeholder stays.
    List().SetCurSel(2);
    QTest::keyClick(&List(), Qt::Key_Delete);
    EXPECT_EQ(Rows(), 3);
    List().SetCurSel(0);
    QTest::keyClick(&List(), Qt::Key_Delete);
    EXPECT_EQ(Contents(*metaWords), QStringList { QStringLiteral("thirst") });
    // With a started empty line beside it, deleting the last line leaves the
    // empty state.
    Click(1);
    List().SetCurSel(0);
    QTest::keyClick(&List(), Qt::Key_Delete);
    EXPECT_TRUE(metaWords->GetLines().empty());
    EXPECT_EQ(Shown(), QStringList { CLogicMetaWords::EmptyStateText() });
    EXPECT_EQ(List().GetColumnHeading(1), QStringLiteral("Possible Rubrics"));
    // The empty-state row cannot be deleted.
    List().SetCurSel(0);
    QTest::keyClick(&List(), Qt::Key_Delete);
    EXPECT_EQ(Rows(), 1);
}

TEST_F(KeywordsBarTest, LinesSurviveARestartPerPatient)
{
    const QString anna = metaWords->GetFilePath();
    ASSERT_TRUE(anna.endsWith(QStringLiteral("/WordSearch.xml")));
    ASSERT_EQ(Keyword(7, QStringLiteral("fear <of> & \"dark\"")), 1);
    ASSERT_EQ(Keyword(8, QStringLiteral("Ärger")), 1);
    EXPECT_FALSE(QFile::exists(anna));
    ASSERT_EQ(practice.Save(), 1);
    const Leaves stored = LeafElements(ReadAll(anna));
    ASSERT_EQ(stored.size(), 8u);
    EXPECT_EQ(stored[0],
        qMakePair(QStringLiteral("MetaWords/MetaWord/Content"), QStringLiteral("fear <of> & \"dark\"")));
    EXPECT_EQ(
        stored[1], qMakePair(QStringLiteral("MetaWords/MetaWord/ContentSourceID"), QStringLiteral("7")));
    EXPECT_EQ(stored[2], qMakePair(QStringLiteral("MetaWords/MetaWord/SourceTimeStamp"), Stamp));
    EXPECT_EQ(stored[3], qMakePair(QStringLiteral("MetaWords/MetaWord/Type"), QStringLiteral("0")));

    // The next patient has none; coming back shows Anna's again.
    ASSERT_EQ(practice.GoTo(practice.PatientIds().at(1)), 1);
    EXPECT_TRUE(metaWords->GetLines().empty());
    EXPECT_EQ(Rows(), 1);
    ASSERT_EQ(practice.GoTo(practice.PatientIds().at(0)), 1);
    EXPECT_EQ(Contents(*metaWords),
        (QStringList { QStringLiteral("fear <of> & \"dark\""), QStringLiteral("Ärger") }));

    ASSERT_TRUE(Reopen());
    ASSERT_EQ(practice.GoTo(practice.PatientIds().at(0)), 1);
    EXPECT_EQ(Shown(),
        (QStringList {
            QStringLiteral("fear <of> & \"dark\""), QStringLiteral("Ärger"), QStringLiteral("+") }));
    EXPECT_EQ(metaWords->GetLines().front()->SourceTimeStamp, QDateTime(QDate(2024, 2, 3), QTime(10, 15)));

    // A new patient starts empty and gets a file at its first save; deleting
    // a patient removes it.
    ASSERT_EQ(practice.Send(CommandCode::NewPatient), 1);
    EXPECT_TRUE(metaWords->IsNewPatient());
    EXPECT_EQ(Shown(), QStringList { CLogicMetaWords::EmptyStateText() });
    const QString fresh = metaWords->GetFilePath();
    ASSERT_EQ(practice.Save(), 1);
    // No keywords, no file.
    EXPECT_FALSE(QFile::exists(fresh));
    ASSERT_EQ(Keyword(9, QStringLiteral("chilly")), 1);
    ASSERT_EQ(practice.Save(), 1);
    EXPECT_TRUE(QFile::exists(fresh));
    EXPECT_FALSE(metaWords->IsNewPatient());
    Desktop::ScriptedPrompts prompts;
    prompts.SetDefaultAnswer(Desktop::Answer::Yes);
    ASSERT_EQ(practice.Send(CommandCode::DeletePatient), 1);
    EXPECT_FALSE(QFile::exists(fresh));
}

TEST_F(KeywordsBarTest, FilesAreReadByPositionAndUnreadableOnesAreKept)
{
    const QString path = metaWords->GetFilePath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    auto write = [&path](const QByteArray &bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    // Three children: skipped. Five: the first four. Names do not matter;
    // numbers that are not numbers read 0; an unreadable stamp leaves the
    // date empty and keeps the line.
    write(WordSearchFile({
        { QStringLiteral("three"), QStringLiteral("1"), Stamp },
        { QStringLiteral("five"), QStringLiteral("12"), Stamp, QStringLiteral("3"), QStringLiteral("more") },
        { QStringLiteral("odd"), QStringLiteral("x"), QStringLiteral("yesterday"), QStringLiteral("y") },
    }));
    metaWords->Load();
    ASSERT_EQ(Contents(*metaWords), (QStringList { QStringLiteral("five"), QStringLiteral("odd") }));
    EXPECT_EQ(metaWords->GetLines()[0]->ContentSourceID, 12);
    EXPECT_EQ(metaWords->GetLines()[0]->Type, 3);
    EXPECT_EQ(metaWords->GetLines()[1]->ContentSourceID, 0);
    EXPECT_EQ(metaWords->GetLines()[1]->Type, 0);
    EXPECT_FALSE(metaWords->GetLines()[1]->SourceTimeStamp.isValid());
    EXPECT_EQ(List().GetItemText(1, 0), QString());

    // A file that cannot be read shows no lines, and is set aside rather
    // than written over at the next save.
    const QByteArray broken = "<MetaWords><MetaWord><Content>lost";
    write(broken);
    EXPECT_EQ(metaWords->Load(), 0);
    EXPECT_EQ(Shown(), QStringList { CLogicMetaWords::EmptyStateText() });
    ASSERT_EQ(Keyword(7, QStringLiteral("new")), 1);
    ASSERT_EQ(practice.Save(), 1);
    const QStringList aside = QDir(QFileInfo(path).absolutePath())
                                  .entryList({ QStringLiteral("WordSearch.xml.unreadable-*") }, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(ReadAll(QFileInfo(path).absolutePath() + QLatin1Char('/') + aside.front()), broken);
    EXPECT_EQ(LeafElements(ReadAll(path)).front().second, QStringLiteral("new"));
}

TEST_F(KeywordsBarTest, ContextMenuOffersWhatTheSelectionAllows)
{
    Desktop::ScriptedMenus menus;
    const QStringList hideOnly { QStringLiteral("Hide possible rubrics window") };
    // The empty-state row.
    List().SetCurSel(0);
    EXPECT_EQ(metaWords->ContextMenu(&bar, QPoint()), CLogicMetaWords::MenuChoice::None);
    EXPECT_EQ(menus.LastEntries(), hideOnly);

    ASSERT_EQ(Keyword(7, QStringLiteral("fear")), 1);
    // The placeholder row and a started empty line hold no line.
    List().SetCurSel(1);
    metaWords->ContextMenu(&bar, QPoint());
    EXPECT_EQ(menus.LastEntries(), hideOnly);
    Click(1);
    List().SetCurSel(1);
    metaWords->ContextMenu(&bar, QPoint());
    EXPECT_EQ(menus.LastEntries(), hideOnly);

    List().SetCurSel(0);
    metaWords->ContextMenu(&bar, QPoint());
    EXPECT_EQ(menus.LastEntries(),
        (QStringList { QStringLiteral("Send selected line to Radar"),
            QStringLiteral("Send all keywords to Radar"), QStringLiteral("Hide possible rubrics window") }));

    // A right click in the list that chooses "Hide" hides the bar and keeps
    // the choice for the next start.
    bar.Show(true, true);
    EXPECT_EQ(GetShowKeywords(), 1);
    menus.QueueChoice(QStringLiteral("Hide possible rubrics window"));
    const QRect cell = List().GetSubItemRect(0, 1);
    QContextMenuEvent event(
        QContextMenuEvent::Mouse, cell.center(), List().viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(List().viewport(), &event);
    EXPECT_TRUE(bar.isHidden());
    EXPECT_FALSE(bar.ToggleAction()->isChecked());
    EXPECT_EQ(GetShowKeywords(), 0);
    bar.ToggleAction()->trigger();
    EXPECT_FALSE(bar.isHidden());
    EXPECT_EQ(GetShowKeywords(), 1);

    // The hub may close before the bar goes: the bar lets go of its logic.
    practice.Close();
    EXPECT_FALSE(bar.ToggleAction()->isEnabled());
    bar.Attach(nullptr);
    EXPECT_EQ(List().GetItemCount(), 3);
}

TEST_F(KeywordsBarTest, ThePhrasesOfOtherPagesComeThroughTheNotes)
{
    // Chief complaints and questionnaire pages send the picked phrase alone;
    // the notes give it today's consultation.
    ASSERT_NE(practice.Notes().TodaysSeparator(), nullptr);
    ASSERT_EQ(practice.Send(CommandCode::PickPhrase, 0, QStringLiteral("burning pains")), 1);
    ASSERT_EQ(practice.Send(CommandCode::PickPhrase, 0, QStringLiteral("better for warmth")), 1);
    ASSERT_EQ(metaWords->GetLines().size(), 1u);
    const MetaWord &line = *metaWords->GetLines().front();
    EXPECT_EQ(line.Content, QStringLiteral("burning pains better for warmth"));
    EXPECT_GT(line.ContentSourceID, 0);
    EXPECT_EQ(line.SourceTimeStamp.date(), QDate::currentDate());
}

} // namespace
