#pragma once

#include "desktop_export.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <deque>

class QWidget;

namespace Desktop {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// Message boxes. The program asks through Prompts(); tests install a
// ScriptedPrompts that answers and records every text.
class DESKTOP_EXPORT IPrompts
{
public:
    virtual ~IPrompts() = default;
    virtual Answer Show(
        QWidget *parent, const QString &text, Buttons buttons, Icon icon, const QString &title = QString())
        = 0;
};

// The prompts of the process: QMessageBox unless a test installed others.
DESKTOP_EXPORT IPrompts &Prompts();
// Installs prompts (not owned); nullptr restores the message boxes.
DESKTOP_EXPORT void SetPrompts(IPrompts *prompts);

// Convenience forms.
DESKTOP_EXPORT void Inform(QWidget *parent, const QString &text, Icon icon = Icon::Information);
DESKTOP_EXPORT bool AskYesNo(QWidget *parent, const QString &text, Icon icon = Icon::Question);

// The message boxes of the platform.
class DESKTOP_EXPORT MessageBoxPrompts final : public IPrompts
{
public:
    Answer Show(
        QWidget *parent, const QString &text, Buttons buttons, Icon icon, const QString &title) override;
};

// Answers from a queue (the default answer when it is empty) and keeps every
// text it was shown. Installs itself for its lifetime.
class DESKTOP_EXPORT ScriptedPrompts final : public IPrompts
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

} // namespace Desktop
