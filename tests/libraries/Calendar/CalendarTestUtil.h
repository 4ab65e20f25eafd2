#pragma once

#include "Calendar/Model/Event.h"

#include <QtCore/QDateTime>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>

namespace CalendarTest {

// A timed appointment on a wall-clock day and time.
inline Calendar::Event Appointment(
    const QString &subject, QDate day, QTime start, int minutes, qint64 patientId = 0)
{
    Calendar::Event event;
    event.subject = subject;
    event.start = QDateTime(day, start);
    event.end = event.start.addSecs(qint64(minutes) * 60);
    event.patientId = patientId;
    return event;
}

inline QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text of a PDF as pdftotext reads it, on one line.
inline QString PdfText(const QString &file)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return QStringLiteral("pdftotext missing");
    QProcess process;
    process.start(pdftotext, { QStringLiteral("-raw"), file, QStringLiteral("-") });
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

} // namespace CalendarTest

#include <ostream>

// Readable dates and times in GoogleTest failure messages.
inline void PrintTo(const QDateTime &value, std::ostream *os)
{
    *os << value.toString(Qt::ISODateWithMs).toStdString();
}
inline void PrintTo(QDate value, std::ostream *os)
{
    *os << value.toString(Qt::ISODate).toStdString();
}
