#include "desktop/Prompts.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

namespace Desktop {

namespace {

IPrompts *g_installed = nullptr;

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

// The answer a scripted default stands for, given the buttons offered.
Answer fitAnswer(Answer wanted, Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
        return wanted == Answer::Cancel || wanted == Answer::No ? Answer::Cancel : Answer::Ok;
    case Buttons::YesNo:
        return wanted == Answer::No || wanted == Answer::Cancel ? Answer::No : Answer::Yes;
    case Buttons::YesNoCancel:
        return wanted == Answer::Ok ? Answer::Yes : (wanted == Answer::Retry ? Answer::Yes : wanted);
    case Buttons::RetryCancel:
        return wanted == Answer::Cancel || wanted == Answer::No ? Answer::Cancel : Answer::Retry;
    }
    return wanted;
}

} // namespace

IPrompts &Prompts()
{
    static MessageBoxPrompts boxes;
    return g_installed ? *g_installed : boxes;
}

void SetPrompts(IPrompts *prompts)
{
    g_installed = prompts;
}

void Inform(QWidget *parent, const QString &text, Icon icon)
{
    Prompts().Show(parent, text, Buttons::Ok, icon);
}

bool AskYesNo(QWidget *parent, const QString &text, Icon icon)
{
    return Prompts().Show(parent, text, Buttons::YesNo, icon) == Answer::Yes;
}

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

ScriptedPrompts::ScriptedPrompts()
    : m_previous(g_installed)
{
    g_installed = this;
}

ScriptedPrompts::~ScriptedPrompts()
{
    if (g_installed == this)
        g_installed = m_previous;
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
    return fitAnswer(answer, buttons);
}

} // namespace Desktop
