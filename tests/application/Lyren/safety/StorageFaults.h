#pragma once

#include "SafetyTestUtil.h"

#include "core/CLogicFolders.h"
#include "core/LogicContext.h"
#include "core/PatientSteps.h"
#include "core/Subsystem.h"

#include "Korbel/Maintenance.h"
#include "profile/KeyValueStore.h"

namespace SafetyTest {

// A part of the patient's save as the notes and rubrics write theirs: a row
// of the size the test sets, and a side file after the commit.
class PatientWriter final : public ISubsystem
{
public:
    struct Setting
    {
        int rowBytes = 100;
        QByteArray sideFile = "<MetaWords/>";
        QString sideFileName = QStringLiteral("StorageProbe.xml");
    };

    PatientWriter(LogicContext &context, Setting *setting)
    {
        m_table.reset(context.DataSource()->OpenTable(QStringLiteral("COMES_FOR")));
        context.Steps()->Join(SaveStep::Notes, [this, &context, setting] {
            if (!m_table || !m_table->AddNew())
                return 0;
            Korbel::IField *field = nullptr;
            m_table->GetField(QStringLiteral("DESC"), &field);
            Korbel::ReleasePtr<Korbel::IField> guard(field);
            field->SetFromString(QString(setting->rowBytes, QLatin1Char('n')));
            if (!m_table->Update()) {
                m_table->CancelUpdate();
                return 0;
            }
            const QString folder = context.Folders().GetPatientFolder();
            return context.WriteFileAfterCommit(folder + setting->sideFileName, setting->sideFile) ? 1 : 0;
        });
    }

private:
    Korbel::ReleasePtr<Korbel::ITable> m_table;
};

inline std::unique_ptr<CLogicMain> OpenWritingHub(const QString &root, PatientWriter::Setting *setting)
{
    auto subsystems = CLogicMain::DefaultSubsystems();
    subsystems.push_back(
        [setting](LogicContext &context) { return std::make_unique<PatientWriter>(context, setting); });
    auto hub = std::make_unique<CLogicMain>(
        root, root + QStringLiteral("windows"), nullptr, std::move(subsystems));
    QString error;
    EXPECT_TRUE(hub->Open(&error)) << error.toStdString();
    return hub;
}

inline qint64 RowCount(const QString &databasePath, const QString &table)
{
    return Korbel::SummarizeDatabaseFile(databasePath, table).rows;
}

} // namespace SafetyTest
