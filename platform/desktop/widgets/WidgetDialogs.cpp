#include "desktop/widgets/WidgetDialogs.h"

#include <QtGui/QAction>
#include <QtWidgets/QApplication>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMessageBox>

namespace Desktop {

namespace {

QMessageBox::StandardButtons standardButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Answer MessageBoxPrompts::Show(
    QWidget *parent, const QString &text, Buttons buttons, Icon icon, const QString &title)
{
    QMessageBox box(boxIcon(icon), title.isEmpty() ? QApplication::applicationDisplayName() : title, text,
        standardButtons(buttons), parent);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        return Answer::Cancel;
    }
}

QString QtFileDialogs::GetOpenFileName(
    QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, folder, QtFilterFromPlatformFilter(filter));
}

QStringList QtFileDialogs::GetOpenFileNames(
    QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileNames(parent, caption, folder, QtFilterFromPlatformFilter(filter));
}

QString QtFileDialogs::GetSaveFileName(
    QWidget *parent, const QString &caption, const QString &path, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, path, QtFilterFromPlatformFilter(filter));
}

QString QtFileDialogs::GetExistingFolder(QWidget *parent, const QString &caption, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

QColor QtFileDialogs::GetColor(QWidget *parent, const QColor &initial, const QString &caption)
{
    return QColorDialog::getColor(initial, parent, caption);
}

int WidgetMenus::Popup(QWidget *parent, const QPoint &globalPosition, const QStringList &entries)
{
    QMenu menu(parent);
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).isEmpty()) {
            menu.addSeparator();
            continue;
        }
        QString text = entries.at(i);
        menu.addAction(text.replace(QLatin1Char('&'), QStringLiteral("&&")))->setData(i);
    }
    const QAction *chosen = menu.exec(globalPosition);
    return chosen ? chosen->data().toInt() : -1;
}

WidgetDialogs::WidgetDialogs()
{
    // Installing returns what was there; anything there is put back.
    if (IPrompts *previous = SetPrompts(&m_prompts))
        SetPrompts(previous);
    else
        m_promptsInstalled = true;
    if (IFileDialogs *previous = SetFileDialogs(&m_fileDialogs))
        SetFileDialogs(previous);
    else
        m_fileDialogsInstalled = true;
    if (IMenus *previous = SetMenus(&m_menus))
        SetMenus(previous);
    else
        m_menusInstalled = true;
    if (IPrintDialogs *previous = SetPrintDialogs(&m_printDialogs))
        SetPrintDialogs(previous);
    else
        m_printDialogsInstalled = true;
}

WidgetDialogs::~WidgetDialogs()
{
    if (m_promptsInstalled && &Prompts() == &m_prompts)
        SetPrompts(nullptr);
    if (m_fileDialogsInstalled && &FileDialogs() == &m_fileDialogs)
        SetFileDialogs(nullptr);
    if (m_menusInstalled && &Menus() == &m_menus)
        SetMenus(nullptr);
    if (m_printDialogsInstalled && &PrintDialogs() == &m_printDialogs)
        SetPrintDialogs(nullptr);
}

} // namespace Desktop
