#pragma once

#include "Korbel/Maintenance.h"

#include <QtCore/QMutex>
#include <QtCore/QObject>
#include <QtCore/QString>

#include <atomic>
#include <thread>

// The quick check of the database at start. It runs on a worker thread with
// a connection of its own (and, where the system allows, only on processor
// time the start leaves free) while the program opens the practice, so that
// it adds next to nothing to the start; the program looks at the result once
// it has opened the practice and the check has ended (or at once, when the
// practice could not be opened).
class StartupCheck : public QObject
{
    Q_OBJECT

public:
    explicit StartupCheck(QObject *parent = nullptr);
    ~StartupCheck() override;
    StartupCheck(const StartupCheck &) = delete;
    StartupCheck &operator=(const StartupCheck &) = delete;

    // A missing database (a new practice) is not checked: the check is
    // finished at once, with the state Missing.
    void Start(const QString &databasePath);
    bool IsFinished() const { return m_finished; }
    // Waits for the check to end and gives its result.
    Korbel::FileCheck Wait();

signals:
    // On the thread that started the check, once it has ended.
    void finished();

private:
    std::thread m_thread;
    std::atomic<bool> m_finished { true };
    mutable QMutex m_mutex;
    Korbel::FileCheck m_result;
};
