#include "Lumisk/LumiskPrompts.h"

#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>

ILumiskPrompts::~ILumiskPrompts() = default;

namespace {

class DefaultPrompts final : public ILumiskPrompts
{
public:
    QString GetOpenFileName(QWidget *parent, const QString &caption, const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    }

    bool Confirm(QWidget *parent, const QString &title, const QString &text) override
    {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    }
};

ILumiskPrompts *g_installedPrompts = nullptr;

} // namespace

void LumiskSetPrompts(ILumiskPrompts *prompts)
{
    g_installedPrompts = prompts;
}

ILumiskPrompts *LumiskPrompts()
{
    static DefaultPrompts defaultPrompts;
    return g_installedPrompts ? g_installedPrompts : &defaultPrompts;
}
