#pragma once

#include <QtCore/QCoreApplication>
#include <QtCore/QString>

#include <memory>

class QLockFile;

namespace Messaging {
class IWindowMessenger;
}

// One program per practice: a lock file beside the database, held for the
// program's whole life. A second start on the same root folder finds it held
// and leaves the practice alone; a lock left behind by a program that ended
// without releasing it (a crash, a power cut) is taken over.
class PracticeLock
{
    Q_DECLARE_TR_FUNCTIONS(PracticeLock)

public:
    enum class State {
        Held, // this program holds the practice
        HeldElsewhere, // a running program holds it
        Unavailable, // no lock can be made here (a read-only folder)
    };

    explicit PracticeLock(const QString &rootFolder);
    ~PracticeLock();
    PracticeLock(const PracticeLock &) = delete;
    PracticeLock &operator=(const PracticeLock &) = delete;

    State Acquire();
    void Release();
    bool IsHeld() const;

    QString LockPath() const { return m_path; }
    // The program that holds the practice, when it is held elsewhere.
    qint64 OwnerProcess() const { return m_ownerPid; }
    QString OwnerHost() const { return m_ownerHost; }
    // Why no lock could be made.
    QString Error() const { return m_error; }
    // "The practice in … is already open in Verdanta …", for the person.
    QString HeldElsewhereMessage() const;

    static QString LockFileName() { return QStringLiteral("data.mdb.lock"); }
    // The class under which the program's main window of a practice is
    // found by other programs: derived from the root folder's canonical path.
    static QString WindowClassFor(const QString &rootFolder);
    // Asks the running program of the practice to bring its window forward,
    // waiting up to 'waitMs' for a window that is still being made; true
    // when the window answered that it came forward.
    static bool BringForward(Messaging::IWindowMessenger &messenger, const QString &rootFolder, int waitMs);

private:
    bool RemoveIfAbandoned();

    QString m_root;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    qint64 m_ownerPid = 0;
    QString m_ownerHost;
    QString m_error;
};
