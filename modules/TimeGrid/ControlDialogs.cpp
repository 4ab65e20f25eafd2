#include "TimeGrid/ControlDialogs.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QMessageBox>

namespace TimeGrid {

GeneralPropertyPage::GeneralPropertyPage() = default;

QWidget *GeneralPropertyPage::CreateWidget(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("GeneralPropertyPage"));
    page->setWindowTitle(QCoreApplication::translate("TimeGrid", "General"));
    page->setMinimumSize(250, 62);
    return page;
}

void ShowAboutBox(QWidget *parent, const QString &title, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

} // namespace TimeGrid
