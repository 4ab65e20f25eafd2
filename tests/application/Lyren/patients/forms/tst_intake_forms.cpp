// The questionnaire and the medical history driven through their real dialogs
// (offscreen) over a real SQLite file: what OK, Cancel and patient deletion
// leave in the tables, and the commands the dialogs send.
#include "FormsTestUtil.h"
#include "core/CommandCodes.h"

#include "patients/forms/CLogicMedicalHistory.h"
#include "patients/forms/CLogicQuestionnaire.h"
#include "support/ScriptedDesktop.h"

#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlError>
#include <QtSql/QSqlQuery>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTabWidget>

namespace {

using Button = QDialogButtonBox::StandardButton;

const QStringList QuestionnaireTables { "QUESTIONARY_A", "QUESTIONARY_B", "QUESTIONARY_C", "QUESTIONARY_D",
    "QUESTIONARY_E", "QUESTIONARY_F", "QUESTIONARY_G", "QUESTIONARY_H" };

// Runs SQL on the database file beside the program's own connection.
class SideConnection
{
public:
    explicit SideConnection(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Name());
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
    }
    ~SideConnection() { QSqlDatabase::removeDatabase(Name()); }
    void Exec(const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(Name()));
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
    }

private:
    static QString Name() { return QStringLiteral("forms-side"); }
};

// Double-clicks a line edit on the character at the given index.
void DoubleClickAt(QLineEdit *edit, int index)
{
    for (int x = 0; x < edit->width(); ++x) {
        if (edit->cursorPositionAt(QPoint(x, edit->height() / 2)) == index) {
            QTest::mouseDClick(edit, Qt::LeftButton, {}, QPoint(x + 2, edit->height() / 2));
            return;
        }
    }
    ADD_FAILURE() << "no point shows character " << index;
}

void DoubleClickAt(QPlainTextEdit *edit, int index)
{
    QTextCursor cursor(edit->document());
    cursor.setPosition(index);
    const QRect rect = edit->cursorRect(cursor);
    QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, rect.center() + QPoint(2, 0));
}

} // namespace

using QuestionnaireForm = FormsFixture;
using MedicalHistoryForm = FormsFixture;
using IntakeForms = FormsFixture;

TEST_F(QuestionnaireForm, CancelOnANewPatientLeavesNoRowAndOkWritesEightRowsOfEmptyAnswers)
{
    const QString patient = AddPatient(QStringLiteral("Anna"));
    CLogicQuestionnaire logic(m_source.get(), m_main.get());

    Present(logic, Drive([](CFormLayoutDlg &dialog) {
        ControlOf<QCheckBox>(dialog, "QUESTIONARY_A", "PREF_WARM")->setChecked(true);
        Press(dialog, Button::Cancel);
    }));
    LogicCommand open = Command(CommandCode::Questionnaire);
    EXPECT_EQ(logic.OnCommand(open), 1);
    // Escape and the window's close button cancel as well.
    Present(logic, Drive([](CFormLayoutDlg &dialog) { dialog.close(); }));
    EXPECT_EQ(logic.OnCommand(open), 1);
    for (const QString &table : QuestionnaireTables)
        EXPECT_EQ(RowCount(table, patient), 0) << table.toStdString();

    Present(logic, Drive([](CFormLayoutDlg &dialog) { Press(dialog, Button::Ok); }));
    EXPECT_EQ(logic.OnCommand(open), 1);
    for (const QString &table : QuestionnaireTables) {
        EXPECT_EQ(RowCount(table, patient), 1) << table.toStdString();
        EXPECT_EQ(Stored(table, patient, QStringLiteral("CUSTOMER_REF")), patient);
    }
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_A"), patient, QStringLiteral("PREF_WARM")), u"0");
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_H"), patient, QStringLiteral("QUESTIONARY_7")), u"");
    auto h = RowsOf(QStringLiteral("QUESTIONARY_H"), patient);
    ASSERT_EQ(h->Move(Korbel::MoveFirst), 1);
    Korbel::IField *notes = nullptr;
    ASSERT_EQ(h->GetField(QStringLiteral("SMELL_BEST_NOTES"), &notes), 1);
    Korbel::ReleasePtr<Korbel::IField> guard(notes);
    EXPECT_FALSE(notes->IsNull()) << "an empty edit is stored as empty text";
}

TEST_F(QuestionnaireForm, Page4WritesEachFieldIntoItsOwnTable)
{
    const QString patient = AddPatient(QStringLiteral("Anna"));
    CLogicQuestionnaire logic(m_source.get(), m_main.get());
    Present(logic, Drive([](CFormLayoutDlg &dialog) {
        dialog.Tabs()->setCurrentIndex(3);
        ControlOf<QCheckBox>(dialog, "QUESTIONARY_B", "TASTE_SALT")->setChecked(true);
        ControlOf<QLineEdit>(dialog, "QUESTIONARY_B", "WC_COLOR_NOTES")->setText(QStringLiteral("brown"));
        ControlOf<QPlainTextEdit>(dialog, "QUESTIONARY_D", "QUESTIONARY_D")
            ->setPlainText(QStringLiteral("d notes"));
        ControlOf<QCheckBox>(dialog, "QUESTIONARY_C", "TH_ICE")->setChecked(true);
        ControlOf<QCheckBox>(dialog, "QUESTIONARY_D", "SLEEP_LEFT")->setChecked(true);
        ControlOf<QLineEdit>(dialog, "QUESTIONARY_D", "SLEEP_DREAM_NOTES")
            ->setText(QStringLiteral("falling"));
        Press(dialog, Button::Ok);
    }));
    LogicCommand open = Command(CommandCode::Questionnaire);
    ASSERT_EQ(logic.OnCommand(open), 1);

    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_B"), patient, QStringLiteral("TASTE_SALT")), u"1");
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_B"), patient, QStringLiteral("WC_COLOR_NOTES")), u"brown");
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_C"), patient, QStringLiteral("TH_ICE")), u"1");
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_D"), patient, QStringLiteral("SLEEP_LEFT")), u"1");
    EXPECT_EQ(
        Stored(QStringLiteral("QUESTIONARY_D"), patient, QStringLiteral("SLEEP_DREAM_NOTES")), u"falling");
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_D"), patient, QStringLiteral("QUESTIONARY_D")), u"d notes");
    // Nothing strayed into the neighbouring tables' notes.
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_B"), patient, QStringLiteral("QUESTIONARY_B")), u"");
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_C"), patient, QStringLiteral("QUESTIONARY_C")), u"");
}

TEST_F(QuestionnaireForm, ReopeningShowsThisPatientsAnswersAndOkUpdatesTheSameRow)
{
    // Long text in several scripts is kept exactly.
    const QString longText = QString::fromUtf8("Ängste — страх 恐惧 🌩️\n").repeated(5000);
    const QString anna = AddPatient(QStringLiteral("Anna"));
    const QString boris = AddPatient(QStringLiteral("Boris"));
    GoToPatient(anna);
    CLogicQuestionnaire logic(m_source.get(), m_main.get());
    LogicCommand open = Command(CommandCode::Questionnaire);

    Present(logic, Drive([&](CFormLayoutDlg &dialog) {
        ControlOf<QPlainTextEdit>(dialog, "QUESTIONARY_A", "QUESTIONARY_A")->setPlainText(longText);
        ControlOf<QCheckBox>(dialog, "QUESTIONARY_H", "ANXIETY_LATE")->setChecked(true);
        Press(dialog, Button::Ok);
    }));
    ASSERT_EQ(logic.OnCommand(open), 1);

    // Reopened: the answers are shown; a change with Cancel is not kept.
    Present(logic, Drive([&](CFormLayoutDlg &dialog) {
        EXPECT_EQ(
            ControlOf<QPlainTextEdit>(dialog, "QUESTIONARY_A", "QUESTIONARY_A")->toPlainText(), longText);
        EXPECT_TRUE(ControlOf<QCheckBox>(dialog, "QUESTIONARY_H", "ANXIETY_LATE")->isChecked());
        ControlOf<QCheckBox>(dialog, "QUESTIONARY_H", "ANXIETY_LATE")->setChecked(false);
        Press(dialog, Button::Cancel);
    }));
    ASSERT_EQ(logic.OnCommand(open), 1);
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_H"), anna, QStringLiteral("ANXIETY_LATE")), u"1");

    // A change with OK updates the one row.
    Present(logic, Drive([&](CFormLayoutDlg &dialog) {
        ControlOf<QCheckBox>(dialog, "QUESTIONARY_H", "ANXIETY_LATE")->setChecked(false);
        Press(dialog, Button::Ok);
    }));
    ASSERT_EQ(logic.OnCommand(open), 1);
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_H"), anna, QStringLiteral("ANXIETY_LATE")), u"0");
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_A"), anna, QStringLiteral("QUESTIONARY_A")), longText);
    for (const QString &table : QuestionnaireTables)
        EXPECT_EQ(RowCount(table, anna), 1) << table.toStdString();

    // Another patient starts from an empty form and has no rows of his own yet.
    GoToPatient(boris);
    Present(logic, Drive([&](CFormLayoutDlg &dialog) {
        EXPECT_EQ(ControlOf<QPlainTextEdit>(dialog, "QUESTIONARY_A", "QUESTIONARY_A")->toPlainText(), u"");
        Press(dialog, Button::Cancel);
    }));
    ASSERT_EQ(logic.OnCommand(open), 1);
    EXPECT_EQ(RowCount(QStringLiteral("QUESTIONARY_A"), boris), 0);

    // After a restart the answers are still there.
    logic.Attach(nullptr, nullptr);
    m_main.reset();
    m_source = KorbelTest::OpenSource(m_folder.filePath(QStringLiteral("data.mdb")));
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_A"), anna, QStringLiteral("QUESTIONARY_A")), longText);
}

TEST_F(QuestionnaireForm, AFailedWriteKeepsTheDialogOpenAndTheRetryWritesEachRowOnce)
{
    const QString patient = AddPatient(QStringLiteral("Anna"));
    SideConnection side(m_folder.filePath(QStringLiteral("data.mdb")));
    side.Exec(QStringLiteral("CREATE TRIGGER refuse_c BEFORE INSERT ON QUESTIONARY_C "
                             "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    Desktop::ScriptedPrompts prompts;
    CLogicQuestionnaire logic(m_source.get(), m_main.get());

    bool closedAfterRetry = false;
    Present(logic, Drive([&](CFormLayoutDlg &dialog) {
        ControlOf<QCheckBox>(dialog, "QUESTIONARY_A", "PREF_COLD")->setChecked(true);
        ControlOf<QCheckBox>(dialog, "QUESTIONARY_C", "TH_BEER")->setChecked(true);
        Press(dialog, Button::Ok);
        EXPECT_TRUE(dialog.isVisible()) << "the answers stay on screen";
        EXPECT_EQ(prompts.Count(), 1);
        EXPECT_EQ(prompts.LastIcon(), Desktop::Icon::Warning);

        // The person changes an answer already written, the database accepts
        // again, and OK is pressed once more.
        side.Exec(QStringLiteral("DROP TRIGGER refuse_c"));
        ControlOf<QCheckBox>(dialog, "QUESTIONARY_A", "PREF_WARM")->setChecked(true);
        Press(dialog, Button::Ok);
        closedAfterRetry = !dialog.isVisible();
    }));
    LogicCommand open = Command(CommandCode::Questionnaire);
    ASSERT_EQ(logic.OnCommand(open), 1);

    EXPECT_TRUE(closedAfterRetry);
    EXPECT_EQ(prompts.Count(), 1);
    for (const QString &table : QuestionnaireTables)
        EXPECT_EQ(RowCount(table, patient), 1) << table.toStdString();
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_A"), patient, QStringLiteral("PREF_COLD")), u"1");
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_A"), patient, QStringLiteral("PREF_WARM")), u"1");
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_C"), patient, QStringLiteral("TH_BEER")), u"1");
}

TEST_F(QuestionnaireForm, TheDialogSendsItsCommandsToTheSinkAndPicksPhrasesByDoubleClick)
{
    const QString patient = AddPatient(QStringLiteral("Anna"));
    CLogicQuestionnaire logic(m_source.get(), m_main.get());
    // The hub's part: record every command and route the form's codes back.
    std::vector<std::pair<int, QString>> sent;
    logic.SetCommandSink([&](LogicCommand &command) {
        sent.emplace_back(command.code, command.text);
        return command.code == CommandCode::PickPhrase ? 1 : logic.OnCommand(command);
    });

    const QString lineText = QStringLiteral("  sudden fear  ");
    const QString notesText = QStringLiteral("first line\nsecond   thunder");
    Present(logic, Drive([&](CFormLayoutDlg &dialog) {
        // A second open while the dialog runs does nothing.
        LogicCommand again = Command(CommandCode::Questionnaire);
        EXPECT_EQ(logic.OnCommand(again), 0);

        dialog.Tabs()->setCurrentIndex(3);
        auto *line = ControlOf<QLineEdit>(dialog, "QUESTIONARY_D", "SLEEP_WEAK_NOTES");
        line->setText(lineText);
        DoubleClickAt(line, 4); // in "sudden"
        EXPECT_EQ(line->text(), lineText) << "picking leaves the text alone";
        auto *blank = ControlOf<QLineEdit>(dialog, "QUESTIONARY_D", "SLEEP_DREAM_NOTES");
        blank->setText(QStringLiteral("    "));
        DoubleClickAt(blank, 2); // only blanks: nothing is sent

        auto *notes = ControlOf<QPlainTextEdit>(dialog, "QUESTIONARY_D", "QUESTIONARY_D");
        notes->setPlainText(notesText);
        DoubleClickAt(notes, 21); // in "thunder"
        EXPECT_EQ(notes->toPlainText(), notesText);
        Press(dialog, Button::Ok);
    }));
    LogicCommand open = Command(CommandCode::Questionnaire);
    ASSERT_EQ(logic.OnCommand(open), 1);

    const std::vector<std::pair<int, QString>> expected {
        { CommandCode::PickPhrase, QStringLiteral("sudden") },
        { CommandCode::PickPhrase, QStringLiteral("thunder") },
        { CommandCode::QuestionnaireOk, QString() },
    };
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(Stored(QStringLiteral("QUESTIONARY_D"), patient, QStringLiteral("SLEEP_WEAK_NOTES")), lineText);
}

TEST_F(MedicalHistoryForm, OkWritesTheRowCancelWritesNothingAndNoPhraseIsPicked)
{
    const QString patient = AddPatient(QStringLiteral("Anna"));
    CLogicMedicalHistory logic(m_source.get(), m_main.get());
    std::vector<int> codes;
    logic.SetCommandSink([&](LogicCommand &command) {
        codes.push_back(command.code);
        return logic.OnCommand(command);
    });
    LogicCommand open = Command(CommandCode::MedicalHistory);

    Present(logic, Drive([](CFormLayoutDlg &dialog) {
        ControlOf<QCheckBox>(dialog, "MEDICAL_HISTORY", "MENTAL DIS")->setChecked(true);
        Press(dialog, Button::Cancel);
    }));
    ASSERT_EQ(logic.OnCommand(open), 1);
    EXPECT_EQ(RowCount(QStringLiteral("MEDICAL_HISTORY"), patient), 0);

    Present(logic, Drive([](CFormLayoutDlg &dialog) {
        ControlOf<QCheckBox>(dialog, "MEDICAL_HISTORY", "MENTAL DIS")->setChecked(true);
        auto *operation = ControlOf<QLineEdit>(dialog, "MEDICAL_HISTORY", "OPERATION2");
        operation->setText(QStringLiteral("appendix"));
        DoubleClickAt(operation, 2);
        ControlOf<QLineEdit>(dialog, "MEDICAL_HISTORY", "OPER2_DATE")->setText(QStringLiteral("1998"));
        dialog.Tabs()->setCurrentIndex(1);
        ControlOf<QLineEdit>(dialog, "MEDICAL_HISTORY", "WEIGHT_KG")->setText(QStringLiteral("71.5"));
        Press(dialog, Button::Ok);
    }));
    ASSERT_EQ(logic.OnCommand(open), 1);

    EXPECT_EQ(codes, (std::vector<int> { CommandCode::MedicalHistoryCancel, CommandCode::MedicalHistoryOk }));
    EXPECT_EQ(RowCount(QStringLiteral("MEDICAL_HISTORY"), patient), 1);
    EXPECT_EQ(Stored(QStringLiteral("MEDICAL_HISTORY"), patient, QStringLiteral("MENTAL DIS")), u"1");
    EXPECT_EQ(Stored(QStringLiteral("MEDICAL_HISTORY"), patient, QStringLiteral("OPERATION2")), u"appendix");
    EXPECT_EQ(Stored(QStringLiteral("MEDICAL_HISTORY"), patient, QStringLiteral("OPER2_DATE")), u"1998");
    EXPECT_EQ(Stored(QStringLiteral("MEDICAL_HISTORY"), patient, QStringLiteral("WEIGHT_KG")), u"71.5");
}

TEST_F(IntakeForms, WithoutACurrentPatientNothingOpensAndNothingIsDeleted)
{
    CLogicQuestionnaire logic(m_source.get(), m_main.get());
    bool shown = false;
    Present(logic, [&](QDialog &) {
        shown = true;
        return 0;
    });
    LogicCommand open = Command(CommandCode::Questionnaire);
    EXPECT_EQ(logic.OnCommand(open), 0);
    EXPECT_FALSE(shown);
    EXPECT_EQ(logic.DeletePatientRows(), 0);
    LogicCommand ok = Command(CommandCode::QuestionnaireOk);
    EXPECT_EQ(logic.OnCommand(ok), 0) << "OK without an open form writes nothing";

    CLogicQuestionnaire detached;
    EXPECT_EQ(detached.OnCommand(open), 0);
}

TEST_F(IntakeForms, DeletingAPatientsRowsEmptiesEveryFormTableForThatPatientOnly)
{
    const QString anna = AddPatient(QStringLiteral("Anna"));
    const QString boris = AddPatient(QStringLiteral("Boris"));
    CLogicQuestionnaire questionnaire(m_source.get(), m_main.get());
    CLogicMedicalHistory history(m_source.get(), m_main.get());
    auto pressOk = Drive([](CFormLayoutDlg &dialog) { Press(dialog, Button::Ok); });
    Present(questionnaire, pressOk);
    Present(history, pressOk);
    LogicCommand openQuestionnaire = Command(CommandCode::Questionnaire);
    LogicCommand openHistory = Command(CommandCode::MedicalHistory);
    for (const QString &patient : { anna, boris }) {
        GoToPatient(patient);
        ASSERT_EQ(questionnaire.OnCommand(openQuestionnaire), 1);
        ASSERT_EQ(history.OnCommand(openHistory), 1);
    }
    // Older data may hold a second row for a patient; it goes too.
    auto extra = KorbelTest::OpenTable(m_source.get(), QStringLiteral("QUESTIONARY_C"));
    KorbelTest::AddRow(extra.get(), { { QStringLiteral("CUSTOMER_REF"), anna } });
    extra.reset();
    ASSERT_EQ(RowCount(QStringLiteral("QUESTIONARY_C"), anna), 2);

    GoToPatient(anna);
    EXPECT_EQ(history.DeletePatientRows(), 1);
    EXPECT_EQ(questionnaire.DeletePatientRows(), 1);
    for (const QString &table : QuestionnaireTables + QStringList { QStringLiteral("MEDICAL_HISTORY") }) {
        EXPECT_EQ(RowCount(table, anna), 0) << table.toStdString();
        EXPECT_EQ(RowCount(table, boris), 1) << table.toStdString();
    }
    // Nothing left to delete is no failure, and creates nothing.
    EXPECT_EQ(questionnaire.DeletePatientRows(), 1);
    EXPECT_EQ(RowCount(QStringLiteral("QUESTIONARY_A"), anna), 0);
}
