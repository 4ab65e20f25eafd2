#include "appointments/ui/CConsultationsDialog.h"

#include "appointments/ui/AppointmentDialogs.h"

#include "Calendar/Widgets/CalendarControl.h"
#include "desktop/Prompts.h"

#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

CConsultationsDialog::CConsultationsDialog(QWidget *parent)
    : QDialog(parent, Qt::Window) // a window of its own, with minimise and maximise
    , m_pCalendar(new Calendar::CalendarControl(this))
    , m_pImport(new QPushButton(tr("&Import..."), this))
    , m_pExport(new QPushButton(tr("&Export..."), this))
{
    setObjectName(QStringLiteral("appointmentsWindow"));
    setWindowTitle(tr("Appointments"));
    setModal(false);

    auto dialogs = std::make_unique<CAppointmentDialogs>();
    m_pDialogs = dialogs.get();
    m_pCalendar->setDialogs(std::move(dialogs));

    m_pImport->setObjectName(QStringLiteral("importAppointments"));
    m_pImport->setToolTip(tr("Import appointments from an iCalendar (.ics) file"));
    m_pExport->setObjectName(QStringLiteral("exportAppointments"));
    m_pExport->setToolTip(tr("Export the appointments to an iCalendar (.ics) file for other calendars"));
    m_pImport->setAutoDefault(false);
    m_pExport->setAutoDefault(false);
    m_pCalendar->addButton(m_pImport);
    m_pCalendar->addButton(m_pExport);
    for (QPushButton *button : { m_pCalendar->printButton(), m_pCalendar->printPreviewButton() })
        button->setAutoDefault(false); // Enter belongs to the calendar, not to a button
    connect(m_pImport, &QPushButton::clicked, this, &CConsultationsDialog::OnImport);
    connect(m_pExport, &QPushButton::clicked, this, &CConsultationsDialog::OnExport);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pCalendar);
    resize(1024, 700);
}

CConsultationsDialog::~CConsultationsDialog() = default;

QString CConsultationsDialog::OpenFile(const QString &path)
{
    return m_pCalendar->openFile(path);
}

void CConsultationsDialog::SetPatientSource(IAppointmentsWindow::PatientSource source)
{
    if (!source) {
        m_pCalendar->setNewEventDefaults({});
        return;
    }
    m_pCalendar->setNewEventDefaults([source = std::move(source)] {
        const AppointmentPatient patient = source();
        return Calendar::CalendarControl::NewEventDefaults { patient.subject, patient.id };
    });
}

bool CConsultationsDialog::Save(QString *error)
{
    return m_pCalendar->save(error);
}

void CConsultationsDialog::OnExport()
{
    QString message;
    if (!m_pCalendar->exportIcs(&message) && !message.isEmpty())
        Desktop::Inform(this, message, Desktop::Icon::Warning);
}

void CConsultationsDialog::OnImport()
{
    // After an import the person learns what was taken; a refused file says why.
    QString message;
    const bool imported = m_pCalendar->importIcs(&message);
    if (!message.isEmpty())
        Desktop::Inform(this, message, imported ? Desktop::Icon::Information : Desktop::Icon::Warning);
}
