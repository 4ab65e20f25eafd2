#include "contacts/CLogicPhones.h"

#include "contacts/Stamps.h"

#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "core/Views.h"

CLogicPhones::CLogicPhones(LogicContext &context)
    : CLogicContactList(
        context, { QStringLiteral("PHONES"), QStringLiteral("PHONE"), QStringLiteral("PHONE"), tr("Phones") })
{ }

QString CLogicPhones::NoCurrentText()
{
    return tr("No current ph#");
}

QString CLogicPhones::LinkTextFor(const QString &current) const
{
    return current.isEmpty() ? NoCurrentText() : tr("Dial %1").arg(current);
}

void CLogicPhones::ShowOnBand(IHeaderBand &band, const QString &text, bool active) const
{
    band.SetPhoneLink(text, active);
}

int CLogicPhones::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::PhoneChoice: {
        bool madeCurrent = false;
        ChooseCurrent(command, tr("No phones"), {}, &madeCurrent);
        return madeCurrent ? 1 : 0;
    }
    case CommandCode::CallPhone: {
        // The link stays pressed while the call goes on; the click that
        // releases it stamps nothing.
        const bool pressed = command.control && command.control->property("checked").toBool();
        return pressed ? StampCall() : 0;
    }
    default:
        return 0;
    }
}

int CLogicPhones::StampCall()
{
    const QString number = CurrentText();
    if (number.isEmpty())
        return 0;
    return AppendToNotes(tr("<<Call to %1 initiated by office at %2>>").arg(number, Contacts::StampTime()))
        ? 1
        : 0;
}
