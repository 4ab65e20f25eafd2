#include "core/CommandTable.h"

#include "core/CommandCodes.h"

#include <algorithm>

namespace {

using enum Owner;
using RouteKind::SavePatientFirst;
using RouteKind::Single;
using RouteKind::ThenOnSuccess;
namespace Code = CommandCode;

} // namespace

std::span<const CommandRoute> CommandRoutes()
{
    // clang-format off
    static const std::vector<CommandRoute> routes = {
        { Code::Next, Single, { CurrentPatient } },
        { Code::First, Single, { CurrentPatient } },
        { Code::Previous, Single, { CurrentPatient } },
        { Code::Last, Single, { CurrentPatient } },
        { Code::NewPatient, Single, { CurrentPatient } },
        { Code::DeletePatient, Single, { CurrentPatient } },
        { Code::FindPatient, Single, { CurrentPatient } },
        { Code::ChiefComplaintsClick, Single, { ChiefComplaints } },
        { Code::PatientPicture, Single, { PatientPicture } },
        { Code::TreatmentGrid, Single, { Notes } },
        { Code::TreatmentLineAdd, Single, { Notes } },
        { Code::TreatmentLineRemove, Single, { Notes } },
        { Code::TreatmentDateToggle, Single, { Notes } },
        { Code::DuePaymentsList, Single, { DuePayments } },
        { Code::PaymentsList, Single, { Payments } },
        { Code::MedicalHistory, Single, { MedicalHistory } },
        { Code::Questionnaire, Single, { Questionnaires } },
        { Code::MedicalHistoryOk, Single, { MedicalHistory } },
        { Code::MedicalHistoryCancel, Single, { MedicalHistory } },
        { Code::QuestionnaireOk, Single, { Questionnaires } },
        { Code::QuestionnaireCancel, Single, { Questionnaires } },
        { Code::NotesCommand, Single, { Notes } },
        { Code::DuePaymentsCommand, Single, { DuePayments } },
        { Code::MonthlyFee, Single, { MonthlyFee } },
        { Code::LinkedAccount, Single, { CurrentPatient } },
        { Code::SavePatient, Single, { CurrentPatient } },
        { Code::ChiefComplaintsDoubleClick, Single, { ChiefComplaints } },
        { Code::ImportDocument, Single, { Documents } },
        { Code::DocumentsDropped, Single, { Documents } },
        { Code::OpenDocument, Single, { Documents } },
        { Code::MediaTransport, Single, { Media } },
        { Code::PrescriptionStatus, ThenOnSuccess, { Prescriptions, Payments, Notes } },
        { Code::Remedies, Single, { Remedies } },
        { Code::FileDropped, Single, { PatientPicture } },
        { Code::CallPhone, ThenOnSuccess, { Phones, Notes } },
        { Code::PhoneChoice, Single, { Phones } },
        { Code::EmailChoice, Single, { Emails } },
        { Code::MailTo, Single, { Emails } },
        { Code::ChiefComplaintsButton, Single, { ChiefComplaints } },
        { Code::Orders, SavePatientFirst, { Orders } },
        { Code::OrdersCommand, Single, { Orders } },
        { Code::Providers, Single, { Providers } },
        { Code::PaymentsCommand, Single, { Payments } },
        { Code::StocksFromRemedies, Single, { Stocks } },
        { Code::Reports, Single, { Reports } },
        { Code::OrderDetails, Single, { Orders } },
        { Code::OfficeData, Single, { OfficeData } },
        { Code::Stocks, Single, { Stocks } },
        { Code::RemedyProviderChosen, Single, { Remedies } },
        { Code::PrescriptionsCommand, Single, { Prescriptions } },
        { Code::Clipboard, Single, { Notes } },
        { Code::Options, Single, { Configuration } },
        { Code::Print, Single, { Notes } },
        { Code::RadarRequest, Single, { RadarLink } },
        { Code::AddKeyword, Single, { Rubrics } },
        { Code::RubricsListClicked, Single, { Rubrics } },
        { Code::PickPhrase, Single, { Notes } },
        { Code::WellnessShowAll, Single, { Wellness } },
        { Code::WellnessCurrentGraph, Single, { Wellness } },
        { Code::WellnessGraphVisible, Single, { Wellness } },
        { Code::MediaPause, Single, { Media } },
        { Code::Appointments, Single, { Appointments } },
        { Code::MediaResizeVideo, Single, { Media } },
        { Code::DynamicQuestionnaireButton, Single, { DynamicQuestionnaire } },
        { Code::InvoiceNew, Single, { Invoices } },
        { Code::InvoiceDetails, Single, { Invoices } },
        { Code::InvoicePreview, Single, { Invoices } },
        { Code::InvoiceDelete, Single, { Invoices } },
        { Code::InvoiceTemplates, Single, { Invoices } },
        { Code::InvoiceExportPdf, Single, { Invoices } },
        { Code::DeleteDocument, Single, { Documents } },
        { Code::CustomFields, Single, { CustomFields } },
        { Code::InsertImageAsked, Single, { ImageInsertion } },
        { Code::ImportMediaAsked, Single, { Media } },
        { Code::RestoreBackup, Single, { PracticeData } },
        { Code::CheckDatabase, Single, { PracticeData } },
        { Code::ExportPractice, SavePatientFirst, { PracticeData } },
        { Code::ImportPractice, Single, { PracticeData } },
        { Code::MovePracticeToServer, SavePatientFirst, { PracticeData } },
    };
    // clang-format on
    return routes;
}

const CommandRoute *FindRoute(int code)
{
    const auto routes = CommandRoutes();
    const auto found = std::find_if(
        routes.begin(), routes.end(), [code](const CommandRoute &route) { return route.code == code; });
    return found == routes.end() ? nullptr : &*found;
}

std::span<const Owner> PendingOwners()
{
    // The areas still to come; each leaves this list when it is installed.
    // Every area is installed now.
    return {};
}

bool IsPending(Owner owner)
{
    const auto pending = PendingOwners();
    return std::find(pending.begin(), pending.end(), owner) != pending.end();
}

std::span<const int> PendingCodes()
{
    // Codes of installed owners whose handling is still to come: the notes
    // command 22.
    static const int pending[] = {
        Code::NotesCommand,
    };
    return pending;
}

bool IsPendingCode(int code)
{
    const auto pending = PendingCodes();
    return std::find(pending.begin(), pending.end(), code) != pending.end();
}

QString OwnerName(Owner owner)
{
    switch (owner) {
    case CurrentPatient:
        return QStringLiteral("current patient");
    case ChiefComplaints:
        return QStringLiteral("chief complaints");
    case PatientPicture:
        return QStringLiteral("patient picture");
    case Notes:
        return QStringLiteral("notes");
    case DuePayments:
        return QStringLiteral("due payments");
    case Payments:
        return QStringLiteral("payments");
    case MedicalHistory:
        return QStringLiteral("medical history");
    case Questionnaires:
        return QStringLiteral("questionnaires");
    case MonthlyFee:
        return QStringLiteral("monthly fee");
    case Documents:
        return QStringLiteral("documents");
    case Media:
        return QStringLiteral("media");
    case Prescriptions:
        return QStringLiteral("prescriptions");
    case Remedies:
        return QStringLiteral("remedies");
    case Phones:
        return QStringLiteral("phones");
    case Emails:
        return QStringLiteral("e-mails");
    case Orders:
        return QStringLiteral("orders");
    case Providers:
        return QStringLiteral("providers");
    case Stocks:
        return QStringLiteral("stocks");
    case Reports:
        return QStringLiteral("reports");
    case OfficeData:
        return QStringLiteral("office data");
    case Configuration:
        return QStringLiteral("configuration");
    case RadarLink:
        return QStringLiteral("repertory link");
    case Rubrics:
        return QStringLiteral("possible rubrics");
    case Wellness:
        return QStringLiteral("wellness");
    case Appointments:
        return QStringLiteral("appointments");
    case Invoices:
        return QStringLiteral("invoices");
    case CustomFields:
        return QStringLiteral("custom fields");
    case DynamicQuestionnaire:
        return QStringLiteral("dynamic questionnaire");
    case ImageInsertion:
        return QStringLiteral("image insertion");
    case PracticeData:
        return QStringLiteral("practice data");
    }
    return QString();
}

bool LogicRoutes::Own(Owner owner, ILogicObject *object)
{
    for (Entry &entry : m_entries) {
        if (entry.owner == owner) {
            ++entry.claims;
            return false;
        }
    }
    m_entries.push_back({ owner, object, 1 });
    return true;
}

void LogicRoutes::Forget(Owner owner)
{
    std::erase_if(m_entries, [owner](const Entry &entry) { return entry.owner == owner; });
}

void LogicRoutes::Clear()
{
    m_entries.clear();
}

ILogicObject *LogicRoutes::Target(Owner owner) const
{
    for (const Entry &entry : m_entries) {
        if (entry.owner == owner)
            return entry.object;
    }
    return nullptr;
}

int LogicRoutes::Claims(Owner owner) const
{
    for (const Entry &entry : m_entries) {
        if (entry.owner == owner)
            return entry.claims;
    }
    return 0;
}
