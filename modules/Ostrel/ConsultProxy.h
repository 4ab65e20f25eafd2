#pragma once

#include "TextProxy.h"

namespace Ostrel {

// A consultation separator in the notes: its date and the invitation to set
// the next appointment, on a band as wide as the container asks.
class ConsultProxy : public TextProxy
{
public:
    ConsultProxy();

protected:
    QString DisplayText() const override;

private:
    // A date with the status a date object carries: valid (even when the value
    // lies outside the calendar, which then shows as invalid), invalid (not
    // set), or null (emptied by a put of an empty value).
    struct Date
    {
        enum class Status { Valid, Invalid, Null };
        double value = 0.0;
        Status status = Status::Invalid;
    };
    void AddDate(Component::DISPID member, Date *date);

    Date m_consultationDate;
    Date m_nextConsultationDate;
};

} // namespace Ostrel
