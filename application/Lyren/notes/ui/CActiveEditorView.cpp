#include "notes/ui/CActiveEditorView.h"

#include "notes/CActiveEditor.h"

#include "core/CommandCodes.h"

#include "desktop/FileDialogs.h"
#include "desktop/Menus.h"
#include "desktop/Prompts.h"
#include "desktop/widgets/PrintDialogs.h"

#include <QtCore/QSaveFile>
#include <QtCore/QScopeGuard>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtGui/QClipboard>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QFontDatabase>
#include <QtGui/QFontMetrics>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <QtGui/QScreen>
#include <QtPrintSupport/QPrinter>

using RichEdit::CharFormat;
using RichEdit::ParagraphFormat;
using RichEdit::RichEditControl;

namespace {

// A page format's "%d" replaced by the page, then the page count; "%%" is a
// percent sign. The format never reaches printf.
QString FillPageFormat(const QString &format, int page, int count)
{
    QString filled;
    int used = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format.at(i) == u'%' && i + 1 < format.size()) {
            if (format.at(i + 1) == u'd') {
                filled += QString::number(used++ == 0 ? page : count);
                ++i;
                continue;
            }
            if (format.at(i + 1) == u'%') {
                filled += u'%';
                ++i;
                continue;
            }
        }
        filled += format.at(i);
    }
    return filled;
}

bool IsModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
        || key == Qt::Key_AltGr || key == Qt::Key_CapsLock || key == Qt::Key_unknown;
}

qreal Twips(int twips, qreal dpi)
{
    return twips * dpi / 1440.0;
}

} // namespace

CActiveEditorView::CActiveEditorView(QWidget *parent)
    : RichEditControl(parent)
{
    setObjectName(QStringLiteral("notesEditor"));
    CreateActions();
    for (const auto signal :
        { &QTextEdit::cursorPositionChanged, &QTextEdit::selectionChanged, &QTextEdit::textChanged })
        connect(this, signal, this, &CActiveEditorView::UpdateCommandUI);
    connect(this, &QTextEdit::currentCharFormatChanged, this, &CActiveEditorView::UpdateCommandUI);
    // Asking the clipboard at every key would wait on the program that owns it.
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        connect(clipboard, &QClipboard::dataChanged, this, [this] {
            m_bClipboardHasData = canPaste();
            UpdateCommandUI();
        });
    }
    m_bClipboardHasData = canPaste();
    UpdateCommandUI();
}

CActiveEditorView::~CActiveEditorView()
{
    SetEditor(nullptr);
}

QAction *CActiveEditorView::AddAction(int command, const QString &text, const QString &prompt, bool checkable)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QStringLiteral("notesCommand%1").arg(command));
    action->setStatusTip(prompt);
    action->setToolTip(prompt);
    action->setCheckable(checkable);
    action->setData(command);
    m_actions.insert(command, action);
    return action;
}

void CActiveEditorView::CreateActions()
{
    const auto format = [this](int command, const QString &text, const QString &prompt,
                            const std::function<void()> &run, bool checkable) {
        QAction *action = AddAction(command, text, prompt, checkable);
        connect(action, &QAction::triggered, this, [this, run] {
            if (Writable())
                run();
            UpdateCommandUI();
            setFocus();
        });
        return action;
    };
    const auto toggle = [this](CharFormat::Field field) {
        const CharFormat current = selectionCharFormat();
        const bool on = (current.mask & field)
            && (field == CharFormat::Bold         ? current.bold
                    : field == CharFormat::Italic ? current.italic
                                                  : current.underline);
        CharFormat change;
        change.mask = field;
        change.bold = change.italic = change.underline = !on;
        setSelectionCharFormat(change);
    };
    QFont bold = font();
    bold.setBold(true);
    format(
        Bold, tr("B"), tr("Bold"), [toggle] { toggle(CharFormat::Bold); }, true)
        ->setFont(bold);
    QFont italic = font();
    italic.setItalic(true);
    format(
        Italic, tr("I"), tr("Italic"), [toggle] { toggle(CharFormat::Italic); }, true)
        ->setFont(italic);
    QFont underline = font();
    underline.setUnderline(true);
    format(
        Underline, tr("U"), tr("Underline"), [toggle] { toggle(CharFormat::Underline); }, true)
        ->setFont(underline);
    format(
        Bullets, tr("Bullets"), tr("Bullets"), [this] { ToggleBullets(); }, true);
    format(
        Numbering, tr("Numbering"), tr("Numbering"), [this] { ToggleNumbering(); }, true);
    format(
        Color, tr("Color"), tr("Color"), [this] { ChooseColor(); }, false);
    format(
        Highlight, tr("Highlight"), tr("Highlight"), [this] { ToggleHighlight(); }, true);

    const auto command = [this](int id, const QString &text, const QString &prompt,
                             const std::function<void()> &run, const QKeySequence &key = {}) {
        QAction *action = AddAction(id, text, prompt);
        if (!key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        connect(action, &QAction::triggered, this, [this, run] {
            run();
            UpdateCommandUI();
        });
        return action;
    };
    command(InsertImage, tr("New Image"), tr("Insert new image"), [this] {
        if (Writable())
            m_pEditor->InsertNewImage();
    });
    command(InsertPrescription, tr("New Prescription"), tr("Insert new prescription"), [this] {
        if (Writable())
            m_pEditor->InsertNewPrescription();
    });
    command(
        ImportMedia, tr("Import Video and Audio files"), tr("Import Media files (Video and Audio)"), [this] {
            if (Writable())
                m_pEditor->ImportMedia();
        });
    command(PrintPrescription, tr("Print today's prescription"), tr("Print today's prescription"),
        [this] { PrintTodaysPrescription(); });
    command(EditClear, tr("Erase"), tr("Erase the selection"), [this] { EditCommand(EditClear); });
    command(EditCopy, tr("Copy"), tr("Copy the selection and put it on the Clipboard"),
        [this] { EditCommand(EditCopy); });
    command(EditCut, tr("Cut"), tr("Cut the selection and put it on the Clipboard"),
        [this] { EditCommand(EditCut); });
    command(EditPaste, tr("Paste"), tr("Insert Clipboard contents"), [this] { EditCommand(EditPaste); });
    command(EditUndo, tr("Undo"), tr("Undo the last action"), [this] { Undo(false); });
    command(EditRedo, tr("Redo"), tr("Redo the previously undone action"), [this] { Undo(true); });
    command(FilePrint, tr("Print..."), tr("Print the notes"), [this] { Print(); });
    command(FilePrintPreview, tr("Print Preview"), tr("Show the notes as they will be printed"),
        [this] { PrintPreview(); });
    command(FilePrintToPdf, tr("Print to PDF..."), tr("Print the notes into a PDF file"), [this] {
        const QString path = Desktop::FileDialogs().GetSaveFileName(
            window(), tr("Print to PDF"), QString(), tr("PDF files (*.pdf)|*.pdf||"));
        if (!path.isEmpty() && !PrintToPdf(path))
            Desktop::Prompts().Show(window(), tr("The notes could not be written to %1.").arg(path),
                Desktop::Buttons::Ok, Desktop::Icon::Error);
    });
}

void CActiveEditorView::SetEditor(CActiveEditor *editor)
{
    if (m_pEditor == editor)
        return;
    if (m_pEditor)
        m_pEditor->SetView(nullptr);
    m_pEditor = editor;
    if (!editor) {
        setRichDocument(nullptr);
        UpdateCommandUI();
        return;
    }
    const QTextCursor caret = editor->Caret();
    setRichDocument(&editor->Document().Rich());
    setTextCursor(caret);
    editor->SetView(this);
    if (!m_bInitialized)
        InitialUpdate();
    editor->ResizeItems();
    UpdateCommandUI();
}

void CActiveEditorView::SetReach(std::function<bool(int)> reaches)
{
    m_reaches = std::move(reaches);
    UpdateCommandUI();
}

void CActiveEditorView::InitialUpdate()
{
    m_bInitialized = true;
    // New text is Arial of 10 points, upright and plain.
    CharFormat format;
    format.mask
        = CharFormat::Face | CharFormat::Size | CharFormat::Bold | CharFormat::Italic | CharFormat::Underline;
    format.face = QStringLiteral("Arial");
    format.sizeTwips = 200;
    if (!textCursor().hasSelection())
        setDefaultCharFormat(format);
    setOptions(AutoWordSelection | AutoVerticalScroll | AutoHorizontalScroll | KeepSelectionVisible
        | WantReturn | SaveSelection | SunkenFrame);
    // A scroll bar that comes and goes with the length of the notes would
    // make long notes be laid out twice.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The proxies size their text by the extents of the notes' font on this
    // device, measured once.
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(std::max(1, qRound(10.0 * logicalDpiY() / 72.0)));
    const QFontMetrics metrics(arial, this);
    const QString sample = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ");
    if (m_pEditor)
        m_pEditor->SetFontExtents(
            qint16(metrics.horizontalAdvance(sample) / int(sample.size())), qint16(metrics.height()));
}

bool CActiveEditorView::Writable() const
{
    return m_pEditor && !m_pEditor->IsReadOnly() && !isReadOnly();
}

bool CActiveEditorView::KeywordHandOffReaches() const
{
    return m_pEditor && m_pEditor->Events() && Reaches(CommandCode::AddKeyword);
}

void CActiveEditorView::UpdateCommandUI()
{
    if (m_actions.isEmpty())
        return;
    const bool writable = Writable();
    const bool selection = textCursor().hasSelection();
    const CharFormat characters = selectionCharFormat();
    const ParagraphFormat paragraphs = selectionParagraphFormat();
    const auto set = [this](int command, bool enabled, bool checked = false) {
        QAction *action = m_actions.value(command);
        action->setEnabled(enabled);
        if (action->isCheckable())
            action->setChecked(checked);
    };
    set(Bold, writable, (characters.mask & CharFormat::Bold) && characters.bold);
    set(Italic, writable, (characters.mask & CharFormat::Italic) && characters.italic);
    set(Underline, writable, (characters.mask & CharFormat::Underline) && characters.underline);
    const bool numberingKnown = bool(paragraphs.mask & ParagraphFormat::Numbering);
    set(Bullets, writable, numberingKnown && paragraphs.numbering == ParagraphFormat::NumberingKind::Bullet);
    m_bNumberingMixed = !numberingKnown;
    set(Numbering, writable,
        numberingKnown && paragraphs.numbering == ParagraphFormat::NumberingKind::Arabic);
    // The third state: neither checked nor plain.
    QAction *numbering = m_actions.value(Numbering);
    QFont numberingFont = numbering->font();
    numberingFont.setItalic(m_bNumberingMixed);
    numbering->setFont(numberingFont);
    numbering->setProperty("checkState",
        int(m_bNumberingMixed            ? Qt::PartiallyChecked
                : numbering->isChecked() ? Qt::Checked
                                         : Qt::Unchecked));
    set(Color, writable);
    set(Highlight, writable,
        (characters.mask & CharFormat::BackgroundColor) && characters.backgroundColor.has_value());

    set(InsertImage, writable && Reaches(CommandCode::InsertImageAsked) && m_pEditor->Images());
    set(InsertPrescription, writable && m_pEditor->CanInsertPrescription());
    set(ImportMedia, writable && Reaches(CommandCode::ImportMediaAsked) && m_pEditor->MediaLogic());
    set(PrintPrescription, m_pEditor != nullptr);
    set(EditClear, writable && selection);
    set(EditCopy, m_pEditor && selection);
    set(EditCut, writable && selection);
    set(EditPaste, writable && m_bClipboardHasData);
    set(EditUndo, writable && richDocument()->undoKind() == UndoKind::Typing);
    set(EditRedo, writable && richDocument()->redoKind() == UndoKind::Typing);
    for (const int print : { FilePrint, FilePrintPreview, FilePrintToPdf })
        set(print, m_pEditor != nullptr);
}

void CActiveEditorView::ToggleNumbering()
{
    const ParagraphFormat current = selectionParagraphFormat();
    ParagraphFormat change;
    if ((current.mask & ParagraphFormat::Numbering)
        && current.numbering == ParagraphFormat::NumberingKind::Arabic) {
        change.mask = ParagraphFormat::Numbering | ParagraphFormat::StartIndent | ParagraphFormat::Offset;
        change.numbering = ParagraphFormat::NumberingKind::None;
    } else {
        change.mask
            = ParagraphFormat::Numbering | ParagraphFormat::NumberingStart | ParagraphFormat::NumberingTab;
        change.numbering = ParagraphFormat::NumberingKind::Arabic;
        change.numberingStart = 1;
        change.numberingTab = NumberingTab;
    }
    setSelectionParagraphFormat(change);
}

void CActiveEditorView::ToggleBullets()
{
    const ParagraphFormat current = selectionParagraphFormat();
    ParagraphFormat change;
    change.mask = ParagraphFormat::Numbering | ParagraphFormat::StartIndent | ParagraphFormat::Offset;
    if ((current.mask & ParagraphFormat::Numbering)
        && current.numbering == ParagraphFormat::NumberingKind::Bullet) {
        change.numbering = ParagraphFormat::NumberingKind::None;
    } else {
        change.mask = ParagraphFormat::Numbering | ParagraphFormat::Offset;
        change.numbering = ParagraphFormat::NumberingKind::Bullet;
        change.offset = current.offset != 0 ? current.offset : 360;
    }
    setSelectionParagraphFormat(change);
}

void CActiveEditorView::ToggleHighlight()
{
    const CharFormat current = selectionCharFormat();
    CharFormat change;
    change.mask = CharFormat::BackgroundColor;
    if (!(current.mask & CharFormat::BackgroundColor) || !current.backgroundColor) {
        const QColor chosen = Desktop::FileDialogs().GetColor(window(), Qt::yellow, tr("Highlight"));
        if (!chosen.isValid())
            return;
        change.backgroundColor = chosen;
    }
    setSelectionCharFormat(change);
}

void CActiveEditorView::ChooseColor()
{
    const CharFormat current = selectionCharFormat();
    const QColor chosen = Desktop::FileDialogs().GetColor(
        window(), current.textColor.value_or(QColor(Qt::black)), tr("Color"));
    if (!chosen.isValid())
        return;
    CharFormat change;
    change.mask = CharFormat::TextColor;
    change.textColor = chosen;
    setSelectionCharFormat(change);
}

void CActiveEditorView::ApplyFormat(const CharFormat &format)
{
    if (Writable())
        setSelectionCharFormat(format);
}

void CActiveEditorView::EditCommand(int command)
{
    if (!m_pEditor)
        return;
    switch (command) {
    case EditCopy:
        m_pEditor->EditCommand(FrameCommand::EditCopy);
        break;
    case EditCut:
        m_pEditor->EditCommand(FrameCommand::EditCut);
        break;
    case EditPaste:
        m_pEditor->EditCommand(FrameCommand::EditPaste);
        break;
    case EditClear:
        // Like cut: a selection holding an item only collapses to its end.
        if (!Writable())
            return;
        if (m_pEditor->SelectionHoldsItem()) {
            QTextCursor cursor = textCursor();
            cursor.setPosition(cursor.selectionEnd());
            setTextCursor(cursor);
        } else {
            RichEdit::RichDocument::ActionScope scope(*richDocument(), UndoKind::Delete);
            textCursor().removeSelectedText();
        }
        break;
    default:
        break;
    }
}

void CActiveEditorView::Undo(bool redo)
{
    // Only typing is undone: an undone deletion or insertion would bring
    // items back without their rows, or take them away behind the notes' back.
    if (!Writable())
        return;
    if (redo ? richDocument()->redoKind() == UndoKind::Typing
             : richDocument()->undoKind() == UndoKind::Typing) {
        if (redo)
            QTextEdit::redo();
        else
            QTextEdit::undo();
    }
}

void CActiveEditorView::keyPressEvent(QKeyEvent *event)
{
    if (!Writable()) {
        RichEditControl::keyPressEvent(event);
        return;
    }
    const auto handled = [this, event] {
        event->accept();
        UpdateCommandUI();
    };
    // The clipboard keys follow the rules of the edit commands.
    if (event->matches(QKeySequence::Copy)) {
        EditCommand(EditCopy);
        return handled();
    }
    if (event->matches(QKeySequence::Cut)) {
        EditCommand(EditCut);
        return handled();
    }
    if (event->matches(QKeySequence::Paste)) {
        EditCommand(EditPaste);
        return handled();
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        Undo(event->matches(QKeySequence::Redo));
        return handled();
    }
    if (IsModifierKey(event->key())) {
        RichEditControl::keyPressEvent(event);
        return;
    }
    int key = event->key();
    auto reach = CActiveEditor::KeyReach::Character;
    if (event->matches(QKeySequence::DeleteStartOfWord)) {
        key = Qt::Key_Backspace;
        reach = CActiveEditor::KeyReach::Word;
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        key = Qt::Key_Delete;
        reach = CActiveEditor::KeyReach::Word;
    } else if (event->matches(QKeySequence::DeleteEndOfLine)) {
        key = Qt::Key_Delete;
        reach = CActiveEditor::KeyReach::Line;
    }
    if (m_pEditor->ProtectKey(key, reach))
        return handled();
    RichEditControl::keyPressEvent(event);
}

void CActiveEditorView::mousePressEvent(QMouseEvent *event)
{
    RichEditControl::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && m_pEditor && m_pEditor->Events())
        m_pEditor->Events()->OnClick();
}

void CActiveEditorView::mouseMoveEvent(QMouseEvent *event)
{
    // No drag selection and no drag and drop across items.
    if ((event->buttons() & (Qt::LeftButton | Qt::RightButton)) && m_pEditor
        && m_pEditor->SelectionHoldsItem()) {
        event->accept();
        return;
    }
    RichEditControl::mouseMoveEvent(event);
}

void CActiveEditorView::mouseDoubleClickEvent(QMouseEvent *event)
{
    RichEditControl::mouseDoubleClickEvent(event);
    if (!m_pEditor || event->button() != Qt::LeftButton)
        return;
    // The item under the pointer, if any: an object character whose box holds the point.
    CActiveEditorClientItem *item = nullptr;
    const QPoint point = event->position().toPoint();
    const QTextCursor hit = cursorForPosition(point);
    for (const int position : { hit.position() - 1, hit.position() }) {
        if (item || position < 0)
            continue;
        const auto objects = richDocument()->objectsInRange(position, position + 1);
        if (objects.isEmpty())
            continue;
        QTextCursor before(document());
        before.setPosition(position);
        QTextCursor after(document());
        after.setPosition(position + 1);
        const QRect left = cursorRect(before);
        const QRect right = cursorRect(after);
        if (left.top() == right.top() && point.x() >= left.left() && point.x() <= right.right()) {
            item = m_pEditor->FindByObject(objects.first().handle);
            if (item)
                setSelection(position, position + 1);
        }
    }
    if (item) {
        item->DoVerb(-2);
        return;
    }
    if (KeywordHandOffReaches())
        m_pEditor->HandOffKeyword();
}

void CActiveEditorView::contextMenuEvent(QContextMenuEvent *event)
{
    // One entry, for a selection of text only longer than one character, and
    // only while the possible rubrics take the phrase.
    if (!KeywordHandOffReaches() || selectionType() != (SelectionText | SelectionMultiChar)) {
        event->accept();
        return;
    }
    const int chosen
        = Desktop::Menus().Popup(this, event->globalPos(), { tr("Add selected phrase to possible rubrics") });
    if (chosen == 0 && m_pEditor)
        m_pEditor->HandOffKeyword();
    event->accept();
}

void CActiveEditorView::resizeEvent(QResizeEvent *event)
{
    RichEditControl::resizeEvent(event);
    // Separators span the text area.
    if (m_pEditor && viewport()->width() != m_nWidth) {
        m_nWidth = viewport()->width();
        m_pEditor->ResizeItems();
    }
}

void CActiveEditorView::showEvent(QShowEvent *event)
{
    RichEditControl::showEvent(event);
    ShowEnd();
}

int CActiveEditorView::PrintNotes(QPagedPaintDevice &device)
{
    if (!m_pEditor)
        return 0;
    RichEdit::RichDocument &rich = *richDocument();
    const int length = rich.textLength();
    if (length < 2)
        return 0;
    const qreal dpiX = device.logicalDpiX();
    const qreal dpiY = device.logicalDpiY();
    const QRectF paper(0, 0, device.width(), device.height());
    const QRectF page = paper.adjusted(Twips(MarginLeft, dpiX), Twips(MarginTop, dpiY),
        -Twips(MarginRight, dpiX), -Twips(MarginBottom, dpiY));

    // The items span the page as they span the view; the page is laid out
    // at the resolution of the screen.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal layoutDpi = screen ? qRound(screen->logicalDotsPerInchX()) : 100;
    rich.releaseFormatRange();
    m_pEditor->SizeItemsTo(
        QRect(0, 0, int(page.width() * layoutDpi / dpiX), int(page.height() * layoutDpi / dpiY)));
    const auto restore = qScopeGuard([this] { m_pEditor->SizeItemsTo(m_pEditor->FormattingRect()); });

    // Where every page starts, found before the first is printed so that
    // each footer knows the count.
    QList<int> starts { 0 };
    for (int from = 0;;) {
        const int next = rich.formatRange(&device, nullptr, page, from);
        if (next <= from || next >= length)
            break;
        starts << next;
        from = next;
    }
    QString header;
    QString footer;
    IActiveEditorEvents *listener = m_pEditor->Events();
    if (!listener || !listener->GetPrintHeaderFooter(&header, &footer)) {
        header = tr("Notes for patient X");
        footer = tr("Footer for patient X");
    }

    QPainter painter;
    if (!painter.begin(&device)) {
        rich.releaseFormatRange();
        return 0;
    }
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF headerBox(page.left(), 0, page.width(), page.top());
    const QRectF footerBox(page.left(), page.bottom(), page.width(), paper.bottom() - page.bottom());
    const int count = int(starts.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            device.newPage();
        rich.formatRange(&device, &painter, page, starts.at(i), i + 1 < count ? starts.at(i + 1) : -1);
        painter.drawText(headerBox, Qt::AlignHCenter | Qt::AlignVCenter, header);
        painter.drawText(
            footerBox, Qt::AlignHCenter | Qt::AlignVCenter, FillPageFormat(footer, i + 1, count));
    }
    painter.end();
    rich.releaseFormatRange();
    return count;
}

bool CActiveEditorView::PrintToPdf(const QString &path, int *pages)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    int printed = 0;
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(
            QLocale().measurementSystem() == QLocale::MetricSystem ? QPageSize::A4 : QPageSize::Letter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(tr("Notes"));
        printed = PrintNotes(writer);
    }
    if (pages)
        *pages = printed;
    if (printed == 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool CActiveEditorView::Print()
{
    if (!m_pEditor)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(tr("Notes"));
    if (!Desktop::PrintDialogs().ChoosePrinter(
            window(), printer, QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize))
        return false;
    return PrintNotes(printer) > 0;
}

void CActiveEditorView::PrintPreview()
{
    if (!m_pEditor)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    Desktop::PrintDialogs().ShowPreview(window(), printer, [this](QPrinter *target) {
        if (target)
            PrintNotes(*target);
    });
}

bool CActiveEditorView::PrintTodaysPrescription()
{
    if (!m_pEditor)
        return false;
    const QString text = m_pEditor->TodaysPrescriptionText(QDate::currentDate());
    if (text.isEmpty()) {
        Desktop::Prompts().Show(window(), CActiveEditor::NoPrescriptionsMessage(), Desktop::Buttons::Ok,
            Desktop::Icon::Information);
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(tr("VERDANTA - PRESCRIPTION"));
    if (!Desktop::PrintDialogs().ChoosePrinter(window(), printer,
            QAbstractPrintDialog::PrintDialogOptions(QAbstractPrintDialog::PrintShowPageSize)))
        return false;
    return PrintPrescriptionText(printer, text) > 0;
}

int CActiveEditorView::PrintPrescriptionText(QPagedPaintDevice &device, const QString &text)
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    // The platform's sans-serif font of 10 points, on an opaque background.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(10);
    painter.setFont(font);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.setPen(Qt::black);
    const QRect area = QRect(0, 0, device.width(), device.height()).adjusted(10, 10, -10, -10);
    constexpr int flags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::AlignLeft | Qt::AlignTop;
    // Line by line, so that a list longer than a page goes on to the next
    // one instead of running off the paper.
    int pages = 1;
    int top = area.top();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString shown = line.isEmpty() ? QStringLiteral(" ") : line;
        const QRect box
            = painter.boundingRect(QRect(area.left(), top, area.width(), area.height()), flags, shown);
        if (top + box.height() > area.bottom() && top > area.top()) {
            device.newPage();
            ++pages;
            top = area.top();
        }
        painter.drawText(QRect(area.left(), top, area.width(), box.height()), flags, line);
        top += box.height();
    }
    painter.end();
    return pages;
}

QTextCursor CActiveEditorView::TextCursor() const
{
    if (m_bCaretToEnd) {
        QTextCursor end(document());
        end.movePosition(QTextCursor::End);
        return end;
    }
    return textCursor();
}

void CActiveEditorView::SetTextCursor(const QTextCursor &cursor)
{
    m_bCaretToEnd = false;
    setTextCursor(cursor);
}

void CActiveEditorView::ShowCaret()
{
    setFocus();
    ensureCursorVisible();
}

QRect CActiveEditorView::FormattingRect() const
{
    const int margin = int(document()->documentMargin());
    return viewport()->rect().adjusted(margin, margin, -margin, -margin);
}

void CActiveEditorView::Repaint()
{
    viewport()->update();
}

void CActiveEditorView::Copy()
{
    copy();
}

void CActiveEditorView::Cut()
{
    cut();
}

void CActiveEditorView::Paste()
{
    paste();
}

void CActiveEditorView::NotesReloaded()
{
    emit notesReloaded();
    // The caret goes to the end of the new notes, which lays them out up to
    // there: right after the load when the view is shown, or when it is.
    m_bCaretToEnd = true;
    if (isVisible())
        QTimer::singleShot(0, this, &CActiveEditorView::ShowEnd);
    UpdateCommandUI();
}

void CActiveEditorView::ShowEnd()
{
    if (!m_bCaretToEnd)
        return;
    m_bCaretToEnd = false;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    setTextCursor(end);
}

void CActiveEditorView::EditorClosing()
{
    m_pEditor = nullptr;
    m_reaches = nullptr;
    setRichDocument(nullptr);
    emit notesReloaded();
    UpdateCommandUI();
}

void CActiveEditorView::ShowKeywordsBar()
{
    emit keywordsBarRequested();
}
