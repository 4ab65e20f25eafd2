#pragma once

#include <QtCore/QRect>
#include <QtGui/QFont>

class QPainter;

namespace Ostrel {

// Limits drawing to 'bounds' (within any clip the container set).
void ClipTo(QPainter &painter, const QRect &bounds);

// A font whose em (a negative height in Windows terms) is 'pixels' high.
QFont FontOfPixelHeight(const QString &family, int pixels);

// A font whose line (ascent + descent, a positive height in Windows terms) is
// 'pixels' high.
QFont FontOfCellHeight(const QString &family, int pixels);

} // namespace Ostrel
