#pragma once

#include "finance/ReferenceRecordSet.h"
#include "shell/LogicCommand.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QString>

// The providers remedies are ordered from (PROVIDERS, in name order).
class CLogicProviders : public CReferenceRecordSet, public ILogicObject
{
    Q_DECLARE_TR_FUNCTIONS(CLogicProviders)

public:
    explicit CLogicProviders(Korbel::IDataSource *source);
    ~CLogicProviders() override;

    // Open() gives the providers in name order; First/Next walk them.
    bool GetName(qint64 id, QString *name);
    // The recipient of an order.
    bool GetNameAndEmail(qint64 id, QString *name, QString *email);

    int OnCommand(LogicCommand &command) override;
};
