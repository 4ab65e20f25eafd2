#pragma once

#include "reports/ReportsPresenter.h"

#include "core/LogicCommand.h"
#include "core/LogicServices.h"

#include "Korbel/DataSource.h"

#include <QtCore/QCoreApplication>

#include <map>

class LogicContext;

// The practice's reports: the reports menu of the header band (code 54), the
// parameters of each report kept in its REPORTS row, and the previews the
// data source's stored queries open (this object is the data source's stored
// query handler while it lives).
class CLogicReports final : public ILogicObject, public LogicServiceUser
{
    Q_DECLARE_TR_FUNCTIONS(CLogicReports)

public:
    explicit CLogicReports(LogicContext &context);
    ~CLogicReports() override;
    CLogicReports(const CLogicReports &) = delete;
    CLogicReports &operator=(const CLogicReports &) = delete;

    // 54: the reports menu, anchored at the sending control.
    int OnCommand(LogicCommand &command) override;

    // Builds the menu from REPORTS (General, Finance, Operation and
    // Appointments, numbered in table order), shows it and runs the chosen
    // report.
    bool ShowMenu(QWidget *window, QObject *anchor);
    Reports::Menu BuildMenu();
    // Report ID -> NAME of every row seen by the last BuildMenu.
    const std::map<int, QString> &ReportNames() const { return m_names; }

    // Runs the report chosen in the menu: reports without parameters are
    // previewed at once, the others through Run.
    bool RunChosen(const QString &name, QWidget *window);
    // Asks the report's parameters, stores them in its REPORTS row (one
    // transaction) and previews it. False when there is no such row, on
    // Cancel, and when storing or previewing failed (the person is told).
    bool Run(const QString &name, QWidget *window);

    // The stored query of a report: builds it with the parameters of its row
    // and opens its preview.
    bool Preview(const QString &name);

    // The parameters stored in a report's row; false when there is no row.
    bool ReadParameters(const QString &name, Reports::Parameters *parameters, QString *description = nullptr);

    static QString PreviewError() { return tr("Error while previewing the report."); }
    static QString NoCustomFields()
    {
        return tr(
            "There are currently no attributes defined.\n\nPlease use 'Custom Data' to create new fields.");
    }

private:
    Korbel::ITable *ReportsTable();
    bool LocateReport(const QString &name);
    bool StoreParameters(Reports::Ask ask, const Reports::Parameters &parameters);
    Reports::Choices ChoicesFor(Reports::Ask ask);
    QStringList CustomFieldNames();
    bool RunStoredQuery(const QString &name, QWidget *window);
    Reports::IPresenter *Presenter() const { return Service<Reports::IPresenter>(); }

    LogicContext &m_context;
    Korbel::ReleasePtr<Korbel::ITable> m_pReports;
    std::map<int, QString> m_names;
    QWidget *m_pWindow = nullptr; // where the running report's windows belong, while it runs
};
