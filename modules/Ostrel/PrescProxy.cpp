#include "PrescProxy.h"

#include "OstrelLib.h"

#include <QtCore/QCoreApplication>

namespace Ostrel {

using namespace Component;

PrescProxy::PrescProxy()
    : TextProxy(kIidIPrescProxy, Rgb(75, 250, 150), QSize(9, 19))
{
    using namespace DispIPrescProxy;
    AddStored(lQuantity, ValueType::UInt32, &m_quantity, Update::ResizeAndRedraw);
    AddStored(strMedicine, ValueType::String, &m_medicine, Update::ResizeAndRedraw);
    AddStored(strDilution, ValueType::String, &m_dilution, Update::ResizeAndRedraw);
    AddStored(clrStatus, ValueType::Color, &m_background, Update::ResizeAndRedraw);
    AddResizing(OnResizeContainer, MaxFontExtentX, MaxFontExtentY);
}

QString PrescProxy::DisplayText() const
{
    // One substitution pass, so a name holding "%2" stays as typed.
    return QCoreApplication::translate("PrescProxy", "%1 %2 - %3 tube(s)")
        .arg(m_medicine, m_dilution, QString::number(m_quantity));
}

} // namespace Ostrel
