#include "patients/CLogicPatientPicture.h"

#include "shell/CLogicFolders.h"
#include "shell/CLogicMain.h"
#include "shell/CMainView.h"
#include "shell/CommandCodes.h"

#include "Korbel/DataSource.h"
#include "finance/RecordAccess.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtGui/QImageReader>

using Finance::ReadText;

CLogicPatientPicture::CLogicPatientPicture(CLogicMain *hub)
    : m_pHub(hub)
{ }

int CLogicPatientPicture::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::PatientPicture:
        return ChoosePicture(command);
    case CommandCode::FileDropped:
        return TakeDroppedFile(command.text);
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
    CMainView *view = m_pHub->GetMainView();
    if (!view)
        return 1;
    Korbel::ITable *main = m_pHub->GetMainTable();
    bool current = false;
    const QString imagePath = ReadText(main, QStringLiteral("IMAGE_PATH"), &current);
    if (!current) {
        view->SetPicture(QString());
        view->SetNameLine(QString());
        view->SetAgeLine(QString());
        return 1;
    }
    view->SetPicture(PatientPictures::PictureToShow(m_pHub->GetLogicFolders()->GetRootFolder(), imagePath));
    view->SetNameLine(NameLine(ReadText(main, QStringLiteral("FIRST_NAME")),
        ReadText(main, QStringLiteral("MIDDLE_NAME")), ReadText(main, QStringLiteral("LAST_NAME"))));
    const Finance::FieldPtr birth = Finance::OpenField(main, QStringLiteral("DATE_OF_BIRTH"));
    view->SetAgeLine(AgeLine(birth ? birth->GetValue().toDate() : QDate(), QDate::currentDate()));
    return 1;
}

int CLogicPatientPicture::StorePicture(const QString &path)
{
    Korbel::ITable *main = m_pHub->GetMainTable();
    if (!main || main->CurrentPosition() < 0 || main->Edit() != 1)
        return 0;
    // The update also takes what the Patient tab shows; a failed one stays
    // pending for the next save rather than dropping what was typed.
    if (!Finance::WriteText(main, QStringLiteral("IMAGE_PATH"), path) || !main->Update())
        return 0;
    Load();
    return 1;
}

int CLogicPatientPicture::ChoosePicture(const LogicCommand &command)
{
    Korbel::ITable *main = m_pHub->GetMainTable();
    const QString folder = m_pHub->GetLogicFolders()->GetImagesFolder();
    if (!main || folder.isEmpty())
        return 0;
    QDir().mkpath(folder);
    QWidget *parent = command.control ? command.control->window() : nullptr;
    const QString chosen = m_images.Get()
                               .Choose(parent, folder, ReadText(main, QStringLiteral("IMAGE_PATH")).trimmed())
                               .trimmed();
    if (chosen.isEmpty())
        return 0;
    return StorePicture(chosen);
}

int CLogicPatientPicture::TakeDroppedFile(const QString &path)
{
    const QString folder = m_pHub->GetLogicFolders()->GetImagesFolder();
    const QFileInfo source(path);
    if (folder.isEmpty() || !source.isFile())
        return 0;
    QDir().mkpath(folder);
    // An image is imported (re-encoded) into the patient's folder; one that
    // already lies there is taken as it is. Files that are not images are
    // left to the documents.
    QString picture = m_images.Get().Import(folder, source.absoluteFilePath());
    const bool inFolder = source.canonicalPath() == QFileInfo(folder).canonicalFilePath();
    if (picture.isEmpty() && inFolder && !QImageReader::imageFormat(path).isEmpty())
        picture = source.absoluteFilePath();
    return picture.isEmpty() ? 0 : StorePicture(picture);
}
