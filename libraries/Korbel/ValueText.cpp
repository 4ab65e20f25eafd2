#include "Korbel/ValueText.h"

#include "common/Identifiers.h"
#include "common/LocaleDates.h"
#include "common/Money.h"

#include <QtCore/QDateTime>
#include <QtCore/QLocale>

#include <cmath>

namespace Korbel {

namespace {

const QString kIsoDate = QStringLiteral("yyyy-MM-dd");
const QString kIsoDateTime = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

QDate storedDate(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QDate)
        return stored.toDate();
    if (stored.typeId() == QMetaType::QDateTime)
        return stored.toDateTime().date();
    const QString text = stored.toString();
    QDate d = QDate::fromString(text.left(10), kIsoDate);
    if (!d.isValid())
        Verdanta::ParseLocaleDate(text, &d);
    return d;
}

QDateTime storedDateTime(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QDateTime)
        return stored.toDateTime();
    if (stored.typeId() == QMetaType::QDate)
        return QDateTime(stored.toDate(), QTime(0, 0));
    const QString text = stored.toString();
    QDateTime dt = QDateTime::fromString(text, kIsoDateTime);
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(text, kIsoDate);
        if (d.isValid())
            dt = QDateTime(d, QTime(0, 0));
        else
            Verdanta::ParseLocaleDateTime(text, &dt);
    }
    return dt;
}

bool parseBool(const QString &text)
{
    const QString t = text.trimmed().toUpper();
    if (t == u"TRUE" || t == u"YES" || t == u"ON")
        return true;
    if (t == u"FALSE" || t == u"NO" || t == u"OFF" || t.isEmpty())
        return false;
    return Verdanta::ParseId(t) != 0;
}

QString realText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

QString TextFromStorage(ColumnKind kind, const QVariant &stored)
{
    if (stored.isNull() || !stored.isValid())
        return kind == ColumnKind::Bool ? QStringLiteral("0") : QString();
    switch (kind) {
    case ColumnKind::Key:
    case ColumnKind::Id:
    case ColumnKind::Integer:
        return Verdanta::FormatId(stored.toLongLong());
    case ColumnKind::Text:
        return stored.toString();
    case ColumnKind::Money:
        return Verdanta::MoneyToStorageText(Verdanta::MoneyFromUnits(stored.toLongLong()));
    case ColumnKind::Real:
        return realText(stored.toDouble());
    case ColumnKind::Date: {
        const QDate d = storedDate(stored);
        return d.isValid() ? Verdanta::FormatLocaleDate(d) : stored.toString();
    }
    case ColumnKind::DateTime: {
        const QDateTime dt = storedDateTime(stored);
        if (!dt.isValid())
            return stored.toString();
        // Like the platform's date type: a value without a time of day reads as a date.
        if (dt.time() == QTime(0, 0))
            return Verdanta::FormatLocaleDate(dt.date());
        return Verdanta::FormatLocaleDateTime(dt);
    }
    case ColumnKind::Bool:
        return stored.toLongLong() != 0 ? QStringLiteral("1") : QStringLiteral("0");
    case ColumnKind::Binary:
        return {};
    }
    return stored.toString();
}

bool StorageFromText(ColumnKind kind, const QString &text, QVariant *stored)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() && kind != ColumnKind::Text && kind != ColumnKind::Bool) {
        *stored = QVariant();
        return true;
    }
    switch (kind) {
    case ColumnKind::Key:
    case ColumnKind::Id:
    case ColumnKind::Integer:
        *stored = Verdanta::ParseId(trimmed);
        return true;
    case ColumnKind::Text:
        *stored = text;
        return true;
    case ColumnKind::Money:
        *stored = Verdanta::MoneyToUnits(Verdanta::MoneyFromStorageText(trimmed));
        return true;
    case ColumnKind::Real:
        *stored = Verdanta::AtoF(trimmed);
        return true;
    case ColumnKind::Date: {
        QDate d;
        if (!Verdanta::ParseLocaleDate(trimmed, &d))
            return false;
        *stored = d.toString(kIsoDate);
        return true;
    }
    case ColumnKind::DateTime: {
        QDateTime dt;
        if (!Verdanta::ParseLocaleDateTime(trimmed, &dt))
            return false;
        *stored = dt.toString(kIsoDateTime);
        return true;
    }
    case ColumnKind::Bool:
        *stored = qint64(parseBool(trimmed) ? 1 : 0);
        return true;
    case ColumnKind::Binary:
        *stored = text.toUtf8();
        return true;
    }
    return false;
}

QVariant ValueFromStorage(ColumnKind kind, const QVariant &stored)
{
    if (stored.isNull() || !stored.isValid())
        return {};
    switch (kind) {
    case ColumnKind::Key:
    case ColumnKind::Id:
    case ColumnKind::Integer:
        return stored.toLongLong();
    case ColumnKind::Text:
        return stored.toString();
    case ColumnKind::Money:
        return Verdanta::MoneyFromUnits(stored.toLongLong());
    case ColumnKind::Real:
        return stored.toDouble();
    case ColumnKind::Date: {
        const QDate d = storedDate(stored);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case ColumnKind::DateTime: {
        const QDateTime dt = storedDateTime(stored);
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    case ColumnKind::Bool:
        return stored.toLongLong() != 0;
    case ColumnKind::Binary:
        return stored.toByteArray();
    }
    return stored;
}

bool StorageFromValue(ColumnKind kind, const QVariant &value, QVariant *stored)
{
    if (!value.isValid() || value.isNull()) {
        *stored = QVariant();
        return true;
    }
    const int type = value.typeId();
    if (type == QMetaType::QString)
        return StorageFromText(kind, value.toString(), stored);
    bool ok = true;
    switch (kind) {
    case ColumnKind::Key:
    case ColumnKind::Id:
    case ColumnKind::Integer:
        *stored = value.toLongLong(&ok);
        return ok;
    case ColumnKind::Text:
        *stored = value.toString();
        return true;
    case ColumnKind::Money: {
        const double d = value.toDouble(&ok);
        *stored = Verdanta::MoneyToUnits(d);
        return ok && std::isfinite(d);
    }
    case ColumnKind::Real: {
        const double d = value.toDouble(&ok);
        *stored = d;
        return ok && std::isfinite(d);
    }
    case ColumnKind::Date:
        if (type == QMetaType::QDate || type == QMetaType::QDateTime) {
            const QDate d = type == QMetaType::QDate ? value.toDate() : value.toDateTime().date();
            if (!d.isValid())
                return false;
            *stored = d.toString(kIsoDate);
            return true;
        }
        return false;
    case ColumnKind::DateTime:
        if (type == QMetaType::QDate || type == QMetaType::QDateTime) {
            const QDateTime dt
                = type == QMetaType::QDate ? QDateTime(value.toDate(), QTime(0, 0)) : value.toDateTime();
            if (!dt.isValid())
                return false;
            *stored = dt.toString(kIsoDateTime);
            return true;
        }
        return false;
    case ColumnKind::Bool:
        *stored = qint64(value.toBool() ? 1 : 0);
        return true;
    case ColumnKind::Binary:
        *stored = value.toByteArray();
        return true;
    }
    return false;
}

ColumnKind KindFromDeclaredType(const QString &declaredType)
{
    const QString t = declaredType.toUpper();
    if (t.contains(u"INT"))
        return ColumnKind::Integer;
    if (t.contains(u"REAL") || t.contains(u"FLOA") || t.contains(u"DOUB"))
        return ColumnKind::Real;
    if (t.contains(u"BLOB") || t.contains(u"BYTEA"))
        return ColumnKind::Binary;
    return ColumnKind::Text;
}

} // namespace Korbel
