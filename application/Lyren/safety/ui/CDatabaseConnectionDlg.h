#pragma once

#include <QtWidgets/QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace Secrets {
class ISecretStore;
}

// Options > Database Connection...: where this computer finds the practice.
// Either the database file in the practice's folder, or a database on a
// PostgreSQL server (host, port, database, user; the password goes to the
// desktop keyring, never into a settings file) with the folder the seats
// share for the patient folders. "Test Connection" connects and says what is
// there. The setting applies at the next start of Verdanta.
class CDatabaseConnectionDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CDatabaseConnectionDlg(Secrets::ISecretStore &keyring, QWidget *parent = nullptr);

    void accept() override;

private:
    void UpdateEnabled();
    void OnBrowse();
    void OnTest();
    // The address the fields give; false with the reason.
    bool AddressFromFields(QString *address, QString *error) const;
    void Tell(const QString &text, bool problem);

    Secrets::ISecretStore &m_keyring;
    QRadioButton *m_pFile;
    QRadioButton *m_pServer;
    QWidget *m_pServerBox;
    QLineEdit *m_pHost;
    QSpinBox *m_pPort;
    QLineEdit *m_pDatabase;
    QLineEdit *m_pUser;
    QLineEdit *m_pPassword;
    QLineEdit *m_pSharedFolder;
    QPushButton *m_pBrowse;
    QPushButton *m_pTest;
};
