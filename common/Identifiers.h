#pragma once

#include "verdantacommon_export.h"

#include <QtCore/QString>
#include <QtCore/QStringView>

namespace Verdanta {

// Every record key and every reference field is a signed 64-bit integer,
// carried as decimal text; "0" in a reference field means none.
using RecordId = qint64;

// Decimal text of an identifier ("%I64d").
VERDANTACOMMON_EXPORT QString FormatId(qint64 id);

// C-style conversions: leading blanks are skipped, an optional sign and the
// leading digits are read, anything else ends the number; text without a
// number reads as 0. Values out of range saturate.
VERDANTACOMMON_EXPORT qint64 ParseId(QStringView text); // _atoi64
VERDANTACOMMON_EXPORT int AtoI(QStringView text); // atoi
VERDANTACOMMON_EXPORT double AtoF(QStringView text); // atof (C locale decimal point)

} // namespace Verdanta
