#include "TalmaroPropPage.h"

#include "CompressionProfiles.h"
#include "MediaQualityDlg.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QBoxLayout>

namespace Talmaro {

QWidget *CTalmaroPropPage::CreateWidget(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("CTalmaroPropPage"));
    page->setWindowTitle(QCoreApplication::translate("CTalmaroPropPage", "General"));
    auto *chooser = new CompressionLevelChooser(CompressionLevel(), page);
    QObject::connect(chooser, &CompressionLevelChooser::LevelChanged, page,
        [](short level) { SetCompressionLevel(level); });
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(chooser);
    layout->addStretch();
    return page;
}

} // namespace Talmaro
