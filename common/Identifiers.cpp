#include "common/Identifiers.h"

#include <limits>

namespace Verdanta {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

// Reads [blanks][sign]digits and saturates at the limits of T.
template<typename T> T parseLeadingInteger(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate as a negative number so that the minimum value fits.
    T value = 0;
    constexpr T minValue = std::numeric_limits<T>::min();
    bool overflow = false;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const T digit = static_cast<T>(text[i].unicode() - u'0');
        if (overflow)
            continue;
        if (value < (minValue + digit) / 10) {
            overflow = true;
            continue;
        }
        value = static_cast<T>(value * 10 - digit);
    }
    if (overflow)
        return negative ? minValue : std::numeric_limits<T>::max();
    if (negative)
        return value;
    if (value == minValue)
        return std::numeric_limits<T>::max();
    return static_cast<T>(-value);
}

} // namespace

QString FormatId(qint64 id)
{
    return QString::number(id);
}

qint64 ParseId(QStringView text)
{
    return parseLeadingInteger<qint64>(text);
}

int AtoI(QStringView text)
{
    return parseLeadingInteger<int>(text);
}

double AtoF(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    qsizetype end = i;
    if (end < n && (text[end] == u'+' || text[end] == u'-'))
        ++end;
    bool digits = false;
    while (end < n && text[end].isDigit() && text[end].unicode() < 128) {
        ++end;
        digits = true;
    }
    if (end < n && text[end] == u'.') {
        ++end;
        while (end < n && text[end].isDigit() && text[end].unicode() < 128) {
            ++end;
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    // Optional exponent, only when followed by digits.
    if (end < n && (text[end] == u'e' || text[end] == u'E')) {
        qsizetype e = end + 1;
        if (e < n && (text[e] == u'+' || text[e] == u'-'))
            ++e;
        if (e < n && text[e].isDigit() && text[e].unicode() < 128) {
            while (e < n && text[e].isDigit() && text[e].unicode() < 128)
                ++e;
            end = e;
        }
    }
    bool ok = false;
    const double value = text.mid(i, end - i).toString().toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace Verdanta
