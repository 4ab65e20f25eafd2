#include "desktop/FileDialogs.h"

#include <QtCore/QRegularExpression>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFileDialog>

namespace Desktop {

namespace {

IFileDialogs *g_installed = nullptr;

} // namespace

IFileDialogs &FileDialogs()
{
    static QtFileDialogs dialogs;
    return g_installed ? *g_installed : dialogs;
}

void SetFileDialogs(IFileDialogs *dialogs)
{
    g_installed = dialogs;
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

QString QtFileDialogs::GetOpenFileName(
    QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, folder, QtFilterFromPlatformFilter(filter));
}

QStringList QtFileDialogs::GetOpenFileNames(
    QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileNames(parent, caption, folder, QtFilterFromPlatformFilter(filter));
}

QString QtFileDialogs::GetSaveFileName(
    QWidget *parent, const QString &caption, const QString &path, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, path, QtFilterFromPlatformFilter(filter));
}

QString QtFileDialogs::GetExistingFolder(QWidget *parent, const QString &caption, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

QColor QtFileDialogs::GetColor(QWidget *parent, const QColor &initial, const QString &caption)
{
    return QColorDialog::getColor(initial, parent, caption);
}

ScriptedFileDialogs::ScriptedFileDialogs()
    : m_previous(g_installed)
{
    g_installed = this;
}

ScriptedFileDialogs::~ScriptedFileDialogs()
{
    if (g_installed == this)
        g_installed = m_previous;
}

QStringList ScriptedFileDialogs::nextFiles()
{
    if (m_files.empty())
        return {};
    QStringList next = m_files.front();
    m_files.pop_front();
    return next;
}

QString ScriptedFileDialogs::GetOpenFileName(
    QWidget *, const QString &caption, const QString &folder, const QString &filter)
{
    m_requests.push_back({ QStringLiteral("open"), caption, folder, filter });
    return nextFiles().value(0);
}

QStringList ScriptedFileDialogs::GetOpenFileNames(
    QWidget *, const QString &caption, const QString &folder, const QString &filter)
{
    m_requests.push_back({ QStringLiteral("openMany"), caption, folder, filter });
    QStringList files = nextFiles();
    files.removeAll(QString());
    return files;
}

QString ScriptedFileDialogs::GetSaveFileName(
    QWidget *, const QString &caption, const QString &path, const QString &filter)
{
    m_requests.push_back({ QStringLiteral("save"), caption, path, filter });
    return nextFiles().value(0);
}

QString ScriptedFileDialogs::GetExistingFolder(QWidget *, const QString &caption, const QString &folder)
{
    m_requests.push_back({ QStringLiteral("folder"), caption, folder, QString() });
    return nextFiles().value(0);
}

QColor ScriptedFileDialogs::GetColor(QWidget *, const QColor &initial, const QString &caption)
{
    Q_UNUSED(initial);
    m_requests.push_back({ QStringLiteral("color"), caption, QString(), QString() });
    if (m_colors.empty())
        return {};
    const QColor color = m_colors.front();
    m_colors.pop_front();
    return color;
}

} // namespace Desktop
