#pragma once

#include "core/LogicCommand.h"

#include "component/DispatchDriver.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QString>

namespace Korbel {
class IDataSource;
class ITable;
} // namespace Korbel

namespace Profile {
class IKeyValueStore;
}

class IImageQuality;

// The program's settings kept in the database (APP_CONFIGURATION: row "1" the
// image quality, row "2" the media quality) and the machine-wide value
// "LastBackupTS", the date of the last backup as "%Y/%m/%d".
class CLogicConfiguration : public ILogicObject
{
    Q_DECLARE_TR_FUNCTIONS(CLogicConfiguration)

public:
    // The store of "LastBackupTS" (not owned).
    explicit CLogicConfiguration(Profile::IKeyValueStore *store);
    ~CLogicConfiguration() override;
    CLogicConfiguration(const CLogicConfiguration &) = delete;
    CLogicConfiguration &operator=(const CLogicConfiguration &) = delete;

    // The image manager's quality setting (not owned; none: the image quality
    // is neither applied nor edited).
    void SetImageQuality(IImageQuality *quality) { m_pImageQuality = quality; }
    // Upgrades the database schema (a failure is shown and start-up goes on),
    // opens APP_CONFIGURATION, applies the image quality and makes sure
    // "LastBackupTS" exists. True when the table opened and the setting was
    // applied.
    bool Open(Korbel::IDataSource *source);
    // Remembers the media control (an empty driver forgets it) and applies the
    // media quality to it.
    void AttachMediaControl(const Component::DispatchDriver &control);
    // "Media Quality..." and "Images Quality..." of the Options menu: the
    // component's own dialog, then the chosen value is stored.
    int EditMediaQuality();
    int EditImageQuality();
    void Close();

    // Code 62 with FrameCommand::MediaQuality or ImagesQuality.
    int OnCommand(LogicCommand &command) override;

    // "LastBackupTS": false when it cannot be read or written.
    bool ReadLastBackupStamp(QString *stamp) const;
    bool WriteLastBackupStamp(const QString &stamp);

    static QString LastBackupValueName() { return QStringLiteral("LastBackupTS"); }

private:
    // The setting's VALUE as an integer; false when the row is missing.
    bool ReadSetting(const QString &id, int *value) const;
    bool StoreSetting(const QString &id, int value);
    bool ApplyMediaQuality();

    Profile::IKeyValueStore *m_pStore;
    IImageQuality *m_pImageQuality = nullptr;
    Korbel::ITable *m_pTable = nullptr;
    Component::DispatchDriver m_mediaControl;
};
