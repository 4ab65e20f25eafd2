#pragma once

#include <QtCore/QDirIterator>
#include <QtCore/QFile>

// Whether any file under the folder holds the text as it stands (UTF-8 or
// UTF-16): a secret must never land in a plain file.
inline bool AnyFileContains(const QString &folder, const QString &text)
{
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray content = file.readAll();
        const QByteArray utf16(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        if (content.contains(text.toUtf8()) || content.contains(utf16))
            return true;
    }
    return false;
}
