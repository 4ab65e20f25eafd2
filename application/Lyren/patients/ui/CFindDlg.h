#pragma once

#include "patients/CLogicPatient.h"

#include <QtWidgets/QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QTableView;
class FoundPatientsModel;

// "Find": a first and a last name, "Find", the patients found (first and last
// name; the ID of each row is kept beside it) and OK / Cancel. OK, or a double
// click on a row, chooses the selected patient; OK without a selection acts as
// Cancel. The dialog does not reach the data itself: it is given the query.
class CFindDlg : public QDialog
{
    Q_OBJECT

public:
    using Search = std::function<FoundPatients(const QString &firstName, const QString &lastName)>;

    CFindDlg(Search search, QWidget *parent = nullptr);
    ~CFindDlg() override;

    QLineEdit *FirstNameEdit() const { return m_pFirstName; }
    QLineEdit *LastNameEdit() const { return m_pLastName; }
    QPushButton *FindButton() const { return m_pFind; }
    QPushButton *OkButton() const { return m_pOk; }
    QTableView *ResultList() const { return m_pList; }

    // Runs the query with the two texts and shows its rows.
    void RunFind();
    int ResultCount() const;
    // Selects a row of the results (-1 clears the selection).
    void SelectRow(int row);

    // After OK: the chosen patient.
    QString ChosenId() const { return m_chosen.id; }
    QString ChosenName() const { return CLogicPatient::DisplayName(m_chosen); }
    FoundPatient Chosen() const { return m_chosen; }

    void accept() override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void ChooseRow(int row);
    void FitColumns();

    Search m_search;
    QLineEdit *m_pFirstName = nullptr;
    QLineEdit *m_pLastName = nullptr;
    QPushButton *m_pFind = nullptr;
    QPushButton *m_pOk = nullptr;
    QTableView *m_pList = nullptr;
    FoundPatientsModel *m_pModel = nullptr;
    FoundPatient m_chosen;
};
