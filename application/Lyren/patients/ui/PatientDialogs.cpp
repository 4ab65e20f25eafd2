#include "patients/ui/PatientDialogs.h"

#include "patients/ui/CComesForDialog.h"
#include "patients/ui/CFindDlg.h"

int CFindPresenter::Choose(QWidget *parent, const Search &search, FoundPatient *chosen)
{
    CFindDlg dialog(search, parent);
    const int shown = m_driver ? m_driver(dialog) : dialog.exec();
    if (shown != QDialog::Accepted || dialog.ChosenId().isEmpty())
        return 0;
    *chosen = dialog.Chosen();
    return 1;
}

int CComplaintPresenter::Edit(QWidget *parent, const Setting &setting, ComplaintValues *values)
{
    CComesForDialog dialog(
        setting.imagesFolder, setting.rootFolder, setting.images, setting.commands, parent);
    dialog.SetValues(values->description, values->imagePath, QString());
    const int shown = m_driver ? m_driver(dialog) : dialog.exec();
    if (shown != QDialog::Accepted)
        return 0;
    values->description = dialog.Description();
    values->imagePath = dialog.ImagePath();
    return 1;
}
