#include "PatientTestUtil.h"

#include "core/CLogicFolders.h"
#include "core/PatientImages.h"
#include "patients/CLogicComesFor.h"
#include "patients/CLogicPatient.h"
#include "patients/CLogicPatientPicture.h"
#include "patients/forms/ui/PhraseEdits.h"
#include "patients/ui/CComesForDialog.h"
#include "shell/ui/CMainView.h"
#include "shell/ui/WindowPresenters.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>

using namespace PatientTest;

namespace {

// Images chosen and imported without the image manager.
class FakeImages final : public IPatientImages
{
public:
    QString Choose(QWidget *, const QString &folder, const QString &current) override
    {
        folders << folder;
        currents << current;
        return chosen;
    }
    QString Import(const QString &folder, const QString &source) override
    {
        folders << folder;
        return source.endsWith(QLatin1String(".jpg")) ? folder + QFileInfo(source).fileName() : QString();
    }
    QString chosen;
    QStringList folders;
    QStringList currents;
};

class PatientRecordTest : public FrameFixture
{
protected:
    int Count(const QString &table, const QString &patientId)
    {
        auto rows = Query(Hub()->GetDataSource(), table, [&](Korbel::IQuery *query) {
            query->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, patientId);
        });
        return rows ? rows->RecordCount() : -1;
    }
    CLogicComesFor *ComesFor() const { return Hub()->Services().Get<CLogicComesFor>(); }
    CComplaintPresenter &ComplaintEditor() const { return frame->GetPresenters()->ComplaintEditor(); }
    Korbel::CXListCtrl *ComplaintsList() const
    {
        return qobject_cast<Korbel::CXListCtrl *>(frame->GetMainView()->GetChiefComplaintsList());
    }
    // Adds a chief complaint through its dialog, typing the description.
    int AddComplaint(const QString &description, bool confirm = true)
    {
        ComplaintEditor().SetDriver([&](CComesForDialog &dialog) {
            dialog.DescriptionEdit()->setPlainText(description);
            if (!confirm)
                return int(QDialog::Rejected);
            dialog.accept();
            return dialog.result();
        });
        return ComesFor()->EditRow(ComplaintsList()->GetItemCount() - 1);
    }
};

} // namespace

TEST_F(PatientRecordTest, ThePatientTabShowsTheRowAndSavesWhatWasTyped)
{
    // An empty practice: the first patient is made by New, with its folders.
    EXPECT_EQ(Main()->RecordCount(), 0);
    const QString anna = NewPatient(QStringLiteral("Anna"), QStringLiteral("Berg"));
    EXPECT_EQ(anna, QStringLiteral("1"));
    EXPECT_EQ(Edit(QStringLiteral("ID"))->text(), anna);
    // A save without changes succeeds and changes nothing.
    EXPECT_EQ(frame->SendCommand(27), 1);
    EXPECT_EQ(Current(QStringLiteral("FIRST_NAME")), QStringLiteral("Anna"));
    EXPECT_EQ(Main()->RecordCount(), 1);
    EXPECT_TRUE(Edit(QStringLiteral("ID"))->isReadOnly());
    const QString folder = Hub()->GetLogicFolders()->GetPatientFolder();
    EXPECT_EQ(folder, Root() + QStringLiteral("UserData/1/"));
    for (const QString &sub : { QString(), QStringLiteral("Images"), QStringLiteral("Media") })
        EXPECT_TRUE(QFileInfo(folder + sub).isDir()) << sub.toStdString();

    // Gender and the look-up combos carry their keys as item data.
    auto *gender = qobject_cast<QComboBox *>(Page()->FieldControl(QStringLiteral("SEX")));
    ASSERT_NE(gender, nullptr);
    ASSERT_EQ(gender->count(), 2);
    EXPECT_EQ(gender->itemText(0), QStringLiteral("MALE"));
    EXPECT_EQ(gender->itemData(0).toInt(), 1);
    EXPECT_EQ(gender->itemText(1), QStringLiteral("FEMALE"));
    EXPECT_EQ(gender->itemData(1).toInt(), 0);
    gender->setCurrentIndex(1);
    auto *marital = qobject_cast<QComboBox *>(Page()->FieldControl(QStringLiteral("MARITAL_STATUS")));
    ASSERT_NE(marital, nullptr);
    ASSERT_GT(marital->count(), 1);
    marital->setCurrentIndex(1);
    const QString maritalKey = marital->currentData().toString();

    // An insurance box enables its amount edit.
    auto *insurance = qobject_cast<QCheckBox *>(Page()->FieldControl(QStringLiteral("HOM_INS")));
    ASSERT_NE(insurance, nullptr);
    QWidget *amount = Page()->FieldControl(QStringLiteral("HOM_INS_AMNT"));
    ASSERT_NE(amount, nullptr);
    EXPECT_FALSE(amount->isEnabled());
    insurance->click();
    EXPECT_TRUE(amount->isEnabled());
    Edit(QStringLiteral("OCCUPATION"))->setText(QStringLiteral("Baker"));

    // The header band follows the saved name.
    NewPatient(QStringLiteral("Carl"));
    EXPECT_EQ(frame->GetMainView()->GetNameLine(), QStringLiteral("Carl"));
    EXPECT_EQ(frame->SendCommand(2), 1);
    EXPECT_EQ(frame->GetMainView()->GetNameLine(), QStringLiteral("Anna Berg"));
    EXPECT_EQ(Current(QStringLiteral("OCCUPATION")), QStringLiteral("Baker"));
    EXPECT_EQ(Current(QStringLiteral("SEX")), QStringLiteral("0"));
    EXPECT_EQ(Current(QStringLiteral("MARITAL_STATUS")), maritalKey);
    EXPECT_EQ(Current(QStringLiteral("HOM_INS")), QStringLiteral("1"));
    EXPECT_TRUE(amount->isEnabled());
    EXPECT_EQ(Edit(QStringLiteral("OCCUPATION"))->text(), QStringLiteral("Baker"));
    EXPECT_EQ(frame->SendCommand(1), 1);
    EXPECT_FALSE(amount->isEnabled());
    EXPECT_TRUE(Edit(QStringLiteral("OCCUPATION"))->text().isEmpty());

    // Names in any script and long texts come back unchanged.
    const QString first = QStringLiteral("Ζωή-Σοφία");
    const QString last = QStringLiteral("李 O'Brien \"%_\"");
    const QString occupation = QString(QStringLiteral("Ärztin 👩‍⚕️ ")).repeated(2000);
    Edit(QStringLiteral("FIRST_NAME"))->setText(first);
    Edit(QStringLiteral("LAST_NAME"))->setText(last);
    Edit(QStringLiteral("OCCUPATION"))->setText(occupation);
    EXPECT_EQ(frame->SendCommand(2), 1);
    EXPECT_EQ(frame->SendCommand(4), 1);
    EXPECT_EQ(frame->GetMainView()->GetNameLine(), first + QLatin1Char(' ') + last);
    EXPECT_EQ(Edit(QStringLiteral("OCCUPATION"))->text(), occupation);
    EXPECT_EQ(Current(QStringLiteral("LAST_NAME")), last);
}

TEST_F(PatientRecordTest, DeleteRemovesChildRowsFolderAndRowAndReportsARefusal)
{
    const QString anna = NewPatient(QStringLiteral("Anna"));
    const QString bert = NewPatient(QStringLiteral("Bert"));
    ASSERT_EQ(AddComplaint(QStringLiteral("Headache")), 1);
    ASSERT_EQ(AddComplaint(QStringLiteral("Insomnia")), 1);
    Korbel::ITable *address = Hub()->GetAddressTable();
    ASSERT_EQ(address->Edit(), 1);
    ASSERT_TRUE(Set(address, QStringLiteral("CITY"), QStringLiteral("Bergen")));
    ASSERT_EQ(frame->SendCommand(27), 1);
    EXPECT_EQ(Count(QStringLiteral("COMES_FOR"), bert), 2);
    EXPECT_EQ(Count(QStringLiteral("ADDRESS"), bert), 1);
    const QString bertFolder = Hub()->GetLogicFolders()->GetPatientFolder();
    QFile kept(bertFolder + QStringLiteral("Images/photo.jpg"));
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.close();

    // "No" keeps the patient; "Yes" removes everything that belongs to it and
    // shows the other patient.
    prompts.QueueAnswer(Desktop::Answer::No);
    EXPECT_EQ(frame->SendCommand(6), 0);
    EXPECT_EQ(Main()->RecordCount(), 2);
    EXPECT_EQ(frame->SendCommand(6), 1);
    EXPECT_EQ(prompts.Texts(),
        QStringList(
            2, QStringLiteral("Are you sure you want to delete?\nAll current patient's data will be lost.")));
    EXPECT_EQ(Main()->RecordCount(), 1);
    EXPECT_EQ(Count(QStringLiteral("COMES_FOR"), bert), 0);
    EXPECT_EQ(Count(QStringLiteral("ADDRESS"), bert), 0);
    EXPECT_FALSE(QFileInfo::exists(bertFolder));
    EXPECT_EQ(Current(QStringLiteral("ID")), anna);
    EXPECT_EQ(frame->GetMainView()->GetNameLine(), QStringLiteral("Anna"));
    EXPECT_EQ(ComplaintsList()->GetItemCount(), 1);

    // The database refuses: the message, and the patient stays.
    ASSERT_TRUE(ExecSql(DatabasePath(),
        QStringLiteral("CREATE TRIGGER keep_anna BEFORE DELETE ON MAIN WHEN OLD.FIRST_NAME = 'Anna' "
                       "BEGIN SELECT RAISE(ABORT, 'referenced'); END")));
    prompts.Clear();
    EXPECT_EQ(frame->SendCommand(6), 0);
    ASSERT_EQ(prompts.Count(), 2);
    EXPECT_EQ(prompts.LastText(),
        QStringLiteral("This patient cannot be deleted.\nIt is recommended to uncheck the Active field in "
                       "Patient data."));
    EXPECT_EQ(Main()->RecordCount(), 1);
    EXPECT_EQ(Current(QStringLiteral("FIRST_NAME")), QStringLiteral("Anna"));
    ASSERT_TRUE(ExecSql(DatabasePath(), QStringLiteral("DROP TRIGGER keep_anna")));

    // The last patient goes: an empty window that still works.
    EXPECT_EQ(frame->SendCommand(6), 1);
    EXPECT_EQ(Main()->RecordCount(), 0);
    EXPECT_TRUE(frame->GetMainView()->GetNameLine().isEmpty());
    EXPECT_TRUE(frame->GetMainView()->GetAgeLine().isEmpty());
    EXPECT_TRUE(Edit(QStringLiteral("FIRST_NAME"))->text().isEmpty());
    // Nothing can be typed where it could not be kept.
    EXPECT_FALSE(Edit(QStringLiteral("FIRST_NAME"))->isEnabled());
    for (int code : { 1, 2, 3, 4, 6 })
        EXPECT_EQ(frame->SendCommand(code), 0) << code;
    EXPECT_EQ(frame->SendCommand(27), 0);
    EXPECT_EQ(AddComplaint(QStringLiteral("nobody")), 0);
    const QString carl = NewPatient(QStringLiteral("Carl"));
    EXPECT_EQ(Main()->RecordCount(), 1);
    EXPECT_EQ(frame->GetMainView()->GetNameLine(), QStringLiteral("Carl"));
    EXPECT_TRUE(Edit(QStringLiteral("FIRST_NAME"))->isEnabled());
    EXPECT_TRUE(QFileInfo(Root() + QStringLiteral("UserData/") + carl).isDir());
}

TEST_F(PatientRecordTest, ChiefComplaintsAreAddedEditedAndACancelledNewOneLeavesNoRow)
{
    const QString anna = NewPatient(QStringLiteral("Anna"));
    Korbel::CXListCtrl *list = ComplaintsList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("Double click here to add new..."));

    ASSERT_EQ(AddComplaint(QStringLiteral("Back pain\nsince May\tworse at night")), 1);
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("Back pain since May worse at night"));

    // Cancel of a new complaint: no row now, nor at the next save.
    EXPECT_EQ(AddComplaint(QStringLiteral("dropped"), false), 0);
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(frame->SendCommand(27), 1);
    EXPECT_EQ(Count(QStringLiteral("COMES_FOR"), anna), 1);

    // A double click on a complaint edits it (code 28 on the current row).
    list->setCurrentIndex(list->model()->index(0, 0));
    ComplaintEditor().SetDriver([](CComesForDialog &dialog) {
        EXPECT_EQ(dialog.Description(), QStringLiteral("Back pain\nsince May\tworse at night"));
        dialog.DescriptionEdit()->setPlainText(QStringLiteral("Back pain, better"));
        dialog.accept();
        return dialog.result();
    });
    EXPECT_EQ(frame->SendCommand(28), 1);
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("Back pain, better"));
    EXPECT_EQ(Count(QStringLiteral("COMES_FOR"), anna), 1);

    // The button's menu: one entry per complaint, cut at 40 characters, then
    // the entry that adds one.
    ASSERT_EQ(AddComplaint(QString(40, QLatin1Char('y'))), 1);
    ASSERT_EQ(AddComplaint(QString(41, QLatin1Char('x'))), 1);
    Desktop::ScriptedMenus menus;
    EXPECT_EQ(frame->SendCommand(42), 0);
    const QStringList entries = menus.LastEntries();
    EXPECT_EQ(entries,
        (QStringList { QStringLiteral("Back pain, better"), QString(40, QLatin1Char('y')),
            QString(40, QLatin1Char('x')) + QStringLiteral("..."),
            QStringLiteral("Click here to add new...") }));

    // Del removes the selected complaint; the adding row cannot be deleted.
    list->SetCurSel(1);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(Count(QStringLiteral("COMES_FOR"), anna), 2);
    list->SetCurSel(2);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->GetItemText(2, 0), QStringLiteral("Double click here to add new..."));

    // Another patient has a list of its own; coming back shows Anna's again.
    NewPatient(QStringLiteral("Bert"));
    EXPECT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(frame->SendCommand(2), 1);
    EXPECT_EQ(list->GetItemCount(), 3);
}

TEST_F(PatientRecordTest, HeaderAgeLineAndPictureWithItsFallbacks)
{
    const QDate today(2024, 3, 1);
    EXPECT_EQ(CLogicPatientPicture::AgeLine(QDate(2023, 3, 3), today), QStringLiteral("0 year(s)"));
    EXPECT_EQ(CLogicPatientPicture::AgeLine(QDate(2023, 3, 2), today), QStringLiteral("1 year(s)"));
    // Whole days over 365: the leap days make the count run a few days ahead
    // of the birthday.
    EXPECT_EQ(CLogicPatientPicture::AgeLine(QDate(1984, 3, 11), today), QStringLiteral("40 year(s)"));
    EXPECT_EQ(CLogicPatientPicture::AgeLine(QDate(1984, 3, 12), today), QStringLiteral("39 year(s)"));
    // A date of birth in the future shows no age rather than a negative one.
    EXPECT_TRUE(CLogicPatientPicture::AgeLine(QDate(2025, 3, 1), today).isEmpty());
    EXPECT_TRUE(CLogicPatientPicture::AgeLine(QDate(2024, 3, 2), today).isEmpty());
    EXPECT_EQ(CLogicPatientPicture::AgeLine(today, today), QStringLiteral("0 year(s)"));
    EXPECT_TRUE(CLogicPatientPicture::AgeLine(QDate(), today).isEmpty());
    EXPECT_EQ(CLogicPatientPicture::NameLine(QStringLiteral("Anna"), QString(), QStringLiteral("Berg")),
        QStringLiteral("Anna Berg"));
    EXPECT_EQ(
        CLogicPatientPicture::NameLine(QString(), QStringLiteral("M."), QString()), QStringLiteral(" M."));

    // Without a picture the practice logo, when there is one.
    EXPECT_EQ(
        PatientPictures::PictureToShow(Root(), QStringLiteral("  /p/a.jpg ")), QStringLiteral("/p/a.jpg"));
    EXPECT_TRUE(PatientPictures::PictureToShow(Root(), QStringLiteral("  ")).isEmpty());
    QFile logo(Root() + QStringLiteral("Logo.bmp"));
    ASSERT_TRUE(logo.open(QIODevice::WriteOnly));
    logo.close();
    EXPECT_EQ(PatientPictures::PictureToShow(Root(), QString()), Root() + QStringLiteral("Logo.bmp"));

    NewPatient(QStringLiteral("Anna"));
    EXPECT_EQ(frame->GetMainView()->GetPicture(), Root() + QStringLiteral("Logo.bmp"));
    FakeImages images;
    Hub()->Services().Get<CLogicPatientPicture>()->SetImages(&images);
    const QString imagesFolder = Hub()->GetLogicFolders()->GetImagesFolder();

    // The picture button: nothing chosen changes nothing; a choice is stored.
    EXPECT_EQ(frame->SendCommand(9), 0);
    EXPECT_TRUE(Current(QStringLiteral("IMAGE_PATH")).isEmpty());
    images.chosen = imagesFolder + QStringLiteral("face.jpg");
    EXPECT_EQ(frame->SendCommand(9), 1);
    EXPECT_EQ(images.folders.last(), imagesFolder);
    EXPECT_EQ(Current(QStringLiteral("IMAGE_PATH")), images.chosen);
    EXPECT_EQ(frame->GetMainView()->GetPicture(), images.chosen);

    // A dropped image is imported and becomes the picture; another file
    // becomes one of the patient's documents.
    QDir().mkpath(dir.filePath(QStringLiteral("elsewhere")));
    for (const QString &name : { QStringLiteral("notes.txt"), QStringLiteral("new.jpg") }) {
        QFile file(dir.filePath(QStringLiteral("elsewhere/") + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    LogicCommand dropped;
    dropped.code = 37;
    dropped.text = dir.filePath(QStringLiteral("elsewhere/missing.jpg"));
    EXPECT_EQ(Hub()->OnCommand(dropped), 0);
    dropped.text = dir.filePath(QStringLiteral("elsewhere/notes.txt"));
    EXPECT_EQ(Hub()->OnCommand(dropped), 1);
    EXPECT_EQ(Current(QStringLiteral("IMAGE_PATH")), images.chosen);
    EXPECT_TRUE(QFileInfo::exists(Hub()->GetLogicFolders()->GetPdfFolder() + QStringLiteral("notes.txt")));
    dropped.text = dir.filePath(QStringLiteral("elsewhere/new.jpg"));
    EXPECT_EQ(Hub()->OnCommand(dropped), 1);
    EXPECT_EQ(Current(QStringLiteral("IMAGE_PATH")), imagesFolder + QStringLiteral("new.jpg"));
    Hub()->Services().Get<CLogicPatientPicture>()->SetImages(nullptr);
}
