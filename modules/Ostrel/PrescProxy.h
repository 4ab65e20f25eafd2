#pragma once

#include "TextProxy.h"

namespace Ostrel {

// A prescription in the notes: "<medicine> <dilution> - <quantity> tube(s)" on
// the colour of its status.
class PrescProxy : public TextProxy
{
public:
    PrescProxy();

protected:
    QString DisplayText() const override;

private:
    quint32 m_quantity = 1;
    QString m_medicine;
    QString m_dilution;
};

} // namespace Ostrel
