#pragma once

#include "core/LogicCommand.h"
#include "core/LogicServices.h"
#include "core/RecordAccess.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QString>

// The practice's own particulars and its two sales-tax rates (percent).
struct OfficeRecord
{
    QString name;
    QString address;
    QString postalCode;
    QString state;
    QString country;
    QString officePhone;
    QString homePhone;
    QString fax;
    QString email;
    QString emailFooter;
    double tax1 = 0.0;
    double tax2 = 0.0;
};

// The one-row table OFFICE_DATA: its record, its getters for the e-mail and
// charge code, and the "Office data" dialog (command 56).
class CLogicOfficeData : public ILogicObject, public LogicServiceUser
{
    Q_DECLARE_TR_FUNCTIONS(CLogicOfficeData)

public:
    enum class Direction { Read, Write };

    explicit CLogicOfficeData(Korbel::IDataSource *source);

    // Opens OFFICE_DATA on its first row, creating an empty row when the table
    // has none; true when a row is current.
    bool Open();
    void Close();

    // Read: copies every field into the record. Write: stores every field of
    // the record (rates as "%.2f") and commits.
    bool Exchange(OfficeRecord &record, Direction direction);

    QString GetName();
    QString GetEmail();
    QString GetEmailFooter();
    // False when the rate cannot be read; the caller then leaves that tax at 0.
    bool GetTax1(double *rate);
    bool GetTax2(double *rate);

    // The stored form of a rate: two decimals, '.' as the decimal point.
    static QString RateText(double rate);

    // 56: shows the "Office data" dialog over command.control's window.
    int OnCommand(LogicCommand &command) override;

private:
    bool readRate(const QString &field, double *rate);

    Korbel::IDataSource *m_pSource;
    Records::TablePtr m_pOfficeData;
    OfficeRecord m_record;
};
