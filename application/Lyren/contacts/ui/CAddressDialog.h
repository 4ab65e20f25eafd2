#pragma once

#include "core/Views.h"

#include <QtCore/QHash>
#include <QtWidgets/QWidget>

class QLineEdit;

namespace Korbel {
class CXListCtrl;
}

// The "Address" tab: the patient's postal address, bound to the current
// patient's ADDRESS row through the hub, and the lists of phone numbers and
// e-mail addresses, which the phone and e-mail logic fill and edit.
class CAddressDialog final : public QWidget, public IPage
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 1;

    explicit CAddressDialog(QWidget *parent = nullptr);
    ~CAddressDialog() override;

    // IPage: the address fields are bound and the lists handed to their logic.
    void Attach(CLogicMain *hub) override;
    void Refresh() override { }

    // The edit bound to an ADDRESS field, none for other names.
    QLineEdit *FieldEdit(const QString &field) const { return m_fields.value(field); }
    Korbel::CXListCtrl *PhonesList() const { return m_pPhones; }
    Korbel::CXListCtrl *EmailsList() const { return m_pEmails; }

    static QString ListHint();

private:
    QHash<QString, QLineEdit *> m_fields;
    Korbel::CXListCtrl *m_pPhones;
    Korbel::CXListCtrl *m_pEmails;
};
