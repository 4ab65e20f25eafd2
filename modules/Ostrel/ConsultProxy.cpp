#include "ConsultProxy.h"

#include "OstrelLib.h"

#include "common/OleDate.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QLocale>

#include <algorithm>

namespace Ostrel {

using namespace Component;

ConsultProxy::ConsultProxy()
    : TextProxy(kIidIConsultProxy, Rgb(190, 190, 255), QSize(17, 19))
{
    using namespace DispIConsultProxy;
    m_consultationDate = { Verdanta::ToOleDate(QDateTime::currentDateTime()), Date::Status::Valid };
    AddDate(NextConsultationDate, &m_nextConsultationDate);
    AddDate(ConsultationDate, &m_consultationDate);
    m_dispatch.AddMethod(
        SetItemSize, { ValueType::Int32, ValueType::Int32 }, [this](QVariantList &arguments, QVariant &) {
            // The height follows the font; a band narrower than nothing is no band.
            SetExtentPixels(QSize(std::max(0, arguments[0].toInt()), m_maxFontExtentY + 2));
            NotifyViewChange();
            return S_OK;
        });
    AddFontExtents(MaxFontExtentX, MaxFontExtentY);
}

void ConsultProxy::AddDate(DISPID member, Date *date)
{
    m_dispatch.AddProperty(
        member, ValueType::Any,
        [date] { return date->status == Date::Status::Null ? QVariant() : QVariant(date->value); },
        [this, date](const QVariant &value) {
            if (value.isNull()) {
                *date = { 0.0, Date::Status::Null };
            } else {
                QVariant converted = value;
                const HRESULT hr = CoerceValue(converted, ValueType::Date);
                if (Failed(hr))
                    return hr;
                *date = { converted.toDouble(), Date::Status::Valid };
            }
            NotifyViewChange();
            return S_OK;
        });
}

QString ConsultProxy::DisplayText() const
{
    QString dateText;
    bool inCalendar = false;
    const QDate date = Verdanta::FromOleDate(m_consultationDate.value, &inCalendar).date();
    if (m_consultationDate.status == Date::Status::Valid && inCalendar) {
        const QLocale locale;
        // "%A, %d %b, %Y"
        dateText
            = QStringLiteral("%1, %2 %3, %4")
                  .arg(locale.dayName(date.dayOfWeek(), QLocale::LongFormat),
                      QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0')),
                      locale.monthName(date.month(), QLocale::ShortFormat), QString::number(date.year()));
    } else if (m_consultationDate.status != Date::Status::Null) {
        dateText = QCoreApplication::translate("ConsultProxy", "Invalid DateTime");
    }
    return QCoreApplication::translate("ConsultProxy", "%1.   Double click here to set an appointment.")
        .arg(dateText);
}

} // namespace Ostrel
