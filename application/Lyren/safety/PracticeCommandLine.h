#pragma once

#include <QtCore/QCoreApplication>
#include <QtCore/QString>
#include <QtCore/QStringList>

class QTextStream;

namespace Secrets {
class ISecretStore;
}

// The practice commands of the command line, run without windows on the
// practice in the current directory, which must not be open in Verdanta:
//   verdanta --restore <generation or file>   ThisWeek, LastWeek,
//                                             BeforeLastWeek,
//                                             BeforeBeforeLastWeek (or 1 to
//                                             4), or a database file (a
//                                             dump on a server)
//   verdanta --export <folder>                into an empty or new folder
//   verdanta --import <folder>                into an empty practice
//   verdanta --migrate-to <address>           the practice's database file
//                                             into an empty PostgreSQL
//                                             database
// Without one of them the program starts as usual. --database <address>
// names the practice's database server for this run (with a command, or for
// the program), instead of this computer's setting.
class PracticeCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(PracticeCommandLine)

public:
    enum class Command { None, Help, Restore, Export, Import, MigrateTo };
    struct Request
    {
        Command command = Command::None;
        QString argument;
        QString database; // --database: the server for this run, empty for the setting
        QString error; // a command line that cannot be understood
    };

    // Whether the arguments ask for a practice command (or help), so that
    // the program runs it without windows.
    static bool AsksForCommand(const QStringList &arguments);
    static Request Parse(const QStringList &arguments);
    static QString HelpText();

    // Runs the command in the practice at rootFolder, on the database the
    // request or this computer's setting names; the keyring gives the
    // server's password (none: the PostgreSQL password file is read).
    // Returns the exit status: 0 done, 1 refused or failed, 2 a command line
    // not understood.
    static int Run(const Request &request, const QString &rootFolder, QTextStream &out, QTextStream &err,
        Secrets::ISecretStore *keyring = nullptr);
};
