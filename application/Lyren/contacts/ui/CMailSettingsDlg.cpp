#include "contacts/ui/CMailSettingsDlg.h"

#include "desktop/Prompts.h"
#include "mail/MailSettings.h"
#include "secrets/SecretStore.h"

#include <QtCore/QSettings>

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>
#include <algorithm>

namespace {

// The security choices in the order of the combo box.
constexpr Mail::TlsMode SecurityModes[]
    = { Mail::TlsMode::StartTls, Mail::TlsMode::Implicit, Mail::TlsMode::None };

} // namespace

CMailSettingsDlg::CMailSettingsDlg(Secrets::ISecretStore &keyring, QWidget *parent)
    : QDialog(parent)
    , m_keyring(keyring)
    , m_pDesktop(new QRadioButton(tr("Compose mail in my mail program"), this))
    , m_pSmtp(new QRadioButton(tr("Send mail directly through the practice's mail server"), this))
    , m_pServer(new QGroupBox(tr("Mail server"), this))
    , m_pHost(new QLineEdit(m_pServer))
    , m_pPort(new QSpinBox(m_pServer))
    , m_pSecurity(new QComboBox(m_pServer))
    , m_pUser(new QLineEdit(m_pServer))
    , m_pPassword(new QLineEdit(m_pServer))
    , m_pSenderAddress(new QLineEdit(m_pServer))
    , m_pSenderName(new QLineEdit(m_pServer))
{
    setWindowTitle(tr("Mail Settings"));
    m_pDesktop->setObjectName(QStringLiteral("desktop"));
    m_pSmtp->setObjectName(QStringLiteral("smtp"));
    m_pHost->setObjectName(QStringLiteral("server"));
    m_pPort->setObjectName(QStringLiteral("port"));
    m_pSecurity->setObjectName(QStringLiteral("security"));
    m_pUser->setObjectName(QStringLiteral("user"));
    m_pPassword->setObjectName(QStringLiteral("password"));
    m_pSenderAddress->setObjectName(QStringLiteral("senderAddress"));
    m_pSenderName->setObjectName(QStringLiteral("senderName"));

    m_pPort->setRange(0, 65535);
    m_pPort->setSpecialValueText(tr("usual"));
    m_pSecurity->addItems({ tr("STARTTLS"), tr("TLS"), tr("None (unencrypted)") });
    m_pPassword->setEchoMode(QLineEdit::Password);
    m_pPassword->setPlaceholderText(tr("kept in the keyring; leave empty to keep it"));

    auto *form = new QFormLayout(m_pServer);
    form->addRow(tr("Server:"), m_pHost);
    form->addRow(tr("Port:"), m_pPort);
    form->addRow(tr("Security:"), m_pSecurity);
    form->addRow(tr("User:"), m_pUser);
    form->addRow(tr("Password:"), m_pPassword);
    form->addRow(tr("Sender address:"), m_pSenderAddress);
    form->addRow(tr("Sender name:"), m_pSenderName);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pDesktop);
    layout->addWidget(m_pSmtp);
    layout->addWidget(m_pServer);
    layout->addWidget(buttons);

    QSettings settings;
    const Mail::MailSettings mail = Mail::ReadMailSettings(settings);
    (mail.method == Mail::SendingMethod::Smtp ? m_pSmtp : m_pDesktop)->setChecked(true);
    m_pHost->setText(mail.smtp.server);
    m_pPort->setValue(mail.smtp.port);
    m_pSecurity->setCurrentIndex(
        static_cast<int>(std::find(std::begin(SecurityModes), std::end(SecurityModes), mail.smtp.tls)
            - std::begin(SecurityModes)));
    m_pUser->setText(mail.smtp.user);
    m_pSenderAddress->setText(mail.smtp.senderAddress);
    m_pSenderName->setText(mail.smtp.senderName);
    connect(m_pSmtp, &QRadioButton::toggled, this, &CMailSettingsDlg::UpdateEnabled);
    UpdateEnabled();
}

void CMailSettingsDlg::UpdateEnabled()
{
    m_pServer->setEnabled(m_pSmtp->isChecked());
}

void CMailSettingsDlg::accept()
{
    QSettings settings;
    Mail::MailSettings mail = Mail::ReadMailSettings(settings);
    mail.method = m_pSmtp->isChecked() ? Mail::SendingMethod::Smtp : Mail::SendingMethod::Desktop;
    mail.smtp.server = m_pHost->text().trimmed();
    mail.smtp.port = m_pPort->value();
    mail.smtp.tls = SecurityModes[std::clamp(m_pSecurity->currentIndex(), 0, 2)];
    mail.smtp.user = m_pUser->text().trimmed();
    mail.smtp.senderAddress = m_pSenderAddress->text().trimmed();
    mail.smtp.senderName = m_pSenderName->text().trimmed();

    const auto tell = [this](const QString &text) {
        Desktop::Prompts().Show(this, text, Desktop::Buttons::Ok, Desktop::Icon::Warning, windowTitle());
    };
    if (mail.method == Mail::SendingMethod::Smtp
        && (mail.smtp.server.isEmpty() || mail.smtp.senderAddress.isEmpty())) {
        tell(tr("Direct sending needs the mail server and the sender address."));
        return;
    }
    if (!m_pPassword->text().isEmpty() && !mail.smtp.user.isEmpty()) {
        const Secrets::SecretResult kept
            = m_keyring.Write(Mail::SmtpSecretService(), Mail::SmtpSecretKey(mail.smtp), m_pPassword->text());
        if (!kept.IsOk()) {
            tell(tr("The password could not be kept in the keyring: %1").arg(kept.error));
            return;
        }
    }
    Mail::WriteMailSettings(settings, mail);
    QDialog::accept();
}
