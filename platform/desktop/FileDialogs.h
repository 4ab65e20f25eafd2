#pragma once

#include "desktop_export.h"

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QColor>

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

// The dialogs of the process; until some are installed every dialog is
// cancelled. Installing returns the ones installed before (not owned).
DESKTOP_EXPORT IFileDialogs &FileDialogs();
DESKTOP_EXPORT IFileDialogs *SetFileDialogs(IFileDialogs *dialogs);

// "Images (*.bmp; *.jpg)|*.bmp;*.jpg|All files (*.*)|*.*||" -> "Images (*.bmp *.jpg);;All files (*)".
DESKTOP_EXPORT QString QtFilterFromPlatformFilter(const QString &filter);

} // namespace Desktop
