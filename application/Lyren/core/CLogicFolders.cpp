#include "core/CLogicFolders.h"

#include "core/Loggers.h"

#include "Korbel/DataSource.h"
#include "profile/IniFile.h"

#include <QtCore/QDir>
#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace {

const QString UserData = QStringLiteral("UserData");
const QString DatabaseFile = QStringLiteral("data.mdb");
const QString LinkConfigurationFile = QStringLiteral("RadarVerdanta.ini");

// A patient ID names a folder, so only a decimal number is taken: a damaged
// value can never reach outside UserData.
bool IsFolderId(const QString &id)
{
    bool ok = false;
    id.toLongLong(&ok);
    return ok && !id.startsWith(QLatin1Char('+')) && id.trimmed() == id;
}

// Clears the read-only state of a file, and lets a folder be listed and
// emptied, as deleting a patient's folder must remove everything in it.
void MakeWritable(const QString &path, bool folder)
{
    const QFileDevice::Permissions permissions = QFile::permissions(path);
    QFileDevice::Permissions wanted = permissions | QFileDevice::WriteOwner;
    if (folder)
        wanted |= QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    if (wanted != permissions)
        QFile::setPermissions(path, wanted);
}

// Depth first; false at the first entry that cannot be removed.
bool RemoveTree(const QString &folder)
{
    MakeWritable(folder, true);
    QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QFileInfo info = entries.fileInfo();
        if (info.isSymLink()) {
            if (!QFile::remove(path))
                return false;
        } else if (info.isDir()) {
            if (!RemoveTree(path))
                return false;
        } else {
            MakeWritable(path, false);
            if (!QFile::remove(path))
                return false;
        }
    }
    return QDir().rmdir(folder);
}

} // namespace

CLogicFolders::CLogicFolders(const QString &rootFolder, const QString &windowsDirectory)
    : m_strRoot(rootFolder)
    , m_strWindowsDirectory(windowsDirectory)
{ }

void CLogicFolders::SetTables(Korbel::IDataSource *source, Korbel::ITable *main)
{
    m_pDataSource = source;
    m_pMain = main;
}

QString CLogicFolders::GetUserDataFolder() const
{
    return m_strRoot + UserData;
}

QString CLogicFolders::GetDatabasePath() const
{
    if (DatabaseOnServer())
        return m_strDatabaseAddress;
    return m_strRoot + DatabaseFile;
}

QString CLogicFolders::GetConsultationsPath() const
{
    return GetUserDataFolder() + QStringLiteral("/Consultations.xml");
}

QString CLogicFolders::GetDynamicFieldsDictionaryPath() const
{
    return GetUserDataFolder() + QStringLiteral("/DynamicFieldsDictionary.xml");
}

QString CLogicFolders::GetInvoiceTemplatesFolder() const
{
    return m_strRoot + QStringLiteral("Templates/Invoices/");
}

QString CLogicFolders::GetBackupFolder() const
{
    return m_strRoot + tr("Backup") + QLatin1Char('/');
}

QString CLogicFolders::GetBackupSlotFolder(BackupSlot slot) const
{
    QString name;
    switch (slot) {
    case BackupSlot::ThisWeek:
        name = tr("ThisWeek");
        break;
    case BackupSlot::LastWeek:
        name = tr("LastWeek");
        break;
    case BackupSlot::BeforeLastWeek:
        name = tr("BeforeLastWeek");
        break;
    case BackupSlot::BeforeBeforeLastWeek:
        name = tr("BeforeBeforeLastWeek");
        break;
    }
    return GetBackupFolder() + name + QLatin1Char('/');
}

QString CLogicFolders::GetBackupPath(BackupSlot slot) const
{
    return GetBackupSlotFolder(slot) + DatabaseFile;
}

QString CLogicFolders::PatientFolderOf(Korbel::IField *idField) const
{
    if (!idField)
        return {};
    idField->Refresh();
    const QString id = idField->GetAsString();
    if (id.isEmpty() || !IsFolderId(id))
        return {};
    return m_strRoot + UserData + QLatin1Char('/') + id + QLatin1Char('/');
}

QString CLogicFolders::GetPatientFolder() const
{
    if (!m_pMain)
        return {};
    Korbel::IField *field = nullptr;
    if (!m_pMain->GetField(QStringLiteral("ID"), &field))
        return {};
    Korbel::ReleasePtr<Korbel::IField> guard(field);
    return PatientFolderOf(field);
}

QString CLogicFolders::PatientSubfolder(const QString &name) const
{
    const QString folder = GetPatientFolder();
    return folder.isEmpty() ? QString() : folder + name + QLatin1Char('/');
}

QString CLogicFolders::GetImagesFolder() const
{
    return PatientSubfolder(QStringLiteral("Images"));
}

QString CLogicFolders::GetMediaFolder() const
{
    return PatientSubfolder(QStringLiteral("Media"));
}

QString CLogicFolders::GetPdfFolder() const
{
    return PatientSubfolder(QStringLiteral("Pdf"));
}

QString CLogicFolders::GetInvoicesFolder() const
{
    return PatientSubfolder(QStringLiteral("Invoices"));
}

void CLogicFolders::MakePatientFolders(const QString &patientFolder)
{
    // Plain mkdir calls: at every start this runs for every patient, and on
    // folders that exist each call is one cheap refusal. Errors (the folder
    // exists, the disk is full) are left for the next start.
    const QByteArray folder = QFile::encodeName(patientFolder);
    if (::mkdir(folder.constData(), 0777) != 0 && errno == ENOENT)
        QDir().mkpath(patientFolder); // UserData itself is missing on a first start
    for (const char *sub : { "Images", "Pdf", "Media", "Invoices" })
        ::mkdir((folder + sub).constData(), 0777);
}

bool CLogicFolders::CreatePatientFolders()
{
    const QString folder = GetPatientFolder();
    if (folder.isEmpty())
        return false;
    MakePatientFolders(folder);
    return true;
}

bool CLogicFolders::CreateAllPatientFolders()
{
    if (!m_pMain)
        return false;
    Korbel::IField *field = nullptr;
    if (m_pMain->Move(Korbel::MoveFirst) == 1 && m_pMain->GetField(QStringLiteral("ID"), &field)) {
        Korbel::ReleasePtr<Korbel::IField> guard(field);
        do {
            const QString folder = PatientFolderOf(field);
            if (!folder.isEmpty())
                MakePatientFolders(folder);
        } while (m_pMain->Move(Korbel::MoveNext) == 1);
    }
    m_pMain->Move(Korbel::MoveFirst);
    return true;
}

bool CLogicFolders::DeletePatientFolder()
{
    return DeleteFolder(GetPatientFolder());
}

bool CLogicFolders::DeleteFolder(QString folder)
{
    if (folder.isEmpty())
        return false;
    if (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    if (!QFileInfo(folder).isDir() || QFileInfo(folder).isSymLink())
        return QFileInfo(folder).isSymLink() && QFile::remove(folder);
    return RemoveTree(folder);
}

QString CLogicFolders::GetLinkConfigurationPath() const
{
    return m_strWindowsDirectory + QLatin1Char('/') + LinkConfigurationFile;
}

QString CLogicFolders::GetBroadcastPath() const
{
    const QString path = GetLinkConfigurationPath();
    Loggers::Log(Loggers::Category::Folders, Loggers::Information,
        QStringLiteral("CLogicFolders::GetBroadcastPath() trying to read [Radar]/Directory key from ")
            + path);
    return Profile::GetProfileString(QStringLiteral("Radar"), QStringLiteral("Directory"), QString(), path);
}

QString CLogicFolders::GetTargetWindowClassName() const
{
    const QString className = Profile::GetProfileString(
        QStringLiteral("Radar"), QStringLiteral("Class"), QString(), GetLinkConfigurationPath());
    if (!className.isEmpty())
        return className;
    Loggers::Log(Loggers::Category::OpenConnectivity, Loggers::Information,
        QStringLiteral("CLogicFolders::GetTargetWindowClassName() class wnd value is empty. Using default"));
    return DefaultTargetWindowClass();
}
