#include "appointments/CLogicAppointments.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "core/RecordAccess.h"

#include "common/Identifiers.h"
#include "desktop/Prompts.h"

#include <QtCore/QDir>

using Records::ReadText;

CLogicAppointments::CLogicAppointments(LogicContext &context)
    : m_context(context)
{
    SetServices(&context.Services());
}

CLogicAppointments::~CLogicAppointments()
{
    Close();
}

bool CLogicAppointments::Open()
{
    IAppointmentsWindow *window = Window();
    if (!window)
        return false;
    // A practice without patients has no UserData folder yet; the file needs it.
    QDir().mkpath(m_context.Folders().GetUserDataFolder());
    QWidget *parent = m_context.DialogParent();
    const QString message = window->Create(
        m_context.Folders().GetConsultationsPath(), parent, [this] { return CurrentPatient(); });
    if (!message.isEmpty())
        Desktop::Inform(parent, message, Desktop::Icon::Warning);
    return window->Exists();
}

void CLogicAppointments::Close()
{
    // The window layer may already be gone (its window with it).
    IAppointmentsWindow *window = Window();
    if (!window || !window->Exists())
        return;
    QString error;
    if (!window->Destroy(&error))
        Desktop::Inform(m_context.DialogParent(), error, Desktop::Icon::Warning);
}

int CLogicAppointments::OnCommand(LogicCommand &command)
{
    return command.code == CommandCode::Appointments ? ShowWindow(command) : 0;
}

int CLogicAppointments::ShowWindow(LogicCommand &)
{
    IAppointmentsWindow *window = Window();
    if (!window)
        return 0;
    // A window layer that came after the hub's open gets its window now.
    if (!window->Exists() && !Open())
        return 0;
    window->Show();
    return 1;
}

AppointmentPatient CLogicAppointments::CurrentPatient() const
{
    Korbel::ITable *main = m_context.MainTable();
    bool current = false;
    const QString id = ReadText(main, QStringLiteral("ID"), &current);
    if (!current)
        return {};
    return { Verdanta::ParseId(id),
        Subject(ReadText(main, QStringLiteral("FIRST_NAME")), ReadText(main, QStringLiteral("LAST_NAME"))) };
}

QString CLogicAppointments::Subject(const QString &firstName, const QString &lastName)
{
    const QString first = firstName.trimmed(), last = lastName.trimmed();
    if (first.isEmpty() || last.isEmpty())
        return first + last;
    return first + QLatin1Char(' ') + last;
}
