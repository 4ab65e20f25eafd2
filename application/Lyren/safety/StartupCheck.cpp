#include "safety/StartupCheck.h"

#include <QtCore/QFileInfo>
#include <QtCore/QMetaObject>

#ifdef Q_OS_LINUX
#include <pthread.h>
#include <sched.h>
#endif

StartupCheck::StartupCheck(QObject *parent)
    : QObject(parent)
{ }

StartupCheck::~StartupCheck()
{
    if (m_thread.joinable())
        m_thread.join();
}

void StartupCheck::Start(const QString &databasePath)
{
    if (m_thread.joinable())
        m_thread.join();
    m_result = {};
    if (!QFileInfo::exists(databasePath)) {
        m_finished = true;
        return;
    }
    m_finished = false;
    m_thread = std::thread([this, databasePath] {
#ifdef Q_OS_LINUX
        // The check takes only what the start leaves of the processor.
        const sched_param idle {};
        pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
#endif
        Korbel::FileCheck check = Korbel::CheckDatabaseFile(databasePath, Korbel::CheckDepth::Quick);
        {
            QMutexLocker lock(&m_mutex);
            m_result = std::move(check);
        }
        m_finished = true;
        QMetaObject::invokeMethod(this, &StartupCheck::finished, Qt::QueuedConnection);
    });
}

Korbel::FileCheck StartupCheck::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
    QMutexLocker lock(&m_mutex);
    return m_result;
}
