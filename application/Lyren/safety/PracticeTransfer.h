#pragma once

#include "Korbel/Maintenance.h"
#include "Korbel/ServerAddress.h"
#include "Korbel/TableTransfer.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QString>

class CLogicFolders;
class IProgress;

namespace Korbel {
struct ExportManifest;
}

// The practice export, so that a practice is never locked in: every table of
// the database as CSV (the data library's table export), the patient folders
// and the other files of UserData and the invoice templates copied beside
// them, and a README.txt that says how to read it all; and the import of
// such an export into an empty practice, which gives back the same tables and
// files. On a database server the same: the export reads one snapshot of the
// server's database; the import takes the practice alone, keeps the empty
// practice's database as a dump and fills the database in one transaction.
class PracticeTransfer
{
    Q_DECLARE_TR_FUNCTIONS(PracticeTransfer)

public:
    struct Summary
    {
        qint64 tables = 0;
        qint64 rows = 0;
        qint64 patients = 0;
        qint64 files = 0;
        qint64 bytes = 0;
        QDateTime created; // when the export was made
    };

    explicit PracticeTransfer(const CLogicFolders &folders);
    // The practice on a server; the folders hold its files (the shared folder).
    PracticeTransfer(
        const CLogicFolders &folders, const Korbel::ServerAddress &server, const QString &password);

    // The folder the menu command makes inside the folder the person chose.
    static QString ExportFolderName(const QDateTime &now);

    // Exports the practice into 'folder', which must be empty or absent. The
    // database may be open: the export reads one consistent state of it. A
    // failed or stopped export removes what it wrote.
    Korbel::Outcome Export(
        const QString &folder, IProgress &progress, Summary *summary, QString *error) const;

    // Whether the practice is empty: no patient and no file in UserData.
    // Its other data (office data, remedies a new practice starts with) are
    // replaced by an import and stay in the database kept beside it. 'holds'
    // gets what it holds otherwise ("12 patients", a file), 'error' why it
    // could not be read.
    bool IsEmptyPractice(QString *holds, QString *error) const;
    // The checks before an import: the folder holds a complete export this
    // program reads, the practice is empty, and no file of the export would
    // replace a different file here.
    bool CheckImport(const QString &folder, Summary *summary, QString *error) const;
    // With the practice closed: makes the database from the export and
    // checks it, copies the files, and puts the database in place (the empty
    // one is kept as a dated copy, 'keptPath'; a dump on a server). Nothing
    // changes when it fails or is stopped.
    Korbel::Outcome Import(const QString &folder, const QDateTime &now, IProgress &progress,
        QString *keptPath, QString *error) const;

    // The folders copied with the tables, relative to the root folder.
    static QStringList FileFolders();

private:
    static Summary SummaryOf(const Korbel::ExportManifest &manifest);
    Korbel::Outcome ImportToServer(const QString &folder, const QDateTime &now, IProgress &progress,
        QString *keptPath, QString *error) const;

    const CLogicFolders &m_folders;
    bool m_onServer = false;
    Korbel::ServerLogin m_server;
};
