#include "finance/ui/DialogParts.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QPushButton>

namespace Finance {

QDialogButtonBox *AddDialogButtons(QDialog *dialog, QBoxLayout *layout, bool done)
{
    auto *buttons = new QDialogButtonBox(dialog);
    if (done) {
        QPushButton *button = buttons->addButton(
            QCoreApplication::translate("Finance", "Done"), QDialogButtonBox::AcceptRole);
        button->setObjectName(QStringLiteral("done"));
        button->setDefault(true);
    } else {
        buttons->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    }
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return buttons;
}

} // namespace Finance
