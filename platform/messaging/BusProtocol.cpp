#include "messaging/BusProtocol.h"

#include <QtCore/QCryptographicHash>

namespace Messaging::Bus {

namespace {

bool IsAsciiLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

QString ClassNameElement(const QString &windowClass)
{
    if (windowClass.isEmpty())
        return QString();
    const QByteArray folded = windowClass.toCaseFolded().toUtf8();
    static constexpr char hex[] = "0123456789abcdef";
    QString element;
    element.reserve(folded.size() * 3);
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const char c = folded.at(i);
        const bool leadingDigit = i == 0 && c >= '0' && c <= '9';
        if (IsAsciiLetterOrDigit(c) && !leadingDigit) {
            element.append(QLatin1Char(c));
        } else {
            const auto byte = static_cast<unsigned char>(c);
            element.append(QLatin1Char('_'));
            element.append(QLatin1Char(hex[byte >> 4]));
            element.append(QLatin1Char(hex[byte & 0x0f]));
        }
    }
    if (element.size() > MaxClassElementLength) {
        const QByteArray digest = QCryptographicHash::hash(folded, QCryptographicHash::Sha256).toHex();
        element = QStringLiteral("_h") + QString::fromLatin1(digest);
    }
    return element;
}

QString BusNameForWindowClass(const QString &windowClass)
{
    const QString element = ClassNameElement(windowClass);
    return element.isEmpty() ? QString() : QLatin1String(NamePrefix) + element;
}

} // namespace Messaging::Bus
