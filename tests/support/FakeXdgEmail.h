#pragma once

#include "support/TestSupport.h"

#include <QtCore/QFile>
#include <QtCore/QStringList>

namespace TestSupport {

// A stand-in xdg-email first in PATH that records its arguments (NUL
// separated, so that line breaks survive) and exits with a chosen code.
class FakeXdgEmail
{
public:
    // With a delay it keeps running that long, as it does while some mail
    // programs are open, and then leaves a mark that it was not killed.
    explicit FakeXdgEmail(int exitCode = 0, int delaySeconds = 0)
        : m_oldPath(qgetenv("PATH"))
    {
        const QString script
            = QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\" >> '%1'; done\n"
                             "sleep %3\ntouch '%1.done'\nexit %2\n")
                  .arg(LogPath())
                  .arg(exitCode)
                  .arg(delaySeconds);
        m_folder.writeFile(QStringLiteral("bin/xdg-email"), script.toUtf8());
        QFile::setPermissions(m_folder.filePath(QStringLiteral("bin/xdg-email")),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("PATH", m_folder.filePath(QStringLiteral("bin")).toLocal8Bit() + ':' + m_oldPath);
    }
    ~FakeXdgEmail() { qputenv("PATH", m_oldPath); }

    QString LogPath() const { return m_folder.filePath(QStringLiteral("arguments")); }
    bool Ran() const { return QFile::exists(LogPath()); }
    bool Finished() const { return QFile::exists(LogPath() + QStringLiteral(".done")); }
    QStringList Arguments() const
    {
        QFile log(LogPath());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        QStringList arguments = QString::fromUtf8(log.readAll()).split(QChar(0));
        arguments.removeLast(); // after the last NUL
        return arguments;
    }
    QString Folder() const { return m_folder.path(); }
    QString MakeFile(const QString &name) const
    {
        m_folder.writeFile(name, "content");
        return m_folder.filePath(name);
    }

private:
    TestSupport::TemporaryFolder m_folder;
    QByteArray m_oldPath;
};

// PATH without any xdg-email.
class NoXdgEmail
{
public:
    NoXdgEmail()
        : m_oldPath(qgetenv("PATH"))
    {
        qputenv("PATH", m_empty.path().toLocal8Bit());
    }
    ~NoXdgEmail() { qputenv("PATH", m_oldPath); }

private:
    TestSupport::TemporaryFolder m_empty;
    QByteArray m_oldPath;
};

} // namespace TestSupport
