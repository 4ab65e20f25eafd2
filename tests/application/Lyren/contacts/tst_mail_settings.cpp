// The mail settings in the real main window, and a patient mailed from the
// header band straight to a mail server on localhost.
#include "contacts/ui/CAddressDialog.h"
#include "contacts/ui/CMailSettingsDlg.h"
#include "core/CurrentPatient.h"
#include "notes/CLogicNotes.h"
#include "shell/ui/CHyperLink.h"
#include "shell/ui/CMainView.h"

#include "application/Lyren/patients/record/PatientTestUtil.h"
#include "platform/mail/SmtpTestServer.h"

#include "contacts/CLogicEmails.h"
#include "mail/MailSettings.h"
#include "support/MemorySecretStore.h"

#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

using namespace PatientTest;

namespace {

class MailSettings : public FrameFixture
{
protected:
    void SetUp() override
    {
        QSettings().clear();
        FrameFixture::SetUp();
        Hub()->Services().Provide<Secrets::ISecretStore>(&keyring);
    }
    void TearDown() override
    {
        Hub()->Services().Withdraw<Secrets::ISecretStore>(&keyring);
        FrameFixture::TearDown();
        QSettings().clear();
    }

    // Opens the dialog from the Options menu and lets fill() work it; the
    // dialog is closed if fill() left it open.
    void WithDialog(const std::function<void(CMailSettingsDlg &)> &fill)
    {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<CMailSettingsDlg *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shown = true;
            fill(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        frame->GetAction(QStringLiteral("actionMailSettings"))->trigger();
        EXPECT_TRUE(shown);
    }
    template<class Control> static Control *Child(QWidget &dialog, const char *name)
    {
        return dialog.findChild<Control *>(QLatin1String(name));
    }

    TestSupport::MemorySecretStore keyring;
};

} // namespace

TEST_F(MailSettings, DirectSendingIsChosenInTheDialogAndThePasswordGoesToTheKeyringOnly)
{
    SmtpTestServer server;
    WithDialog([&](CMailSettingsDlg &dialog) {
        EXPECT_TRUE(Child<QRadioButton>(dialog, "desktop")->isChecked());
        Child<QRadioButton>(dialog, "smtp")->setChecked(true);
        Child<QLineEdit>(dialog, "server")->setText(QStringLiteral("127.0.0.1"));
        Child<QSpinBox>(dialog, "port")->setValue(server.Port());
        Child<QComboBox>(dialog, "security")->setCurrentIndex(2); // none
        Child<QLineEdit>(dialog, "user")->setText(QStringLiteral("office"));
        Child<QLineEdit>(dialog, "password")->setText(QStringLiteral("s3cret"));
        // Without a sender the dialog says so and stays open.
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(prompts.LastText(),
            QStringLiteral("Direct sending needs the mail server and the sender address."));
        Child<QLineEdit>(dialog, "senderAddress")->setText(QStringLiteral("office@green.example"));
        dialog.accept();
        EXPECT_FALSE(dialog.isVisible());
    });
    QSettings settings;
    const Mail::MailSettings stored = Mail::ReadMailSettings(settings);
    EXPECT_EQ(stored.method, Mail::SendingMethod::Smtp);
    EXPECT_EQ(stored.smtp.tls, Mail::TlsMode::None);
    EXPECT_EQ(stored.smtp.port, server.Port());
    EXPECT_EQ(keyring.Read(Mail::SmtpSecretService(), Mail::SmtpSecretKey(stored.smtp)).secret,
        QStringLiteral("s3cret"));
    settings.sync();
    QFile file(settings.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("s3cret"));

    // The dialog shows what is stored; an empty password keeps the kept one.
    WithDialog([&](CMailSettingsDlg &dialog) {
        EXPECT_TRUE(Child<QRadioButton>(dialog, "smtp")->isChecked());
        EXPECT_EQ(Child<QLineEdit>(dialog, "server")->text(), QStringLiteral("127.0.0.1"));
        EXPECT_TRUE(Child<QLineEdit>(dialog, "password")->text().isEmpty());
        dialog.accept();
    });
    EXPECT_EQ(keyring.Count(), 1);

    // A patient mailed from the header band: the server takes it and today's
    // notes get the stamp.
    NewPatient(QStringLiteral("Anna"), QStringLiteral("Pop"));
    Hub()->Services().Get<CLogicEmails>()->Add(QStringLiteral("anna@x.example"));
    CHyperLink *link = frame->GetMainView()->GetEmailLink();
    ASSERT_TRUE(link->isEnabled());
    link->click();
    EXPECT_EQ(server.Recipients(), QList<QByteArray> { "<anna@x.example>" });
    EXPECT_EQ(server.AuthPassword(), "s3cret");
    const RichEdit::RichDocument &notes
        = Hub()->Services().Get<CLogicNotes>()->ActiveEditor().Document().Rich();
    EXPECT_TRUE(
        notes.textRange(0, notes.textLength()).contains(QStringLiteral("<<Email to: anna@x.example at ")));
}
