#pragma once

#include <QtCore/QString>
#include <QtCore/QTime>

namespace Contacts {

// The time of day as the stamps in the notes show it ("%H:%M").
inline QString StampTime(const QTime &time = QTime::currentTime())
{
    return time.toString(QStringLiteral("HH:mm"));
}

} // namespace Contacts
