#pragma once

#include "desktop_export.h"

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QColor>

#include <deque>

class QWidget;

namespace Desktop {

// The common dialogs. Filters are written the platform's way,
// "Description|*.a;*.b|All files (*.*)|*.*||", and converted for Qt.
class DESKTOP_EXPORT IFileDialogs
{
public:
    virtual ~IFileDialogs() = default;
    // Empty text (or list) when the person cancels.
    virtual QString GetOpenFileName(
        QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
        = 0;
    virtual QStringList GetOpenFileNames(
        QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
        = 0;
    virtual QString GetSaveFileName(
        QWidget *parent, const QString &caption, const QString &path, const QString &filter)
        = 0;
    virtual QString GetExistingFolder(QWidget *parent, const QString &caption, const QString &folder) = 0;
    // An invalid colour when the person cancels.
    virtual QColor GetColor(QWidget *parent, const QColor &initial, const QString &caption = QString()) = 0;
};

DESKTOP_EXPORT IFileDialogs &FileDialogs();
DESKTOP_EXPORT void SetFileDialogs(IFileDialogs *dialogs);

// "Images (*.bmp; *.jpg)|*.bmp;*.jpg|All files (*.*)|*.*||" -> "Images (*.bmp *.jpg);;All files (*)".
DESKTOP_EXPORT QString QtFilterFromPlatformFilter(const QString &filter);

class DESKTOP_EXPORT QtFileDialogs final : public IFileDialogs
{
public:
    QString GetOpenFileName(
        QWidget *parent, const QString &caption, const QString &folder, const QString &filter) override;
    QStringList GetOpenFileNames(
        QWidget *parent, const QString &caption, const QString &folder, const QString &filter) override;
    QString GetSaveFileName(
        QWidget *parent, const QString &caption, const QString &path, const QString &filter) override;
    QString GetExistingFolder(QWidget *parent, const QString &caption, const QString &folder) override;
    QColor GetColor(QWidget *parent, const QColor &initial, const QString &caption) override;
};

// Answers from queues (empty answers cancel) and records what was asked.
// Installs itself for its lifetime.
class DESKTOP_EXPORT ScriptedFileDialogs final : public IFileDialogs
{
public:
    struct Request
    {
        QString kind; // "open", "openMany", "save", "folder", "color"
        QString caption;
        QString folder;
        QString filter;
    };

    ScriptedFileDialogs();
    ~ScriptedFileDialogs() override;
    ScriptedFileDialogs(const ScriptedFileDialogs &) = delete;
    ScriptedFileDialogs &operator=(const ScriptedFileDialogs &) = delete;

    void QueueFileName(const QString &path) { m_files.push_back({ path }); }
    void QueueFileNames(const QStringList &paths) { m_files.push_back(paths); }
    void QueueColor(const QColor &color) { m_colors.push_back(color); }
    const std::vector<Request> &Requests() const { return m_requests; }

    QString GetOpenFileName(
        QWidget *parent, const QString &caption, const QString &folder, const QString &filter) override;
    QStringList GetOpenFileNames(
        QWidget *parent, const QString &caption, const QString &folder, const QString &filter) override;
    QString GetSaveFileName(
        QWidget *parent, const QString &caption, const QString &path, const QString &filter) override;
    QString GetExistingFolder(QWidget *parent, const QString &caption, const QString &folder) override;
    QColor GetColor(QWidget *parent, const QColor &initial, const QString &caption) override;

private:
    QStringList nextFiles();

    std::deque<QStringList> m_files;
    std::deque<QColor> m_colors;
    std::vector<Request> m_requests;
    IFileDialogs *m_previous = nullptr;
};

} // namespace Desktop
