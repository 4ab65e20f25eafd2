#pragma once

#include "patients/forms/ui/FormDialogs.h"

#include "Korbel/Binding/WidgetBinder.h"

#include "libraries/Korbel/KorbelTestUtil.h"
#include "patients/forms/CLogicIntakeForm.h"
#include "patients/forms/ui/CFormLayoutDlg.h"

#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

// A real database in a throw-away folder with a MAIN table whose current row is
// the patient the forms work on.
class FormsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_source = KorbelTest::OpenSource(m_folder.filePath(QStringLiteral("data.mdb")));
        Korbel::SetControlBinder(m_source.get(), &Korbel::WidgetBinder::Instance());
        ASSERT_TRUE(m_source);
        m_main = KorbelTest::OpenTable(m_source.get(), QStringLiteral("MAIN"));
        ASSERT_TRUE(m_main);
    }

    // Adds a patient, who becomes the current one; returns its ID text.
    QString AddPatient(const QString &firstName)
    {
        return KorbelTest::AddRow(m_main.get(), { { QStringLiteral("FIRST_NAME"), firstName } });
    }
    void GoToPatient(const QString &id)
    {
        ASSERT_EQ(m_main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, id), 1);
    }

    Korbel::ReleasePtr<Korbel::ITable> RowsOf(const QString &table, const QString &patientId)
    {
        return KorbelTest::Query(m_source.get(), table, [&](Korbel::IQuery *query) {
            query->Where(QStringLiteral("CUSTOMER_REF"), Korbel::Compare::Equal, patientId);
        });
    }
    int RowCount(const QString &table, const QString &patientId)
    {
        auto rows = RowsOf(table, patientId);
        return rows ? rows->RecordCount() : -1;
    }
    // A field of the patient's first row in the table, "<no row>" without one.
    QString Stored(const QString &table, const QString &patientId, const QString &field)
    {
        auto rows = RowsOf(table, patientId);
        if (!rows || rows->Move(Korbel::MoveFirst) != 1)
            return QStringLiteral("<no row>");
        return KorbelTest::Get(rows.get(), field);
    }

    // The form's dialogs are the program's, worked by the test's driver.
    void Present(CLogicIntakeForm &logic, CFormDialogs::Driver driver)
    {
        m_dialogs.SetDriver(std::move(driver));
        logic.SetDialogs(&m_dialogs);
    }

    CFormDialogs m_dialogs;
    TestSupport::TemporaryFolder m_folder;
    Korbel::ReleasePtr<Korbel::IDataSource> m_source;
    Korbel::ReleasePtr<Korbel::ITable> m_main;
};

// Drives a form dialog the way a person would: the presenter shows it, runs
// the test's steps on it, and leaves it as the steps left it.
inline CFormDialogs::Driver Drive(std::function<void(CFormLayoutDlg &)> steps)
{
    return [steps = std::move(steps)](QDialog &dialog) {
        dialog.show();
        auto *form = qobject_cast<CFormLayoutDlg *>(&dialog);
        EXPECT_TRUE(form);
        if (form)
            steps(*form);
        return dialog.result();
    };
}

inline LogicCommand Command(int code)
{
    LogicCommand command;
    command.code = code;
    return command;
}

inline void Press(CFormLayoutDlg &dialog, QDialogButtonBox::StandardButton which)
{
    auto *box = dialog.findChild<QDialogButtonBox *>();
    ASSERT_TRUE(box);
    box->button(which)->click();
}

template<typename Control> Control *ControlOf(CFormLayoutDlg &dialog, const char *table, const char *field)
{
    auto *control = qobject_cast<Control *>(dialog.FieldControl(QLatin1String(table), QLatin1String(field)));
    EXPECT_TRUE(control) << table << "." << field;
    return control;
}
