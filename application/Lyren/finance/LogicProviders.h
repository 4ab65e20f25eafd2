#pragma once

#include "core/LogicCommand.h"
#include "core/LogicServices.h"
#include "finance/ReferenceList.h"
#include "finance/ReferenceRecordSet.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QString>

// The providers remedies are ordered from (PROVIDERS, in name order), and
// the providers list of the "Providers" dialog (command 49).
class CLogicProviders : public CReferenceRecordSet,
                        public ILogicObject,
                        public CReferenceListLogic,
                        public LogicServiceUser
{
    Q_DECLARE_TR_FUNCTIONS(CLogicProviders)

public:
    explicit CLogicProviders(Korbel::IDataSource *source);
    ~CLogicProviders() override;

    // Open() gives the providers in name order; First/Next walk them.
    bool GetName(qint64 id, QString *name);
    // The recipient of an order.
    bool GetNameAndEmail(qint64 id, QString *name, QString *email);

    // The providers list (SetList).
    bool FillList();
    bool AddOrModify() override;

    enum Column { NameColumn, AddressColumn, EmailColumn, DescriptionColumn };

    // 49: shows "Providers" over command.control's window.
    int OnCommand(LogicCommand &command) override;

protected:
    QStringList ListHeadings() const override;
    QString DeleteQuestion() const override;
    Korbel::ITable *ListTable() const override { return Table(); }

private:
    void fillRow(int row);
};
