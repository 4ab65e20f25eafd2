#include "finance/LogicProviders.h"

namespace {
const QString kTable = QStringLiteral("PROVIDERS");
const QString kName = QStringLiteral("NAME");
const QString kEmail = QStringLiteral("EMAIL");
} // namespace

CLogicProviders::CLogicProviders(Korbel::IDataSource *source)
    : CReferenceRecordSet(source, kTable, kName, kName)
{ }

CLogicProviders::~CLogicProviders() = default;

bool CLogicProviders::GetName(qint64 id, QString *name)
{
    return Lookup(id, name);
}

bool CLogicProviders::GetNameAndEmail(qint64 id, QString *name, QString *email)
{
    if (!GetName(id, name))
        return false;
    bool ok = false;
    const QString text = Finance::ReadText(Table(), kEmail, &ok);
    if (ok && email)
        *email = text;
    return ok;
}

int CLogicProviders::OnCommand(LogicCommand &command)
{
    Q_UNUSED(command);
    return 0;
}
