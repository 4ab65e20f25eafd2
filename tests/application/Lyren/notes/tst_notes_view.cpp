// The notes view and its frame with real key and mouse events: the items are
// protected against the keyboard, the mouse and the clipboard, undo keeps to
// typing, the formatting commands show their states, picked phrases go to the
// possible rubrics, media files are imported, and the notes and today's
// prescription are printed (read back from PDF).
#include "NotesTestUtil.h"

#include "notes/NotesServices.h"
#include "notes/ui/CActiveEditorFrame.h"
#include "notes/ui/CActiveEditorView.h"
#include "notes/ui/CFormatBar.h"
#include "notes/ui/CNotesPage.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPageContainer.h"

#include "core/PatientImages.h"

#include "desktop/widgets/PrintDialogs.h"
#include "richedit/TextFormats.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtGui/QAction>
#include <QtGui/QClipboard>
#include <QtGui/QTextBlock>
#include <QtPrintSupport/QPrinter>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDockWidget>
#include <QtWidgets/QLabel>

using namespace NotesTest;
using View = CActiveEditorView;

namespace {

// The print dialog answered by a printer writing a PDF file (or cancelled).
class PdfPrintDialogs final : public Desktop::IPrintDialogs
{
public:
    PdfPrintDialogs()
        : m_previous(Desktop::SetPrintDialogs(this))
    { }
    ~PdfPrintDialogs() override { Desktop::SetPrintDialogs(m_previous); }
    PdfPrintDialogs(const PdfPrintDialogs &) = delete;
    PdfPrintDialogs &operator=(const PdfPrintDialogs &) = delete;

    bool ChoosePrinter(QWidget *, QPrinter &printer, QAbstractPrintDialog::PrintDialogOptions) override
    {
        ++asked;
        if (path.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        documentName = printer.docName();
        return true;
    }
    void ShowPreview(QWidget *, QPrinter &printer, const std::function<void(QPrinter *)> &paint) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        paint(&printer);
    }

    QString path; // empty: the dialog is cancelled
    QString documentName;
    int asked = 0;

private:
    Desktop::IPrintDialogs *m_previous;
};

// The image manager's answers.
class ScriptedImages final : public IPatientImages
{
public:
    QString Choose(QWidget *, const QString &, const QString &) override { return chosen; }
    QString Import(const QString &, const QString &) override { return {}; }
    bool ShowImage(QWidget *, const QString &path) override
    {
        shown << path;
        return true;
    }
    QString chosen;
    QStringList shown;
};

// The prescription dialog's answer: a remedy, or a cancel.
class ScriptedPrescriptionDialog final : public IPrescriptionEditor
{
public:
    bool Edit(QWidget *, CActiveEditorPrescItem &item) override
    {
        if (medicine.isEmpty())
            return false;
        item.m_remedy = { QStringLiteral("1"), medicine, QStringLiteral("1"), QStringLiteral("30CH") };
        item.m_nQuantity = 2;
        return true;
    }
    bool ChooseTreatmentRemedy(QWidget *, RemedyRef &) override { return false; }
    QString medicine;
};

QString PdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), path, QStringLiteral("-") });
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The notes frame over a practice's notes logic (no main window), shown.
class NotesView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(practice.Open());
        frame = std::make_unique<CActiveEditorFrame>();
        frame->resize(900, 700);
        view = frame->View();
        view->SetEditor(&Editor());
        view->SetReach([this](int code) { return practice.Hub().Reaches(code); });
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        view->setFocus();
    }
    void TearDown() override
    {
        frame.reset();
        practice.Close();
    }
    CActiveEditor &Editor() { return practice.Editor(); }
    QAction *Command(int id) { return view->Action(id); }
    void Type(const QString &text)
    {
        view->moveCursor(QTextCursor::End);
        QTest::keyClicks(view, text);
    }
    void Select(int from, int to) { view->setSelection(from, to); }
    int Caret() const { return view->textCursor().position(); }
    int Find(const QString &text) const { return view->toPlainText().indexOf(text); }
    int SeparatorPosition()
    {
        for (const RichEdit::EmbeddedObject &object : view->objects()) {
            if (object.kind == int(ItemKind::Separator))
                return object.position;
        }
        return -1;
    }
    // An item at the caret, made as the notes load them.
    CActiveEditorClientItem *InsertAtCaret(ItemKind kind, const QString &medicine = QString())
    {
        auto item = Editor().CreateTemplate(ItemProxy::ClassIdOf(kind));
        if (kind == ItemKind::Image)
            static_cast<CActiveEditorImageItem &>(*item).m_strFilePath = QStringLiteral("/images/tongue.png");
        if (kind == ItemKind::Prescription) {
            auto &prescription = static_cast<CActiveEditorPrescItem &>(*item);
            prescription.m_remedy
                = { QStringLiteral("1"), medicine, QStringLiteral("1"), QStringLiteral("30CH") };
            prescription.m_nQuantity = 2;
        }
        CActiveEditorClientItem *made = nullptr;
        EXPECT_TRUE(Editor().InsertFromTemplate(*item, &made));
        return made;
    }
    void RightClick()
    {
        const QPoint at = view->cursorRect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &event);
    }

    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedFileDialogs files;
    Desktop::ScriptedMenus menus;
    Practice practice { { QStringLiteral("Anna"), QStringLiteral("Bert") } };
    std::unique_ptr<CActiveEditorFrame> frame;
    View *view = nullptr;
};

} // namespace

TEST_F(NotesView, TheInitialUpdateSetsTheDefaultFormatAndMeasuresTheFontExtents)
{
    EXPECT_EQ(view->options(), RichEdit::RichEditControl::Options(quint32(0xD1C1)));
    const RichEdit::CharFormat format = view->selectionCharFormat();
    EXPECT_EQ(format.face, QStringLiteral("Arial"));
    EXPECT_EQ(format.sizeTwips, 200);
    EXPECT_FALSE(format.bold || format.italic || format.underline);
    EXPECT_GT(Editor().FontExtentX(), 2);
    EXPECT_GT(Editor().FontExtentY(), Editor().FontExtentX());
    // Arial, or a font of the same metrics in its place.
    EXPECT_FALSE(QFontInfo(QFont(QStringLiteral("Arial"))).family().isEmpty());
}

TEST_F(NotesView, BackspaceAndDeleteJumpOverASeparatorAndDeleteNothing)
{
    Type(QStringLiteral("Headache"));
    const QString before = TextOf(Editor());
    const int separator = SeparatorPosition();
    ASSERT_GE(separator, 0);

    Select(separator + 1, separator + 1);
    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_EQ(Caret(), separator);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(Caret(), separator + 1);
    // A word deletion does not take the separator either.
    QTest::keyClick(view, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(TextOf(Editor()), before);
    EXPECT_EQ(prompts.Count(), 0);

    // A selection over the separator collapses to its start, without a question.
    Select(0, view->textLength());
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(TextOf(Editor()), before);
    EXPECT_FALSE(view->textCursor().hasSelection());
    EXPECT_EQ(Caret(), 0);
    EXPECT_EQ(prompts.Count(), 0);
}

TEST_F(NotesView, ASelectionOverAnImageAsksBeforeTheImageGoes)
{
    Type(QStringLiteral("abc"));
    InsertAtCaret(ItemKind::Image);
    Type(QStringLiteral("def"));
    const QString before = TextOf(Editor());
    const int b = Find(QStringLiteral("bc"));

    // Typing never replaces the selection: it collapses to its end.
    Select(b, b + 4);
    QTest::keyClick(view, Qt::Key_X);
    EXPECT_EQ(TextOf(Editor()), before);
    EXPECT_EQ(Caret(), b + 4);

    Select(b, b + 4);
    prompts.QueueAnswer(Desktop::Answer::No);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(prompts.LastText(), QStringLiteral("Remove item(s) from your notes?"));
    EXPECT_EQ(prompts.LastIcon(), Desktop::Icon::Question);
    EXPECT_EQ(TextOf(Editor()), before);

    Select(b, b + 4);
    prompts.QueueAnswer(Desktop::Answer::Yes);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_TRUE(TextOf(Editor()).contains(QStringLiteral("aef")));
    EXPECT_FALSE(DescribeItems(Editor()).join(QLatin1Char(' ')).contains(QStringLiteral("image")));

    // Backspace right after an image asks too.
    InsertAtCaret(ItemKind::Image);
    prompts.QueueAnswer(Desktop::Answer::No);
    const int count = prompts.Count();
    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_EQ(prompts.Count(), count + 1);
    EXPECT_EQ(view->objects().size(), 2);
}

TEST_F(NotesView, TheClipboardNeverCarriesPartOfAnItem)
{
    Type(QStringLiteral("abc"));
    InsertAtCaret(ItemKind::Image);
    Type(QStringLiteral("def"));
    const QString before = TextOf(Editor());
    const int b = Find(QStringLiteral("bc"));
    QApplication::clipboard()->setText(QStringLiteral("old"));

    Select(b, b + 4);
    Command(View::EditCopy)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("old"));
    Select(b, b + 4);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("old"));
    Select(b, b + 4);
    Command(View::EditCut)->trigger();
    EXPECT_EQ(TextOf(Editor()), before);
    EXPECT_EQ(Caret(), b + 4);
    Select(b, b + 4);
    Command(View::EditClear)->trigger();
    EXPECT_EQ(TextOf(Editor()), before);

    // Paste over it goes after the selection, which stays.
    QApplication::clipboard()->setText(QStringLiteral("XY"));
    Select(b, b + 4);
    Command(View::EditPaste)->trigger();
    EXPECT_TRUE(TextOf(Editor()).contains(QStringLiteral("abc\uFFFCdXYef")));

    // Text alone is copied as usual.
    Select(Find(QStringLiteral("XY")), Find(QStringLiteral("XY")) + 2);
    Command(View::EditCopy)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("XY"));
}

TEST_F(NotesView, UndoAndRedoAreOnlyForTyping)
{
    Type(QStringLiteral("fever"));
    EXPECT_TRUE(Command(View::EditUndo)->isEnabled());
    Command(View::EditUndo)->trigger();
    EXPECT_FALSE(view->toPlainText().contains(QStringLiteral("fever")));
    EXPECT_TRUE(Command(View::EditRedo)->isEnabled());
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(view->toPlainText().contains(QStringLiteral("fever")));

    // A deletion is not undone.
    view->moveCursor(QTextCursor::End);
    QTest::keyClick(view, Qt::Key_Backspace);
    const QString after = view->toPlainText();
    EXPECT_FALSE(Command(View::EditUndo)->isEnabled());
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view->toPlainText(), after);
    // Nor is an inserted item.
    InsertAtCaret(ItemKind::Image);
    EXPECT_FALSE(Command(View::EditUndo)->isEnabled());
}

TEST_F(NotesView, PickedPhrasesGoToThePossibleRubricsOnlyWhenTheyTakeThem)
{
    auto *bar = new QLabel(QStringLiteral("keywords"));
    EXPECT_FALSE(frame->KeywordsToggle()->isEnabled());
    frame->SetKeywordsBar(bar);
    EXPECT_TRUE(frame->KeywordsToggle()->isEnabled());
    EXPECT_FALSE(frame->IsKeywordsBarVisible());
    frame->KeywordsToggle()->trigger();
    EXPECT_TRUE(frame->IsKeywordsBarVisible());
    EXPECT_TRUE(frame->KeywordsToggle()->isChecked());
    frame->KeywordsToggle()->trigger();
    EXPECT_FALSE(frame->IsKeywordsBarVisible());

    Type(QStringLiteral("sore throat"));
    const int sore = Find(QStringLiteral("sore"));
    // While the possible rubrics do not take phrases: no menu, no hand-off.
    view->SetReach(
        [this](int code) { return code != CommandCode::AddKeyword && practice.Hub().Reaches(code); });
    Select(sore, sore + 4);
    RightClick();
    EXPECT_TRUE(menus.Shown().empty());

    view->SetReach(
        [this](int code) { return code == CommandCode::AddKeyword || practice.Hub().Reaches(code); });
    Select(sore, sore + 1);
    RightClick();
    EXPECT_TRUE(menus.Shown().empty());
    EXPECT_FALSE(frame->IsKeywordsBarVisible());

    Select(sore, sore + 4);
    menus.QueueChoice(0);
    RightClick();
    ASSERT_EQ(menus.Shown().size(), 1u);
    EXPECT_EQ(menus.LastEntries(), QStringList { QStringLiteral("Add selected phrase to possible rubrics") });
    // The listener shows the bar and stores today's consultation, so that
    // the phrase belongs to one with a record.
    EXPECT_TRUE(frame->IsKeywordsBarVisible());
    EXPECT_EQ(practice.RowCount(QStringLiteral("CONSULTATIONS")), 1);

    // A double click on a word hands it off as well.
    frame->ShowKeywordsBar(false);
    view->setSelection(Find(QStringLiteral("throat")) + 2, Find(QStringLiteral("throat")) + 2);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect().center());
    EXPECT_EQ(view->textCursor().selectedText(), QStringLiteral("throat"));
    EXPECT_TRUE(frame->IsKeywordsBarVisible());
}

TEST_F(NotesView, ADoubleClickOnAnItemOpensIt)
{
    ScriptedImages images;
    practice.Hub().Services().Provide<IPatientImages>(&images);
    Type(QStringLiteral("look "));
    InsertAtCaret(ItemKind::Image);
    Type(QStringLiteral(" here"));
    int position = -1;
    for (const RichEdit::EmbeddedObject &object : view->objects()) {
        if (object.kind == int(ItemKind::Image))
            position = object.position;
    }
    ASSERT_GE(position, 0);
    QTextCursor before(view->document());
    before.setPosition(position);
    QTextCursor after(view->document());
    after.setPosition(position + 1);
    const QPoint middle((view->cursorRect(before).left() + view->cursorRect(after).left()) / 2,
        view->cursorRect(before).center().y());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(images.shown, QStringList { QStringLiteral("/images/tongue.png") });
    practice.Hub().Services().Withdraw<IPatientImages>(&images);
}

TEST_F(NotesView, TheDragOfASelectionHoldingAnItemGoesNowhere)
{
    Type(QStringLiteral("abc"));
    InsertAtCaret(ItemKind::Image);
    Type(QStringLiteral("def"));
    const int b = Find(QStringLiteral("bc"));
    Select(b, b + 4);
    const QPoint start = view->cursorRect().center();
    QMouseEvent move(QEvent::MouseMove, start + QPoint(40, 0),
        view->viewport()->mapToGlobal(start + QPoint(40, 0)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    EXPECT_EQ(view->textCursor().selectionStart(), b);
    EXPECT_EQ(view->textCursor().selectionEnd(), b + 4);
}

TEST_F(NotesView, NumberingTogglesAndShowsItsThirdStateOverMixedParagraphs)
{
    Type(QStringLiteral("one"));
    QTest::keyClick(view, Qt::Key_Return);
    Type(QStringLiteral("two"));
    const int one = Find(QStringLiteral("one"));
    const int two = Find(QStringLiteral("two"));
    QAction *numbering = Command(View::Numbering);

    Select(one, one);
    numbering->trigger();
    EXPECT_TRUE(numbering->isChecked());
    EXPECT_FALSE(view->IsNumberingIndeterminate());
    EXPECT_EQ(view->selectionParagraphFormat().numbering, RichEdit::ParagraphFormat::NumberingKind::Arabic);
    EXPECT_EQ(view->selectionParagraphFormat().numberingTab, View::NumberingTab);

    Select(one, two + 1);
    EXPECT_TRUE(view->IsNumberingIndeterminate());
    EXPECT_FALSE(numbering->isChecked());
    EXPECT_EQ(numbering->property("checkState").toInt(), int(Qt::PartiallyChecked));
    numbering->trigger();
    EXPECT_FALSE(view->IsNumberingIndeterminate());
    EXPECT_TRUE(numbering->isChecked());

    numbering->trigger();
    const RichEdit::ParagraphFormat plain = view->selectionParagraphFormat();
    EXPECT_EQ(plain.numbering, RichEdit::ParagraphFormat::NumberingKind::None);
    EXPECT_EQ(plain.startIndent, 0);
    EXPECT_FALSE(numbering->isChecked());

    Command(View::Bullets)->trigger();
    EXPECT_TRUE(Command(View::Bullets)->isChecked());
    EXPECT_FALSE(numbering->isChecked());
}

TEST_F(NotesView, HighlightAndTheCharacterCommands)
{
    Type(QStringLiteral("red flag"));
    const int flag = Find(QStringLiteral("flag"));
    QAction *highlight = Command(View::Highlight);

    Select(flag, flag + 4);
    highlight->trigger(); // the colour dialog is cancelled
    EXPECT_FALSE(highlight->isChecked());
    EXPECT_FALSE(view->selectionCharFormat().backgroundColor.has_value());

    files.QueueColor(QColor(Qt::yellow));
    highlight->trigger();
    Select(flag, flag + 4);
    EXPECT_TRUE(highlight->isChecked());
    EXPECT_EQ(view->selectionCharFormat().backgroundColor, QColor(Qt::yellow));
    highlight->trigger();
    Select(flag, flag + 4);
    EXPECT_FALSE(highlight->isChecked());
    EXPECT_FALSE(view->selectionCharFormat().backgroundColor.has_value());

    Command(View::Bold)->trigger();
    Select(flag, flag + 4);
    EXPECT_TRUE(view->selectionCharFormat().bold);
    EXPECT_TRUE(Command(View::Bold)->isChecked());
    // A selection only half bold shows the command unchecked; it makes it all bold.
    Select(flag - 2, flag + 4);
    EXPECT_FALSE(Command(View::Bold)->isChecked());
    Command(View::Bold)->trigger();
    Select(flag - 2, flag + 4);
    EXPECT_TRUE(view->selectionCharFormat().bold);

    // The formatting bar asks for the selection's format and applies its own.
    CFormatBar *bar = frame->FormatBar();
    RichEdit::CharFormat size;
    size.mask = RichEdit::CharFormat::Size;
    size.sizeTwips = 280;
    emit bar->formatApplied(size);
    bar->Refresh();
    EXPECT_EQ(bar->SizeBox()->currentText(), QStringLiteral("14"));
}

TEST_F(NotesView, InsertionsFollowTheirDialogsAndTheHost)
{
    ScriptedImages images;
    ScriptedPrescriptionDialog dialog;
    // No image manager yet: inserting an image is disabled.
    EXPECT_FALSE(Command(View::InsertImage)->isEnabled());
    practice.Hub().Services().Provide<IPatientImages>(&images);
    practice.Hub().Services().Provide<IPrescriptionEditor>(&dialog);
    view->UpdateCommandUI();
    EXPECT_TRUE(Command(View::InsertPrescription)->isEnabled());
    EXPECT_TRUE(Command(View::InsertImage)->isEnabled());
    const int items = int(view->objects().size());

    view->moveCursor(QTextCursor::End);
    Command(View::InsertImage)->trigger(); // nothing chosen in the bin
    Command(View::InsertPrescription)->trigger(); // the dialog is cancelled
    EXPECT_EQ(view->objects().size(), items);

    images.chosen = QStringLiteral("/images/rash.png");
    Command(View::InsertImage)->trigger();
    dialog.medicine = QStringLiteral("Arnica");
    Command(View::InsertPrescription)->trigger();
    EXPECT_EQ(view->objects().size(), items + 2);
    EXPECT_TRUE(TextOf(Editor()).endsWith(QStringLiteral("\uFFFC\uFFFC  ")));
    EXPECT_EQ(Caret(), view->textLength() - 2);

    // The media control is not there: the host refuses the import before any dialog.
    Command(View::ImportMedia)->trigger();
    EXPECT_TRUE(files.Requests().empty());
    practice.Hub().Services().Withdraw<IPatientImages>(&images);
    practice.Hub().Services().Withdraw<IPrescriptionEditor>(&dialog);
}

TEST_F(NotesView, TheNotesPrintWithHeaderFooterAndTheItemsAsTheyDrawThemselves)
{
    Type(QStringLiteral("First line of the notes."));
    view->moveCursor(QTextCursor::End);
    InsertAtCaret(ItemKind::Prescription, QStringLiteral("Arnica"));
    for (int i = 0; i < 150; ++i) {
        QTextCursor end(view->document());
        end.movePosition(QTextCursor::End);
        end.insertText(QStringLiteral("\nLine %1 of a long consultation.").arg(i));
    }
    const TestSupport::TemporaryFolder folder;
    const QString path = folder.filePath(QStringLiteral("notes.pdf"));
    ASSERT_TRUE(view->PrintToPdf(path));
    const QString text = PdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("NOTES FOR Anna Annason"))) << text.left(400).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of ")));
    EXPECT_TRUE(text.contains(QStringLiteral("Arnica 30CH - 2 tube(s)"))) << text.left(800).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Line 149 of a long consultation.")));
    const int pages = int(text.count(QLatin1Char('\f')));
    EXPECT_GE(pages, 3);
    EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %1").arg(pages)));

    // Through the print dialog; a cancelled one prints nothing.
    PdfPrintDialogs dialogs;
    EXPECT_FALSE(view->Print());
    dialogs.path = folder.filePath(QStringLiteral("printed.pdf"));
    EXPECT_TRUE(Editor().Print());
    EXPECT_TRUE(PdfText(dialogs.path).contains(QStringLiteral("NOTES FOR Anna Annason")));
    EXPECT_EQ(practice.Send(CommandCode::Print), 1);
}

TEST_F(NotesView, TodaysPrescriptionPrintsTheLastConsultationFromItsLastPrescription)
{
    PdfPrintDialogs dialogs;
    const TestSupport::TemporaryFolder folder;
    dialogs.path = folder.filePath(QStringLiteral("prescription.pdf"));

    // A prescription before today's separator belongs to another consultation.
    view->moveCursor(QTextCursor::Start);
    InsertAtCaret(ItemKind::Prescription, QStringLiteral("Sulphur"));
    Command(View::PrintPrescription)->trigger();
    EXPECT_EQ(prompts.LastText(), QStringLiteral("There are no prescriptions to print"));
    EXPECT_EQ(dialogs.asked, 0);

    view->moveCursor(QTextCursor::End);
    InsertAtCaret(ItemKind::Prescription, QStringLiteral("Arnica"));
    InsertAtCaret(ItemKind::Prescription, QStringLiteral("Belladonna"));
    const QString printout = Editor().TodaysPrescriptionText(QDate(2026, 3, 2));
    EXPECT_TRUE(printout.startsWith(QStringLiteral("\n\n\tPRESCRIPTION - ")));
    EXPECT_TRUE(printout.endsWith(
        QStringLiteral("\tBelladonna 30CH  -  Quantity: 2\n\n\tArnica 30CH  -  Quantity: 2\n\n")));

    Command(View::PrintPrescription)->trigger();
    EXPECT_EQ(dialogs.asked, 1);
    EXPECT_EQ(dialogs.documentName, QStringLiteral("VERDANTA - PRESCRIPTION"));
    const QString text = PdfText(dialogs.path);
    EXPECT_TRUE(text.contains(QStringLiteral("PRESCRIPTION - ")));
    EXPECT_LT(text.indexOf(QStringLiteral("Belladonna")), text.indexOf(QStringLiteral("Arnica")));
    EXPECT_FALSE(text.contains(QStringLiteral("Sulphur")));
}

TEST(NotesMediaKinds, AnExtensionTellsAVideoWhateverItsCase)
{
    EXPECT_TRUE(CActiveEditor::IsVideoFile(QStringLiteral("/x/CLIP.AVI")));
    EXPECT_TRUE(CActiveEditor::IsVideoFile(QStringLiteral("/x/clip.avi")));
    EXPECT_TRUE(CActiveEditor::IsVideoFile(QStringLiteral("/x/Visit.Mpeg")));
    EXPECT_FALSE(CActiveEditor::IsVideoFile(QStringLiteral("/x/song.WAV")));
    EXPECT_FALSE(CActiveEditor::IsVideoFile(QStringLiteral("/x/avi")));
    EXPECT_EQ(Desktop::QtFilterFromPlatformFilter(CActiveEditor::MediaFilter()),
        QStringLiteral("Video Files (*.asf *.wmv *.mpg *.mpeg *.avi *.mpa);;"
                       "Audio Files (*.wav *.wma *.mp3 *.aif *.midi *.snd);;All files (*)"));
}

// Imports in the real main window, whose media control accepts them.
TEST(NotesImport, AMediaFileIsCopiedAndInsertedAsItsKindOrNotAtAll)
{
    qputenv("VERDANTA_TALMARO_DEVICES", "audio");
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedFileDialogs files;
    Practice practice;
    CMainFrame frame(practice.Root(), practice.Root() + QStringLiteral("windows"));
    QString error;
    ASSERT_TRUE(frame.Initialize(&error)) << error.toStdString();
    auto *page = dynamic_cast<CNotesPage *>(frame.GetPageContainer()->GetPage(CNotesPage::PageIndex));
    ASSERT_NE(page, nullptr);
    // The notes frame lives inside its tab, not as a window of its own.
    EXPECT_FALSE(page->Frame()->isWindow());
    QAction *import = page->View()->Action(View::ImportMedia);
    ASSERT_TRUE(import->isEnabled());
    CActiveEditor &editor = frame.GetHub()->Services().Get<CLogicNotes>()->ActiveEditor();
    const QString media = frame.GetHub()->GetLogicFolders()->GetMediaFolder();
    const int items = int(DescribeItems(editor).size());

    import->trigger(); // cancelled
    ASSERT_EQ(files.Requests().size(), 1u);
    EXPECT_EQ(files.Requests()[0].filter, CActiveEditor::MediaFilter());
    EXPECT_EQ(DescribeItems(editor).size(), items);

    for (const QString &name : { QStringLiteral("CLIP.AVI"), QStringLiteral("voice.wav") }) {
        QFile file(practice.Root() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    files.QueueFileName(practice.Root() + QStringLiteral("CLIP.AVI"));
    import->trigger();
    files.QueueFileName(practice.Root() + QStringLiteral("voice.wav"));
    import->trigger();
    const QStringList described = DescribeItems(editor);
    ASSERT_EQ(described.size(), items + 2);
    EXPECT_TRUE(described.at(items).contains(QStringLiteral(": video ")))
        << described.at(items).toStdString();
    EXPECT_TRUE(described.at(items + 1).contains(QStringLiteral(": audio ")));
    EXPECT_EQ(QDir(media).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(prompts.Count(), 0);
    frame.close();
}
