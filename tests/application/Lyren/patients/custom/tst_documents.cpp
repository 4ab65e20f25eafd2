#include "CustomDataTestUtil.h"

#include "patients/CLogicDocuments.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtCore/QDir>
#include <QtWidgets/QPushButton>

using namespace CustomDataTest;

namespace {

class DocumentsTest : public ShownFrameFixture
{
protected:
    void SetUp() override
    {
        ShownFrameFixture::SetUp();
        ShowTab(CGeneralDialog::PageIndex);
        ASSERT_TRUE(QDir().mkpath(Outside()));
    }
    Korbel::CXListCtrl *List() const { return Page()->DocumentsList(); }
    QString Outside() const { return dir.filePath(QStringLiteral("scanner")); }
    // A file outside the practice, as a scanner or a mail program leaves it.
    QString OutsideFile(const QString &name, const QByteArray &content)
    {
        EXPECT_TRUE(dir.writeFile(QStringLiteral("scanner/") + name, content));
        return Outside() + u'/' + name;
    }
    QString PdfFolder() const { return Hub()->GetLogicFolders()->GetPdfFolder(); }
    QStringList Listed() const
    {
        QStringList names;
        for (int row = 0; row < List()->GetItemCount(); ++row)
            names << List()->GetItemText(row, 0);
        return names;
    }
    QStringList Stored() const { return QDir(PdfFolder()).entryList(QDir::Files, QDir::Name); }
    void Select(const QString &name)
    {
        const int row = static_cast<int>(Listed().indexOf(name));
        ASSERT_GE(row, 0) << name.toStdString();
        List()->SetCurSel(row);
    }
};

} // namespace

TEST_F(DocumentsTest, DocumentsAreImportedDroppedOpenedAndRemoved)
{
    EXPECT_FALSE(Page()->ImportButton()->isEnabled());
    NewPatient(QStringLiteral("Anna"));
    EXPECT_TRUE(Page()->ImportButton()->isEnabled());
    EXPECT_TRUE(Page()->DeleteDocumentButton()->isEnabled());
    EXPECT_TRUE(Listed().isEmpty());

    // "Import...": the dialog starts in the documents folder with the
    // documents' filter; the chosen file is copied in and listed on top.
    Desktop::ScriptedFileDialogs dialogs;
    dialogs.QueueFileName(OutsideFile(QStringLiteral("letter.pdf"), "letter"));
    Page()->ImportButton()->click();
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_EQ(dialogs.Requests()[0].folder, PdfFolder());
    EXPECT_EQ(dialogs.Requests()[0].filter,
        QStringLiteral(
            "Document Files (*.doc; *.rtf; *.html; *.txt; *.pdf; *.xls)| *.doc; *.rtf; *.html; *.txt; "
            "*.pdf; *.xls|All files (*.*)|*.*||"));
    EXPECT_EQ(Listed(), QStringList { QStringLiteral("letter.pdf") });
    EXPECT_EQ(ReadAll(PdfFolder() + QStringLiteral("letter.pdf")), QByteArray("letter"));
    Page()->ImportButton()->click(); // cancelled: nothing
    EXPECT_EQ(Listed(), QStringList { QStringLiteral("letter.pdf") });

    // Of three files dropped on the tab only the first is added.
    Page()->DropFiles({ OutsideFile(QStringLiteral("report.doc"), "report"),
        OutsideFile(QStringLiteral("b.txt"), "b"), OutsideFile(QStringLiteral("c.txt"), "c") });
    EXPECT_EQ(Listed(), (QStringList { QStringLiteral("report.doc"), QStringLiteral("letter.pdf") }));
    EXPECT_EQ(Stored(), (QStringList { QStringLiteral("letter.pdf"), QStringLiteral("report.doc") }));

    // Double click opens the selected document with the desktop's program.
    Select(QStringLiteral("letter.pdf"));
    emit List()->itemDoubleClicked(List()->GetCurSel(), 0);
    ASSERT_EQ(shell.Launches().size(), 1u);
    EXPECT_EQ(shell.Launches()[0].target, PdfFolder() + QStringLiteral("letter.pdf"));
    EXPECT_EQ(shell.Launches()[0].verb, QStringLiteral("open"));

    // "Delete" asks first; No keeps the document.
    Select(QStringLiteral("report.doc"));
    prompts.QueueAnswer(Desktop::Answer::No);
    Page()->DeleteDocumentButton()->click();
    EXPECT_EQ(prompts.LastText(), QStringLiteral("Are you sure you want to remove report.doc?"));
    EXPECT_EQ(Stored().size(), 2);
    prompts.QueueAnswer(Desktop::Answer::Yes);
    Page()->DeleteDocumentButton()->click();
    EXPECT_EQ(Listed(), QStringList { QStringLiteral("letter.pdf") });
    EXPECT_EQ(Stored(), QStringList { QStringLiteral("letter.pdf") });

    // Sub-folders are never listed; the list shows the folder after a restart.
    ASSERT_TRUE(QDir().mkpath(PdfFolder() + QStringLiteral("old scans")));
    ASSERT_TRUE(dir.writeFile(
        QStringLiteral("UserData/") + Current(QStringLiteral("ID")) + QStringLiteral("/Pdf/a.xls"), "a"));
    Reopen();
    EXPECT_EQ(Listed(), (QStringList { QStringLiteral("a.xls"), QStringLiteral("letter.pdf") }));
}

TEST_F(DocumentsTest, AnExistingNameIsReplacedOnlyWhenThePersonSaysSo)
{
    NewPatient(QStringLiteral("Anna"));
    Page()->DropFiles({ OutsideFile(QStringLiteral("scan.pdf"), "first") });
    const QString newer = OutsideFile(QStringLiteral("scan.pdf"), "second");

    // Cancel adds nothing.
    prompts.QueueAnswer(Desktop::Answer::Cancel);
    Page()->DropFiles({ newer });
    EXPECT_EQ(prompts.LastText(),
        QStringLiteral(
            "A document named scan.pdf is already in the patient's folder.\nDo you want to replace it?\n\n"
            "Yes replaces it. No keeps both: the new file is added as scan (2).pdf."));
    EXPECT_EQ(ReadAll(PdfFolder() + QStringLiteral("scan.pdf")), QByteArray("first"));
    EXPECT_EQ(Listed(), QStringList { QStringLiteral("scan.pdf") });

    // No keeps both, the new one under a free name.
    prompts.QueueAnswer(Desktop::Answer::No);
    Page()->DropFiles({ newer });
    EXPECT_EQ(ReadAll(PdfFolder() + QStringLiteral("scan.pdf")), QByteArray("first"));
    EXPECT_EQ(ReadAll(PdfFolder() + QStringLiteral("scan (2).pdf")), QByteArray("second"));
    EXPECT_EQ(Listed(), (QStringList { QStringLiteral("scan (2).pdf"), QStringLiteral("scan.pdf") }));

    // Yes replaces it; the list shows the name once.
    prompts.QueueAnswer(Desktop::Answer::Yes);
    Page()->DropFiles({ newer });
    EXPECT_EQ(ReadAll(PdfFolder() + QStringLiteral("scan.pdf")), QByteArray("second"));
    EXPECT_EQ(Listed(), (QStringList { QStringLiteral("scan (2).pdf"), QStringLiteral("scan.pdf") }));

    // A document chosen from its own folder is already there: no question.
    const int asked = prompts.Count();
    Desktop::ScriptedFileDialogs dialogs;
    dialogs.QueueFileName(PdfFolder() + QStringLiteral("scan.pdf"));
    Page()->ImportButton()->click();
    EXPECT_EQ(prompts.Count(), asked);
    EXPECT_EQ(ReadAll(PdfFolder() + QStringLiteral("scan.pdf")), QByteArray("second"));
}

TEST_F(DocumentsTest, NoFileNameLeadsOutOfThePatientsFolder)
{
    NewPatient(QStringLiteral("Anna"));
    const QStringList before = QDir(PatientFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    // Folders, names that lead upwards and files that do not exist add nothing.
    for (const QString &path : { Outside(), Outside() + QStringLiteral("/.."),
             Outside() + QStringLiteral("/"), Outside() + QStringLiteral("/missing.pdf") }) {
        LogicCommand dropped;
        dropped.code = 30;
        dropped.text = path;
        EXPECT_EQ(Hub()->OnCommand(dropped), 0) << path.toStdString();
    }
    EXPECT_EQ(QDir(PatientFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_TRUE(Stored().isEmpty());
    for (const QString &name : { QStringLiteral(".."), QStringLiteral("."), QStringLiteral("a/b"),
             QStringLiteral("..\\b"), QString() })
        EXPECT_FALSE(CLogicDocuments::IsDocumentName(name)) << name.toStdString();
    EXPECT_TRUE(CLogicDocuments::IsDocumentName(QStringLiteral("..letter.pdf")));

    // A listed name that would lead outside is neither opened nor removed,
    // and a folder of a document's name is never written through.
    List()->InsertItem(0, QStringLiteral(".."));
    List()->SetCurSel(0);
    emit List()->itemDoubleClicked(0, 0);
    EXPECT_TRUE(shell.Launches().empty());
    Page()->DeleteDocumentButton()->click();
    EXPECT_EQ(prompts.Count(), 0);
    EXPECT_TRUE(QFileInfo(PatientFolder()).isDir());
    ASSERT_TRUE(QDir().mkpath(PdfFolder() + QStringLiteral("taken.pdf")));
    Page()->DropFiles({ OutsideFile(QStringLiteral("taken.pdf"), "taken") });
    EXPECT_EQ(prompts.Count(), 0);
    EXPECT_TRUE(QFileInfo(PdfFolder() + QStringLiteral("taken.pdf")).isDir());
    EXPECT_EQ(ReadAll(PdfFolder() + QStringLiteral("taken (2).pdf")), QByteArray("taken"));
}
