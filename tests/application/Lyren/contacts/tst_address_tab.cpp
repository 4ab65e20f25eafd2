// The Address tab and the header band's links in the real main window: the
// bound address fields, the lists with their trailing row, in-place editing,
// Del, the warning on an implausible address, the call stamp and the choice
// menus.
#include "contacts/CLogicEmails.h"
#include "contacts/CLogicPhones.h"
#include "contacts/ui/CAddressDialog.h"
#include "core/CurrentPatient.h"
#include "notes/CLogicNotes.h"
#include "shell/ui/CHyperLink.h"
#include "shell/ui/CMainView.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"

#include "application/Lyren/patients/record/PatientTestUtil.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "mail/AddressCheck.h"

#include <QtCore/QPointer>
#include <QtCore/QRegularExpression>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>

using namespace PatientTest;

namespace {

class AddressTab : public FrameFixture
{
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        frame->resize(1200, 800);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->GetWorkspace()->Pane(CWorkspace::Line::Row, 0)->SetCurrentTab(CAddressDialog::PageIndex);
    }

    CAddressDialog *Address() const
    {
        return qobject_cast<CAddressDialog *>(
            frame->GetPageContainer()->GetPageWindow(CAddressDialog::PageIndex));
    }
    Korbel::CXListCtrl *Emails() const { return Address()->EmailsList(); }
    Korbel::CXListCtrl *Phones() const { return Address()->PhonesList(); }
    CMainView *Band() const { return frame->GetMainView(); }

    // Types a text into a row of a list through its in-place editor.
    void Type(Korbel::CXListCtrl *list, int row, const QString &text)
    {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->GetSubItemRect(row, 0).center());
        QPointer<QLineEdit> editor;
        ASSERT_TRUE(TestSupport::WaitFor([&] {
            for (QLineEdit *candidate : list->findChildren<QLineEdit *>())
                if (candidate->isVisible())
                    editor = candidate;
            return editor != nullptr;
        }));
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The list announces the edit once the editor has gone.
        ASSERT_TRUE(TestSupport::WaitFor([&] { return !editor || !editor->isVisible(); }));
    }
    void PressDel(Korbel::CXListCtrl *list, int row)
    {
        list->SetCurSel(row);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
    }
    QStringList Rows(Korbel::CXListCtrl *list) const
    {
        QStringList rows;
        for (int row = 0; row < list->GetItemCount(); ++row)
            rows << list->GetItemText(row, 0);
        return rows;
    }
    QString NotesText() const
    {
        const RichEdit::RichDocument &rich
            = Hub()->Services().Get<CLogicNotes>()->ActiveEditor().Document().Rich();
        return rich.textRange(0, rich.textLength());
    }
};

} // namespace

TEST_F(AddressTab, TheAddressFieldsAreThePatientsOwnAndKeptBySaving)
{
    const QString anna = NewPatient(QStringLiteral("Anna"));
    const QStringList fields = { "STREET_ADDRESS", "CITY", "POSTAL_CODE", "STATE", "COUNTRY" };
    for (const QString &field : fields)
        Address()->FieldEdit(field)->setText(QStringLiteral("Anna's ") + field);
    ASSERT_EQ(frame->SendCommand(27), 1);

    NewPatient(QStringLiteral("Bert"));
    for (const QString &field : fields)
        EXPECT_TRUE(Address()->FieldEdit(field)->text().isEmpty()) << field.toStdString();
    Address()->FieldEdit(QStringLiteral("CITY"))->setText(QStringLiteral("Cluj"));

    ASSERT_EQ(Hub()->GetLogicPatient()->GoTo(anna), 1); // saves Bert first
    for (const QString &field : fields)
        EXPECT_EQ(Address()->FieldEdit(field)->text(), QStringLiteral("Anna's ") + field);
    CloseFrame();
    auto source = OpenSource(DatabasePath());
    auto address = Query(source.get(), QStringLiteral("ADDRESS"),
        [](Korbel::IQuery *query) { query->Where(QStringLiteral("CITY"), Korbel::Compare::Equal, "Cluj"); });
    EXPECT_EQ(address->RecordCount(), 1);
}

TEST_F(AddressTab, EntriesAreTypedInPlaceAndDelNeverTakesTheAddRow)
{
    NewPatient(QStringLiteral("Anna"), QStringLiteral("Pop"));
    const QString addRow = CLogicContactList::AddRowText();
    EXPECT_EQ(Rows(Emails()), QStringList { addRow });
    EXPECT_TRUE(Emails()->GetBold(0, 0));
    EXPECT_EQ(Band()->GetEmailLink()->text(), QStringLiteral("No current email"));
    EXPECT_FALSE(Band()->GetEmailLink()->isEnabled());
    PressDel(Emails(), 0);
    EXPECT_EQ(Rows(Emails()), QStringList { addRow });

    Type(Emails(), 0, QStringLiteral("anna@x.example"));
    EXPECT_EQ(Rows(Emails()), (QStringList { "anna@x.example", addRow }));
    EXPECT_FALSE(Emails()->GetBold(0, 0));
    EXPECT_EQ(prompts.Count(), 0);
    EXPECT_EQ(Band()->GetEmailLink()->text(), QStringLiteral("Email To: anna@x.example"));
    EXPECT_TRUE(Band()->GetEmailLink()->isEnabled());

    // An implausible address is kept, with a warning.
    Type(Emails(), 1, QStringLiteral("anna at home"));
    EXPECT_EQ(Rows(Emails()), (QStringList { "anna@x.example", "anna at home", addRow }));
    EXPECT_EQ(prompts.LastText(), Mail::AddressWarning(QStringLiteral("anna at home")));
    EXPECT_FALSE(prompts.LastText().isEmpty());
    // Changing an entry in place; emptying one changes nothing.
    Type(Emails(), 1, QStringLiteral("anna@home.example"));
    Type(Emails(), 0, QStringLiteral(" "));
    EXPECT_EQ(Rows(Emails()), (QStringList { "anna@x.example", "anna@home.example", addRow }));

    // The add row stays whatever is selected when Del is pressed; deleting
    // the current address makes the remaining one current.
    PressDel(Emails(), 2);
    PressDel(Emails(), 0);
    EXPECT_EQ(Rows(Emails()), (QStringList { "anna@home.example", addRow }));
    EXPECT_EQ(Band()->GetEmailLink()->text(), QStringLiteral("Email To: anna@home.example"));
    PressDel(Emails(), 0);
    EXPECT_EQ(Rows(Emails()), QStringList { addRow });
    EXPECT_EQ(Band()->GetEmailLink()->text(), QStringLiteral("No current email"));
    EXPECT_FALSE(Band()->GetEmailLink()->isEnabled());

    // Phones the same way; moving to another patient shows that patient's.
    Type(Phones(), 0, QStringLiteral("0721 000 111"));
    EXPECT_EQ(Band()->GetPhoneLink()->text(), QStringLiteral("Dial 0721 000 111"));
    NewPatient(QStringLiteral("Bert"));
    EXPECT_EQ(Rows(Phones()), QStringList { addRow });
    EXPECT_EQ(Band()->GetPhoneLink()->text(), QStringLiteral("No current ph#"));
    ASSERT_EQ(frame->SendCommand(2), 1); // the first patient
    EXPECT_EQ(Rows(Phones()), (QStringList { "0721 000 111", addRow }));
}

TEST_F(AddressTab, ThePressedPhoneLinkStampsTheCallInTodaysNotes)
{
    NewPatient(QStringLiteral("Anna"));
    Type(Phones(), 0, QStringLiteral("0721 000 111"));
    CHyperLink *link = Band()->GetPhoneLink();
    link->click();
    EXPECT_TRUE(link->isChecked());
    // The stamp ends today's consultation.
    static const QRegularExpression stamp(
        QStringLiteral("\uFFFC.*<<Call to 0721 000 111 initiated by office at \\d\\d:\\d\\d>>$"),
        QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(stamp.match(NotesText()).hasMatch()) << NotesText().toStdString();
    EXPECT_EQ(NotesText().count(QStringLiteral("<<Call to")), 1);
    link->click(); // released: the call ended, no second stamp
    EXPECT_FALSE(link->isChecked());
    EXPECT_EQ(NotesText().count(QStringLiteral("<<Call to")), 1);
}

TEST_F(AddressTab, TheChoiceButtonsOfferTheEntriesBelowThemselves)
{
    Desktop::ScriptedMenus menus;
    NewPatient(QStringLiteral("Anna"));
    Type(Emails(), 0, QStringLiteral("a@x.example"));
    Type(Emails(), 1, QStringLiteral("b@x.example"));
    menus.QueueChoice(1);
    Band()->GetEmailChoiceButton()->click();
    EXPECT_EQ(menus.LastEntries(), (QStringList { "a@x.example", "b@x.example", "Email questionnaire" }));
    QPushButton *button = Band()->GetEmailChoiceButton();
    EXPECT_EQ(menus.Positions().back(), button->mapToGlobal(QPoint(0, button->height())));
    EXPECT_EQ(Band()->GetEmailLink()->text(), QStringLiteral("Email To: b@x.example"));

    // Entries the logic adds show in the list at once.
    Hub()->Services().Get<CLogicEmails>()->Add(QStringLiteral("c@x.example"));
    EXPECT_EQ(Rows(Emails()),
        (QStringList { "a@x.example", "b@x.example", "c@x.example", CLogicContactList::AddRowText() }));
}
