#pragma once

#include "patients/ui/CGeneralDialog.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPageContainer.h"

#include "libraries/Korbel/KorbelTestUtil.h"
#include "profile/UserSettings.h"
#include "support/ScriptedDesktop.h"

#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

#include <memory>

namespace PatientTest {

using namespace KorbelTest;

// Runs one statement on the database file through a connection of its own
// (triggers that make the database refuse a write).
inline bool ExecSql(const QString &databasePath, const QString &statement)
{
    bool done = false;
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("patient-test"));
        db.setDatabaseName(databasePath);
        if (db.open()) {
            QSqlQuery query(db);
            done = query.exec(statement);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("patient-test"));
    return done;
}

// The real main window over a practice in a temporary folder, message boxes
// and the desktop shell scripted.
class FrameFixture : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(OpenFrame()); }
    void TearDown() override { CloseFrame(); }

    bool OpenFrame()
    {
        frame = std::make_unique<CMainFrame>(Root(), dir.filePath(QStringLiteral("windows")));
        QString error;
        const bool opened = frame->Initialize(&error);
        EXPECT_TRUE(opened) << error.toStdString();
        return opened;
    }
    void CloseFrame()
    {
        if (frame)
            frame->close();
        frame.reset();
    }

    QString Root() const { return dir.rootWithSeparator(); }
    QString DatabasePath() const { return Root() + QStringLiteral("data.mdb"); }
    CLogicMain *Hub() const { return frame->GetHub(); }
    Korbel::ITable *Main() const { return Hub()->GetMainTable(); }
    CGeneralDialog *Page() const
    {
        return qobject_cast<CGeneralDialog *>(
            frame->GetPageContainer()->GetPageWindow(CGeneralDialog::PageIndex));
    }
    QLineEdit *Edit(const QString &field) const
    {
        return qobject_cast<QLineEdit *>(Page()->FieldControl(field));
    }
    QString Current(const QString &field) const { return Get(Main(), field); }

    // A new patient with its first and last name typed in the Patient tab.
    QString NewPatient(const QString &first, const QString &last = QString())
    {
        EXPECT_EQ(frame->SendCommand(5), 1);
        Edit(QStringLiteral("FIRST_NAME"))->setText(first);
        Edit(QStringLiteral("LAST_NAME"))->setText(last);
        EXPECT_EQ(frame->SendCommand(27), 1);
        return Current(QStringLiteral("ID"));
    }

    TestSupport::TemporaryFolder dir;
    Profile::MemoryUserSettings settings;
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedShell shell;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace PatientTest
