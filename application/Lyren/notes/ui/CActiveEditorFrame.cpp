#include "notes/ui/CActiveEditorFrame.h"

#include "notes/ui/CActiveEditorView.h"
#include "notes/ui/CFormatBar.h"

#include <QtGui/QAction>
#include <QtGui/QCloseEvent>
#include <QtWidgets/QDockWidget>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>

CActiveEditorFrame::CActiveEditorFrame(QWidget *parent)
    : QMainWindow(parent)
    , m_pView(new CActiveEditorView(this))
    , m_pStandard(new QToolBar(tr("Standard"), this))
    , m_pFormat(new CFormatBar(this))
    , m_pKeywordsDock(new QDockWidget(tr("Possible Rubrics"), this))
    , m_pToggleKeywords(new QAction(tr("Possible Rubrics"), this))
{
    setObjectName(QStringLiteral("notesFrame"));
    // A main window is a window of its own; this one lives inside its page.
    if (parent)
        setWindowFlags(Qt::Widget);
    setCentralWidget(m_pView);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

    m_pToggleKeywords->setObjectName(QStringLiteral("notesCommand%1").arg(ToggleKeywordsCommand));
    m_pToggleKeywords->setStatusTip(tr("Show or hide possible rubrics window"));
    m_pToggleKeywords->setToolTip(tr("Possible Rubrics"));
    m_pToggleKeywords->setCheckable(true);
    connect(m_pToggleKeywords, &QAction::triggered, this, [this] { ToggleKeywordsBar(); });

    m_pStandard->setObjectName(QStringLiteral("notesStandardBar"));
    m_pStandard->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::initializer_list<int> groups[] = {
        { CActiveEditorView::EditCut, CActiveEditorView::EditCopy, CActiveEditorView::EditPaste,
            CActiveEditorView::EditUndo, CActiveEditorView::EditRedo },
        { CActiveEditorView::InsertImage, CActiveEditorView::InsertPrescription,
            CActiveEditorView::ImportMedia },
        { CActiveEditorView::FilePrint, CActiveEditorView::FilePrintPreview,
            CActiveEditorView::FilePrintToPdf, CActiveEditorView::PrintPrescription },
    };
    for (const auto &group : groups) {
        if (!m_pStandard->actions().isEmpty())
            m_pStandard->addSeparator();
        for (const int command : group)
            m_pStandard->addAction(m_pView->Action(command));
    }
    m_pStandard->addSeparator();
    m_pStandard->addAction(m_pToggleKeywords);

    m_pFormat->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const int command : { CActiveEditorView::Bold, CActiveEditorView::Italic,
             CActiveEditorView::Underline, CActiveEditorView::Color, CActiveEditorView::Highlight,
             CActiveEditorView::Bullets, CActiveEditorView::Numbering })
        m_pFormat->addAction(m_pView->Action(command));
    // The bar's notifications reach the view as plain signals.
    connect(m_pFormat, &CFormatBar::selectionFormatRequested, this,
        [this] { m_pFormat->ShowFormat(m_pView->SelectionFormat()); });
    connect(m_pFormat, &CFormatBar::formatApplied, m_pView, &CActiveEditorView::ApplyFormat);
    connect(m_pFormat, &CFormatBar::focusReturned, this, [this] { m_pView->setFocus(); });
    connect(m_pView, &QTextEdit::cursorPositionChanged, m_pFormat, &CFormatBar::Refresh);
    connect(m_pView, &QTextEdit::currentCharFormatChanged, m_pFormat, &CFormatBar::Refresh);
    connect(m_pView, &CActiveEditorView::keywordsBarRequested, this, [this] { ShowKeywordsBar(true); });

    for (QToolBar *bar : { m_pStandard, static_cast<QToolBar *>(m_pFormat) }) {
        bar->setAllowedAreas(Qt::AllToolBarAreas);
        bar->setMovable(true);
        addToolBar(Qt::TopToolBarArea, bar);
    }
    insertToolBarBreak(m_pFormat);

    m_pKeywordsDock->setObjectName(QStringLiteral("keywordsDock"));
    m_pKeywordsDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    // The bar's own close button is the second way to hide it.
    m_pKeywordsDock->toggleViewAction()->setProperty("notesCommand", ToggleKeywordsBarCommand);
    addDockWidget(Qt::RightDockWidgetArea, m_pKeywordsDock);
    m_pKeywordsDock->hide();
    connect(
        m_pKeywordsDock, &QDockWidget::visibilityChanged, this, &CActiveEditorFrame::UpdateKeywordsToggle);
    UpdateKeywordsToggle();
    m_pFormat->Refresh();
}

CActiveEditorFrame::~CActiveEditorFrame()
{
    // The children go after this frame: what they signal from now on reaches nobody.
    for (QObject *child : { static_cast<QObject *>(m_pView), static_cast<QObject *>(m_pFormat),
             static_cast<QObject *>(m_pKeywordsDock) })
        child->disconnect(this);
    m_pView->disconnect(m_pFormat);
}

void CActiveEditorFrame::SetKeywordsBar(QWidget *bar)
{
    if (m_pKeywordsBar == bar)
        return;
    // The bar goes with the frame, or when another takes its place.
    if (m_pKeywordsBar) {
        QWidget *previous = m_pKeywordsBar;
        m_pKeywordsDock->setWidget(nullptr);
        previous->deleteLater();
    }
    m_pKeywordsBar = bar;
    if (bar) {
        m_pKeywordsDock->setWidget(bar);
    } else {
        m_pKeywordsDock->hide();
    }
    UpdateKeywordsToggle();
}

bool CActiveEditorFrame::IsKeywordsBarVisible() const
{
    return m_pKeywordsBar && !m_pKeywordsDock->isHidden();
}

void CActiveEditorFrame::ShowKeywordsBar(bool show)
{
    if (!m_pKeywordsBar)
        return;
    m_pKeywordsDock->setVisible(show);
    UpdateKeywordsToggle();
}

void CActiveEditorFrame::UpdateKeywordsToggle()
{
    m_pToggleKeywords->setEnabled(m_pKeywordsBar != nullptr);
    m_pToggleKeywords->setChecked(IsKeywordsBarVisible());
}

void CActiveEditorFrame::closeEvent(QCloseEvent *event)
{
    event->ignore();
}
