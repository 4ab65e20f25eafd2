#pragma once

#include "profile_export.h"

#include <QtCore/QString>

namespace Profile {

// The folder that holds the profile files shared between programs: the
// environment variable VERDANTA_WINDOWS_DIR when set, otherwise the user's
// configuration folder. Returned without a trailing separator.
PROFILE_EXPORT QString WindowsDirectory();

// A bare file name ("RadarVerdanta.ini") lives in the Windows directory; a
// path with a folder is used as it stands.
PROFILE_EXPORT QString ResolveProfilePath(const QString &fileName);

} // namespace Profile
