#include "PatientTestUtil.h"

#include "shell/ui/WindowPresenters.h"

#include "patients/CLogicPatient.h"
#include "patients/forms/CLogicQuestionnaire.h"
#include "patients/forms/ui/CFormLayoutDlg.h"
#include "patients/ui/CFindDlg.h"
#include "shell/ui/CMainView.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QPushButton>

using namespace PatientTest;

namespace {

// A person at the real main window: keys, typing and clicks only.
class WalkthroughTest : public FrameFixture
{
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        ShowFrame();
    }
    void ShowFrame()
    {
        frame->show();
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    void Reopen()
    {
        CloseFrame();
        ASSERT_TRUE(OpenFrame());
        ShowFrame();
    }
    void Key(Qt::Key key) { QTest::keyClick(frame.get(), key, Qt::ControlModifier); }
    void Type(const QString &field, const QString &text)
    {
        QLineEdit *edit = Edit(field);
        ASSERT_NE(edit, nullptr) << field.toStdString();
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
    QString Name() const { return frame->GetMainView()->GetNameLine(); }
    CLogicPatient *Patient() const { return dynamic_cast<CLogicPatient *>(Hub()->GetLogicPatient()); }
};

} // namespace

TEST_F(WalkthroughTest, PatientsTypedBrowsedFoundAndDeletedAreThereAfterARestart)
{
    ASSERT_NE(Patient(), nullptr);
    const struct
    {
        const char *first;
        const char *last;
        const char *occupation;
    } people[] = { { "Anna", "Berg", "Baker" }, { "Bert", "Holm", "Pilot" }, { "Carl", "Dahl", "Tailor" } };
    for (const auto &person : people) {
        Key(Qt::Key_N);
        // New leaves the keys to "First Name:": the name is typed straight in.
        EXPECT_EQ(QApplication::focusWidget(), Edit(QStringLiteral("FIRST_NAME")));
        QTest::keyClicks(QApplication::focusWidget(), QLatin1String(person.first));
        Type(QStringLiteral("LAST_NAME"), QLatin1String(person.last));
        Type(QStringLiteral("OCCUPATION"), QLatin1String(person.occupation));
    }
    EXPECT_EQ(Main()->RecordCount(), 3);

    // Bert's questionnaire, answered through its dialog.
    Key(Qt::Key_E);
    EXPECT_EQ(Name(), QStringLiteral("Bert Holm"));
    frame->GetPresenters()->FormDialogs().SetDriver([](QDialog &dialog) {
        dialog.show();
        auto *form = qobject_cast<CFormLayoutDlg *>(&dialog);
        EXPECT_NE(form, nullptr);
        if (!form)
            return 0;
        auto *notes = qobject_cast<QLineEdit *>(
            form->FieldControl(QStringLiteral("QUESTIONARY_B"), QStringLiteral("WC_COLOR_NOTES")));
        EXPECT_NE(notes, nullptr);
        if (notes)
            QTest::keyClicks(notes, QStringLiteral("pale"));
        form->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        return dialog.result();
    });
    QTest::mouseClick(frame->GetMainView()->GetQuestionnaireButton(), Qt::LeftButton);

    // Browsing: every patient shows what was typed for it.
    Key(Qt::Key_I);
    EXPECT_EQ(Name(), QStringLiteral("Anna Berg"));
    EXPECT_EQ(Edit(QStringLiteral("OCCUPATION"))->text(), QStringLiteral("Baker"));
    Key(Qt::Key_T);
    EXPECT_EQ(Name(), QStringLiteral("Bert Holm"));
    EXPECT_EQ(Edit(QStringLiteral("OCCUPATION"))->text(), QStringLiteral("Pilot"));
    Key(Qt::Key_L);
    EXPECT_EQ(Name(), QStringLiteral("Carl Dahl"));
    Key(Qt::Key_T); // past the last: stays
    EXPECT_EQ(Name(), QStringLiteral("Carl Dahl"));

    // Find Anna by the start of her last name.
    frame->GetPresenters()->Finder().SetDriver([](CFindDlg &dialog) {
        dialog.show();
        QTest::keyClicks(dialog.LastNameEdit(), QStringLiteral("Be"));
        QTest::mouseClick(dialog.FindButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.ResultCount(), 1);
        dialog.SelectRow(0);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    Key(Qt::Key_F);
    EXPECT_EQ(Name(), QStringLiteral("Anna Berg"));
    // Bert becomes Anna's linked account through "Search".
    frame->GetPresenters()->Finder().SetDriver([](CFindDlg &dialog) {
        QTest::keyClicks(dialog.FirstNameEdit(), QStringLiteral("b"));
        QTest::mouseClick(dialog.FindButton(), Qt::LeftButton);
        dialog.SelectRow(0);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        return dialog.result();
    });
    QTest::mouseClick(Page()->SearchButton(), Qt::LeftButton);
    EXPECT_EQ(Edit(QStringLiteral("PARENT_NAME"))->text(), QStringLiteral("Bert Holm"));
    // A last change typed just before the delete of another patient is kept.
    Type(QStringLiteral("MIDDLE_NAME"), QStringLiteral("Maria"));

    // Delete Carl.
    Key(Qt::Key_L);
    prompts.QueueAnswer(Desktop::Answer::Yes);
    Key(Qt::Key_D);
    EXPECT_EQ(prompts.Count(), 1);
    EXPECT_EQ(Main()->RecordCount(), 2);
    // Typed without a save: the close keeps it.
    Key(Qt::Key_I);
    Type(QStringLiteral("OCCUPATION"), QStringLiteral(" and cook"));

    Reopen();
    EXPECT_EQ(Main()->RecordCount(), 2);
    EXPECT_EQ(Name(), QStringLiteral("Anna Maria Berg"));
    EXPECT_EQ(Edit(QStringLiteral("OCCUPATION"))->text(), QStringLiteral("Baker and cook"));
    EXPECT_EQ(Edit(QStringLiteral("PARENT_NAME"))->text(), QStringLiteral("Bert Holm"));
    EXPECT_EQ(Current(QStringLiteral("PARENT_ID")), QStringLiteral("2"));
    Key(Qt::Key_T);
    EXPECT_EQ(Name(), QStringLiteral("Bert Holm"));
    EXPECT_EQ(Edit(QStringLiteral("OCCUPATION"))->text(), QStringLiteral("Pilot"));
    auto answers
        = Query(Hub()->GetDataSource(), QStringLiteral("QUESTIONARY_B"), [this](Korbel::IQuery *query) {
              query->Where(
                  QStringLiteral("CUSTOMER_REF"), Korbel::Compare::Equal, Current(QStringLiteral("ID")));
          });
    ASSERT_TRUE(answers);
    ASSERT_EQ(answers->Move(Korbel::MoveFirst), 1);
    EXPECT_EQ(Get(answers.get(), QStringLiteral("WC_COLOR_NOTES")), QStringLiteral("pale"));
    Key(Qt::Key_T);
    EXPECT_EQ(Name(), QStringLiteral("Bert Holm"));
}
