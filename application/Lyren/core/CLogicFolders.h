#pragma once

#include <QtCore/QCoreApplication>
#include <QtCore/QString>

namespace Korbel {
class IDataSource;
class IField;
class ITable;
} // namespace Korbel

// Every path of the system, built from the root folder (the program's current
// directory at start, ending in one "/"). Patient paths belong to the current
// row of MAIN and are empty when there is no table or no readable ID.
class CLogicFolders
{
    Q_DECLARE_TR_FUNCTIONS(CLogicFolders)

public:
    enum class BackupSlot { ThisWeek, LastWeek, BeforeLastWeek, BeforeBeforeLastWeek };

    // windowsDirectory: the folder of the configuration file shared with the
    // outside repertory program.
    CLogicFolders(const QString &rootFolder, const QString &windowsDirectory);

    // The data source and the open MAIN table (not owned); none detaches.
    void SetTables(Korbel::IDataSource *source, Korbel::ITable *main);

    QString GetRootFolder() const { return m_strRoot; }
    QString GetUserDataFolder() const; // root + "UserData"
    // Where the database is: root + "data.mdb", or the server address set by
    // SetDatabaseAddress. Code that works on the database file (checks,
    // copies, the weekly backup) asks DatabaseOnServer() first.
    QString GetDatabasePath() const;
    // A PostgreSQL address ("postgresql://user@host/dbname") to open instead of
    // the file in the root folder; empty returns to the file.
    void SetDatabaseAddress(const QString &address) { m_strDatabaseAddress = address.trimmed(); }
    bool DatabaseOnServer() const { return !m_strDatabaseAddress.isEmpty(); }
    QString GetConsultationsPath() const; // UserData + "/Consultations.xml"
    QString GetDynamicFieldsDictionaryPath() const; // UserData + "/DynamicFieldsDictionary.xml"
    QString GetInvoiceTemplatesFolder() const; // root + "Templates/Invoices/"
    QString GetBackupFolder() const; // root + "Backup/"
    QString GetBackupSlotFolder(BackupSlot slot) const; // Backup folder + slot + "/"
    QString GetBackupPath(BackupSlot slot) const; // slot folder + "data.mdb"

    QString GetPatientFolder() const; // root + "UserData/" + ID + "/"
    QString GetImagesFolder() const;
    QString GetMediaFolder() const;
    QString GetPdfFolder() const;
    QString GetInvoicesFolder() const;

    // The current patient's folder and its Images, Pdf, Media and Invoices
    // folders; false only when there is no patient folder path. Folders that
    // cannot be made are left for the next start.
    bool CreatePatientFolders();
    // The folders of every patient; MAIN is left on its first row.
    bool CreateAllPatientFolders();
    // Removes the current patient's folder with everything in it, read-only
    // files too. Stops at the first entry that cannot be removed and returns
    // false; links inside are removed, never followed.
    bool DeletePatientFolder();
    // The same for a folder given by its path.
    static bool DeleteFolder(QString folder);

    // The outside repertory program's section of the shared configuration
    // file: the folder for requests (may be empty) and its window class.
    QString GetBroadcastPath() const;
    QString GetTargetWindowClassName() const;
    QString GetLinkConfigurationPath() const;

    static QString DefaultTargetWindowClass() { return QStringLiteral("xRadar5100task9012"); }

private:
    QString PatientFolderOf(Korbel::IField *idField) const;
    QString PatientSubfolder(const QString &name) const;
    static void MakePatientFolders(const QString &patientFolder);

    QString m_strRoot;
    QString m_strWindowsDirectory;
    QString m_strDatabaseAddress;
    Korbel::IDataSource *m_pDataSource = nullptr;
    Korbel::ITable *m_pMain = nullptr;
};
