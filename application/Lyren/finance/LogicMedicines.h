#pragma once

#include "core/LogicCommand.h"
#include "core/LogicServices.h"
#include "finance/ReferenceList.h"
#include "finance/ReferenceRecordSet.h"

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
// with the lookups the rest of the practice uses, the provider name list that
// feeds every provider combo box, and the remedies list of "Remedies
// Management" (command 35).
class CLogicMedicines : public CReferenceRecordSet,
                        public ILogicObject,
                        public CReferenceListLogic,
                        public LogicServiceUser
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

    // The remedies list (SetList): besides double clicks and Del it takes the
    // provider chosen in a row's combo (SetProviderFromList).
    bool FillList();
    // Columns 0 to 3 get W/5 - 25 pixels each and the description W/5 + 70,
    // W being the list's client width.
    void SetColumnWidths();
    bool AddOrModify() override;
    bool SetProviderFromList(int row, int column);
    // A provider chosen in a row's combo.
    void ComboSelection(int row, int column) override { SetProviderFromList(row, column); }
    // The first row, other than exceptRow, whose remedy name equals name
    // without regard to case or surrounding blanks; -1 when none.
    int FindRowOfName(const QString &name, int exceptRow = -1) const;

    // The stocks logic, which the "Stocks" button of the remedies dialog calls.
    void SetLogicStocks(ILogicObject *stocks) { m_pLogicStocks = stocks; }

    enum Column { NameColumn, PriceColumn, ProviderPriceColumn, ProviderColumn, DescriptionColumn };

    // 35: shows "Remedies Management" over command.control's window.
    // 59: the provider of a row was chosen in its combo.
    int OnCommand(LogicCommand &command) override;

protected:
    QStringList ListHeadings() const override;
    QString DeleteQuestion() const override;
    Korbel::ITable *ListTable() const override { return Table(); }

private:
    // The fields of the current row, opened once for a walk.
    struct RowFields;
    void fillRow(int row, const RowFields &fields);
    int providerIndex(qint64 providerId) const;

    QStringList m_providerNames;
    std::map<qint64, QString> m_providerMap;
    RemedyMap m_remedyMap;
    QHash<qint64, int> m_providerIndex; // provider ID -> entry of m_providerNames
    ILogicObject *m_pLogicStocks = nullptr;
};
