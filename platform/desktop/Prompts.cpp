#include "desktop/Prompts.h"

#include <QtCore/QLoggingCategory>

namespace Desktop {

namespace {

Q_LOGGING_CATEGORY(lcPrompts, "verdanta.desktop.prompts")

IPrompts *g_installed = nullptr;

// Nobody to ask: the question is logged and declined.
class UnattendedPrompts final : public IPrompts
{
public:
    Answer Show(QWidget *, const QString &text, Buttons buttons, Icon, const QString &) override
    {
        qCWarning(lcPrompts).noquote() << "unanswered:" << text;
        return FitAnswer(Answer::No, buttons);
    }
};

} // namespace

Answer FitAnswer(Answer wanted, Buttons buttons)
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

IPrompts &Prompts()
{
    static UnattendedPrompts unattended;
    return g_installed ? *g_installed : unattended;
}

IPrompts *SetPrompts(IPrompts *prompts)
{
    IPrompts *previous = g_installed;
    g_installed = prompts;
    return previous;
}

void Inform(QWidget *parent, const QString &text, Icon icon)
{
    Prompts().Show(parent, text, Buttons::Ok, icon);
}

bool AskYesNo(QWidget *parent, const QString &text, Icon icon)
{
    return Prompts().Show(parent, text, Buttons::YesNo, icon) == Answer::Yes;
}

} // namespace Desktop
