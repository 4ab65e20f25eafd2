#include "shell/CLogicConfiguration.h"

#include "core/CommandCodes.h"
#include "core/MediaControl.h"
#include "core/PatientImages.h"

#include "Korbel/DataSource.h"
#include "desktop/Prompts.h"
#include "profile/KeyValueStore.h"

namespace {

const QString ImageQualityId = QStringLiteral("1");
const QString MediaQualityId = QStringLiteral("2");
const QString ValueField = QStringLiteral("VALUE");

} // namespace

CLogicConfiguration::CLogicConfiguration(Profile::IKeyValueStore *store)
    : m_pStore(store)
{ }

CLogicConfiguration::~CLogicConfiguration()
{
    Close();
}

bool CLogicConfiguration::Open(Korbel::IDataSource *source)
{
    Close();
    if (!source)
        return false;
    if (!source->UpgradeSchema())
        Desktop::Inform(nullptr, tr("An error has occurred while upgrading the database."));

    m_pTable = source->OpenTable(QStringLiteral("APP_CONFIGURATION"));
    // Without an image manager (no windows) there is nothing to apply it to.
    bool applied = false;
    int quality = 0;
    if (ReadSetting(ImageQualityId, &quality))
        applied = !m_pImageQuality || m_pImageQuality->SetQuality(quality);

    QString stamp;
    if (!ReadLastBackupStamp(&stamp))
        WriteLastBackupStamp(QString());
    return m_pTable && applied;
}

void CLogicConfiguration::Close()
{
    if (m_pTable) {
        m_pTable->Release();
        m_pTable = nullptr;
    }
}

bool CLogicConfiguration::ReadSetting(const QString &id, int *value) const
{
    if (!m_pTable || m_pTable->Locate(QStringLiteral("ID"), Korbel::LocateEqual, id) != 1)
        return false;
    Korbel::IField *field = nullptr;
    if (!m_pTable->GetField(ValueField, &field))
        return false;
    Korbel::ReleasePtr<Korbel::IField> guard(field);
    field->Refresh();
    *value = field->GetAsString().toInt();
    return true;
}

bool CLogicConfiguration::StoreSetting(const QString &id, int value)
{
    // Only the setting's own row is written: without it there is nothing to
    // update, and editing whichever row is current would overwrite the other
    // setting.
    if (!m_pTable || m_pTable->Locate(QStringLiteral("ID"), Korbel::LocateEqual, id) != 1)
        return false;
    if (m_pTable->Edit() != 1)
        return false;
    Korbel::IField *field = nullptr;
    bool set = false;
    if (m_pTable->GetField(ValueField, &field)) {
        Korbel::ReleasePtr<Korbel::IField> guard(field);
        set = field->SetFromString(QString::number(value));
    }
    if (!set) {
        m_pTable->CancelUpdate();
        return false;
    }
    return m_pTable->Update() != 0;
}

void CLogicConfiguration::AttachMediaControl(const Component::DispatchDriver &control)
{
    m_mediaControl = control;
    ApplyMediaQuality();
}

bool CLogicConfiguration::ApplyMediaQuality()
{
    int quality = 0;
    if (!m_mediaControl.IsValid() || !ReadSetting(MediaQualityId, &quality))
        return false;
    return Component::Succeeded(
        m_mediaControl.Put(MediaDispid::CompressionLevel, QVariant::fromValue(static_cast<qint16>(quality))));
}

int CLogicConfiguration::EditMediaQuality()
{
    if (!m_pTable || !m_mediaControl.IsValid())
        return 0;
    if (Component::Failed(m_mediaControl.Call(MediaDispid::QueryCompressionLevel)))
        return 0;
    Component::HRESULT result = Component::S_OK;
    const QVariant level = m_mediaControl.Get(MediaDispid::CompressionLevel, &result);
    if (Component::Failed(result))
        return 0;
    return StoreSetting(MediaQualityId, level.toInt()) ? 1 : 0;
}

int CLogicConfiguration::EditImageQuality()
{
    if (!m_pTable)
        return 0;
    int quality = 0;
    if (!m_pImageQuality || !m_pImageQuality->EditQuality(&quality))
        return 0;
    return StoreSetting(ImageQualityId, quality) ? 1 : 0;
}

int CLogicConfiguration::OnCommand(LogicCommand &command)
{
    if (command.code != CommandCode::Options)
        return 0;
    switch (command.subCommand) {
    case FrameCommand::MediaQuality:
        return EditMediaQuality();
    case FrameCommand::ImagesQuality:
        return EditImageQuality();
    default:
        return 0;
    }
}

bool CLogicConfiguration::ReadLastBackupStamp(QString *stamp) const
{
    return m_pStore && m_pStore->Read(LastBackupValueName(), stamp);
}

bool CLogicConfiguration::WriteLastBackupStamp(const QString &stamp)
{
    return m_pStore && m_pStore->Write(LastBackupValueName(), stamp);
}
