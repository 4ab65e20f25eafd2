#pragma once

#include <QtWidgets/QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace Secrets {
class ISecretStore;
}

// "Mail Settings": how mail leaves the program. Either it is composed in the
// user's own mail program, or it is sent directly to the practice's mail
// server (server, port, security, user, sender). The settings are the user's
// (never the password); the password goes to the keyring, and an empty
// password field keeps the one already kept there.
class CMailSettingsDlg final : public QDialog
{
    Q_OBJECT

public:
    CMailSettingsDlg(Secrets::ISecretStore &keyring, QWidget *parent = nullptr);

    // Stores the settings and the password; stays open, with the reason told,
    // when direct sending lacks its server or sender, or the keyring refuses
    // the password.
    void accept() override;

private:
    void UpdateEnabled();

    Secrets::ISecretStore &m_keyring;
    QRadioButton *m_pDesktop;
    QRadioButton *m_pSmtp;
    QGroupBox *m_pServer;
    QLineEdit *m_pHost;
    QSpinBox *m_pPort;
    QComboBox *m_pSecurity;
    QLineEdit *m_pUser;
    QLineEdit *m_pPassword;
    QLineEdit *m_pSenderAddress;
    QLineEdit *m_pSenderName;
};
