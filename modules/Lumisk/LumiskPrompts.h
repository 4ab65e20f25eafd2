#pragma once

#include "lumisk_export.h"

#include <QtCore/QString>

class QWidget;

// The questions the image manager puts to a person. The default asks through
// QFileDialog and QMessageBox; the program or a test may install its own.
class LUMISK_EXPORT ILumiskPrompts
{
public:
    virtual ~ILumiskPrompts();

    // One existing file to open, or an empty text when the person cancels.
    // filter is in QFileDialog's form.
    virtual QString GetOpenFileName(QWidget *parent, const QString &caption, const QString &filter) = 0;
    // A yes/no question; true for yes.
    virtual bool Confirm(QWidget *parent, const QString &title, const QString &text) = 0;
};

// Installs prompts (not owned; they must outlive their use). nullptr restores the default.
LUMISK_EXPORT void LumiskSetPrompts(ILumiskPrompts *prompts);
// The prompts in force.
LUMISK_EXPORT ILumiskPrompts *LumiskPrompts();
