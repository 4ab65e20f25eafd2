#pragma once

#include "contacts/CLogicContactList.h"

class IMailSender;

// The current patient's e-mail addresses (EMAILS, the current one in
// MAIN.EMAIL) and the header band's e-mail link. Codes: 40 (the choice
// button's menu: the addresses and "Email questionnaire") and 41 (the link:
// a mail to the current address). A mail that was sent leaves a stamp in
// today's consultation notes; one that was not sent leaves none. A typed
// address of implausible form is kept, with a warning.
class CLogicEmails final : public CLogicContactList
{
    Q_DECLARE_TR_FUNCTIONS(CLogicEmails)

public:
    explicit CLogicEmails(LogicContext &context);

    int OnCommand(LogicCommand &command) override;

    // A mail to the current address, without subject or text; 1 when it was
    // sent (and stamped in the notes).
    int MailToCurrent(QWidget *window);
    // A mail to the current address with the patient's questionnaire
    // ("DynamicQuestionnaire.rtf" of the patient's folder) attached, as saved
    // just before; 1 when it was sent (and stamped).
    int MailQuestionnaire(QWidget *window);

    static QString NoCurrentText();
    static QString QuestionnaireEntry();
    static QString QuestionnaireFileName() { return QStringLiteral("DynamicQuestionnaire.rtf"); }

protected:
    QString LinkTextFor(const QString &current) const override;
    void ShowOnBand(IHeaderBand &band, const QString &text, bool active) const override;
    QString Warning(const QString &text) const override;

private:
    int Send(QWidget *window, const QString &address, const QStringList &attachments);
};
