#include "patients/forms/CLogicIntakeForm.h"

#include "core/LogicServices.h"

#include "common/Identifiers.h"

using Korbel::IField;
using Korbel::ITable;
using Korbel::ReleasePtr;

namespace {

const QString CustomerRef = QStringLiteral("CUSTOMER_REF");

QString FieldText(ITable *table, const QString &name)
{
    IField *field = nullptr;
    if (!table || !table->GetField(name, &field) || !field)
        return {};
    ReleasePtr<IField> guard(field);
    field->Refresh();
    return field->GetAsString();
}

bool SetFieldText(ITable *table, const QString &name, const QString &text)
{
    IField *field = nullptr;
    if (!table->GetField(name, &field) || !field)
        return false;
    ReleasePtr<IField> guard(field);
    return field->SetFromString(text);
}

} // namespace

CLogicIntakeForm::CLogicIntakeForm(
    Korbel::IDataSource *source, ITable *main, QStringList tableNames, Codes codes)
    : m_pDataSource(source)
    , m_pMain(main)
    , m_tableNames(std::move(tableNames))
    , m_codes(codes)
{ }

CLogicIntakeForm::~CLogicIntakeForm()
{
    Close();
}

void CLogicIntakeForm::Attach(Korbel::IDataSource *source, ITable *main)
{
    Close();
    m_pDataSource = source;
    m_pMain = main;
}

int CLogicIntakeForm::OnCommand(LogicCommand &command)
{
    if (command.code == m_codes.open)
        return ShowDialog(command);
    if (command.code == m_codes.ok)
        return Commit();
    if (command.code == m_codes.cancel)
        return Cancel();
    return 0;
}

QString CLogicIntakeForm::CurrentPatientId() const
{
    const qint64 id = Verdanta::ParseId(FieldText(m_pMain, QStringLiteral("ID")));
    return id > 0 ? Verdanta::FormatId(id) : QString();
}

ReleasePtr<ITable> CLogicIntakeForm::QueryPatientRows(const QString &table, const QString &patientId) const
{
    if (!m_pDataSource)
        return nullptr;
    ReleasePtr<Korbel::IQuery> query(m_pDataSource->CreateQuery());
    if (!query)
        return nullptr;
    query->SetTable(table);
    query->Where(CustomerRef, Korbel::Compare::Equal, patientId);
    return ReleasePtr<ITable>(query->Open());
}

int CLogicIntakeForm::Open()
{
    Close();
    const QString patientId = CurrentPatientId();
    if (patientId.isEmpty())
        return 0;

    for (const QString &name : m_tableNames) {
        ReleasePtr<ITable> table = QueryPatientRows(name, patientId);
        bool ready = false;
        if (table) {
            // A patient has at most one row; should older data hold several,
            // the first one is shown.
            if (table->Move(Korbel::MoveFirst) == 1)
                ready = table->Edit() == 1;
            else
                ready = table->AddNew() != 0 && SetFieldText(table.get(), CustomerRef, patientId);
        }
        if (!ready) {
            Close();
            return 0;
        }
        m_tables.push_back(std::move(table));
    }
    return 1;
}

int CLogicIntakeForm::Commit()
{
    if (m_tables.empty())
        return 0;
    int result = 1;
    for (const ReleasePtr<ITable> &table : m_tables) {
        if (!table->IsEditing() && table->Edit() != 1) {
            result = 0;
            continue;
        }
        if (!table->Update())
            result = 0;
    }
    return result;
}

int CLogicIntakeForm::Cancel()
{
    for (const ReleasePtr<ITable> &table : m_tables)
        table->CancelUpdate();
    return 1;
}

void CLogicIntakeForm::Close()
{
    Cancel();
    m_tables.clear();
}

bool CLogicIntakeForm::BindFormField(const QString &table, const QString &field, QObject *control)
{
    for (size_t i = 0; i < m_tables.size(); ++i) {
        if (m_tableNames[static_cast<int>(i)].compare(table, Qt::CaseInsensitive) != 0)
            continue;
        IField *bound = nullptr;
        if (!m_tables[i]->GetField(field, &bound) || !bound)
            return false;
        ReleasePtr<IField> guard(bound);
        return bound->BindControl(control, 1);
    }
    return false;
}

int CLogicIntakeForm::Dispatch(LogicCommand &command)
{
    if (m_commandSink)
        return m_commandSink(command);
    if (command.code == m_codes.ok || command.code == m_codes.cancel)
        return OnCommand(command);
    return 0;
}

int CLogicIntakeForm::ShowDialog(const LogicCommand &command)
{
    // The dialog is modal; a second open while it runs would pull the rows
    // from under it.
    IFormDialogs *dialogs = m_pDialogs ? m_pDialogs
        : m_pServices                  ? m_pServices->Get<IFormDialogs>()
                                       : nullptr;
    if (m_bDialogOpen || !dialogs || !Open())
        return 0;

    QWidget *parent = command.window ? command.window : m_pParentWindow;
    m_bDialogOpen = true;
    dialogs->Show(Form(), parent, this, [this](LogicCommand &sent) { return Dispatch(sent); });
    m_bDialogOpen = false;
    // Whatever way the dialog went, nothing is left pending.
    Close();
    return 1;
}

int CLogicIntakeForm::DeletePatientRows()
{
    Close();
    const QString patientId = CurrentPatientId();
    if (patientId.isEmpty())
        return 0;
    int result = 1;
    for (const QString &name : m_tableNames) {
        ReleasePtr<ITable> table = QueryPatientRows(name, patientId);
        if (!table) {
            result = 0;
            continue;
        }
        while (table->Move(Korbel::MoveFirst) == 1) {
            if (table->Delete() <= 0) {
                result = 0;
                break;
            }
        }
    }
    return result;
}
