#include "support/TestSupport.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QThread>

namespace TestSupport {

QLocale PinnedLocale()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

LocaleGuard::LocaleGuard(const QLocale &locale)
    : m_previous(QLocale())
{
    QLocale::setDefault(locale);
}

LocaleGuard::~LocaleGuard()
{
    QLocale::setDefault(m_previous);
}

TemporaryFolder::TemporaryFolder()
    : m_dir(QDir::tempPath() + QStringLiteral("/verdanta-test-XXXXXX"))
{ }

bool TemporaryFolder::writeFile(const QString &name, const QByteArray &content) const
{
    const QString path = filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

QString TestDataFolder()
{
    const QByteArray env = qgetenv("VERDANTA_TEST_DATA");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QStringLiteral(VERDANTA_SOURCE_DIR "/tests/data");
}

bool WaitFor(const std::function<bool()> &cond, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!cond()) {
        if (deadline.hasExpired())
            return cond();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace TestSupport
