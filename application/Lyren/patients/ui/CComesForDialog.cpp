#include "patients/ui/CComesForDialog.h"
#include "core/CommandCodes.h"

#include "core/LogicCommand.h"
#include "core/PatientImages.h"
#include "patients/forms/ui/PhraseEdits.h"
#include "shell/ui/CMainView.h"
#include "shell/ui/CPictureButton.h"

#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

CComesForDialog::CComesForDialog(const QString &imagesFolder, const QString &rootFolder,
    IPatientImages *images, CommandSink sink, QWidget *parent)
    : QDialog(parent)
    , m_strImagesFolder(imagesFolder)
    , m_strRoot(rootFolder)
    , m_pImages(images)
    , m_sink(std::move(sink))
{
    setWindowTitle(tr("Chief Complaint"));
    setObjectName(QStringLiteral("comesForDialog"));

    m_pDescription = new CPhraseTextEdit(this);
    m_pDescription->setObjectName(QStringLiteral("description"));
    m_pDescription->setMinimumSize(320, 160);
    connect(m_pDescription, &CPhraseTextEdit::phrasePicked, this, [this](const QString &phrase) {
        if (!m_sink)
            return;
        LogicCommand command;
        command.code = CommandCode::PickPhrase;
        command.text = phrase;
        command.control = m_pDescription;
        m_sink(command);
    });
    auto *descriptionLabel = new QLabel(tr("Description:"), this);
    descriptionLabel->setBuddy(m_pDescription);

    auto *imageGroup = new QGroupBox(tr("Image area"), this);
    m_pImage = new CPictureButton(imageGroup);
    m_pImage->setObjectName(QStringLiteral("imageArea"));
    m_pImage->setToolTip(tr("Click to add/modify"));
    connect(m_pImage, &QPushButton::clicked, this, &CComesForDialog::ChooseImage);
    auto *imageLayout = new QVBoxLayout(imageGroup);
    imageLayout->addWidget(m_pImage, 0, Qt::AlignHCenter);
    imageLayout->addWidget(new QLabel(tr("Click to add/modify"), imageGroup), 0, Qt::AlignHCenter);
    imageLayout->addStretch(1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *description = new QVBoxLayout;
    description->addWidget(descriptionLabel);
    description->addWidget(m_pDescription, 1);
    auto *body = new QHBoxLayout;
    body->addLayout(description, 1);
    body->addWidget(imageGroup);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(buttons);

    ShowImage();
    m_pDescription->setFocus();
}

void CComesForDialog::SetValues(
    const QString &description, const QString &imagePath, const QString &audioPath)
{
    m_pDescription->setPlainText(description);
    m_strImagePath = imagePath.trimmed();
    m_strAudioPath = audioPath;
    ShowImage();
}

QString CComesForDialog::Description() const
{
    return m_pDescription->toPlainText();
}

void CComesForDialog::ShowImage()
{
    const QString shown = PatientPictures::PictureToShow(m_strRoot, m_strImagePath);
    m_pImage->SetFilename(shown.isEmpty() ? CMainView::NoPhotoPicture() : shown);
}

void CComesForDialog::ChooseImage()
{
    if (!m_pImages || m_strImagesFolder.isEmpty())
        return;
    const QString chosen = m_pImages->Choose(this, m_strImagesFolder, m_strImagePath).trimmed();
    if (chosen.isEmpty())
        return;
    m_strImagePath = chosen;
    ShowImage();
}
