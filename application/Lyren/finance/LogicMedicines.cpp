#include "finance/LogicMedicines.h"

#include "common/Identifiers.h"
#include "common/Money.h"

namespace {
const QString kTable = QStringLiteral("MEDICINES");
const QString kName = QStringLiteral("NAME");
const QString kPrice = QStringLiteral("PRICE");
const QString kProviderPrice = QStringLiteral("PROVIDER_PRICE");
const QString kProviderId = QStringLiteral("PROVIDER_ID");
} // namespace

CLogicMedicines::CLogicMedicines(Korbel::IDataSource *source)
    : CReferenceRecordSet(source, kTable, kName, kName)
{ }

CLogicMedicines::~CLogicMedicines() = default;

bool CLogicMedicines::GetName(qint64 id, QString *name)
{
    return Lookup(id, name);
}

bool CLogicMedicines::GetPrice(qint64 id, double *price)
{
    if (!Finance::LocateId(Table(), id))
        return false;
    bool ok = false;
    const QString text = Finance::ReadText(Table(), kPrice, &ok);
    if (ok && price)
        *price = Verdanta::MoneyFromStorageText(text);
    return ok;
}

bool CLogicMedicines::LoadProviders()
{
    m_providerNames = QStringList { NoProvider() };
    m_providerMap.clear();
    Finance::TablePtr providers = Finance::OpenOrdered(Source(), QStringLiteral("PROVIDERS"), kName);
    if (!providers)
        return false;
    Finance::FieldPtr id = Finance::OpenField(providers.get(), QStringLiteral("ID"));
    Finance::FieldPtr name = Finance::OpenField(providers.get(), kName);
    if (!id || !name)
        return false;
    for (int ok = providers->Move(Korbel::MoveFirst); ok == 1; ok = providers->Move(Korbel::MoveNext)) {
        const QString providerName = name->GetAsString();
        m_providerNames.append(providerName);
        m_providerMap.emplace(Verdanta::ParseId(id->GetAsString()), providerName);
    }
    return true;
}

bool CLogicMedicines::GetProviderId(const QString &providerName, qint64 *id) const
{
    if (providerName == NoProvider()) {
        *id = 0;
        return true;
    }
    // The map is searched by name; of two providers with the same name the
    // one with the lower key wins.
    for (const auto &[providerId, name] : m_providerMap) {
        if (name == providerName) {
            *id = providerId;
            return true;
        }
    }
    return false;
}

QString CLogicMedicines::GetProviderName(qint64 id) const
{
    const auto it = m_providerMap.find(id);
    return it == m_providerMap.end() ? QString() : it->second;
}

bool CLogicMedicines::LoadRemedyMap()
{
    m_remedyMap.clear();
    Korbel::ITable *table = Table();
    if (!table)
        return false;
    Finance::FieldPtr id = Finance::OpenField(table, QStringLiteral("ID"));
    Finance::FieldPtr name = Finance::OpenField(table, kName);
    Finance::FieldPtr provider = Finance::OpenField(table, kProviderId);
    Finance::FieldPtr providerPrice = Finance::OpenField(table, kProviderPrice);
    if (!id || !name || !provider || !providerPrice)
        return false;
    m_remedyMap.reserve(static_cast<size_t>(table->RecordCount()));
    for (int ok = table->Move(Korbel::MoveFirst); ok == 1; ok = table->Move(Korbel::MoveNext)) {
        m_remedyMap[Verdanta::ParseId(id->GetAsString())]
            = RemedyInfo { name->GetAsString(), Verdanta::ParseId(provider->GetAsString()),
                  Verdanta::MoneyFromStorageText(providerPrice->GetAsString()) };
    }
    return true;
}

int CLogicMedicines::OnCommand(LogicCommand &command)
{
    Q_UNUSED(command);
    return 0;
}
