// The patient's e-mail addresses and phone numbers without windows: the
// current entry in MAIN, deletion, per-patient rows and the link texts.
#include "ContactsTestUtil.h"

using namespace ContactsTest;

namespace {

class ContactLists : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(practice.Open()); }

    QStringList Texts(const CLogicContactList &list) const
    {
        QStringList texts;
        for (const auto &entry : list.Entries())
            texts << entry.second;
        return texts;
    }

    Practice practice;
};

} // namespace

TEST_F(ContactLists, TheFirstEntryBecomesCurrentAndDeletingTheCurrentOneMovesToTheFirstLeft)
{
    CLogicEmails &emails = practice.Emails();
    EXPECT_EQ(emails.LinkText(), QStringLiteral("No current email"));
    EXPECT_FALSE(emails.IsLinkActive());

    const qint64 a = emails.Add(QStringLiteral("  a@x.example "));
    const qint64 b = emails.Add(QStringLiteral("b@x.example"));
    const qint64 c = emails.Add(QStringLiteral("c@x.example"));
    EXPECT_EQ(emails.Add(QStringLiteral("   ")), 0); // nothing to add
    EXPECT_EQ(Texts(emails), (QStringList { "a@x.example", "b@x.example", "c@x.example" }));
    // The first address became current as soon as it was added.
    EXPECT_EQ(practice.Current(QStringLiteral("EMAIL")).toLongLong(), a);
    EXPECT_EQ(emails.LinkText(), QStringLiteral("Email To: a@x.example"));
    EXPECT_TRUE(emails.IsLinkActive());

    // Deleting another address leaves the current one; deleting the current
    // one while two remain makes the first remaining one current.
    ASSERT_TRUE(emails.MakeCurrent(b));
    ASSERT_TRUE(emails.Delete(c));
    EXPECT_EQ(emails.CurrentId(), b);
    ASSERT_TRUE(emails.Add(QStringLiteral("d@x.example")));
    ASSERT_TRUE(emails.Delete(b));
    EXPECT_EQ(emails.CurrentId(), a);
    EXPECT_EQ(emails.LinkText(), QStringLiteral("Email To: a@x.example"));

    // Changing the current address changes the link; an empty text changes nothing.
    ASSERT_TRUE(emails.Change(a, QStringLiteral("anna@x.example")));
    EXPECT_FALSE(emails.Change(a, QStringLiteral(" ")));
    EXPECT_EQ(emails.LinkText(), QStringLiteral("Email To: anna@x.example"));

    // Deleting the last ones clears MAIN.EMAIL and the link.
    ASSERT_TRUE(emails.Delete(a));
    EXPECT_EQ(emails.LinkText(), QStringLiteral("Email To: d@x.example"));
    ASSERT_TRUE(emails.Delete(emails.CurrentId()));
    EXPECT_EQ(practice.Current(QStringLiteral("EMAIL")), QStringLiteral("0"));
    EXPECT_EQ(emails.LinkText(), QStringLiteral("No current email"));
    EXPECT_FALSE(emails.IsLinkActive());
    EXPECT_FALSE(emails.Delete(a)); // already gone
}

TEST_F(ContactLists, EachPatientKeepsItsOwnEntriesAndCurrentOneAcrossMovesAndRestarts)
{
    const QStringList &ids = practice.ids;
    CLogicPhones &phones = practice.Phones();
    EXPECT_EQ(phones.LinkText(), QStringLiteral("No current ph#"));
    phones.Add(QStringLiteral("0721 000 111"));
    const qint64 mobile = phones.Add(QStringLiteral("0744 222 333"));
    ASSERT_TRUE(phones.MakeCurrent(mobile));
    EXPECT_EQ(phones.LinkText(), QStringLiteral("Dial 0744 222 333"));

    ASSERT_EQ(practice.GoTo(ids[1]), 1);
    EXPECT_TRUE(phones.Entries().isEmpty());
    EXPECT_EQ(phones.LinkText(), QStringLiteral("No current ph#"));
    // Another patient's entry cannot be made current here.
    EXPECT_FALSE(phones.MakeCurrent(mobile));
    EXPECT_FALSE(phones.Delete(mobile));
    phones.Add(QStringLiteral("0255 111"));

    ASSERT_EQ(practice.GoTo(ids[0]), 1);
    EXPECT_EQ(Texts(phones), (QStringList { "0721 000 111", "0744 222 333" }));
    EXPECT_EQ(phones.LinkText(), QStringLiteral("Dial 0744 222 333"));

    practice.hub->Close();
    ASSERT_TRUE(practice.Open());
    EXPECT_EQ(practice.Phones().LinkText(), QStringLiteral("Dial 0744 222 333"));
}

TEST_F(ContactLists, ACurrentIdThatNamesNoEntryOfThePatientIsReplacedOnLoad)
{
    // MAIN.EMAIL names a row that was deleted by other means.
    const qint64 a = practice.Emails().Add(QStringLiteral("a@x.example"));
    const qint64 b = practice.Emails().Add(QStringLiteral("b@x.example"));
    ASSERT_TRUE(practice.Emails().MakeCurrent(b));
    practice.hub->Close();
    {
        auto source = OpenSource(practice.DatabasePath());
        auto emails = OpenTable(source.get(), QStringLiteral("EMAILS"));
        ASSERT_EQ(emails->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QString::number(b)), 1);
        ASSERT_GT(emails->Delete(), 0);
    }
    ASSERT_TRUE(practice.Open());
    EXPECT_EQ(practice.Emails().CurrentId(), a);
    EXPECT_EQ(practice.Emails().LinkText(), QStringLiteral("Email To: a@x.example"));
}

TEST_F(ContactLists, DeletingThePatientDeletesItsEntriesOnly)
{
    practice.Emails().Add(QStringLiteral("a@x.example"));
    practice.Phones().Add(QStringLiteral("0721"));
    ASSERT_EQ(practice.GoTo(practice.ids[1]), 1);
    practice.Emails().Add(QStringLiteral("b@x.example"));
    ASSERT_EQ(practice.GoTo(practice.ids[0]), 1);
    ASSERT_EQ(practice.Send(CommandCode::DeletePatient), 1);
    auto source = OpenSource(practice.DatabasePath());
    EXPECT_EQ(OpenTable(source.get(), QStringLiteral("EMAILS"))->RecordCount(), 1);
    EXPECT_EQ(OpenTable(source.get(), QStringLiteral("PHONES"))->RecordCount(), 0);
}

TEST_F(ContactLists, TheChoiceMenusListTheEntriesAndMakeTheChosenOneCurrent)
{
    // Without entries: "No emails" (which does nothing) and the questionnaire.
    practice.menus.QueueChoice(0);
    EXPECT_EQ(practice.Send(CommandCode::EmailChoice), 0);
    EXPECT_EQ(practice.menus.LastEntries(), (QStringList { "No emails", "Email questionnaire" }));

    practice.Emails().Add(QStringLiteral("a@x.example"));
    const qint64 b = practice.Emails().Add(QStringLiteral("b@x.example"));
    practice.menus.QueueChoice(QStringLiteral("b@x.example"));
    EXPECT_EQ(practice.Send(CommandCode::EmailChoice), 1);
    EXPECT_EQ(
        practice.menus.LastEntries(), (QStringList { "a@x.example", "b@x.example", "Email questionnaire" }));
    EXPECT_EQ(practice.Current(QStringLiteral("EMAIL")).toLongLong(), b);
    EXPECT_EQ(practice.Emails().LinkText(), QStringLiteral("Email To: b@x.example"));

    practice.Phones().Add(QStringLiteral("0721"));
    const qint64 second = practice.Phones().Add(QStringLiteral("0744"));
    practice.menus.QueueChoice(1);
    EXPECT_EQ(practice.Send(CommandCode::PhoneChoice), 1);
    EXPECT_EQ(practice.menus.LastEntries(), (QStringList { "0721", "0744" }));
    EXPECT_EQ(practice.Current(QStringLiteral("PHONE")).toLongLong(), second);
    EXPECT_EQ(practice.Send(CommandCode::PhoneChoice), 0); // the menu was dismissed
    EXPECT_EQ(practice.Current(QStringLiteral("PHONE")).toLongLong(), second);
}
