#include "patients/CDynamicFieldsDictionary.h"
#include "patients/CLogicDynamicFields.h"
#include "shell/CLogicMain.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"

#include "Sylvan/XmlPlatform.h"
#include "libraries/Korbel/KorbelTestUtil.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>

#include <gtest/gtest.h>

#include <csignal>

using namespace KorbelTest;

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList DictionaryOnDisk(const QString &path)
{
    CDynamicFieldsDictionary dictionary;
    dictionary.Load(path);
    return dictionary.Names();
}

// The program's logic, without windows, over a practice in a temporary folder.
class CustomFieldsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(OpenHub()); }

    bool OpenHub()
    {
        hub = std::make_unique<CLogicMain>(Root(), dir.filePath(QStringLiteral("windows")));
        QString error;
        const bool opened = hub->Open(&error);
        EXPECT_TRUE(opened) << error.toStdString();
        return opened;
    }
    QString Root() const { return dir.rootWithSeparator(); }
    QString DictionaryPath() const { return Root() + QStringLiteral("UserData/DynamicFieldsDictionary.xml"); }
    CLogicDynamicFields *Fields() const { return hub->Services().Get<CLogicDynamicFields>(); }
    int Send(int code)
    {
        LogicCommand command;
        command.code = code;
        return hub->OnCommand(command);
    }
    QString NewPatient()
    {
        EXPECT_EQ(Send(CommandCode::NewPatient), 1);
        return Get(hub->GetMainTable(), QStringLiteral("ID"));
    }
    // The patient's fields as "name=value", in the order they were added.
    QStringList FieldsOf(const QString &patientId)
    {
        auto rows = Query(hub->GetDataSource(), QStringLiteral("DYNAMIC_FIELDS"), [&](Korbel::IQuery *query) {
            query->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, patientId);
            query->OrderBy(QStringLiteral("ID"));
        });
        QStringList fields;
        for (int more = rows->Move(Korbel::MoveFirst); more == 1; more = rows->Move(Korbel::MoveNext))
            fields << Get(rows.get(), QStringLiteral("NAME")) + u'='
                    + Get(rows.get(), QStringLiteral("VALUE"));
        return fields;
    }

    TestSupport::TemporaryFolder dir;
    Sylvan::PlatformScope xml;
    Desktop::ScriptedPrompts prompts;
    std::unique_ptr<CLogicMain> hub;
};

} // namespace

TEST_F(CustomFieldsTest, ANewFieldNamesWhatLaterNewPatientsGetUntilOneOfItsRowsIsDeleted)
{
    const QString anna = NewPatient();
    EXPECT_TRUE(FieldsOf(anna).isEmpty());

    // The name is trimmed, and is in the dictionary file at once.
    const qint64 blood = Fields()->AddField(QStringLiteral("  Blood group "));
    ASSERT_GT(blood, 0);
    EXPECT_EQ(FieldsOf(anna), QStringList { QStringLiteral("Blood group=") });
    EXPECT_EQ(DictionaryOnDisk(DictionaryPath()), QStringList { QStringLiteral("Blood group") });
    ASSERT_TRUE(Fields()->UpdateField(blood, QStringLiteral(" Blood group"), QStringLiteral(" A+ ")));
    EXPECT_EQ(FieldsOf(anna), QStringList { QStringLiteral("Blood group=A+") });
    // The same name with other spaces is the same name: no second entry.
    EXPECT_GT(Fields()->AddField(QStringLiteral("Blood group  ")), 0);
    EXPECT_EQ(Fields()->AddField(QStringLiteral("   ")), 0);
    Fields()->SetCreateAlways(QStringLiteral(" Allergies"), true);
    EXPECT_EQ(Fields()->Dictionary().Names(),
        (QStringList { QStringLiteral("Blood group"), QStringLiteral("Allergies") }));

    // The next new patient gets an empty field per name, in dictionary order.
    const QString bert = NewPatient();
    EXPECT_EQ(FieldsOf(bert), (QStringList { QStringLiteral("Blood group="), QStringLiteral("Allergies=") }));

    // Deleting Bert's "Blood group" takes the name out of the dictionary;
    // Anna keeps her fields of that name, and later patients get only the
    // names left.
    const auto berts
        = Query(hub->GetDataSource(), QStringLiteral("DYNAMIC_FIELDS"), [&](Korbel::IQuery *query) {
              query->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, bert);
              query->Where(QStringLiteral("NAME"), Korbel::Compare::Equal, QStringLiteral("Blood group"));
          });
    ASSERT_EQ(berts->Move(Korbel::MoveFirst), 1);
    ASSERT_TRUE(Fields()->DeleteField(Get(berts.get(), QStringLiteral("ID")).toLongLong()));
    EXPECT_EQ(FieldsOf(bert), QStringList { QStringLiteral("Allergies=") });
    EXPECT_EQ(
        FieldsOf(anna), (QStringList { QStringLiteral("Blood group=A+"), QStringLiteral("Blood group=") }));
    EXPECT_EQ(DictionaryOnDisk(DictionaryPath()), QStringList { QStringLiteral("Allergies") });
    const QString carl = NewPatient();
    EXPECT_EQ(FieldsOf(carl), QStringList { QStringLiteral("Allergies=") });

    // Deleting a patient removes its fields, not the dictionary's names.
    prompts.QueueAnswer(Desktop::Answer::Yes);
    EXPECT_EQ(Send(CommandCode::DeletePatient), 1);
    EXPECT_TRUE(FieldsOf(carl).isEmpty());
    EXPECT_EQ(Fields()->Dictionary().Names(), QStringList { QStringLiteral("Allergies") });

    // Unchecking "Create Always" takes a name out; the dictionary comes back
    // at the next start as it was left.
    Fields()->SetCreateAlways(QStringLiteral("Allergies "), false);
    Fields()->SetCreateAlways(QStringLiteral("Diet"), true);
    hub->Close();
    ASSERT_TRUE(OpenHub());
    EXPECT_EQ(Fields()->Dictionary().Names(), QStringList { QStringLiteral("Diet") });
}

TEST_F(CustomFieldsTest, TheDictionaryFileKeepsOrderAndAnUnreadableOneIsNeverOverwritten)
{
    hub->Close();
    // Every child of the root counts, whatever its name; blanks and repeats
    // do not.
    ASSERT_TRUE(dir.writeFile(QStringLiteral("UserData/DynamicFieldsDictionary.xml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Dynamic_Fields><Field>Diet</Field><Other> Sleep "
        "</Other><Field>  </Field><Field>Diet</Field><Field>Gr\xc3\xb6\xc3\x9f"
        "e</Field></Dynamic_Fields>"));
    ASSERT_TRUE(OpenHub());
    const QStringList names = { QStringLiteral("Diet"), QStringLiteral("Sleep"), QString::fromUtf8("Größe") };
    EXPECT_EQ(Fields()->Dictionary().Names(), names);
    // Nothing changed: the file is not rewritten at close.
    const QByteArray before = ReadAll(DictionaryPath());
    hub->Close();
    EXPECT_EQ(ReadAll(DictionaryPath()), before);

    // Written back, every name is a "Field" of "Dynamic_Fields" in order.
    ASSERT_TRUE(OpenHub());
    NewPatient();
    Fields()->SetCreateAlways(QStringLiteral("Mood"), true);
    const QString written = QString::fromUtf8(ReadAll(DictionaryPath()));
    EXPECT_TRUE(written.contains(QStringLiteral("<Dynamic_Fields>"))) << written.toStdString();
    EXPECT_EQ(written.count(QStringLiteral("<Field>")), 4) << written.toStdString();
    EXPECT_FALSE(written.contains(QStringLiteral("Other")));
    EXPECT_EQ(DictionaryOnDisk(DictionaryPath()), names + QStringList { QStringLiteral("Mood") });

    // A file that cannot be read leaves the dictionary empty, survives an
    // open and a close untouched, and is kept aside when names are written.
    hub->Close();
    const QByteArray broken = "<Dynamic_Fields><Field>Lost";
    ASSERT_TRUE(dir.writeFile(QStringLiteral("UserData/DynamicFieldsDictionary.xml"), broken));
    ASSERT_TRUE(OpenHub());
    EXPECT_TRUE(Fields()->Dictionary().Names().isEmpty());
    const QString patient = NewPatient();
    EXPECT_TRUE(FieldsOf(patient).isEmpty());
    hub->Close();
    EXPECT_EQ(ReadAll(DictionaryPath()), broken);
    ASSERT_TRUE(OpenHub());
    Fields()->SetCreateAlways(QStringLiteral("Diet"), true);
    EXPECT_EQ(DictionaryOnDisk(DictionaryPath()), QStringList { QStringLiteral("Diet") });
    const QStringList kept = QDir(Root() + QStringLiteral("UserData"))
                                 .entryList({ QStringLiteral("DynamicFieldsDictionary.xml.unreadable-*") });
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ReadAll(Root() + QStringLiteral("UserData/") + kept.first()), broken);
}

TEST_F(CustomFieldsTest, ANameAddedSurvivesTheProgramBeingKilledRightAfter)
{
    hub->Close();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral(CUSTOM_FIELDS_CRASH_CHILD), { Root(), QStringLiteral(" Blood group ") });
    ASSERT_TRUE(child.waitForStarted());
    ASSERT_TRUE(child.waitForReadyRead(20000)) << child.readAllStandardError().toStdString();
    ASSERT_EQ(child.readLine().trimmed(), QByteArray("written"));
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    EXPECT_EQ(DictionaryOnDisk(DictionaryPath()), QStringList { QStringLiteral("Blood group") });
    ASSERT_TRUE(OpenHub());
    EXPECT_EQ(Fields()->Dictionary().Names(), QStringList { QStringLiteral("Blood group") });
    EXPECT_EQ(FieldsOf(NewPatient()), QStringList { QStringLiteral("Blood group=") });
}
