#pragma once

#include "patients/CustomDataViews.h"

#include "core/Views.h"

#include <QtWidgets/QWidget>

class LogicServices;
class QLabel;

namespace Korbel {
class CXListCtrl;
}

// The "Custom Data" tab: a hint and the list of the current patient's custom
// fields (name, value, "Create Always"), which the custom-fields logic fills
// and whose edits and deletions it receives. A click on a "Create Always" box
// sends code 81 with the row.
class CDynamicFieldsDialog : public QWidget, public IPage, public IDynamicFieldsView
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 2;

    explicit CDynamicFieldsDialog(QWidget *parent = nullptr);
    ~CDynamicFieldsDialog() override;

    // IPage: the list is offered to the logic, which fills it.
    void Attach(CLogicMain *hub) override;
    // The list takes input while a patient is current and its code reaches
    // the logic.
    void Refresh() override;

    // IDynamicFieldsView
    Korbel::IXListCtrl *FieldsList() override;

    Korbel::CXListCtrl *List() const { return m_pList; }
    QLabel *Hint() const { return m_pHint; }

protected:
    // The list's columns follow its width.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AdjustColumns();
    void OnCheckboxClicked(int row, int column);
    int Send(int subCommand, qint64 id = 0);

    CLogicMain *m_pHub = nullptr;
    QLabel *m_pHint = nullptr;
    Korbel::CXListCtrl *m_pList = nullptr;
};
