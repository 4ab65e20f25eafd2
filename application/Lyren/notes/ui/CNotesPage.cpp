#include "notes/ui/CNotesPage.h"

#include "notes/CLogicNotes.h"
#include "notes/ui/CActiveEditorFrame.h"
#include "notes/ui/CActiveEditorView.h"
#include "rubrics/ui/CKeywordsBar.h"
#include "shell/CLogicMain.h"

#include "core/UserSettings.h"

#include <QtGui/QAction>

#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

using RichEdit::RichEditControl;

CNotesPage::CNotesPage(QWidget *parent)
    : QWidget(parent)
    , m_pFrame(new CActiveEditorFrame(this))
    , m_pNotice(new QLabel(this))
    , m_pKeywordsBar(new CKeywordsBar)
{
    // The keywords bar lives in the frame's dock at the right of the notes;
    // the dock follows the bar (a keyword arriving shows it), and the frame's
    // toggle is a person's choice, kept for the next start.
    m_pFrame->SetKeywordsBar(m_pKeywordsBar);
    connect(m_pKeywordsBar, &CKeywordsBar::shownChanged, m_pFrame, &CActiveEditorFrame::ShowKeywordsBar);
    connect(m_pFrame->KeywordsToggle(), &QAction::triggered, this,
        [this] { m_pKeywordsBar->Show(m_pFrame->IsKeywordsBarVisible(), true); });
    m_pNotice->setObjectName(QStringLiteral("notesNotice"));
    m_pNotice->setWordWrap(true);
    m_pNotice->setTextFormat(Qt::PlainText);
    m_pNotice->setStyleSheet(QStringLiteral("background: #fff4c4; border: 1px solid #d9c36a; padding: 4px;"));
    m_pNotice->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_pNotice);
    layout->addWidget(m_pFrame, 1);
    connect(View(), &CActiveEditorView::notesReloaded, this, [this] {
        if (!View()->Editor())
            m_pNotes = nullptr;
        Refresh();
    });
}

CNotesPage::~CNotesPage()
{
    Detach();
}

CActiveEditorView *CNotesPage::View() const
{
    return m_pFrame->View();
}

void CNotesPage::Detach()
{
    View()->SetReach(nullptr);
    View()->SetEditor(nullptr);
    m_pNotes = nullptr;
}

void CNotesPage::Attach(CLogicMain *hub)
{
    Detach();
    m_pKeywordsBar->Attach(hub);
    m_pKeywordsBar->Show(hub && GetShowKeywords() != 0);
    m_pNotes = hub ? hub->Services().Get<CLogicNotes>() : nullptr;
    if (!m_pNotes)
        return;
    View()->SetEditor(&m_pNotes->ActiveEditor());
    View()->SetReach([hub](int code) { return hub->Reaches(code); });
}

void CNotesPage::Refresh()
{
    const bool readOnly = !m_pNotes || m_pNotes->IsReadOnly();
    RichEditControl *control = View();
    control->setOptions(readOnly
            ? control->options() | RichEditControl::ReadOnlyText
            : control->options() & ~RichEditControl::Options(RichEditControl::ReadOnlyText));
    // A scroll bar that comes and goes with the length of the notes would
    // make long notes be laid out twice.
    control->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const QStringList notices = m_pNotes ? m_pNotes->Notices() : QStringList();
    m_pNotice->setText(notices.join(QLatin1Char('\n')));
    m_pNotice->setVisible(!notices.isEmpty());
    View()->UpdateCommandUI();
}
