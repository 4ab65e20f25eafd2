#include "Lumisk/CImagePreviewStatic.h"

#include "Lumisk/ImageFiles.h"

#include <QtGui/QCursor>
#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <utility>

namespace {

// A magnifying glass, the control's own cursor.
QCursor PreviewCursor()
{
    QPixmap glass(32, 32);
    glass.fill(Qt::transparent);
    QPainter painter(&glass);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto &[color, width] :
        { std::pair { QColor(Qt::white), 5.0 }, std::pair { QColor(Qt::black), 2.5 } }) {
        painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(3, 3, 16, 16));
        painter.drawLine(QPointF(17, 17), QPointF(28, 28));
    }
    painter.end();
    return QCursor(glass, 11, 11);
}

} // namespace

CImagePreviewStatic::CImagePreviewStatic(QWidget *parent)
    : QFrame(parent)
{
    setCursor(PreviewCursor());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(16, 16);
}

CImagePreviewStatic::~CImagePreviewStatic() = default;

bool CImagePreviewStatic::Create()
{
    if (!testAttribute(Qt::WA_WState_Created))
        return false;
    m_filename.clear();
    m_image = QImage();
    m_scaled = QPixmap();
    update();
    return true;
}

void CImagePreviewStatic::SetFilename(const QString &path)
{
    m_filename = path;
    // The control is never larger than its screen: a photo is decoded to that
    // size at most, which is faster and holds far less memory.
    QSize largest(4096, 4096);
    if (const QScreen *screen = this->screen())
        largest = screen->size() * screen->devicePixelRatio();
    m_image = path.isEmpty() ? QImage() : Lumisk::LoadImage(path, largest);
    m_scaled = QPixmap();
    update();
}

QSize CImagePreviewStatic::sizeHint() const
{
    return QSize(200, 180);
}

void CImagePreviewStatic::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(rect(), Qt::white);
    const QRect target = Lumisk::FitRect(m_image.size(), area.size()).translated(area.topLeft());
    if (!target.isEmpty()) {
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = target.size() * ratio;
        if (m_scaled.size() != pixels) {
            m_scaled
                = QPixmap::fromImage(m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            m_scaled.setDevicePixelRatio(ratio);
        }
        painter.drawPixmap(target.topLeft(), m_scaled);
    }
    painter.end();
    QFrame::paintEvent(event);
}
