#include "ProSliderCtrl.h"

#include <QtCore/QSignalBlocker>
#include <QtGui/QPainter>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionSlider>

namespace Talmaro {

CProSliderCtrl::CProSliderCtrl(QWidget *parent)
    : QSlider(Qt::Horizontal, parent)
{
    setRange(0, 0);
    setTracking(false);
}

void CProSliderCtrl::SetMarkers(const QList<int> &positions)
{
    if (positions == m_markers)
        return;
    m_markers = positions;
    update();
}

void CProSliderCtrl::SetPositionQuietly(int position, int length)
{
    if (isSliderDown())
        return;
    const QSignalBlocker blocker(this);
    setRange(0, length);
    setValue(position);
}

void CProSliderCtrl::paintEvent(QPaintEvent *event)
{
    QSlider::paintEvent(event);
    if (m_markers.isEmpty() || maximum() <= minimum())
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    for (const int position : m_markers) {
        const int x = groove.left() + handle.width() / 2
            + QStyle::sliderPositionFromValue(minimum(), maximum(), position, span);
        painter.drawLine(x, rect().bottom() - 4, x, rect().bottom());
    }
}

} // namespace Talmaro
