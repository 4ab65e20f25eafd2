#pragma once

#include "mail/MailComposer.h"

#include <QtCore/QByteArray>

namespace Mail {

// The message as Internet mail text (RFC 5322 with MIME), lines ended by CRLF:
// Date, From (the message's sender), Reply-To (when given), To, Subject and
// Message-ID headers, non-ASCII names and subject as UTF-8 encoded-words; the
// body as UTF-8 quoted-printable, alone or as the first part of a
// multipart/mixed message whose other parts are the attachments in base64
// under their file names. Fails, with the reason, when an attachment cannot be
// read or an address cannot stand in a mail header.
MAIL_EXPORT bool BuildMimeMessage(
    const MailMessage &message, const QString &replyTo, QByteArray *out, QString *error);

// The address with its domain in the ASCII form mail servers take; empty when
// the part before the "@" has characters that plain SMTP cannot carry (non-
// ASCII, spaces, line breaks, angle brackets).
MAIL_EXPORT QByteArray EnvelopeAddress(const QString &address);

} // namespace Mail
