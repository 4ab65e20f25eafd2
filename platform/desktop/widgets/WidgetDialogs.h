#pragma once

#include "desktopwidgets_export.h"

#include "desktop/FileDialogs.h"
#include "desktop/Menus.h"
#include "desktop/Prompts.h"
#include "desktop/widgets/PrintDialogs.h"

namespace Desktop {

// The platform's message boxes.
class DESKTOPWIDGETS_EXPORT MessageBoxPrompts final : public IPrompts
{
public:
    Answer Show(
        QWidget *parent, const QString &text, Buttons buttons, Icon icon, const QString &title) override;
};

// The platform's file, folder and colour dialogs.
class DESKTOPWIDGETS_EXPORT QtFileDialogs final : public IFileDialogs
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

// The platform's pop-up menus.
class DESKTOPWIDGETS_EXPORT WidgetMenus final : public IMenus
{
public:
    int Popup(QWidget *parent, const QPoint &globalPosition, const QStringList &entries) override;
};

// Installs the platform's message boxes, dialogs (print dialogs too) and menus for its lifetime
// (the program's application object holds one), each where none is installed
// yet: stand-ins a test installed first stay in place.
class DESKTOPWIDGETS_EXPORT WidgetDialogs
{
public:
    WidgetDialogs();
    ~WidgetDialogs();
    WidgetDialogs(const WidgetDialogs &) = delete;
    WidgetDialogs &operator=(const WidgetDialogs &) = delete;

private:
    MessageBoxPrompts m_prompts;
    QtFileDialogs m_fileDialogs;
    WidgetMenus m_menus;
    QtPrintDialogs m_printDialogs;
    bool m_promptsInstalled = false;
    bool m_fileDialogsInstalled = false;
    bool m_menusInstalled = false;
    bool m_printDialogsInstalled = false;
};

} // namespace Desktop
