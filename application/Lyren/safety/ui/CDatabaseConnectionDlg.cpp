#include "safety/ui/CDatabaseConnectionDlg.h"

#include "safety/PracticeConnection.h"
#include "safety/ServerLink.h"

#include "desktop/FileDialogs.h"
#include "desktop/Prompts.h"

#include <QtCore/QDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

CDatabaseConnectionDlg::CDatabaseConnectionDlg(Secrets::ISecretStore &keyring, QWidget *parent)
    : QDialog(parent)
    , m_keyring(keyring)
    , m_pFile(new QRadioButton(tr("The database file in this computer's practice folder"), this))
    , m_pServer(
          new QRadioButton(tr("A database on a PostgreSQL server, shared by the practice's computers"), this))
    , m_pServerBox(new QGroupBox(tr("Database server"), this))
    , m_pHost(new QLineEdit(m_pServerBox))
    , m_pPort(new QSpinBox(m_pServerBox))
    , m_pDatabase(new QLineEdit(m_pServerBox))
    , m_pUser(new QLineEdit(m_pServerBox))
    , m_pPassword(new QLineEdit(m_pServerBox))
    , m_pSharedFolder(new QLineEdit(m_pServerBox))
    , m_pBrowse(new QPushButton(tr("Browse..."), m_pServerBox))
    , m_pTest(new QPushButton(tr("Test Connection"), m_pServerBox))
{
    setWindowTitle(tr("Database Connection"));
    m_pFile->setObjectName(QStringLiteral("engineFile"));
    m_pServer->setObjectName(QStringLiteral("engineServer"));
    m_pHost->setObjectName(QStringLiteral("host"));
    m_pPort->setObjectName(QStringLiteral("port"));
    m_pDatabase->setObjectName(QStringLiteral("database"));
    m_pUser->setObjectName(QStringLiteral("user"));
    m_pPassword->setObjectName(QStringLiteral("password"));
    m_pSharedFolder->setObjectName(QStringLiteral("sharedFolder"));
    m_pBrowse->setObjectName(QStringLiteral("browseSharedFolder"));
    m_pTest->setObjectName(QStringLiteral("testConnection"));

    m_pPort->setRange(1, 65535);
    m_pPort->setValue(5432);
    m_pPassword->setEchoMode(QLineEdit::Password);
    m_pPassword->setPlaceholderText(tr("kept in the keyring; leave empty to keep it or to use ~/.pgpass"));
    m_pSharedFolder->setPlaceholderText(tr("the folder every computer of the practice reaches"));

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_pSharedFolder, 1);
    folderRow->addWidget(m_pBrowse);
    auto *form = new QFormLayout(m_pServerBox);
    form->addRow(tr("Host:"), m_pHost);
    form->addRow(tr("Port:"), m_pPort);
    form->addRow(tr("Database:"), m_pDatabase);
    form->addRow(tr("User:"), m_pUser);
    form->addRow(tr("Password:"), m_pPassword);
    form->addRow(tr("Shared folder:"), folderRow);
    form->addRow(QString(), m_pTest);

    auto *note = new QLabel(tr("The change applies at the next start of Verdanta on this computer."), this);
    note->setObjectName(QStringLiteral("appliesNote"));
    note->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDatabaseConnectionDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pFile);
    layout->addWidget(m_pServer);
    layout->addWidget(m_pServerBox);
    layout->addWidget(note);
    layout->addWidget(buttons);

    const PracticeConnection connection = PracticeConnection::Load();
    Korbel::ServerAddress address;
    const bool server = connection.ServerAddressOf(&address, nullptr);
    (server ? m_pServer : m_pFile)->setChecked(true);
    if (server) {
        m_pHost->setText(address.host);
        m_pPort->setValue(address.port);
        m_pDatabase->setText(address.database);
        m_pUser->setText(address.user);
    }
    m_pSharedFolder->setText(QDir::toNativeSeparators(connection.sharedFolder));
    connect(m_pServer, &QRadioButton::toggled, this, &CDatabaseConnectionDlg::UpdateEnabled);
    connect(m_pBrowse, &QPushButton::clicked, this, &CDatabaseConnectionDlg::OnBrowse);
    connect(m_pTest, &QPushButton::clicked, this, &CDatabaseConnectionDlg::OnTest);
    UpdateEnabled();
}

void CDatabaseConnectionDlg::UpdateEnabled()
{
    m_pServerBox->setEnabled(m_pServer->isChecked());
}

void CDatabaseConnectionDlg::Tell(const QString &text, bool problem)
{
    Desktop::Prompts().Show(this, text, Desktop::Buttons::Ok,
        problem ? Desktop::Icon::Warning : Desktop::Icon::Information, windowTitle());
}

void CDatabaseConnectionDlg::OnBrowse()
{
    const QString chosen = Desktop::FileDialogs().GetExistingFolder(this,
        tr("The folder the practice's computers share"),
        m_pSharedFolder->text().trimmed().isEmpty() ? QDir::homePath() : m_pSharedFolder->text().trimmed());
    if (!chosen.isEmpty())
        m_pSharedFolder->setText(QDir::toNativeSeparators(chosen));
}

bool CDatabaseConnectionDlg::AddressFromFields(QString *address, QString *error) const
{
    Korbel::ServerAddress fields;
    fields.host = m_pHost->text().trimmed();
    fields.port = m_pPort->value();
    fields.database = m_pDatabase->text().trimmed();
    fields.user = m_pUser->text().trimmed();
    if (fields.host.isEmpty() || fields.database.isEmpty() || fields.user.isEmpty()) {
        *error = tr("A database server needs its host, the database and the user.");
        return false;
    }
    // The address as the program reads it back: what cannot be read is refused here.
    Korbel::ServerAddress parsed;
    if (!Korbel::ServerAddress::Parse(fields.ToString(), &parsed, error))
        return false;
    *address = parsed.ToString();
    return true;
}

void CDatabaseConnectionDlg::OnTest()
{
    QString address;
    QString message;
    Korbel::ServerAddress parsed;
    if (!AddressFromFields(&address, &message) || !Korbel::ServerAddress::Parse(address, &parsed, &message)) {
        Tell(message, true);
        return;
    }
    const QString password
        = m_pPassword->text().isEmpty() ? ServerPasswords::Read(m_keyring, parsed) : m_pPassword->text();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool connected = ServerLink::TryConnection(parsed, password, &message);
    QApplication::restoreOverrideCursor();
    Tell(connected ? message : tr("No connection:\n\n%1").arg(message), !connected);
}

void CDatabaseConnectionDlg::accept()
{
    PracticeConnection connection;
    QString error;
    if (m_pServer->isChecked() && !AddressFromFields(&connection.address, &error)) {
        Tell(error, true);
        return;
    }
    connection.sharedFolder = QDir::fromNativeSeparators(m_pSharedFolder->text().trimmed());
    if (!connection.Check(&error)) {
        Tell(error, true);
        return;
    }
    Korbel::ServerAddress address;
    if (connection.IsServer() && !m_pPassword->text().isEmpty()
        && connection.ServerAddressOf(&address, &error)
        && !ServerPasswords::Write(m_keyring, address, m_pPassword->text(), &error)) {
        Tell(tr("The password could not be kept in the keyring: %1\n\nWithout it Verdanta reads the "
                "PostgreSQL password file (~/.pgpass).")
                 .arg(error),
            true);
        return;
    }
    connection.Save();
    QDialog::accept();
}
