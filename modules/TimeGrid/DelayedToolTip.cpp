#include "TimeGrid/DelayedToolTip.h"

#include "TimeGrid/Metrics.h"

#include <QtGui/QScreen>
#include <QtWidgets/QLabel>
#include <QtWidgets/QToolTip>

namespace TimeGrid {

namespace {

// Below and right of the cursor, as tool tips sit.
const QPoint kCursorOffset(12, 18);

} // namespace

DelayedToolTip::DelayedToolTip(QWidget *owner, int delayMs, const QColor &background)
    : QObject(owner)
    , m_pLabel(new QLabel(owner, Qt::ToolTip | Qt::BypassGraphicsProxyWidget))
{
    m_pLabel->setObjectName(QStringLiteral("TimeGridToolTip"));
    m_pLabel->setMargin(3);
    m_pLabel->setTextFormat(Qt::PlainText);
    m_pLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kFontPixelSize);
    m_pLabel->setFont(font);
    QPalette palette = QToolTip::palette();
    if (background.isValid()) {
        palette.setColor(QPalette::Window, background);
        palette.setColor(QPalette::WindowText, Qt::black);
    }
    m_pLabel->setPalette(palette);
    m_pLabel->setAutoFillBackground(true);
    m_pLabel->hide();

    m_timer.setSingleShot(true);
    m_timer.setInterval(delayMs);
    connect(&m_timer, &QTimer::timeout, this, &DelayedToolTip::Show);
}

DelayedToolTip::~DelayedToolTip() = default;

void DelayedToolTip::Track(const QString &text, const QPoint &globalPosition)
{
    m_position = globalPosition;
    if (text.isEmpty()) {
        Hide();
        m_text.clear();
        return;
    }
    if (text == m_text && (IsShown() || m_timer.isActive()))
        return;
    m_pLabel->hide();
    m_text = text;
    m_timer.start();
}

void DelayedToolTip::Hide()
{
    m_timer.stop();
    m_pLabel->hide();
}

bool DelayedToolTip::IsShown() const
{
    return m_pLabel->isVisible();
}

void DelayedToolTip::Show()
{
    m_pLabel->setText(m_text);
    m_pLabel->adjustSize();
    QPoint place = m_position + kCursorOffset;
    // Kept on the screen.
    if (const QScreen *screen = m_pLabel->screen()) {
        const QRect available = screen->availableGeometry();
        place.setX(std::min(place.x(), available.right() - m_pLabel->width()));
        place.setY(std::min(place.y(), available.bottom() - m_pLabel->height()));
    }
    m_pLabel->move(place);
    m_pLabel->show();
}

} // namespace TimeGrid
