#include "orders/ui/COrdersDialog.h"

#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QPushButton>

COrdersDialog::COrdersDialog(QWidget *parent)
    : CManagementDialog(tr("Orders"), parent)
{
    auto *generate = new QPushButton(tr("Generate Order ..."), this);
    generate->setObjectName(QStringLiteral("generate"));
    generate->setAutoDefault(false);
    connect(generate, &QPushButton::clicked, this, &COrdersDialog::generateClicked);
    auto *send = new QPushButton(tr("Send Order"), this);
    send->setObjectName(QStringLiteral("send"));
    send->setAutoDefault(false);
    connect(send, &QPushButton::clicked, this, &COrdersDialog::sendClicked);
    ButtonRow()->insertWidget(0, generate);
    ButtonRow()->insertWidget(1, send);
}
