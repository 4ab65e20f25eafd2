#pragma once

#include "core/Views.h"

#include <QtWidgets/QWidget>

class CPrescriptionListBox;

// The "DuePayments" tab while it shows the prescription list alone.
class CPrescriptionsPage final : public QWidget, public IPage
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 5;

    explicit CPrescriptionsPage(QWidget *parent = nullptr);

    void Attach(CLogicMain *hub) override;
    void Refresh() override { }

    CPrescriptionListBox *ListBox() const { return m_pBox; }

private:
    CPrescriptionListBox *m_pBox;
};
