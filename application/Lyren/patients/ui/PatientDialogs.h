#pragma once

#include "patients/PatientPresenters.h"

#include <functional>

class CComesForDialog;
class CFindDlg;

// The find dialog, shown modally. Tests give a driver that works the real
// dialog in place of a person (the driver's result is the dialog's).
class CFindPresenter final : public IPatientFinder
{
public:
    using Driver = std::function<int(CFindDlg &dialog)>;
    int Choose(QWidget *parent, const Search &search, FoundPatient *chosen) override;
    void SetDriver(Driver driver) { m_driver = std::move(driver); }

private:
    Driver m_driver;
};

// The chief complaint dialog, shown modally; tests drive it as above.
class CComplaintPresenter final : public IComplaintEditor
{
public:
    using Driver = std::function<int(CComesForDialog &dialog)>;
    int Edit(QWidget *parent, const Setting &setting, ComplaintValues *values) override;
    void SetDriver(Driver driver) { m_driver = std::move(driver); }

private:
    Driver m_driver;
};
