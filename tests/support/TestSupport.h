#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QDir>
#include <QtCore/QLocale>
#include <QtCore/QString>
#include <QtCore/QTemporaryDir>

#include <functional>

namespace TestSupport {

// The locale every test runs in unless it switches on purpose.
QLocale PinnedLocale();

// Switches the default locale for the lifetime of the guard.
class LocaleGuard
{
public:
    explicit LocaleGuard(const QLocale &locale);
    ~LocaleGuard();
    LocaleGuard(const LocaleGuard &) = delete;
    LocaleGuard &operator=(const LocaleGuard &) = delete;

private:
    QLocale m_previous;
};

// A throw-away folder, removed with everything in it when the object goes.
class TemporaryFolder
{
public:
    TemporaryFolder();
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    // Path of a file or folder inside, "name" may contain sub-folders.
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // The path with exactly one trailing "/", as the program's root folder is held.
    QString rootWithSeparator() const { return m_dir.path() + QLatin1Char('/'); }
    bool writeFile(const QString &name, const QByteArray &content) const;

private:
    QTemporaryDir m_dir;
};

// The folder of committed test fixtures (tests/data).
QString TestDataFolder();

// Runs the event loop until cond() holds or the timeout passes; returns cond().
bool WaitFor(const std::function<bool()> &cond, int timeoutMs = 5000);

} // namespace TestSupport

#include <ostream>

// Readable QString values in GoogleTest failure messages.
inline void PrintTo(const QString &value, std::ostream *os)
{
    *os << '"' << value.toStdString() << '"';
}
inline void PrintTo(const QByteArray &value, std::ostream *os)
{
    *os << '"' << value.toStdString() << '"';
}
