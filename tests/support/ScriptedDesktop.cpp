#include "support/ScriptedDesktop.h"

namespace Desktop {

ScriptedPrompts::ScriptedPrompts()
    : m_previous(SetPrompts(this))
{ }

ScriptedPrompts::~ScriptedPrompts()
{
    if (&Prompts() == this)
        SetPrompts(m_previous);
}

Answer ScriptedPrompts::Show(
    QWidget *parent, const QString &text, Buttons buttons, Icon icon, const QString &title)
{
    Q_UNUSED(parent);
    Q_UNUSED(title);
    m_texts << text;
    m_lastIcon = icon;
    Answer answer = m_default;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    return FitAnswer(answer, buttons);
}

ScriptedFileDialogs::ScriptedFileDialogs()
    : m_previous(SetFileDialogs(this))
{ }

ScriptedFileDialogs::~ScriptedFileDialogs()
{
    if (&FileDialogs() == this)
        SetFileDialogs(m_previous);
}

QStringList ScriptedFileDialogs::nextFiles()
{
    if (m_files.empty())
        return {};
    QStringList next = m_files.front();
    m_files.pop_front();
    return next;
}

QString ScriptedFileDialogs::GetOpenFileName(
    QWidget *, const QString &caption, const QString &folder, const QString &filter)
{
    m_requests.push_back({ QStringLiteral("open"), caption, folder, filter });
    return nextFiles().value(0);
}

QStringList ScriptedFileDialogs::GetOpenFileNames(
    QWidget *, const QString &caption, const QString &folder, const QString &filter)
{
    m_requests.push_back({ QStringLiteral("openMany"), caption, folder, filter });
    QStringList files = nextFiles();
    files.removeAll(QString());
    return files;
}

QString ScriptedFileDialogs::GetSaveFileName(
    QWidget *, const QString &caption, const QString &path, const QString &filter)
{
    m_requests.push_back({ QStringLiteral("save"), caption, path, filter });
    return nextFiles().value(0);
}

QString ScriptedFileDialogs::GetExistingFolder(QWidget *, const QString &caption, const QString &folder)
{
    m_requests.push_back({ QStringLiteral("folder"), caption, folder, QString() });
    return nextFiles().value(0);
}

QColor ScriptedFileDialogs::GetColor(QWidget *, const QColor &initial, const QString &caption)
{
    Q_UNUSED(initial);
    m_requests.push_back({ QStringLiteral("color"), caption, QString(), QString() });
    if (m_colors.empty())
        return {};
    const QColor color = m_colors.front();
    m_colors.pop_front();
    return color;
}

ScriptedMenus::ScriptedMenus()
    : m_previous(SetMenus(this))
{ }

ScriptedMenus::~ScriptedMenus()
{
    if (&Menus() == this)
        SetMenus(m_previous);
}

int ScriptedMenus::Popup(QWidget *, const QPoint &globalPosition, const QStringList &entries)
{
    m_shown.push_back(entries);
    m_positions.push_back(globalPosition);
    if (m_choices.empty())
        return -1;
    const Choice choice = m_choices.front();
    m_choices.pop_front();
    if (!choice.entry.isEmpty())
        return static_cast<int>(entries.indexOf(choice.entry));
    return choice.index >= 0 && choice.index < entries.size() ? choice.index : -1;
}

ScriptedShell::ScriptedShell()
    : m_previous(SetShell(this))
{ }

ScriptedShell::~ScriptedShell()
{
    if (&Shell() == this)
        SetShell(m_previous);
}

bool ScriptedShell::Open(const QString &target, const QString &verb)
{
    m_launches.push_back({ target, verb });
    return m_result;
}

} // namespace Desktop
