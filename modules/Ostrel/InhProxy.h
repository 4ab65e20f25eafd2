#pragma once

#include "TextProxy.h"

#include <QtCore/QDate>

#include <vector>

namespace Ostrel {

// A treatment line in the notes: the remedy and the days it is taken, grouped
// by month ("Arnica 30CH - 3,5 March; 2 April 2009").
class InhProxy : public TextProxy
{
public:
    InhProxy();

protected:
    QString DisplayText() const override;

private:
    // Adds (select -1, VARIANT_TRUE) or removes (any other value) one date,
    // keeping the dates ascending and unique.
    Component::HRESULT SelectTimestamp(double date, qint16 select);

    QString m_name;
    QString m_dilution;
    // Ascending and unique by OLE date; the calendar day is kept beside it so
    // that the text of a long line is cheap to rebuild after every change.
    struct Stamp
    {
        double value;
        QDate day;
    };
    std::vector<Stamp> m_dates;
};

} // namespace Ostrel
