#include "mail/AddressCheck.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QStringList>

namespace Mail {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Mail::AddressCheck", text);
}

// Characters of an unquoted local part besides letters, digits and dots.
bool isLocalPartSymbol(QChar c)
{
    static const QString symbols = QStringLiteral("!#$%&'*+-/=?^_`{|}~");
    return symbols.contains(c);
}

QString localPartWarning(const QString &local)
{
    if (local.isEmpty())
        return tr("Nothing stands before the \"@\" of the e-mail address.");
    if (local.size() > 64)
        return tr("The part before the \"@\" is longer than mail servers accept.");
    if (local.startsWith(QLatin1Char('.')) || local.endsWith(QLatin1Char('.'))
        || local.contains(QStringLiteral("..")))
        return tr("The part before the \"@\" begins or ends with a dot or has two dots in a row.");
    for (const QChar c : local) {
        if (c.isLetterOrNumber() || c == QLatin1Char('.') || isLocalPartSymbol(c) || c.unicode() > 0x7F)
            continue;
        return tr("The part before the \"@\" contains \"%1\", which mail programs rarely accept.").arg(c);
    }
    return {};
}

QString domainWarning(const QString &domain)
{
    if (domain.isEmpty())
        return tr("No domain follows the \"@\" of the e-mail address.");
    if (domain.size() > 253)
        return tr("The domain of the e-mail address is longer than a domain name can be.");
    const QStringList labels = domain.split(QLatin1Char('.'));
    if (labels.size() < 2)
        return tr("The domain \"%1\" has no dot; an address ends in a domain such as \"example.org\".")
            .arg(domain);
    for (const QString &label : labels) {
        bool wellFormed = !label.isEmpty() && label.size() <= 63 && !label.startsWith(QLatin1Char('-'))
            && !label.endsWith(QLatin1Char('-'));
        for (const QChar c : label)
            wellFormed = wellFormed && (c.isLetterOrNumber() || c == QLatin1Char('-'));
        if (!wellFormed)
            return tr("The domain \"%1\" is not a valid domain name.").arg(domain);
    }
    const QString &top = labels.last();
    bool numeric = true;
    for (const QChar c : top)
        numeric = numeric && c.isDigit();
    if (top.size() < 2 || numeric)
        return tr("The domain \"%1\" does not end in a top-level domain such as \".org\".").arg(domain);
    return {};
}

} // namespace

QString AddressWarning(const QString &address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return tr("The e-mail address is empty.");
    if (text.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
        return tr("Enter the e-mail address without \"mailto:\".");
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char(';')))
        return tr("This looks like several e-mail addresses; enter one address per row.");
    if (text.contains(QLatin1Char('<')) || text.contains(QLatin1Char('>')))
        return tr("Enter the e-mail address alone, without a name or angle brackets.");
    for (const QChar c : text) {
        if (c.isSpace())
            return tr("The e-mail address contains a space.");
        if (c.category() == QChar::Other_Control)
            return tr("The e-mail address contains a control character.");
    }
    if (text != address)
        return tr("The e-mail address begins or ends with a space.");
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'));
    if (at < 0)
        return tr("The e-mail address has no \"@\".");
    if (text.indexOf(QLatin1Char('@')) != at)
        return tr("The e-mail address has more than one \"@\".");
    if (text.size() > 254)
        return tr("The e-mail address is longer than mail servers accept.");
    const QString local = localPartWarning(text.left(at));
    if (!local.isEmpty())
        return local;
    return domainWarning(text.mid(at + 1));
}

} // namespace Mail
