#pragma once

#include "libraries/Korbel/DatabaseFiles.h"
#include "libraries/Korbel/KorbelTestUtil.h"

#include "Korbel/Maintenance.h"
#include "core/LogicServices.h"
#include "core/PracticeSession.h"
#include "core/ProgressRunner.h"
#include "safety/PracticeDataDialogs.h"
#include "shell/CLogicMain.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QDirIterator>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>

#include <gtest/gtest.h>

#include <optional>

namespace SafetyTest {

using namespace KorbelTest;

// Every file under a folder by its relative path, with a hash of its bytes.
inline QMap<QString, QByteArray> TreeDump(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), FileHash(path));
    }
    return files;
}

// A practice database with patients, each with a consultation at the start
// of notes yet empty (as the notes keep it, so opening the practice changes
// nothing), made through the data library; returns the IDs.
inline QStringList MakePractice(const QString &databasePath, const QStringList &names)
{
    auto source = OpenSource(databasePath);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    auto consultations = OpenTable(source.get(), QStringLiteral("CONSULTATIONS"));
    QStringList ids;
    for (const QString &name : names) {
        const QString id = AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), name } });
        ids << id;
        AddRow(consultations.get(),
            { { QStringLiteral("PATIENT_ID"), id }, { QStringLiteral("CHAR_POS"), QStringLiteral("0") } });
    }
    return ids;
}

// Read without changing the file (a data source would switch its journal).
inline qint64 PatientCount(const QString &databasePath)
{
    return Korbel::SummarizeDatabaseFile(databasePath, QStringLiteral("MAIN")).rows;
}

// Invoice lines the program does not read at start, then garbage over one of
// their pages near the end of the file: the practice still opens.
inline void DamageInvoices(const QString &path)
{
    RunSql(path,
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
        "INSERT INTO INVOICING (PATIENT_ID, DESCRIPTION) SELECT 1, printf('%.500c', 'x') FROM n");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek((file.size() / 4096 - 3) * 4096));
    file.write(QByteArray(64, '\xee'));
}

// The window layer's session as logic tests play it: the queued work runs
// when the test says, with the hub closed, and the hub opens again.
class HubSession final : public IPracticeSession
{
public:
    explicit HubSession(CLogicMain &hub)
        : m_hub(hub)
    {
        hub.Services().Provide<IPracticeSession>(this);
    }
    ~HubSession() override { m_hub.Services().Withdraw<IPracticeSession>(this); }

    bool ReopenAfter(ClosedWork work) override
    {
        if (m_work)
            return false;
        m_work = std::move(work);
        return true;
    }
    bool HasWork() const { return m_work.has_value(); }
    // Runs the queued work as the program does once the command returned;
    // the work's result.
    bool RunQueued()
    {
        if (!m_work)
            return false;
        ClosedWork work = std::move(*m_work);
        m_work.reset();
        m_hub.Close();
        InlineProgressRunner runner;
        QString text;
        const bool done
            = runner.Run(nullptr, work.caption, false, [&](IProgress &p) { return work.run(p, &text); });
        messages << text;
        QString error;
        EXPECT_TRUE(m_hub.Open(&error)) << error.toStdString();
        return done;
    }

    QStringList messages;

private:
    CLogicMain &m_hub;
    std::optional<ClosedWork> m_work;
};

// Chooses the copy the test names and records the copies it was shown.
class ScriptedBackupChooser final : public IBackupChooser
{
public:
    explicit ScriptedBackupChooser(LogicServices &services)
        : m_services(services)
    {
        services.Provide<IBackupChooser>(this);
    }
    ~ScriptedBackupChooser() override { m_services.Withdraw<IBackupChooser>(this); }

    QString ChooseBackup(QWidget *, const std::vector<BackupCopy> &copies) override
    {
        shown = copies;
        return choice;
    }

    QString choice;
    std::vector<BackupCopy> shown;

private:
    LogicServices &m_services;
};

inline int SendCommand(CLogicMain &hub, int code)
{
    LogicCommand command;
    command.code = code;
    return hub.OnCommand(command);
}

} // namespace SafetyTest
