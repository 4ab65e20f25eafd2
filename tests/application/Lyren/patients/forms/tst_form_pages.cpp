// The pages of both dialogs against the database schema: every stored field of
// the nine form tables has exactly one control, of the kind its type needs,
// and every control binds to a real field.
#include "FormsTestUtil.h"

#include "Korbel/Schema.h"
#include "patients/forms/CLogicMedicalHistory.h"
#include "patients/forms/CLogicQuestionnaire.h"
#include "patients/forms/ui/CFormPage.h"
#include "patients/forms/ui/CMedicalHistoryLayoutDlg.h"
#include "patients/forms/ui/CQuestLayoutDlg.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTabWidget>

#include <map>
#include <set>

namespace {

using FieldKey = std::pair<QString, QString>;

// The stored fields of each form table beside its key and CUSTOMER_REF,
// counted here apart from the program: a field dropped from the schema or from
// a page fails the test.
const std::map<QString, int> FieldCounts = {
    { QStringLiteral("QUESTIONARY_A"), 68 },
    { QStringLiteral("QUESTIONARY_B"), 58 },
    { QStringLiteral("QUESTIONARY_C"), 22 },
    { QStringLiteral("QUESTIONARY_D"), 23 },
    { QStringLiteral("QUESTIONARY_E"), 17 },
    { QStringLiteral("QUESTIONARY_F"), 21 },
    { QStringLiteral("QUESTIONARY_G"), 24 },
    { QStringLiteral("QUESTIONARY_H"), 45 },
    { QStringLiteral("MEDICAL_HISTORY"), 52 },
};

// Checks the dialog's controls against the schema of the given tables.
void ExpectEveryFieldBoundOnce(CFormLayoutDlg &dialog, const QStringList &tables)
{
    std::map<FieldKey, int> seen;
    for (int i = 0; i < dialog.PageCount(); ++i) {
        for (const CFormPage::BoundField &bound : dialog.Page(i)->Fields()) {
            ++seen[{ bound.table, bound.field }];
            EXPECT_TRUE(bound.control->isEnabled())
                << "not bound: " << bound.table.toStdString() << "." << bound.field.toStdString();
        }
    }

    std::set<FieldKey> expected;
    for (const QString &name : tables) {
        const Korbel::TableDef *table = Korbel::Schema::instance().table(name);
        ASSERT_TRUE(table) << name.toStdString();
        int bound = 0;
        for (const auto &[key, count] : seen)
            bound += key.first == name ? 1 : 0;
        ASSERT_TRUE(FieldCounts.count(name)) << name.toStdString();
        EXPECT_EQ(bound, FieldCounts.at(name)) << name.toStdString();
        for (const Korbel::ColumnDef &column : table->columns) {
            if (column.name == u"ID" || column.name == u"CUSTOMER_REF")
                continue;
            expected.insert({ name, column.name });
            const std::string where = name.toStdString() + "." + column.name.toStdString();
            auto found = seen.find({ name, column.name });
            ASSERT_NE(found, seen.end()) << "no control for " << where;
            EXPECT_EQ(found->second, 1) << where;
            QWidget *control = dialog.FieldControl(name, column.name);
            if (column.kind == Korbel::ColumnKind::Bool)
                EXPECT_TRUE(qobject_cast<QCheckBox *>(control)) << where << " needs a check box";
            else
                EXPECT_TRUE(qobject_cast<QLineEdit *>(control) || qobject_cast<QPlainTextEdit *>(control))
                    << where << " needs an edit";
        }
    }
    for (const auto &[key, count] : seen)
        EXPECT_TRUE(expected.count(key))
            << "not a stored field: " << key.first.toStdString() << "." << key.second.toStdString();
}

QStringList TabTitles(const CFormLayoutDlg &dialog)
{
    QStringList titles;
    for (int i = 0; i < dialog.Tabs()->count(); ++i)
        titles << dialog.Tabs()->tabText(i);
    return titles;
}

} // namespace

using FormPages = FormsFixture;

TEST_F(FormPages, QuestionnaireBindsEveryFieldOfItsEightTablesOnItsSevenPages)
{
    AddPatient(QStringLiteral("Anna"));
    CLogicQuestionnaire logic(m_source.get(), m_main.get());
    ASSERT_EQ(logic.Open(), 1);
    CQuestLayoutDlg dialog(&logic, nullptr);

    EXPECT_EQ(dialog.windowTitle(), u"Questionnaire");
    EXPECT_EQ(TabTitles(dialog),
        QStringList({ "Page 1", "Page 2", "Page 3", "Page 4", "Page 5", "Page 6", "Page 7" }));
    const QStringList tables { "QUESTIONARY_A", "QUESTIONARY_B", "QUESTIONARY_C", "QUESTIONARY_D",
        "QUESTIONARY_E", "QUESTIONARY_F", "QUESTIONARY_G", "QUESTIONARY_H" };
    EXPECT_EQ(logic.TableNames(), tables);
    ExpectEveryFieldBoundOnce(dialog, tables);

    // The pages that mix tables show each field from its own table.
    std::set<QString> page4Tables;
    for (const CFormPage::BoundField &bound : dialog.Page(3)->Fields())
        page4Tables.insert(bound.table);
    EXPECT_EQ(page4Tables, (std::set<QString> { "QUESTIONARY_B", "QUESTIONARY_C", "QUESTIONARY_D" }));
    EXPECT_TRUE(
        dialog.Page(1)->FieldControl(QStringLiteral("QUESTIONARY_B"), QStringLiteral("QUESTIONARY_B")));
    EXPECT_TRUE(
        dialog.Page(2)->FieldControl(QStringLiteral("QUESTIONARY_C"), QStringLiteral("QUESTIONARY_C")));
    logic.Close();
}

TEST_F(FormPages, MedicalHistoryBindsEveryFieldOnItsTwoPages)
{
    AddPatient(QStringLiteral("Anna"));
    CLogicMedicalHistory logic(m_source.get(), m_main.get());
    ASSERT_EQ(logic.Open(), 1);
    CMedicalHistoryLayoutDlg dialog(&logic, nullptr);

    EXPECT_EQ(dialog.windowTitle(), u"Medical History");
    EXPECT_EQ(TabTitles(dialog), QStringList({ "Page 1", "Page 2" }));
    EXPECT_EQ(logic.TableNames(), QStringList { "MEDICAL_HISTORY" });
    ExpectEveryFieldBoundOnce(dialog, { "MEDICAL_HISTORY" });
    logic.Close();
}

TEST_F(FormPages, ControlsOfFieldsThatCannotBeBoundAreDisabled)
{
    // Without an open form nothing can be kept, so nothing can be typed.
    AddPatient(QStringLiteral("Anna"));
    CLogicQuestionnaire logic(m_source.get(), m_main.get());
    CQuestLayoutDlg dialog(&logic, nullptr);
    auto *edit = ControlOf<QPlainTextEdit>(dialog, "QUESTIONARY_A", "QUESTIONARY_A");
    ASSERT_TRUE(edit);
    EXPECT_FALSE(edit->isEnabled());
}
