#pragma once

#include "contacts/CLogicContactList.h"

// The current patient's phone numbers (PHONES, the current one in MAIN.PHONE)
// and the header band's phone link. Codes: 39 (the choice button's menu of
// numbers) and 38 (the link, a button that stays pressed: pressing it stamps
// the call in today's consultation notes; no telephony is involved).
class CLogicPhones final : public CLogicContactList
{
    Q_DECLARE_TR_FUNCTIONS(CLogicPhones)

public:
    explicit CLogicPhones(LogicContext &context);

    int OnCommand(LogicCommand &command) override;
    // Stamps a call to the current number; 1 when the stamp was written.
    int StampCall();

    static QString NoCurrentText();

protected:
    QString LinkTextFor(const QString &current) const override;
    void ShowOnBand(IHeaderBand &band, const QString &text, bool active) const override;
};
