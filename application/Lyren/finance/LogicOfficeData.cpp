#include "finance/LogicOfficeData.h"
#include "core/CommandCodes.h"

#include "finance/ReferenceDialogs.h"

#include "common/Identifiers.h"

namespace {

const QString kTable = QStringLiteral("OFFICE_DATA");
const QString kTax1 = QStringLiteral("TAX1");
const QString kTax2 = QStringLiteral("TAX2");

// The text fields of the table and their places in the record.
struct TextField
{
    const char *name;
    QString OfficeRecord::*member;
};
const TextField kTextFields[] = {
    { "NAME", &OfficeRecord::name },
    { "ADDRESS", &OfficeRecord::address },
    { "POSTAL_CODE", &OfficeRecord::postalCode },
    { "STATE", &OfficeRecord::state },
    { "COUNTRY", &OfficeRecord::country },
    { "OFFICE_PHONE", &OfficeRecord::officePhone },
    { "HOME_PHONE", &OfficeRecord::homePhone },
    { "FAX", &OfficeRecord::fax },
    { "EMAIL", &OfficeRecord::email },
    { "EMAIL_FOOTER", &OfficeRecord::emailFooter },
};

} // namespace

CLogicOfficeData::CLogicOfficeData(Korbel::IDataSource *source)
    : m_pSource(source)
{ }

bool CLogicOfficeData::Open()
{
    m_pOfficeData = Records::OpenOrdered(m_pSource, kTable, QString());
    if (!m_pOfficeData)
        return false;
    if (m_pOfficeData->Move(Korbel::MoveFirst) == 1)
        return true;
    if (!Records::BeginAddOrEdit(m_pOfficeData.get(), true, 0)
        || !Records::FinishWrite(m_pOfficeData.get(), true))
        return false;
    return m_pOfficeData->CurrentPosition() >= 0;
}

void CLogicOfficeData::Close()
{
    m_pOfficeData.reset();
}

bool CLogicOfficeData::Exchange(OfficeRecord &record, Direction direction)
{
    Korbel::ITable *table = m_pOfficeData.get();
    if (!table || table->CurrentPosition() < 0)
        return false;
    if (direction == Direction::Read) {
        bool ok = true;
        for (const TextField &field : kTextFields) {
            bool read = false;
            record.*field.member = Records::ReadText(table, QString::fromLatin1(field.name), &read);
            ok = ok && read;
        }
        record.tax1 = Verdanta::AtoF(Records::ReadText(table, kTax1));
        record.tax2 = Verdanta::AtoF(Records::ReadText(table, kTax2));
        return ok;
    }

    if (table->Edit() != 1)
        return false;
    bool ok = true;
    for (const TextField &field : kTextFields)
        ok = Records::WriteText(table, QString::fromLatin1(field.name), record.*field.member) && ok;
    ok = Records::WriteText(table, kTax1, RateText(record.tax1)) && ok;
    ok = Records::WriteText(table, kTax2, RateText(record.tax2)) && ok;
    // A record that could not be written whole is not stored in part.
    return Records::FinishWrite(table, ok);
}

QString CLogicOfficeData::GetName()
{
    return Records::ReadText(m_pOfficeData.get(), QStringLiteral("NAME"));
}

QString CLogicOfficeData::GetEmail()
{
    return Records::ReadText(m_pOfficeData.get(), QStringLiteral("EMAIL"));
}

QString CLogicOfficeData::GetEmailFooter()
{
    return Records::ReadText(m_pOfficeData.get(), QStringLiteral("EMAIL_FOOTER"));
}

bool CLogicOfficeData::readRate(const QString &field, double *rate)
{
    bool ok = false;
    const QString text = Records::ReadText(m_pOfficeData.get(), field, &ok);
    if (!ok)
        return false;
    if (rate)
        *rate = Verdanta::AtoF(text);
    return true;
}

bool CLogicOfficeData::GetTax1(double *rate)
{
    return readRate(kTax1, rate);
}

bool CLogicOfficeData::GetTax2(double *rate)
{
    return readRate(kTax2, rate);
}

QString CLogicOfficeData::RateText(double rate)
{
    return QString::asprintf("%.2f", rate);
}

int CLogicOfficeData::OnCommand(LogicCommand &command)
{
    if (command.code != CommandCode::OfficeData)
        return 0;
    if (!m_pOfficeData && !Open())
        return 0;
    if (!Exchange(m_record, Direction::Read))
        return 0;
    IReferenceDialogs *dialogs = Service<IReferenceDialogs>();
    if (!dialogs || !dialogs->EditOfficeData(command.window, &m_record))
        return 0;
    return Exchange(m_record, Direction::Write) ? 1 : 0;
}
