#include "InhProxy.h"

#include "OstrelLib.h"

#include "common/OleDate.h"

#include <QtCore/QLocale>

#include <algorithm>

namespace Ostrel {

using namespace Component;

InhProxy::InhProxy()
    : TextProxy(kIidIInhProxy, Rgb(220, 220, 220), QSize(9, 19))
{
    using namespace DispIInhProxy;
    AddStored(BackgroundColor, ValueType::Color, &m_background, Update::ResizeAndRedraw);
    AddStored(strName, ValueType::String, &m_name, Update::ResizeAndRedraw);
    AddStored(strDilution, ValueType::String, &m_dilution, Update::ResizeAndRedraw);
    // The flag is a VARIANT_BOOL (a short): true arrives as -1.
    m_dispatch.AddMethod(DispIInhProxy::SelectTimestamp, { ValueType::Date, ValueType::Int16 },
        [this](QVariantList &arguments, QVariant &) {
            return this->SelectTimestamp(arguments[0].toDouble(), arguments[1].value<qint16>());
        });
    AddResizing(OnResizeContainer, MaxFontExtentX, MaxFontExtentY);
}

HRESULT InhProxy::SelectTimestamp(double date, qint16 select)
{
    // A date outside the calendar would break the order and could not be shown.
    bool valid = false;
    const QDate day = Verdanta::FromOleDate(date, &valid).date();
    if (!valid)
        return E_INVALIDARG;
    const auto position = std::lower_bound(m_dates.begin(), m_dates.end(), date,
        [](const Stamp &stamp, double value) { return stamp.value < value; });
    const bool present = position != m_dates.end() && position->value == date;
    if (select == VARIANT_TRUE) {
        if (!present)
            m_dates.insert(position, Stamp { date, day });
    } else if (present) {
        m_dates.erase(position);
    }
    Apply(Update::ResizeAndRedraw);
    return S_OK;
}

QString InhProxy::DisplayText() const
{
    const QLocale locale;
    const auto monthName
        = [&locale](const QDate &date) { return locale.monthName(date.month(), QLocale::LongFormat); };

    QString text = QStringLiteral("%1 %2 - ").arg(m_name, m_dilution);
    // Days are listed per month: "3,5 March; 2 April 2009". A group closes when
    // the month or the year changes; the year is written where it changes and
    // at the end.
    QDate group;
    for (const Stamp &stamp : m_dates) {
        const QDate &date = stamp.day;
        const bool sameGroup
            = group.isValid() && group.month() == date.month() && group.year() == date.year();
        if (!sameGroup) {
            if (group.isValid()) {
                text.back() = QLatin1Char(' ');
                if (group.year() == date.year())
                    text += monthName(group) + QStringLiteral("; ");
                else
                    text += monthName(group) + QStringLiteral("  %1; ").arg(group.year());
            }
            group = date;
        }
        text += QString::number(date.day());
        text += QLatin1Char(',');
    }
    if (group.isValid()) {
        text.back() = QLatin1Char(' ');
        text += monthName(group) + QStringLiteral(" %1").arg(group.year());
    }
    return text;
}

} // namespace Ostrel
