#include "shell/ui/CAboutDlg.h"

#include "AppInfo.h"

#include <QtGui/QIcon>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent)
    , m_pVersion(new QLabel(AppInfo::VersionLine(), this))
{
    setWindowTitle(tr("About Verdanta"));
    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/shell/verdanta.png")).pixmap(48, 48));
    m_pVersion->setTextFormat(Qt::PlainText);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addWidget(m_pVersion, 1, Qt::AlignVCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString CAboutDlg::VersionText() const
{
    return m_pVersion->text();
}
