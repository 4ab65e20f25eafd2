#pragma once

// Where a practice's database lives: a file of the embedded engine (SQLite),
// the default, or a database on a PostgreSQL server named by an address
// "postgresql://user@host[:port]/dbname" ("postgres://" too). An address never
// carries a password: the password comes from the desktop keyring or the
// PostgreSQL password file, never from a command line or a settings file.

#include "korbel_export.h"

#include <QtCore/QString>

namespace Korbel {

enum class Engine { SQLite, PostgreSQL };

struct KORBEL_EXPORT ServerAddress
{
    QString user;
    QString host;
    int port = 5432;
    QString database;

    // Reads an address; false with the reason (when error is given) for text
    // that is not a complete address or that carries a password.
    static bool Parse(const QString &text, ServerAddress *out, QString *error);
    // The address in its canonical form, the port written only when it is not
    // the default one.
    QString ToString() const;
};

// Whether the text names a database server (by its scheme) rather than a
// file; such text is then read with ServerAddress::Parse.
KORBEL_EXPORT bool IsServerAddress(const QString &text);

} // namespace Korbel
