#pragma once

#include "core/LogicCommand.h"
#include "core/PatientImages.h"
#include "core/PatientSteps.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtCore/QString>

class LogicContext;

// The patient picture and the patient's values in the header band: picture,
// name line and age line, shown at every load and save of the patient. Code 9
// (the picture button) lets the image manager choose or acquire the picture
// in the patient's Images folder; code 37 (a file dropped on the header band)
// makes a dropped image the picture, and hands any other file to the patient's
// documents. The choice is stored in MAIN.IMAGE_PATH.
class CLogicPatientPicture final : public ILogicObject, public IPatientParticipant
{
    Q_DECLARE_TR_FUNCTIONS(CLogicPatientPicture)

public:
    explicit CLogicPatientPicture(LogicContext &context);

    // 9 and 37; any other code: 0.
    int OnCommand(LogicCommand &command) override;
    // The header band shows the current patient (an empty band without one).
    int Load() override;
    // The band shows what was just saved.
    int Save() override { return Load(); }

    // Not owned; none returns to the image manager of the context's services.
    void SetImages(IPatientImages *images) { m_pImages = images; }

    // FIRST_NAME, then MIDDLE_NAME and LAST_NAME each after a single space
    // when not empty.
    static QString NameLine(const QString &first, const QString &middle, const QString &last);
    // "%d year(s)": whole days from the date of birth to today divided by
    // 365, truncated; empty when the date is not valid.
    static QString AgeLine(const QDate &dateOfBirth, const QDate &today);

private:
    int ChoosePicture(const LogicCommand &command);
    int TakeDroppedFile(const QString &path, QWidget *parent);
    int StorePicture(const QString &path);

    IPatientImages *Images() const;

    LogicContext &m_context;
    IPatientImages *m_pImages = nullptr;
};
