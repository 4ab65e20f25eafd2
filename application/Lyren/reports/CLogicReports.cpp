#include "reports/CLogicReports.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "core/RecordAccess.h"
#include "core/Transaction.h"
#include "patients/CLogicDynamicFields.h"

#include "Korbel/ReadQuery.h"
#include "common/Identifiers.h"
#include "desktop/Prompts.h"

#include <QtCore/QDateTime>
#include <QtCore/QDebug>

namespace {

using Reports::Ask;

// The menu groups: which report IDs each offers and how its entries are
// numbered. The appointment reports have IDs of their own (2 and 3) that the
// three practice groups leave out; they get a group of their own so that the
// others keep their numbers.
struct MenuGroup
{
    const char *title;
    const char *format;
    std::initializer_list<int> ids;
};

const MenuGroup kGroups[] = {
    { QT_TRANSLATE_NOOP("CLogicReports", "General"), "G%1. %2", { 5, 7, 10, 11, 12, 15, 18 } },
    { QT_TRANSLATE_NOOP("CLogicReports", "Finance"), "F%1. %2", { 1, 6, 13, 16 } },
    { QT_TRANSLATE_NOOP("CLogicReports", "Operation"), "O%1. %2", { 4, 8, 9, 14 } },
    { QT_TRANSLATE_NOOP("CLogicReports", "Appointments"), "A%1. %2", { 2, 3 } },
};

const QString kName = QStringLiteral("NAME");

QDate ReadDate(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return value.toDate();
}

std::vector<Reports::Choice> ReadChoices(Korbel::IDataSource *source, const QString &sql)
{
    std::vector<Reports::Choice> choices;
    Korbel::ReadResult result;
    if (Korbel::RunReadQuery(source, sql, {}, &result)) {
        for (const QVariantList &row : result.rows)
            choices.push_back({ row.value(0).toLongLong(), row.value(1).toString() });
    }
    return choices;
}

} // namespace

CLogicReports::CLogicReports(LogicContext &context)
    : m_context(context)
{
    Korbel::SetStoredQueryHandler(context.DataSource(),
        [this](Korbel::IDataSource *, const QString &name, const QString &) { return Preview(name); });
}

CLogicReports::~CLogicReports()
{
    Korbel::SetStoredQueryHandler(m_context.DataSource(), {});
}

int CLogicReports::OnCommand(LogicCommand &command)
{
    if (command.code != CommandCode::Reports)
        return 0;
    return ShowMenu(command.window, command.control) ? 1 : 0;
}

Korbel::ITable *CLogicReports::ReportsTable()
{
    if (!m_pReports && m_context.DataSource())
        m_pReports.reset(m_context.DataSource()->OpenTable(QStringLiteral("REPORTS")));
    return m_pReports.get();
}

Reports::Menu CLogicReports::BuildMenu()
{
    Reports::Menu menu;
    for (const MenuGroup &group : kGroups)
        menu.groups.push_back({ tr(group.title), {} });
    m_names.clear();
    Korbel::ITable *table = ReportsTable();
    if (!table)
        return menu;
    for (int more = table->Move(Korbel::MoveFirst); more == 1; more = table->Move(Korbel::MoveNext)) {
        const int id = static_cast<int>(Verdanta::ParseId(Records::ReadText(table, QStringLiteral("ID"))));
        const QString name = Records::ReadText(table, kName);
        const QString description = Records::ReadText(table, QStringLiteral("DESCRIPTION"));
        m_names[id] = name;
        for (size_t g = 0; g < std::size(kGroups); ++g) {
            const auto &ids = kGroups[g].ids;
            if (std::find(ids.begin(), ids.end(), id) == ids.end())
                continue;
            auto &entries = menu.groups[g].entries;
            entries.push_back({ id,
                QString::fromLatin1(kGroups[g].format)
                    .arg(static_cast<int>(entries.size()) + 1)
                    .arg(description) });
        }
    }
    return menu;
}

bool CLogicReports::ShowMenu(QWidget *window, QObject *anchor)
{
    Reports::IPresenter *presenter = Presenter();
    if (!presenter)
        return false;
    const Reports::Menu menu = BuildMenu();
    const int chosen = presenter->ChooseReport(window, anchor, menu);
    const auto found = m_names.find(chosen);
    if (chosen == 0 || found == m_names.end())
        return false;
    return RunChosen(found->second, window);
}

bool CLogicReports::RunChosen(const QString &name, QWidget *window)
{
    if (Reports::AskFor(name) != Ask::Nothing)
        return Run(name, window);
    return RunStoredQuery(name, window);
}

bool CLogicReports::LocateReport(const QString &name)
{
    Korbel::ITable *table = ReportsTable();
    return table && table->Locate(kName, Korbel::LocateEqual, name) == 1
        && Records::ReadText(table, kName) == name;
}

bool CLogicReports::ReadParameters(const QString &name, Reports::Parameters *parameters, QString *description)
{
    if (!LocateReport(name))
        return false;
    Korbel::ITable *table = ReportsTable();
    auto value = [table](const char *field) {
        const Records::FieldPtr f = Records::OpenField(table, QString::fromLatin1(field));
        return f ? f->GetValue() : QVariant();
    };
    parameters->date = ReadDate(value("DATE_PARAM1"));
    parameters->flag = value("BOOL_PARAM1").toBool();
    parameters->int1 = static_cast<int>(value("INT_PARAM1").toLongLong());
    parameters->int2 = static_cast<int>(value("INT_PARAM2").toLongLong());
    parameters->amount = Verdanta::Money::FromDouble(value("CURR_PARAM1").toDouble());
    parameters->long1 = value("LONG_INT_PARAM1").toLongLong();
    parameters->long2 = value("LONG_INT_PARAM2").toLongLong();
    parameters->str1 = value("STR_PARAM1").toString();
    parameters->str2 = value("STR_PARAM2").toString();
    if (description)
        *description = Records::ReadText(table, QStringLiteral("DESCRIPTION"));
    return true;
}

QStringList CLogicReports::CustomFieldNames()
{
    // The fields of the dictionary, and the names patients still carry values
    // for (a field taken out of the dictionary keeps its values).
    QStringList names;
    if (const auto *fields = Service<CLogicDynamicFields>())
        names = fields->Dictionary().Names();
    Korbel::ReadResult result;
    if (Korbel::RunReadQuery(m_context.DataSource(),
            QStringLiteral("SELECT DISTINCT NAME FROM DYNAMIC_FIELDS WHERE NAME IS NOT NULL ORDER BY NAME"),
            {}, &result)) {
        for (const QVariantList &row : result.rows) {
            const QString name = row.value(0).toString();
            if (!name.trimmed().isEmpty() && !names.contains(name))
                names << name;
        }
    }
    return names;
}

Reports::Choices CLogicReports::ChoicesFor(Ask ask)
{
    Reports::Choices choices;
    if (ask == Ask::Remedy) {
        choices.remedies = ReadChoices(m_context.DataSource(),
            QStringLiteral("SELECT ID, NAME FROM MEDICINES ORDER BY lower(NAME), ID"));
        choices.dilutions = ReadChoices(m_context.DataSource(),
            QStringLiteral("SELECT ID, VALUE FROM DILUTION ORDER BY lower(VALUE), ID"));
    } else if (ask == Ask::CustomField) {
        choices.customFields = CustomFieldNames();
    }
    return choices;
}

bool CLogicReports::StoreParameters(Ask ask, const Reports::Parameters &p)
{
    Korbel::ITable *table = ReportsTable();
    ScopedTransaction transaction(m_context.DataSource());
    if (!transaction.IsActive() || table->Edit() != 1)
        return false;
    auto set = [table](const char *field, const QVariant &value) {
        const Records::FieldPtr f = Records::OpenField(table, QString::fromLatin1(field));
        return f && f->SetValue(value);
    };
    bool written = true;
    switch (ask) {
    case Ask::DateAfter:
    case Ask::DateBefore:
        written = set("DATE_PARAM1", QDateTime(p.date, QTime(0, 0)));
        break;
    case Ask::Gender:
        written = set("BOOL_PARAM1", p.flag);
        break;
    case Ask::AgeRange:
        written = set("INT_PARAM1", qint64(p.int1)) && set("INT_PARAM2", qint64(p.int2));
        break;
    case Ask::DateAndAmount:
        // The amount keeps its cents.
        written
            = set("DATE_PARAM1", QDateTime(p.date, QTime(0, 0))) && set("CURR_PARAM1", p.amount.ToDouble());
        break;
    case Ask::Remedy:
        written = set("LONG_INT_PARAM1", p.long1) && set("LONG_INT_PARAM2", p.long2);
        break;
    case Ask::CustomField:
        written = set("STR_PARAM1", p.str1) && set("STR_PARAM2", p.str2);
        break;
    case Ask::Nothing:
        break;
    }
    if (!written) {
        table->CancelUpdate();
        return false;
    }
    return table->Update() != 0 && transaction.Commit();
}

bool CLogicReports::Run(const QString &name, QWidget *window)
{
    Reports::Parameters parameters;
    if (!ReadParameters(name, &parameters))
        return false;
    Reports::IPresenter *presenter = Presenter();
    if (!presenter)
        return false;
    const Ask ask = Reports::AskFor(name);
    const Reports::Choices choices = ChoicesFor(ask);
    if (ask == Ask::CustomField && choices.customFields.isEmpty()) {
        Desktop::Inform(window, NoCustomFields());
        return false;
    }
    if (!parameters.date.isValid())
        parameters.date = QDate::currentDate();
    if (!presenter->AskParameters(window, ask, choices, &parameters))
        return false;
    // The dialog may have moved nothing, but the row must be current again.
    if (!LocateReport(name) || !StoreParameters(ask, parameters)) {
        Desktop::Inform(window, PreviewError(), Desktop::Icon::Error);
        return false;
    }
    return RunStoredQuery(name, window);
}

bool CLogicReports::RunStoredQuery(const QString &name, QWidget *window)
{
    // The preview the stored query opens belongs to the window of the command.
    m_pWindow = window;
    Korbel::IDataSource *source = m_context.DataSource();
    const bool previewed = source && source->RunStoredQuery(name, QString());
    m_pWindow = nullptr;
    if (!previewed)
        Desktop::Inform(window, PreviewError(), Desktop::Icon::Error);
    return previewed;
}

bool CLogicReports::Preview(const QString &name)
{
    Reports::IPresenter *presenter = Presenter();
    Reports::Parameters parameters;
    QString description;
    if (!presenter || !Reports::IsReport(name) || !ReadParameters(name, &parameters, &description))
        return false;
    Reports::Sources sources;
    sources.data = m_context.DataSource();
    sources.appointmentsPath = m_context.Folders().GetConsultationsPath();
    sources.now = QDateTime::currentDateTime();
    auto table = std::make_shared<Reports::Table>();
    QString error;
    if (!Reports::BuildReport(name, parameters, sources, table.get(), &error)) {
        qWarning().noquote() << "CLogicReports::Preview()" << name << "could not be built:" << error;
        return false;
    }
    if (!description.trimmed().isEmpty())
        table->title = description.trimmed();
    presenter->ShowPreview(m_pWindow, std::move(table));
    return true;
}
