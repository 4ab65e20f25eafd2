#pragma once

#include "richedit/EmbeddedObjects.h"
#include "richedit/RichDocument.h"
#include "richedit/RtfCodec.h"
#include "richedit/TextFormats.h"
#include "richeditwidgets_export.h"

#include <QtCore/QPointer>
#include <QtWidgets/QTextEdit>

namespace RichEdit {

class IRichEditCallback;
class IRichEditObjectHandler;

// The rich-text control of the notes and questionnaire editors: a QTextEdit
// showing a RichDocument (embedded objects drawn by the embedder's handlers,
// an object callback, the kind of the pending undo step, RTF streaming and
// page formatting for printing), with selection types and formats in twips.
// The control makes a document of its own; an embedder whose logic keeps the
// document gives it to the control instead (setRichDocument).
class RICHEDITWIDGETS_EXPORT RichEditControl : public QTextEdit
{
    Q_OBJECT

public:
    // What the selection holds; several flags at once.
    enum SelectionTypeFlag {
        SelectionEmpty = 0x0,
        SelectionText = 0x1,
        SelectionObject = 0x2,
        SelectionMultiChar = 0x4,
        SelectionMultiObject = 0x8
    };
    Q_DECLARE_FLAGS(SelectionType, SelectionTypeFlag)

    // The kind of action an undo step holds.
    using UndoKind = RichDocument::UndoKind;

    enum Option : quint32 {
        AutoWordSelection = 0x1,
        AutoVerticalScroll = 0x40,
        AutoHorizontalScroll = 0x80,
        KeepSelectionVisible = 0x100,
        ReadOnlyText = 0x800,
        WantReturn = 0x1000,
        SunkenFrame = 0x4000,
        SaveSelection = 0x8000
    };
    Q_DECLARE_FLAGS(Options, Option)

    explicit RichEditControl(QWidget *parent = nullptr);
    ~RichEditControl() override;

    // The document shown: the control's own until another one is given (not
    // owned; the control goes back to a document of its own when it goes).
    RichDocument *richDocument() const { return m_rich; }
    void setRichDocument(RichDocument *document);

    // The embedder's side (of the document shown): not owned, may be null.
    void setCallback(IRichEditCallback *callback) { m_rich->setCallback(callback); }
    IRichEditCallback *callback() const { return m_rich->callback(); }
    void registerObjectHandler(int kind, IRichEditObjectHandler *handler);
    void unregisterObjectHandler(int kind);

    // Inserts an object at position (-1: at the caret, after collapsing the
    // selection to its end; the caret then stands after the object). False when
    // the callback refuses it or the handle is already in the text.
    bool insertObject(int kind, qint64 handle, int position = -1);
    int objectCount() const;
    // The index-th object in text order; position -1 when there is none.
    EmbeddedObject object(int index) const;
    QList<EmbeddedObject> objects() const;
    QList<EmbeddedObject> objectsInRange(int from, int to) const;
    // Lays out again the object of handle after its size changed.
    void updateObject(qint64 handle);

    SelectionType selectionType() const;
    int selectionStart() const;
    int selectionEnd() const;
    // Selects [start, end); end -1 means the end of the text. The caret ends at end.
    void setSelection(int start, int end);
    // Number of characters, objects included, paragraph marks counted once.
    int textLength() const;
    // Text of [from, to) with '\n' for paragraph and line breaks and U+FFFC for objects.
    QString textRange(int from, int to) const;

    UndoKind undoKind() const;
    UndoKind redoKind() const;

    CharFormat selectionCharFormat() const;
    void setSelectionCharFormat(const CharFormat &format);
    // The format of new text: the document's default font and the insertion point's format.
    void setDefaultCharFormat(const CharFormat &format);
    ParagraphFormat selectionParagraphFormat() const;
    void setSelectionParagraphFormat(const ParagraphFormat &format);

    void setOptions(Options options);
    Options options() const { return m_options; }

    // The document's streaming and page formatting (RichDocument); a stream
    // read in puts the caret at the start.
    bool streamOut(const StreamOutCallback &write, qsizetype blockSize = RtfCodec::DefaultBlockSize) const;
    bool streamIn(const StreamInCallback &read, qsizetype blockSize = RtfCodec::DefaultBlockSize,
        RtfReadReport *report = nullptr);
    bool streamOut(QByteArray &rtf) const;
    bool streamIn(const QByteArray &rtf, RtfReadReport *report = nullptr);
    int formatRange(QPaintDevice *device, QPainter *painter, const QRectF &pageRect, int from, int to = -1);
    void releaseFormatRange();

    // Replaces the document; objects of the old one are reported deleted.
    void setDocument(QTextDocument *document);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void follow(RichDocument *document);
    void onCurrentCharFormatChanged(const QTextCharFormat &format);

    RichDocument *m_own;
    QPointer<RichDocument> m_rich;
    QMetaObject::Connection m_replaced;
    QMetaObject::Connection m_destroyed;
    Options m_options;
};

} // namespace RichEdit

Q_DECLARE_OPERATORS_FOR_FLAGS(RichEdit::RichEditControl::SelectionType)
Q_DECLARE_OPERATORS_FOR_FLAGS(RichEdit::RichEditControl::Options)
