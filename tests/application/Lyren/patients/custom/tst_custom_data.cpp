#include "CustomDataTestUtil.h"

#include "patients/CDynamicFieldsDictionary.h"
#include "patients/CLogicDynamicFields.h"
#include "patients/ui/CDynamicFieldsDialog.h"
#include "patients/ui/CDynamicQuestDialog.h"
#include "patients/ui/CQuestionnaireTemplateDlg.h"
#include "shell/ui/WindowPresenters.h"

#include "core/PatientSteps.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "richedit/RtfCodec.h"
#include "richedit/widgets/RichEditControl.h"

#include <QtCore/QDir>
#include <QtGui/QTextDocument>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

#include <sys/resource.h>

#include <csignal>

using namespace CustomDataTest;

namespace {

QByteArray Rtf(const QString &text)
{
    QTextDocument document;
    document.setPlainText(text);
    return RichEdit::RtfCodec::toRtf(document);
}

QString TextOf(const QByteArray &rtf)
{
    QTextDocument document;
    return RichEdit::RtfCodec::fromRtf(document, rtf) ? document.toPlainText() : QStringLiteral("<not rtf>");
}

class CustomFieldsTabTest : public ShownFrameFixture
{
protected:
    void SetUp() override
    {
        ShownFrameFixture::SetUp();
        ShowTab(CDynamicFieldsDialog::PageIndex);
    }
    Korbel::CXListCtrl *List() const
    {
        return PageAt<CDynamicFieldsDialog>(CDynamicFieldsDialog::PageIndex)->List();
    }
    QLineEdit *OpenEditor() const
    {
        for (QLineEdit *editor : List()->findChildren<QLineEdit *>()) {
            if (editor->isVisible())
                return editor;
        }
        return nullptr;
    }
    // Double click on a cell, type, Return: as a person edits a cell.
    void EditCell(int row, int column, const QString &text)
    {
        QTest::mouseDClick(
            List()->viewport(), Qt::LeftButton, {}, List()->GetSubItemRect(row, column).center());
        QLineEdit *editor = OpenEditor();
        ASSERT_NE(editor, nullptr) << row << " " << column;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(TestSupport::WaitFor([this] { return OpenEditor() == nullptr; }));
    }
    void ToggleCreateAlways(int row)
    {
        List()->setFocus();
        List()->setCurrentIndex(List()->model()->index(row, CLogicDynamicFields::CreateAlwaysColumn));
        QTest::keyClick(List(), Qt::Key_Space);
    }
    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < List()->GetItemCount(); ++row) {
            rows << List()->GetItemText(row, 0) + u'|' + List()->GetItemText(row, 1) + u'|'
                    + QString::number(List()->GetCheckbox(row, CLogicDynamicFields::CreateAlwaysColumn));
        }
        return rows;
    }
    QStringList Dictionary() const
    {
        CDynamicFieldsDictionary dictionary;
        dictionary.Load(Hub()->GetLogicFolders()->GetDynamicFieldsDictionaryPath());
        return dictionary.Names();
    }
};

const QString LastRow = QStringLiteral("Add New Field|Set Field Value|-1");

} // namespace

TEST_F(CustomFieldsTabTest, FieldsAreAddedEditedCheckedAndDeletedInTheList)
{
    auto *page = PageAt<CDynamicFieldsDialog>(CDynamicFieldsDialog::PageIndex);
    EXPECT_EQ(page->Hint()->text(),
        QStringLiteral(
            "Add here custom fields. Double click each column to modify. Select and hit 'Del' to delete."));
    EXPECT_EQ(page->palette().color(QPalette::Window), QColor(0xE6, 0xE6, 0xFF));
    ASSERT_EQ(List()->GetColumnCount(), 3);
    EXPECT_EQ(List()->GetColumnHeading(0), QStringLiteral("Name"));
    EXPECT_EQ(List()->GetColumnHeading(1), QStringLiteral("Value"));
    EXPECT_EQ(List()->GetColumnHeading(2), QStringLiteral("Create Always"));
    // An empty practice: nothing can be typed until there is a patient.
    EXPECT_FALSE(List()->isEnabled());

    const QString anna = NewPatient(QStringLiteral("Anna"));
    EXPECT_TRUE(List()->isEnabled());
    EXPECT_EQ(Rows(), QStringList { LastRow });
    EXPECT_TRUE(List()->GetItalic(0, 0));
    EXPECT_FALSE(List()->IsItemDeletable(0));

    // A name typed on the last row makes a field, trimmed, whose name is a
    // dictionary name at once; a new last row follows.
    EditCell(0, 0, QStringLiteral("  Blood group  "));
    EXPECT_EQ(Rows(), (QStringList { QStringLiteral("Blood group||1"), LastRow }));
    EXPECT_FALSE(List()->GetItalic(0, 0));
    EXPECT_EQ(Dictionary(), QStringList { QStringLiteral("Blood group") });
    EditCell(0, 1, QStringLiteral(" A+ "));
    EXPECT_EQ(Rows(), (QStringList { QStringLiteral("Blood group|A+|1"), LastRow }));

    // A value typed on the last row has no field to go to; neither has a
    // blank name.
    EditCell(1, 1, QStringLiteral("orphan"));
    EditCell(1, 0, QStringLiteral("   "));
    EXPECT_EQ(Rows(), (QStringList { QStringLiteral("Blood group|A+|1"), LastRow }));

    // "Create Always" (code 81) takes the name out and puts it back.
    ToggleCreateAlways(0);
    EXPECT_EQ(Rows().first(), QStringLiteral("Blood group|A+|0"));
    EXPECT_TRUE(Dictionary().isEmpty());
    ToggleCreateAlways(0);
    EXPECT_EQ(Dictionary(), QStringList { QStringLiteral("Blood group") });
    EditCell(1, 0, QStringLiteral("Diet"));
    ToggleCreateAlways(1);
    EXPECT_EQ(Dictionary(), QStringList { QStringLiteral("Blood group") });

    // Bert gets an empty "Blood group" and no "Diet".
    NewPatient(QStringLiteral("Bert"));
    EXPECT_EQ(Rows(), (QStringList { QStringLiteral("Blood group||1"), LastRow }));

    // Del on Bert's row deletes it and the name; Anna keeps hers, whose box
    // now shows the name is no dictionary name. The last row is never deleted.
    List()->setFocus();
    List()->SetCurSel(0);
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(Rows(), QStringList { LastRow });
    EXPECT_TRUE(Dictionary().isEmpty());
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(Rows(), QStringList { LastRow });
    ASSERT_EQ(frame->SendCommand(2), 1); // first patient
    EXPECT_EQ(Current(QStringLiteral("ID")), anna);
    EXPECT_EQ(
        Rows(), (QStringList { QStringLiteral("Blood group|A+|0"), QStringLiteral("Diet||0"), LastRow }));

    // A restart shows Anna's fields again.
    Reopen();
    ShowTab(CDynamicFieldsDialog::PageIndex);
    EXPECT_EQ(Current(QStringLiteral("ID")), anna);
    EXPECT_EQ(
        Rows(), (QStringList { QStringLiteral("Blood group|A+|0"), QStringLiteral("Diet||0"), LastRow }));
}

namespace {

class QuestionnaireTabTest : public ShownFrameFixture
{
protected:
    void SetUp() override
    {
        ShownFrameFixture::SetUp();
        ShowTab(CDynamicQuestDialog::PageIndex);
    }
    CDynamicQuestDialog *Page() const { return PageAt<CDynamicQuestDialog>(CDynamicQuestDialog::PageIndex); }
    RichEdit::RichEditControl *Editor() const { return Page()->Editor(); }
    QString Shown() const { return Editor()->toPlainText(); }
    void Type(const QString &text)
    {
        Editor()->setFocus();
        Editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(Editor(), text);
    }
    QString TemplatePath() const { return Root() + QStringLiteral("DynamicQuestionnaire.rtf"); }
    QString PatientFile() const { return PatientFolder() + QStringLiteral("DynamicQuestionnaire.rtf"); }
};

} // namespace

TEST_F(QuestionnaireTabTest, ANewPatientStartsFromTheTemplateAndKeepsWhatWasWritten)
{
    // Without a template a new patient starts with an empty questionnaire.
    EXPECT_FALSE(Editor()->isEnabled());
    const QString anna = NewPatient(QStringLiteral("Anna"));
    EXPECT_TRUE(Editor()->isEnabled());
    EXPECT_EQ(Shown(), QString());
    Type(QStringLiteral("Sleeps badly"));
    ASSERT_EQ(frame->SendCommand(27), 1);
    EXPECT_EQ(TextOf(ReadAll(PatientFile())), QStringLiteral("Sleeps badly"));

    // With a template, the next new patient starts from it.
    ASSERT_TRUE(
        dir.writeFile(QStringLiteral("DynamicQuestionnaire.rtf"), Rtf(QStringLiteral("Sleep:\nDiet:"))));
    NewPatient(QStringLiteral("Bert"));
    EXPECT_EQ(Shown(), QStringLiteral("Sleep:\nDiet:"));
    Type(QStringLiteral(" vegetarian"));

    // Moving saves Bert's; each patient shows their own.
    ASSERT_EQ(frame->SendCommand(2), 1);
    EXPECT_EQ(Current(QStringLiteral("ID")), anna);
    EXPECT_EQ(Shown(), QStringLiteral("Sleeps badly"));
    ASSERT_EQ(frame->SendCommand(4), 1);
    EXPECT_EQ(Shown(), QStringLiteral("Sleep:\nDiet: vegetarian"));

    // A restart shows the questionnaire of the first patient.
    Reopen();
    ShowTab(CDynamicQuestDialog::PageIndex);
    EXPECT_EQ(Current(QStringLiteral("ID")), anna);
    EXPECT_EQ(Shown(), QStringLiteral("Sleeps badly"));

    // Deleting a patient removes the questionnaire with the folder.
    const QString file = PatientFile();
    prompts.QueueAnswer(Desktop::Answer::Yes);
    ASSERT_EQ(frame->SendCommand(6), 1);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(Shown(), QStringLiteral("Sleep:\nDiet: vegetarian"));
}

TEST_F(QuestionnaireTabTest, TheTemplateIsEditedInItsWindowAndAnUnreadableFileIsKeptAside)
{
    QPushButton *button = Page()->TemplateButton();
    EXPECT_EQ(button->text(), QStringLiteral("Click here to modify the default questionnaire"));
    EXPECT_TRUE(button->isEnabled());

    // Cancel changes nothing; Save writes the template, which the next new
    // patient starts from.
    CQuestionnaireTemplatePresenter &presenter = frame->GetPresenters()->QuestionnaireTemplate();
    presenter.SetDriver([](CQuestionnaireTemplateDlg &dialog) {
        dialog.Editor()->setPlainText(QStringLiteral("discarded"));
        return int(QDialog::Rejected);
    });
    button->click();
    EXPECT_FALSE(QFileInfo::exists(TemplatePath()));
    QString shownInDialog;
    presenter.SetDriver([&shownInDialog](CQuestionnaireTemplateDlg &dialog) {
        shownInDialog = dialog.Editor()->toPlainText();
        dialog.Editor()->setFocus();
        QTest::keyClicks(dialog.Editor(), QStringLiteral("Main complaint:"));
        QTest::keyClick(dialog.Editor(), Qt::Key_Return);
        QTest::keyClicks(dialog.Editor(), QStringLiteral("Since when:"));
        dialog.SaveButton()->click();
        return dialog.result();
    });
    button->click();
    EXPECT_EQ(shownInDialog, QString());
    EXPECT_EQ(TextOf(ReadAll(TemplatePath())), QStringLiteral("Main complaint:\nSince when:"));
    NewPatient(QStringLiteral("Anna"));
    EXPECT_EQ(Shown(), QStringLiteral("Main complaint:\nSince when:"));

    // A template that cannot be read is said so before its window opens.
    ASSERT_TRUE(dir.writeFile(QStringLiteral("DynamicQuestionnaire.rtf"), "not rich text"));
    presenter.SetDriver([](CQuestionnaireTemplateDlg &) { return int(QDialog::Rejected); });
    button->click();
    EXPECT_EQ(prompts.LastText(), CQuestionnaireTemplatePresenter::UnreadableMessage());
    presenter.SetDriver(nullptr);

    // A patient's file that cannot be read shows the template; it is kept
    // aside, not overwritten, once the practitioner changes the text.
    ASSERT_EQ(frame->SendCommand(27), 1);
    const QString anna = Current(QStringLiteral("ID"));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("DynamicQuestionnaire.rtf"), Rtf(QStringLiteral("Template"))));
    NewPatient(QStringLiteral("Bert"));
    const QString bertsFile = PatientFile();
    const QString annasFile
        = Root() + QStringLiteral("UserData/") + anna + QStringLiteral("/DynamicQuestionnaire.rtf");
    // Anna was only shown the template: she has no copy of it.
    EXPECT_FALSE(QFileInfo::exists(annasFile));
    ASSERT_TRUE(dir.writeFile(
        QStringLiteral("UserData/") + anna + QStringLiteral("/DynamicQuestionnaire.rtf"), "garbage"));
    ASSERT_EQ(frame->SendCommand(2), 0); // the move loads a questionnaire that cannot be read
    EXPECT_EQ(Current(QStringLiteral("ID")), anna);
    EXPECT_EQ(Shown(), QStringLiteral("Template"));
    ASSERT_EQ(frame->SendCommand(27), 1);
    EXPECT_EQ(ReadAll(annasFile), QByteArray("garbage"));
    Type(QStringLiteral(" for Anna"));
    ASSERT_EQ(frame->SendCommand(27), 1);
    EXPECT_EQ(TextOf(ReadAll(annasFile)), QStringLiteral("Template for Anna"));
    const QStringList kept
        = QDir(PatientFolder()).entryList({ QStringLiteral("DynamicQuestionnaire.rtf.unreadable-*") });
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ReadAll(PatientFolder() + kept.first()), QByteArray("garbage"));

    // A file another program wrote is shown, and stays as it was written
    // while its text is not changed.
    const QByteArray foreign
        = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Written {\\b elsewhere}\\par}";
    QFile::remove(bertsFile);
    ASSERT_TRUE(dir.writeFile(bertsFile.mid(Root().size()), foreign));
    ASSERT_EQ(frame->SendCommand(4), 1);
    EXPECT_EQ(Shown(), QStringLiteral("Written elsewhere"));
    ASSERT_EQ(frame->SendCommand(2), 1);
    EXPECT_EQ(ReadAll(bertsFile), foreign);
}

namespace {

// Lowers the largest file the process may write for as long as it lives, so
// that a write runs into the limit as into a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_previous;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_previous {};
    void (*m_handler)(int) = nullptr;
};

} // namespace

TEST_F(QuestionnaireTabTest, AWriteThatFailsKeepsThePreviousQuestionnaireAndFailsTheSave)
{
    NewPatient(QStringLiteral("Anna"));
    Type(QStringLiteral("First visit"));
    ASSERT_EQ(frame->SendCommand(27), 1);
    const QByteArray saved = ReadAll(PatientFile());
    ASSERT_EQ(TextOf(saved), QStringLiteral("First visit"));

    // The limit starts once the save's rows are committed, before the
    // questionnaire is written: the database is not what fails.
    struct Armed
    {
        bool armed = true;
        std::unique_ptr<FileSizeLimit> limit;
    };
    auto state = std::make_shared<Armed>();
    LogicContext &context = Hub()->Context();
    context.Steps()->Join(SaveStep::Wellness, [state, &context] {
        if (state->armed)
            context.AfterCommit([state] {
                state->limit = std::make_unique<FileSizeLimit>(16 * 1024);
                return true;
            });
        return 1;
    });
    Editor()->moveCursor(QTextCursor::End);
    Editor()->insertPlainText(QString(100 * 1024, QLatin1Char('x')));
    EXPECT_EQ(frame->SendCommand(27), 0);
    state->limit.reset();
    state->armed = false;
    EXPECT_EQ(ReadAll(PatientFile()), saved);
    EXPECT_EQ(QDir(PatientFolder()).entryList(QDir::Files),
        QStringList { QStringLiteral("DynamicQuestionnaire.rtf") });

    // The text is still in the editor, and the next save writes it.
    ASSERT_EQ(frame->SendCommand(27), 1);
    EXPECT_EQ(TextOf(ReadAll(PatientFile())).size(), QStringLiteral("First visit").size() + 100 * 1024);
}
