#include "safety/PracticeLock.h"

#include "messaging/WindowMessenger.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QLockFile>
#include <QtCore/QThread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

// A program that holds the lock keeps the file locked by the system as well;
// the system drops that lock when the program ends in any way. True when the
// lock file is not locked so (and so abandoned).
bool NobodyLocks(const QString &path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace

PracticeLock::PracticeLock(const QString &rootFolder)
    : m_root(rootFolder)
    , m_path(QDir(rootFolder).filePath(LockFileName()))
{ }

PracticeLock::~PracticeLock()
{
    Release();
}

bool PracticeLock::IsHeld() const
{
    return m_lock && m_lock->isLocked();
}

void PracticeLock::Release()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

bool PracticeLock::RemoveIfAbandoned()
{
    // Two programs starting at once must not both take an abandoned lock
    // away (one would remove the other's new lock).
    QLockFile guard(m_path + QStringLiteral(".rmlock"));
    guard.setStaleLockTime(0);
    return guard.tryLock(0) && NobodyLocks(m_path) && QFile::remove(m_path);
}

PracticeLock::State PracticeLock::Acquire()
{
    if (IsHeld())
        return State::Held;
    m_error.clear();
    m_lock = std::make_unique<QLockFile>(m_path);
    // A running program's lock never grows old: only a lock whose program
    // has ended is taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return State::Held;
    // The lock file names a program that is gone but runs under the same
    // number, or cannot be read at all (it was being written when the
    // machine stopped): taken over when nothing holds it.
    if (m_lock->error() == QLockFile::LockFailedError && RemoveIfAbandoned() && m_lock->tryLock(0))
        return State::Held;
    if (m_lock->error() == QLockFile::LockFailedError) {
        QString application;
        if (!m_lock->getLockInfo(&m_ownerPid, &m_ownerHost, &application)) {
            m_ownerPid = 0;
            m_ownerHost.clear();
        }
        m_lock.reset();
        return State::HeldElsewhere;
    }
    m_error = m_lock->error() == QLockFile::PermissionError
        ? tr("The folder %1 cannot be written.").arg(QDir::toNativeSeparators(m_root))
        : tr("The lock file %1 cannot be made.").arg(QDir::toNativeSeparators(m_path));
    m_lock.reset();
    return State::Unavailable;
}

QString PracticeLock::HeldElsewhereMessage() const
{
    QString text = tr("The practice in %1 is already open in Verdanta").arg(QDir::toNativeSeparators(m_root));
    if (m_ownerPid > 0 && !m_ownerHost.isEmpty())
        text += tr(" (process %1 on %2)").arg(m_ownerPid).arg(m_ownerHost);
    return text
        + tr(".\n\nOnly one Verdanta can work on a practice at a time. Use the window that is open; this "
             "one closes without changing anything.");
}

QString PracticeLock::WindowClassFor(const QString &rootFolder)
{
    const QString canonical = QDir(rootFolder).canonicalPath();
    return QStringLiteral("Verdanta:") + (canonical.isEmpty() ? QDir::cleanPath(rootFolder) : canonical);
}

bool PracticeLock::BringForward(Messaging::IWindowMessenger &messenger, const QString &rootFolder, int waitMs)
{
    const QString windowClass = WindowClassFor(rootFolder);
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        const Messaging::WindowHandle window = messenger.FindTopLevelWindow(windowClass);
        if (!window.IsNull())
            return messenger.Restore(window);
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
}
