#include "mail/Mailto.h"

#include <QtCore/QByteArray>

namespace Mail {

namespace {

bool isUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
        || c == '_' || c == '~';
}

QString percentEncoded(const QString &text, char alsoKept = '\0')
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    const QByteArray utf8 = lines.toUtf8();
    out.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        if (c == '\n') {
            out += QStringLiteral("%0D%0A");
        } else if (isUnreserved(c) || (alsoKept != '\0' && c == alsoKept)) {
            out += QLatin1Char(c);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += QLatin1Char('%');
            out += QLatin1Char(hex[byte >> 4]);
            out += QLatin1Char(hex[byte & 0xF]);
        }
    }
    return out;
}

} // namespace

QString MailtoUrl(const QString &address, const QString &subject, const QString &body)
{
    QString url = QStringLiteral("mailto:") + percentEncoded(address.trimmed(), '@');
    QChar separator = QLatin1Char('?');
    if (!subject.isEmpty()) {
        url += separator + QStringLiteral("subject=") + percentEncoded(subject);
        separator = QLatin1Char('&');
    }
    if (!body.isEmpty())
        url += separator + QStringLiteral("body=") + percentEncoded(body);
    return url;
}

} // namespace Mail
