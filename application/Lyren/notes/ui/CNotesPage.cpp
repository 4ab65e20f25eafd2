#include "notes/ui/CNotesPage.h"

#include "notes/CLogicNotes.h"
#include "rubrics/ui/CKeywordsBar.h"
#include "shell/CLogicMain.h"

#include "core/UserSettings.h"

#include "richedit/widgets/RichEditControl.h"

#include <QtCore/QTimer>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QVBoxLayout>

using RichEdit::RichEditControl;

CNotesPage::CNotesPage(QWidget *parent)
    : QWidget(parent)
    , m_pControl(new RichEditControl(this))
    , m_pNotice(new QLabel(this))
    , m_pKeywordsBar(new CKeywordsBar(this))
{
    m_pControl->setObjectName(QStringLiteral("notesEditor"));
    m_pControl->setOptions(RichEditControl::AutoWordSelection | RichEditControl::AutoVerticalScroll
        | RichEditControl::AutoHorizontalScroll | RichEditControl::KeepSelectionVisible
        | RichEditControl::WantReturn | RichEditControl::SaveSelection | RichEditControl::SunkenFrame);
    m_pControl->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pControl->viewport()->installEventFilter(this);
    m_pNotice->setObjectName(QStringLiteral("notesNotice"));
    m_pNotice->setWordWrap(true);
    m_pNotice->setTextFormat(Qt::PlainText);
    m_pNotice->setStyleSheet(QStringLiteral("background: #fff4c4; border: 1px solid #d9c36a; padding: 4px;"));
    m_pNotice->hide();
    auto *notes = new QWidget(this);
    auto *layout = new QVBoxLayout(notes);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_pNotice);
    layout->addWidget(m_pControl, 1);
    AddKeywordsBar(notes);
}

void CNotesPage::AddKeywordsBar(QWidget *notes)
{
    // The keywords bar stands at the right of the notes, its toggle above them.
    auto *toggles = new QToolBar(this);
    toggles->setObjectName(QStringLiteral("notesToggles"));
    toggles->setIconSize(QSize(16, 16));
    toggles->addAction(m_pKeywordsBar->ToggleAction());
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("notesSplitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(notes);
    splitter->addWidget(m_pKeywordsBar);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    m_pKeywordsBar->hide();
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(toggles);
    page->addWidget(splitter, 1);
}

CNotesPage::~CNotesPage()
{
    Detach();
}

void CNotesPage::Detach()
{
    if (m_pNotes)
        m_pNotes->ActiveEditor().SetView(nullptr);
    m_pNotes = nullptr;
    m_pControl->setRichDocument(nullptr);
}

void CNotesPage::Attach(CLogicMain *hub)
{
    Detach();
    m_pKeywordsBar->Attach(hub);
    m_pKeywordsBar->Show(hub && GetShowKeywords() != 0);
    m_pNotes = hub ? hub->Services().Get<CLogicNotes>() : nullptr;
    if (!m_pNotes)
        return;
    CActiveEditor &editor = m_pNotes->ActiveEditor();
    const QTextCursor caret = editor.Caret();
    m_pControl->setRichDocument(&editor.Document().Rich());
    m_pControl->setTextCursor(caret);
    editor.SetView(this);
    editor.ResizeItems();
}

void CNotesPage::Refresh()
{
    const bool readOnly = !m_pNotes || m_pNotes->IsReadOnly();
    m_pControl->setOptions(readOnly
            ? m_pControl->options() | RichEditControl::ReadOnlyText
            : m_pControl->options() & ~RichEditControl::Options(RichEditControl::ReadOnlyText));
    // A scroll bar that comes and goes with the length of the notes would
    // make long notes be laid out twice.
    m_pControl->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const QStringList notices = m_pNotes ? m_pNotes->Notices() : QStringList();
    m_pNotice->setText(notices.join(QLatin1Char('\n')));
    m_pNotice->setVisible(!notices.isEmpty());
}

QTextCursor CNotesPage::TextCursor() const
{
    if (m_bCaretToEnd) {
        QTextCursor end(m_pControl->document());
        end.movePosition(QTextCursor::End);
        return end;
    }
    return m_pControl->textCursor();
}

void CNotesPage::SetTextCursor(const QTextCursor &cursor)
{
    m_bCaretToEnd = false;
    m_pControl->setTextCursor(cursor);
}

void CNotesPage::ShowCaret()
{
    m_pControl->setFocus();
    m_pControl->ensureCursorVisible();
}

QRect CNotesPage::FormattingRect() const
{
    const int margin = int(m_pControl->document()->documentMargin());
    return m_pControl->viewport()->rect().adjusted(margin, margin, -margin, -margin);
}

void CNotesPage::Repaint()
{
    m_pControl->viewport()->update();
}

void CNotesPage::Copy()
{
    m_pControl->copy();
}

void CNotesPage::Cut()
{
    m_pControl->cut();
}

void CNotesPage::Paste()
{
    m_pControl->paste();
}

void CNotesPage::NotesReloaded()
{
    Refresh();
    // The caret goes to the end of the new notes, which lays them out up to
    // there: right after the load when the tab is shown, or when it is.
    m_bCaretToEnd = true;
    if (isVisible())
        QTimer::singleShot(0, this, &CNotesPage::ShowEnd);
}

void CNotesPage::ShowEnd()
{
    if (!m_bCaretToEnd)
        return;
    m_bCaretToEnd = false;
    QTextCursor end(m_pControl->document());
    end.movePosition(QTextCursor::End);
    m_pControl->setTextCursor(end);
}

void CNotesPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ShowEnd();
}

void CNotesPage::EditorClosing()
{
    m_pNotes = nullptr;
    m_pControl->setRichDocument(nullptr);
    Refresh();
}

bool CNotesPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pControl->viewport() && m_pNotes) {
        if (event->type() == QEvent::Resize && m_pControl->viewport()->width() != m_nWidth) {
            // Separators span the text area.
            m_nWidth = m_pControl->viewport()->width();
            m_pNotes->ActiveEditor().ResizeItems();
        } else if (event->type() == QEvent::MouseButtonPress
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_pNotes->OnClick();
        }
    }
    return QWidget::eventFilter(watched, event);
}
