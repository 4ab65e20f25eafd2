#include "patients/CLogicPatientPicture.h"

#include "patients/PatientDocuments.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "core/RecordAccess.h"
#include "core/Views.h"

#include "Korbel/DataSource.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtGui/QImageReader>

using Records::ReadText;

CLogicPatientPicture::CLogicPatientPicture(LogicContext &context)
    : m_context(context)
{ }

IPatientImages *CLogicPatientPicture::Images() const
{
    return m_pImages ? m_pImages : m_context.Services().Get<IPatientImages>();
}

int CLogicPatientPicture::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::PatientPicture:
        return ChoosePicture(command);
    case CommandCode::FileDropped:
        return TakeDroppedFile(command.text, command.window ? command.window : m_context.DialogParent());
    default:
        return 0;
    }
}

QString CLogicPatientPicture::NameLine(const QString &first, const QString &middle, const QString &last)
{
    QString line = first;
    for (const QString &part : { middle, last }) {
        if (!part.isEmpty())
            line += QLatin1Char(' ') + part;
    }
    return line;
}

QString CLogicPatientPicture::AgeLine(const QDate &dateOfBirth, const QDate &today)
{
    // A birth date after today is a typing slip; a negative age would only
    // mislead, so it shows no age, like a date that cannot be read.
    if (!dateOfBirth.isValid() || !today.isValid() || dateOfBirth > today)
        return {};
    const qint64 years = dateOfBirth.daysTo(today) / 365;
    return tr("%1 year(s)").arg(years);
}

int CLogicPatientPicture::Load()
{
    IHeaderBand *view = m_context.HeaderBand();
    if (!view)
        return 1;
    Korbel::ITable *main = m_context.MainTable();
    bool current = false;
    const QString imagePath = ReadText(main, QStringLiteral("IMAGE_PATH"), &current);
    if (!current) {
        view->SetPicture(QString());
        view->SetNameLine(QString());
        view->SetAgeLine(QString());
        return 1;
    }
    view->SetPicture(PatientPictures::PictureToShow(m_context.Folders().GetRootFolder(), imagePath));
    view->SetNameLine(NameLine(ReadText(main, QStringLiteral("FIRST_NAME")),
        ReadText(main, QStringLiteral("MIDDLE_NAME")), ReadText(main, QStringLiteral("LAST_NAME"))));
    const Records::FieldPtr birth = Records::OpenField(main, QStringLiteral("DATE_OF_BIRTH"));
    view->SetAgeLine(AgeLine(birth ? birth->GetValue().toDate() : QDate(), QDate::currentDate()));
    return 1;
}

int CLogicPatientPicture::StorePicture(const QString &path)
{
    Korbel::ITable *main = m_context.MainTable();
    if (!main || main->CurrentPosition() < 0 || main->Edit() != 1)
        return 0;
    // The update also takes what the Patient tab shows; a failed one stays
    // pending for the next save rather than dropping what was typed.
    if (!Records::WriteText(main, QStringLiteral("IMAGE_PATH"), path) || !main->Update())
        return 0;
    Load();
    return 1;
}

int CLogicPatientPicture::ChoosePicture(const LogicCommand &command)
{
    Korbel::ITable *main = m_context.MainTable();
    const QString folder = m_context.Folders().GetImagesFolder();
    if (!main || folder.isEmpty())
        return 0;
    QDir().mkpath(folder);
    IPatientImages *images = Images();
    if (!images)
        return 0;
    QWidget *parent = command.window ? command.window : m_context.DialogParent();
    const QString chosen
        = images->Choose(parent, folder, ReadText(main, QStringLiteral("IMAGE_PATH")).trimmed()).trimmed();
    if (chosen.isEmpty())
        return 0;
    return StorePicture(chosen);
}

int CLogicPatientPicture::TakeDroppedFile(const QString &path, QWidget *parent)
{
    const QString folder = m_context.Folders().GetImagesFolder();
    const QFileInfo source(path);
    if (folder.isEmpty() || !source.isFile())
        return 0;
    QDir().mkpath(folder);
    // An image is imported (re-encoded) into the patient's folder; one that
    // already lies there is taken as it is. Files that are not images become
    // the patient's documents.
    IPatientImages *images = Images();
    QString picture = images ? images->Import(folder, source.absoluteFilePath()) : QString();
    if (picture.isEmpty() && QImageReader::imageFormat(path).isEmpty()) {
        auto *documents = m_context.Services().Get<IPatientDocuments>();
        return documents ? documents->AddDocument(source.absoluteFilePath(), parent) : 0;
    }
    const bool inFolder = source.canonicalPath() == QFileInfo(folder).canonicalFilePath();
    if (picture.isEmpty() && inFolder)
        picture = source.absoluteFilePath();
    return picture.isEmpty() ? 0 : StorePicture(picture);
}
