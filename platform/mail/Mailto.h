#pragma once

#include "mail_export.h"

#include <QtCore/QString>

namespace Mail {

// A mailto: URL for the address with the subject and body as parameters.
// Everything but letters, digits and "-._~" is percent-encoded as UTF-8 (and
// "@" in the address), so that "&", "?", "#", "%" or "+" in the text neither
// cuts it nor adds parameters; every line break becomes %0D%0A. Empty
// parameters are left out.
MAIL_EXPORT QString MailtoUrl(const QString &address, const QString &subject, const QString &body);

} // namespace Mail
