#include "finance/ReferenceRecordSet.h"

CReferenceRecordSet::CReferenceRecordSet(
    Korbel::IDataSource *source, QString table, QString orderBy, QString textField)
    : m_pSource(source)
    , m_table(std::move(table))
    , m_orderBy(std::move(orderBy))
    , m_textField(std::move(textField))
{ }

bool CReferenceRecordSet::Open()
{
    m_pTable.reset();
    m_pTable = Records::OpenOrdered(m_pSource, m_table, m_orderBy);
    return IsOpen();
}

void CReferenceRecordSet::Close()
{
    m_pTable.reset();
}

bool CReferenceRecordSet::First(qint64 *id, QString *text)
{
    return Records::MoveAndRead(m_pTable.get(), Korbel::MoveFirst, m_textField, id, text);
}

bool CReferenceRecordSet::Next(qint64 *id, QString *text)
{
    return Records::MoveAndRead(m_pTable.get(), Korbel::MoveNext, m_textField, id, text);
}

bool CReferenceRecordSet::Lookup(qint64 id, QString *text)
{
    return Records::LocateId(m_pTable.get(), id)
        && Records::ReadKeyAndText(m_pTable.get(), m_textField, nullptr, text);
}
