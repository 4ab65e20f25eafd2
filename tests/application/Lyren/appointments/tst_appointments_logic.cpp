// The appointments logic in the hub, without windows: the window it makes at
// the open and destroys at the close, code 72, what the person is told, and
// who new appointments are for.
#include "appointments/AppointmentsWindow.h"

#include "core/CommandCodes.h"
#include "shell/CLogicMain.h"

#include "libraries/Korbel/KorbelTestUtil.h"
#include "support/ScriptedDesktop.h"

using namespace KorbelTest;

namespace {

// Stands for the window and records what the logic asked of it.
class ScriptedAppointmentsWindow final : public IAppointmentsWindow
{
public:
    QString Create(const QString &path, QWidget *parent, PatientSource currentPatient) override
    {
        ++created;
        createdPath = path;
        createdParent = parent;
        source = std::move(currentPatient);
        exists = true;
        return createMessage;
    }
    bool Exists() const override { return exists; }
    void Show() override { ++shown; }
    bool Destroy(QString *error) override
    {
        ++destroyed;
        exists = false;
        source = {};
        if (error)
            *error = saveError;
        return saveError.isEmpty();
    }

    QString createMessage;
    QString saveError;
    int created = 0;
    int shown = 0;
    int destroyed = 0;
    bool exists = false;
    QString createdPath;
    QWidget *createdParent = nullptr;
    PatientSource source;
};

class AppointmentsLogic : public ::testing::Test
{
protected:
    void SetUp() override { hub.Services().Provide<IAppointmentsWindow>(&window); }
    void TearDown() override { hub.Close(); }

    // Patients added before the hub opens, in this order; returns their IDs.
    QList<qint64> AddPatients(const QList<QPair<QString, QString>> &names)
    {
        auto source = OpenSource(dir.filePath(QStringLiteral("data.mdb")));
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        QList<qint64> ids;
        for (const auto &[first, last] : names) {
            ids << AddRow(main.get(),
                { { QStringLiteral("FIRST_NAME"), first }, { QStringLiteral("LAST_NAME"), last } })
                       .toLongLong();
        }
        return ids;
    }
    int Send(int code)
    {
        LogicCommand command;
        command.code = code;
        return hub.OnCommand(command);
    }

    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    ScriptedAppointmentsWindow window;
    CLogicMain hub { dir.rootWithSeparator(), dir.filePath(QStringLiteral("windows")) };
};

} // namespace

TEST_F(AppointmentsLogic, TheWindowIsMadeHiddenAtTheOpenShownByCode72AndDestroyedAtTheClose)
{
    EXPECT_FALSE(hub.Reaches(CommandCode::Appointments));
    ASSERT_TRUE(hub.Open());
    EXPECT_EQ(window.created, 1);
    EXPECT_EQ(window.createdPath, dir.rootWithSeparator() + QStringLiteral("UserData/Consultations.xml"));
    EXPECT_EQ(window.createdParent, nullptr) << "no main window here";
    EXPECT_EQ(window.shown, 0) << "made hidden";

    EXPECT_TRUE(hub.Reaches(CommandCode::Appointments));
    EXPECT_EQ(Send(CommandCode::Appointments), 1);
    EXPECT_EQ(Send(CommandCode::Appointments), 1);
    EXPECT_EQ(window.shown, 2);
    EXPECT_EQ(window.created, 1) << "the same window every time";

    hub.Close();
    EXPECT_EQ(window.destroyed, 1);
    EXPECT_FALSE(hub.Reaches(CommandCode::Appointments));
    EXPECT_EQ(prompts.Count(), 0);

    // Opened again: a window of its own.
    ASSERT_TRUE(hub.Open());
    EXPECT_EQ(window.created, 2);
}

TEST_F(AppointmentsLogic, NewAppointmentsAreForThePatientCurrentWhenTheyAreMade)
{
    ASSERT_TRUE(hub.Open());
    ASSERT_TRUE(window.source);
    EXPECT_EQ(window.source().id, 0) << "no patient yet";
    EXPECT_EQ(window.source().subject, QString());
    hub.Close();

    const QList<qint64> ids = AddPatients({ { QStringLiteral("Ana"), QStringLiteral("Popescu") },
        { QStringLiteral("Mihai"), QString() }, { QString(), QStringLiteral("Ionescu") },
        { QStringLiteral(" Ștefan "), QStringLiteral("Dumitrescu ") } });
    ASSERT_TRUE(hub.Open());
    const QStringList subjects = { QStringLiteral("Ana Popescu"), QStringLiteral("Mihai"),
        QStringLiteral("Ionescu"), QStringLiteral("Ștefan Dumitrescu") };
    for (int i = 0; i < ids.size(); ++i) {
        if (i > 0) {
            ASSERT_EQ(Send(CommandCode::Next), 1);
        }
        EXPECT_EQ(window.source().id, ids.at(i));
        EXPECT_EQ(window.source().subject, subjects.at(i));
    }

    // A name saved without a move is the name of the next appointment.
    Korbel::ITable *main = hub.GetMainTable();
    ASSERT_EQ(main->Edit(), 1);
    ASSERT_TRUE(Set(main, QStringLiteral("LAST_NAME"), QStringLiteral("Dumitru")));
    ASSERT_TRUE(main->Update());
    EXPECT_EQ(window.source().subject, QStringLiteral("Ștefan Dumitru"));
}

TEST_F(AppointmentsLogic, AnUnreadableFileAndAFailedLastSaveAreToldToThePerson)
{
    window.createMessage = QStringLiteral("The appointments file could not be read.");
    ASSERT_TRUE(hub.Open());
    ASSERT_EQ(prompts.Count(), 1);
    EXPECT_EQ(prompts.LastText(), window.createMessage);
    EXPECT_EQ(prompts.LastIcon(), Desktop::Icon::Warning);

    window.saveError = QStringLiteral("The appointments could not be saved: disk full");
    hub.Close();
    ASSERT_EQ(prompts.Count(), 2);
    EXPECT_EQ(prompts.LastText(), window.saveError);
}

TEST_F(AppointmentsLogic, AWindowLayerThatComesAfterTheOpenGetsItsWindowAtTheFirstShow)
{
    hub.Services().Withdraw<IAppointmentsWindow>(&window);
    ASSERT_TRUE(hub.Open());
    EXPECT_TRUE(hub.Reaches(CommandCode::Appointments)) << "the owner is there";
    EXPECT_EQ(Send(CommandCode::Appointments), 0) << "but nothing to show";

    hub.Services().Provide<IAppointmentsWindow>(&window);
    EXPECT_EQ(Send(CommandCode::Appointments), 1);
    EXPECT_EQ(window.created, 1);
    EXPECT_EQ(window.shown, 1);

    // Gone again before the close: nothing is left to destroy.
    hub.Services().Withdraw<IAppointmentsWindow>(&window);
    hub.Close();
    EXPECT_EQ(window.destroyed, 0);
}
