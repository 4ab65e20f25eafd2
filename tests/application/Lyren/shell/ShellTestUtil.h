#pragma once

#include "core/CurrentPatient.h"
#include "core/LogicCommand.h"
#include "core/LogicContext.h"
#include "core/MediaControl.h"

#include "component/DispatchDriver.h"
#include "component/DispatchObject.h"

#include "libraries/Korbel/KorbelTestUtil.h"

#include <QtCore/QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace ShellTest {

using namespace KorbelTest;

// Adds patients by first name to the database at path (created when missing);
// returns their IDs.
inline QStringList AddPatients(const QString &databasePath, const QStringList &firstNames)
{
    auto source = OpenSource(databasePath);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    QStringList ids;
    for (const QString &name : firstNames) {
        EXPECT_TRUE(main->AddNew());
        EXPECT_TRUE(Set(main.get(), QStringLiteral("FIRST_NAME"), name));
        EXPECT_TRUE(main->Update());
        ids << Get(main.get(), QStringLiteral("ID"));
    }
    return ids;
}

// The media control's dispatch members the configuration uses: the
// compression level and its dialog, which reports dialogStatus.
class FakeMediaControl final : public Component::DispatchObject<>
{
public:
    FakeMediaControl()
    {
        m_dispatch.AddProperty(
            MediaDispid::CompressionLevel, Component::ValueType::Int16,
            [this] { return QVariant::fromValue(level); },
            [this](const QVariant &value) {
                puts << value;
                level = value.value<qint16>();
                return Component::S_OK;
            });
        m_dispatch.AddMethod(MediaDispid::QueryCompressionLevel, {}, [this](QVariantList &, QVariant &) {
            ++dialogs;
            return dialogStatus;
        });
    }

    qint16 level = -1;
    Component::HRESULT dialogStatus = Component::S_OK;
    QVariantList puts;
    int dialogs = 0;
};

// The current-patient logic, recording the operations the hub runs on it.
class RecordingPatient final : public ICurrentPatient
{
public:
    bool Open(LogicContext &context) override
    {
        m_pMain = context.MainTable();
        log << QStringLiteral("Open");
        return true;
    }
    void Close() override { log << QStringLiteral("Close"); }
    int First() override { return Move(QStringLiteral("First"), Korbel::MoveFirst); }
    int Previous() override { return Move(QStringLiteral("Previous"), Korbel::MovePrevious); }
    int Next() override { return Move(QStringLiteral("Next"), Korbel::MoveNext); }
    int Last() override { return Move(QStringLiteral("Last"), Korbel::MoveLast); }
    int New() override
    {
        log << QStringLiteral("New");
        return m_pMain->AddNew() && m_pMain->Update() ? 1 : 0;
    }
    int Delete() override { return Record(QStringLiteral("Delete")); }
    int GoTo(const QString &id) override
    {
        log << QStringLiteral("GoTo ") + id;
        return m_pMain->Locate(QStringLiteral("ID"), Korbel::LocateEqual, id);
    }
    int SaveAll() override
    {
        if (onSave)
            onSave();
        return Record(QStringLiteral("SaveAll"));
    }
    int LoadAll() override { return Record(QStringLiteral("LoadAll")); }
    int Find(LogicCommand &command) override
    {
        log << QStringLiteral("Find");
        hubSeen = command.context != nullptr;
        command.resultId = findResult;
        return findResult.isEmpty() ? 0 : 1;
    }
    int LinkedAccount(LogicCommand &) override { return Record(QStringLiteral("LinkedAccount")); }
    qint64 CurrentId() const override { return 0; }

    QStringList log;
    QString findResult;
    bool hubSeen = false;
    std::function<void()> onSave;

private:
    int Record(const QString &what)
    {
        log << what;
        return 1;
    }
    int Move(const QString &what, int kind)
    {
        log << what;
        return m_pMain->Move(kind);
    }
    Korbel::ITable *m_pMain = nullptr;
};

} // namespace ShellTest
