#include "desktop/FileDialogs.h"

#include <QtCore/QRegularExpression>

namespace Desktop {

namespace {

IFileDialogs *g_installed = nullptr;

// Nobody to ask: every dialog is cancelled.
class UnattendedFileDialogs final : public IFileDialogs
{
public:
    QString GetOpenFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QStringList GetOpenFileNames(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString GetSaveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString GetExistingFolder(QWidget *, const QString &, const QString &) override { return {}; }
    QColor GetColor(QWidget *, const QColor &, const QString &) override { return {}; }
};

} // namespace

IFileDialogs &FileDialogs()
{
    static UnattendedFileDialogs unattended;
    return g_installed ? *g_installed : unattended;
}

IFileDialogs *SetFileDialogs(IFileDialogs *dialogs)
{
    IFileDialogs *previous = g_installed;
    g_installed = dialogs;
    return previous;
}

QString QtFilterFromPlatformFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    static const QRegularExpression parenthesised(QStringLiteral("\\s*\\([^)]*\\)\\s*$"));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        if (description.isEmpty())
            break;
        description.remove(parenthesised);
        QStringList patterns;
        for (const QString &p : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            patterns << (pattern == u"*.*" ? QStringLiteral("*") : pattern);
        }
        entries << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace Desktop
