#pragma once

#include "mail_export.h"

#include <QtCore/QString>

namespace Mail {

// Looks at a typed e-mail address and returns a warning for the user when its
// form is implausible, or an empty text when it looks like an address. This is
// advice only: the program shows the warning and keeps what was typed, since
// unusual addresses exist that no simple check foresees.
MAIL_EXPORT QString AddressWarning(const QString &address);

} // namespace Mail
