#pragma once

#include "desktop_export.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

class QWidget;

namespace Desktop {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// Message boxes. The program asks through Prompts(); its window layer
// installs the platform's message boxes (desktop/widgets/WidgetDialogs.h) and
// tests install a scripted double that answers and records every text.
class DESKTOP_EXPORT IPrompts
{
public:
    virtual ~IPrompts() = default;
    virtual Answer Show(
        QWidget *parent, const QString &text, Buttons buttons, Icon icon, const QString &title = QString())
        = 0;
};

// The prompts of the process. Until prompts are installed nobody can be
// asked: every question is logged and answered No, Cancel or Ok, whichever the
// buttons offer first in that order, so that nothing is confirmed unseen.
DESKTOP_EXPORT IPrompts &Prompts();
// Installs prompts (not owned; nullptr removes them) and returns the ones
// installed before.
DESKTOP_EXPORT IPrompts *SetPrompts(IPrompts *prompts);

// The answer a wanted answer stands for when only the given buttons exist.
DESKTOP_EXPORT Answer FitAnswer(Answer wanted, Buttons buttons);

// Convenience forms.
DESKTOP_EXPORT void Inform(QWidget *parent, const QString &text, Icon icon = Icon::Information);
DESKTOP_EXPORT bool AskYesNo(QWidget *parent, const QString &text, Icon icon = Icon::Question);

} // namespace Desktop
