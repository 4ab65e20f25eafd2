#include "contacts/ui/CAddressDialog.h"

#include "contacts/CLogicEmails.h"
#include "contacts/CLogicPhones.h"
#include "shell/CLogicMain.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtWidgets/QFormLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

namespace {

const QString Address = QStringLiteral("ADDRESS");

// A group with a list and the hint on how to edit it.
QGroupBox *ListGroup(const QString &title, Korbel::CXListCtrl *list, QWidget *parent)
{
    auto *group = new QGroupBox(title, parent);
    auto *hint = new QLabel(CAddressDialog::ListHint(), group);
    hint->setWordWrap(true);
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(list, 1);
    layout->addWidget(hint);
    return group;
}

} // namespace

CAddressDialog::CAddressDialog(QWidget *parent)
    : QWidget(parent)
    , m_pPhones(new Korbel::CXListCtrl(this))
    , m_pEmails(new Korbel::CXListCtrl(this))
{
    auto *addressGroup = new QGroupBox(tr("Address"), this);
    auto *form = new QFormLayout(addressGroup);
    const std::pair<const char *, QString> fields[] = {
        { "STREET_ADDRESS", tr("Street Address:") },
        { "CITY", tr("City:") },
        { "POSTAL_CODE", tr("Postal Code:") },
        { "STATE", tr("State/Province:") },
        { "COUNTRY", tr("Country:") },
    };
    for (const auto &[field, label] : fields) {
        auto *edit = new QLineEdit(addressGroup);
        edit->setObjectName(QLatin1String(field));
        m_fields.insert(QLatin1String(field), edit);
        form->addRow(label, edit);
    }

    m_pPhones->setObjectName(QStringLiteral("phonesList"));
    m_pEmails->setObjectName(QStringLiteral("emailsList"));
    for (Korbel::CXListCtrl *list : { m_pPhones, m_pEmails })
        list->horizontalHeader()->setStretchLastSection(true);
    auto *lists = new QHBoxLayout;
    lists->addWidget(ListGroup(tr("Phones"), m_pPhones, this), 1);
    lists->addWidget(ListGroup(tr("Emails"), m_pEmails, this), 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(addressGroup);
    layout->addLayout(lists, 1);
}

CAddressDialog::~CAddressDialog() = default;

QString CAddressDialog::ListHint()
{
    return tr("Add/Modify by double-clicking on the corresponding row. Select and hit 'Del' to delete.");
}

void CAddressDialog::Attach(CLogicMain *hub)
{
    if (!hub)
        return;
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
        hub->BindField(Address, it.key(), it.value(), 1);
    if (auto *phones = hub->Services().Get<CLogicPhones>())
        phones->SetList(m_pPhones);
    if (auto *emails = hub->Services().Get<CLogicEmails>())
        emails->SetList(m_pEmails);
}
