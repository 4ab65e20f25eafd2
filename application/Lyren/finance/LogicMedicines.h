#pragma once

#include "finance/ReferenceRecordSet.h"
#include "shell/LogicCommand.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <map>
#include <unordered_map>

// What order generation needs to know of a remedy.
struct RemedyInfo
{
    QString name;
    qint64 providerId = 0;
    double providerPrice = 0.0;
};
using RemedyMap = std::unordered_map<qint64, RemedyInfo>;

// The remedies the practice prescribes and sells (MEDICINES, in name order),
// with the lookups the rest of the practice uses and the provider name list
// that feeds every provider combo box.
class CLogicMedicines : public CReferenceRecordSet, public ILogicObject
{
    Q_DECLARE_TR_FUNCTIONS(CLogicMedicines)

public:
    explicit CLogicMedicines(Korbel::IDataSource *source);
    ~CLogicMedicines() override;

    // Open() gives the remedies in name order; First/Next walk them (the
    // remedy combo boxes).
    bool GetName(qint64 id, QString *name);
    // The selling price; 0.0 when the stored text does not parse.
    bool GetPrice(qint64 id, double *price);

    // Rebuilds the provider name list ("NoProvider" first, then every provider
    // in name order) and the map from provider ID to name.
    bool LoadProviders();
    const QStringList &GetProviderNames() const { return m_providerNames; }
    const std::map<qint64, QString> &GetProviderMap() const { return m_providerMap; }
    // The ID of the first provider with that name; "NoProvider" is 0. False
    // when no provider has the name.
    bool GetProviderId(const QString &providerName, qint64 *id) const;
    // The name of a provider, empty when the ID names none.
    QString GetProviderName(qint64 id) const;

    // Reads every remedy's name, provider and purchase price in one pass.
    bool LoadRemedyMap();
    const RemedyMap &GetRemedyMap() const { return m_remedyMap; }

    static QString NoProvider() { return QStringLiteral("NoProvider"); }

    int OnCommand(LogicCommand &command) override;

private:
    QStringList m_providerNames;
    std::map<qint64, QString> m_providerMap;
    RemedyMap m_remedyMap;
};
