#pragma once

// Scripted stand-ins for the desktop services a person answers: message
// boxes, file dialogs, pop-up menus and the shell. Each installs itself for
// its lifetime, answers from a queue and records what it was asked, so tests
// assert the exact texts a user would have seen.

#include "desktop/FileDialogs.h"
#include "desktop/Menus.h"
#include "desktop/Prompts.h"
#include "desktop/Shell.h"

#include <QtGui/QColor>

#include <deque>
#include <vector>

namespace Desktop {

class ScriptedPrompts final : public IPrompts
{
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts &) = delete;
    ScriptedPrompts &operator=(const ScriptedPrompts &) = delete;

    void QueueAnswer(Answer answer) { m_answers.push_back(answer); }
    // Used when no answer is queued: Ok, Yes or Retry.
    void SetDefaultAnswer(Answer answer) { m_default = answer; }
    const QStringList &Texts() const { return m_texts; }
    QString LastText() const { return m_texts.isEmpty() ? QString() : m_texts.last(); }
    int Count() const { return static_cast<int>(m_texts.size()); }
    Icon LastIcon() const { return m_lastIcon; }
    void Clear() { m_texts.clear(); }

    Answer Show(
        QWidget *parent, const QString &text, Buttons buttons, Icon icon, const QString &title) override;

private:
    std::deque<Answer> m_answers;
    Answer m_default = Answer::Ok;
    QStringList m_texts;
    Icon m_lastIcon = Icon::None;
    IPrompts *m_previous = nullptr;
};

// Answers from queues (empty answers cancel) and records what was asked.
// Installs itself for its lifetime.
class ScriptedFileDialogs final : public IFileDialogs
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

// Answers pop-up menus from a queue of choices, an entry's index or its text
// (none when the queue is empty or the text is not offered), and records the
// entries of every menu shown.
class ScriptedMenus final : public IMenus
{
public:
    ScriptedMenus();
    ~ScriptedMenus() override;
    ScriptedMenus(const ScriptedMenus &) = delete;
    ScriptedMenus &operator=(const ScriptedMenus &) = delete;

    void QueueChoice(int index) { m_choices.push_back({ index, QString() }); }
    void QueueChoice(const QString &entry) { m_choices.push_back({ -1, entry }); }
    const std::vector<QStringList> &Shown() const { return m_shown; }
    QStringList LastEntries() const { return m_shown.empty() ? QStringList() : m_shown.back(); }
    const std::vector<QPoint> &Positions() const { return m_positions; }

    int Popup(QWidget *parent, const QPoint &globalPosition, const QStringList &entries) override;

private:
    struct Choice
    {
        int index;
        QString entry;
    };
    std::deque<Choice> m_choices;
    std::vector<QStringList> m_shown;
    std::vector<QPoint> m_positions;
    IMenus *m_previous = nullptr;
};

// Records every launch and answers with a set result. Installs itself for its
// lifetime.
class ScriptedShell final : public IShell
{
public:
    struct Launch
    {
        QString target;
        QString verb;
    };
    ScriptedShell();
    ~ScriptedShell() override;
    ScriptedShell(const ScriptedShell &) = delete;
    ScriptedShell &operator=(const ScriptedShell &) = delete;

    void SetResult(bool result) { m_result = result; }
    const std::vector<Launch> &Launches() const { return m_launches; }

    bool Open(const QString &target, const QString &verb) override;

private:
    bool m_result = true;
    std::vector<Launch> m_launches;
    IShell *m_previous = nullptr;
};

} // namespace Desktop
