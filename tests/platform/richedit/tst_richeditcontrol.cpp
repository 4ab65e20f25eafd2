#include "RichEditTestSupport.h"

#include "richedit/widgets/RichEditControl.h"

#include <QtCore/QMimeData>
#include <QtCore/QRandomGenerator>
#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtGui/QTextList>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace RichEdit;
using RichEditTest::plainText;
using Kind = RichEditControl::UndoKind;

namespace {

constexpr int ImageKind = 2;

class ControlTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        control.setCallback(&callback);
        control.registerObjectHandler(ImageKind, &handler);
        control.resize(400, 300);
    }

    // "Hello world" with objects after "Hello" (handle 7) and at the end (handle 8).
    void fillWithTwoObjects()
    {
        control.setPlainText(QStringLiteral("Hello world"));
        ASSERT_TRUE(control.insertObject(ImageKind, 7, 5));
        ASSERT_TRUE(control.insertObject(ImageKind, 8, control.textLength()));
        ASSERT_EQ(control.textRange(0, control.textLength()), QStringLiteral("Hello\uFFFC world\uFFFC"));
        control.document()->clearUndoRedoStacks();
    }

    void caretAt(int position) { control.setSelection(position, position); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&control, k, modifiers);
    }

    RichEditTest::RecordingCallback callback;
    RichEditTest::BoxHandler handler;
    RichEditControl control;
};

} // namespace

TEST_F(ControlTest, ObjectsAreListedInTextOrderWithTheirPositions)
{
    fillWithTwoObjects();
    ASSERT_TRUE(control.insertObject(ImageKind, 9, 0));
    EXPECT_EQ(control.objectCount(), 3);
    EXPECT_EQ(control.object(0), (EmbeddedObject { ImageKind, 9, 0 }));
    EXPECT_EQ(control.object(1), (EmbeddedObject { ImageKind, 7, 6 }));
    EXPECT_EQ(control.object(2), (EmbeddedObject { ImageKind, 8, 13 }));
    EXPECT_EQ(control.object(3).position, -1);
    EXPECT_EQ(control.objectsInRange(1, 13).size(), 1);
    EXPECT_EQ(callback.queried, (std::vector<qint64> { 7, 8, 9 }));
    EXPECT_TRUE(callback.deleted.empty());
    EXPECT_TRUE(callback.reinserted.empty()) << "insertions are not returns";
}

TEST_F(ControlTest, InsertionCanBeRefusedAndHandlesStayUnique)
{
    fillWithTwoObjects();
    callback.acceptInsertions = false;
    EXPECT_FALSE(control.insertObject(ImageKind, 20, 0));
    callback.acceptInsertions = true;
    EXPECT_FALSE(control.insertObject(ImageKind, 7, 0)) << "handle 7 is already in the text";
    EXPECT_EQ(control.objectCount(), 2);

    // At the caret the selection collapses to its end and the caret ends after the object.
    control.setSelection(0, 3);
    ASSERT_TRUE(control.insertObject(ImageKind, 21));
    EXPECT_EQ(control.object(0), (EmbeddedObject { ImageKind, 21, 3 }));
    EXPECT_EQ(control.textCursor().position(), 4);
    EXPECT_FALSE(control.textCursor().hasSelection());
}

TEST_F(ControlTest, ObjectDeletedFiresOnceForEveryWayAnObjectLeaves)
{
    struct Path
    {
        const char *name;
        std::function<void(ControlTest &)> act;
        std::vector<qint64> deleted;
    };
    const std::vector<Path> paths = {
        { "Delete key", [](ControlTest &t) { t.caretAt(5), t.key(Qt::Key_Delete); }, { 7 } },
        { "Backspace", [](ControlTest &t) { t.caretAt(6), t.key(Qt::Key_Backspace); }, { 7 } },
        { "cut",
            [](ControlTest &t) {
                t.control.setSelection(3, 8);
                t.key(Qt::Key_X, Qt::ControlModifier);
            },
            { 7 } },
        { "typing over a selection",
            [](ControlTest &t) {
                t.control.setSelection(0, t.control.textLength());
                t.key(Qt::Key_Z);
            },
            { 7, 8 } },
        { "paste over a selection",
            [](ControlTest &t) {
                QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
                t.control.setSelection(4, 9);
                t.key(Qt::Key_V, Qt::ControlModifier);
            },
            { 7 } },
        { "clear", [](ControlTest &t) { t.control.clear(); }, { 7, 8 } },
        { "new plain text", [](ControlTest &t) { t.control.setPlainText(QStringLiteral("x")); }, { 7, 8 } },
        { "stream in", [](ControlTest &t) { ASSERT_TRUE(t.control.streamIn(QByteArray("{\\rtf1 new}"))); },
            { 7, 8 } },
        { "new document", [](ControlTest &t) { t.control.setDocument(new QTextDocument(&t.control)); },
            { 7, 8 } },
        { "undo of the insertion",
            [](ControlTest &t) {
                ASSERT_TRUE(t.control.insertObject(ImageKind, 30, 0));
                t.control.undo();
            },
            { 30 } },
    };
    for (const Path &path : paths) {
        SCOPED_TRACE(path.name);
        control.setDocument(new QTextDocument(&control));
        fillWithTwoObjects();
        callback.deleted.clear();
        callback.reinserted.clear();
        path.act(*this);
        EXPECT_EQ(callback.deleted, path.deleted);
        EXPECT_TRUE(callback.reinserted.empty());
        for (const qint64 handle : path.deleted) {
            for (const EmbeddedObject &object : control.objects())
                EXPECT_NE(object.handle, handle);
        }
    }
}

TEST_F(ControlTest, UndoAndRedoBringObjectsBackWithTheirHandles)
{
    fillWithTwoObjects();
    caretAt(6);
    key(Qt::Key_Backspace);
    ASSERT_EQ(callback.deleted, (std::vector<qint64> { 7 }));

    control.undo();
    EXPECT_EQ(callback.reinserted, (std::vector<std::pair<qint64, int>> { { 7, 5 } }));
    EXPECT_EQ(control.object(0), (EmbeddedObject { ImageKind, 7, 5 }));
    control.redo();
    EXPECT_EQ(callback.deleted, (std::vector<qint64> { 7, 7 }));
    EXPECT_EQ(control.objectCount(), 1);

    // Redo of an undone insertion is a return as well.
    ASSERT_TRUE(control.insertObject(ImageKind, 40, 0));
    control.undo();
    control.redo();
    EXPECT_EQ(callback.reinserted.back(), (std::pair<qint64, int> { 40, 0 }));
    EXPECT_EQ(control.object(0).handle, 40);
}

TEST_F(ControlTest, FormattingAcrossObjectsNeitherDeletesNorReinsertsThem)
{
    fillWithTwoObjects();
    control.setSelection(0, control.textLength());
    CharFormat bold;
    bold.mask = CharFormat::Bold;
    bold.bold = true;
    control.setSelectionCharFormat(bold);
    control.undo();
    control.redo();
    CharFormat defaults;
    defaults.mask = CharFormat::Face | CharFormat::Size | CharFormat::TextColor;
    defaults.face = QStringLiteral("Liberation Sans");
    control.setDefaultCharFormat(defaults);
    EXPECT_TRUE(callback.deleted.empty());
    EXPECT_TRUE(callback.reinserted.empty());
    EXPECT_EQ(control.objectCount(), 2);
}

TEST_F(ControlTest, RandomEditingKeepsObjectListAndCallbacksConsistent)
{
    // Any mix of edits, undo and redo: the listed objects are those in the
    // text, and the callbacks account for every object exactly.
    QRandomGenerator random(20261207);
    control.setPlainText(QStringLiteral("Some notes text\nwith two lines"));
    std::set<qint64> live;
    qint64 nextHandle = 1;
    for (int step = 0; step < 600; ++step) {
        const int length = control.textLength();
        const int a = int(random.bounded(length + 1));
        const int b = int(random.bounded(length + 1));
        switch (random.bounded(9)) {
        case 0:
        case 1:
            if (control.insertObject(ImageKind, nextHandle, a))
                live.insert(nextHandle);
            ++nextHandle;
            break;
        case 2:
            control.setSelection(a, a);
            key(random.bounded(2) ? Qt::Key_Delete : Qt::Key_Backspace);
            break;
        case 3:
            control.setSelection(std::min(a, b), std::max(a, b));
            key(Qt::Key_Q);
            break;
        case 4:
            control.setSelection(std::min(a, b), std::max(a, b));
            key(Qt::Key_Return);
            break;
        case 5:
            control.undo();
            break;
        case 6:
            control.redo();
            break;
        case 7: {
            control.setSelection(std::min(a, b), std::max(a, b));
            CharFormat italic;
            italic.mask = CharFormat::Italic;
            italic.italic = random.bounded(2);
            control.setSelectionCharFormat(italic);
            break;
        }
        case 8:
            control.setSelection(std::min(a, b), std::max(a, b));
            key(Qt::Key_X, Qt::ControlModifier);
            caretAt(a / 2);
            key(Qt::Key_V, Qt::ControlModifier);
            break;
        }
        for (const qint64 handle : callback.deleted)
            ASSERT_EQ(live.erase(handle), 1u)
                << "deleted twice or never there: " << handle << " step " << step;
        for (const auto &[handle, position] : callback.reinserted)
            ASSERT_TRUE(live.insert(handle).second) << "returned while present: " << handle;
        callback.deleted.clear();
        callback.reinserted.clear();

        const QList<EmbeddedObject> scanned = scanEmbeddedObjects(*control.document());
        ASSERT_EQ(control.objects(), scanned) << "step " << step;
        std::set<qint64> inText;
        for (const EmbeddedObject &object : scanned)
            inText.insert(object.handle);
        ASSERT_EQ(inText, live) << "step " << step;
    }
}

TEST_F(ControlTest, SelectionTypeSaysWhatTheSelectionHolds)
{
    using Control = RichEditControl;
    fillWithTwoObjects();
    caretAt(3);
    EXPECT_EQ(control.selectionType(), Control::SelectionEmpty);
    control.setSelection(0, 1);
    EXPECT_EQ(control.selectionType(), Control::SelectionText);
    control.setSelection(0, 3);
    EXPECT_EQ(control.selectionType(), Control::SelectionText | Control::SelectionMultiChar);
    control.setSelection(5, 6);
    EXPECT_EQ(control.selectionType(), Control::SelectionObject);
    control.setSelection(4, 6);
    EXPECT_EQ(control.selectionType(), Control::SelectionText | Control::SelectionObject);
    control.setSelection(0, control.textLength());
    EXPECT_EQ(control.selectionType(),
        Control::SelectionText | Control::SelectionMultiChar | Control::SelectionObject
            | Control::SelectionMultiObject);
}

TEST_F(ControlTest, UndoKindTellsTypingFromOtherActions)
{
    EXPECT_EQ(control.undoKind(), Kind::None);
    QTest::keyClicks(&control, QStringLiteral("abc"));
    EXPECT_EQ(control.undoKind(), Kind::Typing);

    control.selectAll();
    CharFormat bold;
    bold.mask = CharFormat::Bold;
    bold.bold = true;
    control.setSelectionCharFormat(bold);
    EXPECT_EQ(control.undoKind(), Kind::Other);
    EXPECT_EQ(control.redoKind(), Kind::None);

    control.undo();
    EXPECT_EQ(control.undoKind(), Kind::Typing);
    EXPECT_EQ(control.redoKind(), Kind::Other);

    caretAt(1);
    key(Qt::Key_Delete);
    EXPECT_EQ(control.undoKind(), Kind::Delete);
    EXPECT_EQ(control.redoKind(), Kind::None) << "a new step drops the redo steps";

    ASSERT_TRUE(control.insertObject(ImageKind, 1, 0));
    EXPECT_EQ(control.undoKind(), Kind::Other);
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(control.undoKind(), Kind::Paste);
    control.undo();
    EXPECT_EQ(control.redoKind(), Kind::Paste);
    EXPECT_EQ(control.undoKind(), Kind::Other);

    // Steps made of several edits (typing over a selection removes, then inserts).
    control.setSelection(0, 3);
    QTest::keyClicks(&control, QStringLiteral("typed"));
    control.selectAll();
    control.setSelectionCharFormat(bold);
    caretAt(2);
    key(Qt::Key_Backspace);
    EXPECT_EQ(control.undoKind(), Kind::Delete);
    control.undo();
    EXPECT_EQ(control.undoKind(), Kind::Other);
    EXPECT_EQ(control.redoKind(), Kind::Delete);
    control.undo();
    EXPECT_EQ(control.undoKind(), Kind::Typing);
    EXPECT_EQ(control.redoKind(), Kind::Other);
    control.undo();
    EXPECT_EQ(control.redoKind(), Kind::Typing);
    control.redo();
    control.redo();
    EXPECT_EQ(control.undoKind(), Kind::Other);
    EXPECT_EQ(control.redoKind(), Kind::Delete);

    ASSERT_TRUE(control.streamIn(QByteArray("{\\rtf1 loaded}")));
    EXPECT_EQ(control.undoKind(), Kind::None) << "loading is not undoable";
    EXPECT_EQ(control.redoKind(), Kind::None);
}

TEST_F(ControlTest, TextTypedNextToAnObjectIsPlainText)
{
    fillWithTwoObjects();
    caretAt(6);
    QTest::keyClicks(&control, QStringLiteral("xy"));
    EXPECT_EQ(control.objectCount(), 2);
    QTextCursor cursor(control.document());
    cursor.setPosition(7);
    EXPECT_FALSE(cursor.charFormat().hasProperty(ObjectHandleProperty));
    EXPECT_EQ(control.textRange(0, 9), QStringLiteral("Hello\uFFFCxy "));
}

TEST_F(ControlTest, CharacterFormatsOfTheSelectionAndTheirMask)
{
    control.setPlainText(QStringLiteral("one two"));
    control.setSelection(0, 3);
    CharFormat format;
    format.mask = CharFormat::Bold | CharFormat::Size | CharFormat::Face | CharFormat::TextColor
        | CharFormat::BackgroundColor;
    format.bold = true;
    format.sizeTwips = 280;
    format.face = QStringLiteral("Liberation Serif");
    format.textColor = QColor(Qt::blue);
    format.backgroundColor = QColor(Qt::yellow);
    control.setSelectionCharFormat(format);

    const CharFormat read = control.selectionCharFormat();
    EXPECT_EQ(read.mask, CharFormat::AllFields);
    EXPECT_TRUE(read.bold);
    EXPECT_EQ(read.sizeTwips, 280);
    EXPECT_EQ(read.face, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(read.textColor, QColor(Qt::blue));
    EXPECT_EQ(read.backgroundColor, QColor(Qt::yellow));

    control.setSelection(0, 7);
    const CharFormat mixed = control.selectionCharFormat();
    EXPECT_FALSE(mixed.mask & CharFormat::Bold);
    EXPECT_FALSE(mixed.mask & CharFormat::BackgroundColor);
    EXPECT_TRUE(mixed.mask & CharFormat::Italic);

    // Automatic colours remove the colours again.
    CharFormat automatic;
    automatic.mask = CharFormat::TextColor | CharFormat::BackgroundColor;
    control.setSelectionCharFormat(automatic);
    control.setSelection(0, 3);
    EXPECT_EQ(control.selectionCharFormat().backgroundColor, std::nullopt);
    EXPECT_EQ(control.selectionCharFormat().textColor, std::nullopt);
    EXPECT_TRUE(control.selectionCharFormat().bold);

    CharFormat defaults;
    defaults.mask = CharFormat::Face | CharFormat::Size | CharFormat::Bold;
    defaults.face = QStringLiteral("Liberation Sans");
    defaults.sizeTwips = 200;
    control.setDefaultCharFormat(defaults);
    control.setPlainText(QString());
    // At the insertion point an automatic colour removes the colour of what is typed next.
    CharFormat red;
    red.mask = CharFormat::TextColor;
    red.textColor = QColor(Qt::red);
    control.setSelectionCharFormat(red);
    control.setSelectionCharFormat(automatic);
    EXPECT_EQ(control.selectionCharFormat().textColor, std::nullopt);
    QTest::keyClicks(&control, QStringLiteral("new"));
    control.selectAll();
    EXPECT_EQ(control.selectionCharFormat().face, QStringLiteral("Liberation Sans"));
    EXPECT_EQ(control.selectionCharFormat().sizeTwips, 200);
}

TEST_F(ControlTest, NumberingTogglesAndMixedParagraphsAreIndeterminate)
{
    control.setPlainText(QStringLiteral("a\nb\nc"));
    control.setSelection(0, 3);
    ParagraphFormat numbered;
    numbered.mask
        = ParagraphFormat::Numbering | ParagraphFormat::NumberingStart | ParagraphFormat::NumberingTab;
    numbered.numbering = ParagraphFormat::NumberingKind::Arabic;
    numbered.numberingTab = 250;
    control.setSelectionParagraphFormat(numbered);
    EXPECT_EQ(control.undoKind(), Kind::Other);

    const ParagraphFormat read = control.selectionParagraphFormat();
    EXPECT_TRUE(read.mask & ParagraphFormat::Numbering);
    EXPECT_EQ(read.numbering, ParagraphFormat::NumberingKind::Arabic);
    EXPECT_EQ(read.numberingTab, 250);
    EXPECT_EQ(control.document()->findBlockByNumber(1).textList()->itemText(
                  control.document()->findBlockByNumber(1)),
        QStringLiteral("2."));

    control.setSelection(0, control.textLength());
    EXPECT_FALSE(control.selectionParagraphFormat().mask & ParagraphFormat::Numbering);

    control.setSelection(0, 3);
    ParagraphFormat off;
    off.mask = ParagraphFormat::Numbering | ParagraphFormat::StartIndent | ParagraphFormat::Offset;
    control.setSelectionParagraphFormat(off);
    const ParagraphFormat cleared = control.selectionParagraphFormat();
    EXPECT_EQ(cleared.numbering, ParagraphFormat::NumberingKind::None);
    EXPECT_EQ(cleared.startIndent, 0);
    EXPECT_EQ(cleared.offset, 0);
    EXPECT_EQ(control.document()->findBlockByNumber(0).blockFormat().indent(), 0);
}

TEST_F(ControlTest, CopyAndPasteKeepFormattingAndNeverDuplicateObjects)
{
    control.setPlainText(QStringLiteral("bold plain"));
    control.setSelection(0, 4);
    CharFormat bold;
    bold.mask = CharFormat::Bold | CharFormat::TextColor;
    bold.bold = true;
    bold.textColor = QColor(Qt::red);
    control.setSelectionCharFormat(bold);
    ASSERT_TRUE(control.insertObject(ImageKind, 5, 2));

    control.setSelection(0, 5);
    key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied->hasFormat(QStringLiteral("text/rtf")));
    EXPECT_EQ(copied->text(), QStringLiteral("bo ld"));

    control.moveCursor(QTextCursor::End);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(control.textRange(0, control.textLength()), QStringLiteral("bo\uFFFCld plainbo ld"));
    EXPECT_EQ(control.objectCount(), 1) << "the pasted object is a blank";
    control.setSelection(12, control.textLength());
    const CharFormat pasted = control.selectionCharFormat();
    EXPECT_TRUE(pasted.mask & CharFormat::Bold);
    EXPECT_TRUE(pasted.bold);
    EXPECT_EQ(pasted.textColor, QColor(Qt::red));
}

TEST_F(ControlTest, StreamOutAndInKeepObjectPositionsAsBlanks)
{
    fillWithTwoObjects();
    QByteArray rtf;
    ASSERT_TRUE(control.streamOut(rtf));
    const QString before = control.textRange(0, control.textLength());
    const auto objects = control.objects();

    RichEditControl other;
    ASSERT_TRUE(other.streamIn(rtf));
    const QString after = other.textRange(0, other.textLength());
    ASSERT_EQ(after.size(), before.size());
    for (const EmbeddedObject &object : objects) {
        EXPECT_EQ(after.at(object.position), u' ');
        // The embedder puts the object back in place of its blank.
        QTextCursor blank(other.document());
        blank.setPosition(object.position);
        blank.setPosition(object.position + 1, QTextCursor::KeepAnchor);
        blank.removeSelectedText();
        ASSERT_TRUE(other.insertObject(object.kind, object.handle, object.position));
    }
    EXPECT_EQ(other.textRange(0, other.textLength()), before);
    EXPECT_EQ(other.objects(), objects);

    // Bytes that are not RTF are refused and the notes stay as they were, objects included.
    RtfReadReport report;
    EXPECT_FALSE(other.streamIn(QByteArray("not rich text"), &report));
    EXPECT_FALSE(report.error.isEmpty());
    EXPECT_EQ(other.textRange(0, other.textLength()), before);
    EXPECT_EQ(other.objects(), objects);
}

TEST_F(ControlTest, OptionsControlReturnAndReadOnly)
{
    control.setOptions(RichEditControl::AutoWordSelection | RichEditControl::AutoVerticalScroll
        | RichEditControl::AutoHorizontalScroll | RichEditControl::KeepSelectionVisible
        | RichEditControl::WantReturn | RichEditControl::SunkenFrame | RichEditControl::SaveSelection);
    EXPECT_EQ(int(control.options()), 0xD1C1);
    EXPECT_EQ(control.palette().color(QPalette::Inactive, QPalette::Highlight),
        control.palette().color(QPalette::Active, QPalette::Highlight));
    key(Qt::Key_Return);
    EXPECT_EQ(control.document()->blockCount(), 2);

    control.setOptions(RichEditControl::ReadOnlyText);
    key(Qt::Key_Return);
    QTest::keyClicks(&control, QStringLiteral("x"));
    EXPECT_EQ(control.document()->blockCount(), 2);
    EXPECT_EQ(control.textLength(), 1);
}

TEST_F(ControlTest, ObjectsAreSizedAndDrawnByTheirHandler)
{
    control.setPlainText(QStringLiteral("picture: "));
    handler.boxSize = QSizeF(60, 40);
    ASSERT_TRUE(control.insertObject(ImageKind, 1, 9));
    ASSERT_TRUE(control.insertObject(99, 2, 10)) << "a kind without handler still goes in";
    QImage image(control.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    control.viewport()->render(&image);
    EXPECT_GT(handler.screenDraws, 0);
    EXPECT_EQ(handler.printDraws, 0);
    const QRectF block = control.document()->documentLayout()->blockBoundingRect(control.document()->begin());
    EXPECT_GE(block.height(), 40);
}

TEST_F(ControlTest, ADocumentRebuiltApartIsShownWholeWithItsObjectsListedOnce)
{
    RichDocument shared;
    shared.setCallback(&callback);
    shared.registerObjectHandler(ImageKind, &handler);
    control.setRichDocument(&shared);
    EXPECT_EQ(control.document(), shared.document());
    QTextCursor cursor(shared.document());
    cursor.insertText(QStringLiteral("old text "));
    ASSERT_TRUE(shared.insertObject(cursor, ImageKind, 1));

    // The old objects leave when the rebuilding starts; the control keeps
    // showing the old text until the new one is complete.
    shared.beginReplacement();
    EXPECT_EQ(callback.deleted, (std::vector<qint64> { 1 }));
    EXPECT_NE(control.document(), shared.document());
    QTextCursor fresh(shared.document());
    fresh.beginEditBlock();
    fresh.insertText(QStringLiteral("new "));
    ASSERT_TRUE(shared.insertObject(fresh, ImageKind, 2));
    fresh.endEditBlock();
    fresh.insertText(QStringLiteral(" more "));
    ASSERT_TRUE(shared.insertObject(fresh, ImageKind, 3));
    EXPECT_EQ(shared.objects(), (QList<EmbeddedObject> { { ImageKind, 2, 4 }, { ImageKind, 3, 11 } }));
    callback.reinserted.clear();
    callback.deleted.clear();

    shared.endReplacement();
    EXPECT_EQ(control.document(), shared.document());
    EXPECT_EQ(control.textRange(0, control.textLength()), QStringLiteral("new \uFFFC more \uFFFC"));
    EXPECT_EQ(control.objects(), (QList<EmbeddedObject> { { ImageKind, 2, 4 }, { ImageKind, 3, 11 } }));
    EXPECT_TRUE(callback.deleted.empty());
    EXPECT_TRUE(callback.reinserted.empty()) << "a new layout is not a change of the objects";
    control.resize(300, 200);
    control.show();
    QApplication::processEvents();
    EXPECT_GT(handler.screenDraws, 0) << "the objects are drawn by their handler once shown";
}
