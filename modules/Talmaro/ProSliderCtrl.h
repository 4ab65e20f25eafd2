#pragma once

#include <QtCore/QList>
#include <QtWidgets/QSlider>

namespace Talmaro {

// The position slider of the transport dialog: a horizontal slider over the
// file's length in milliseconds that draws the markers as ticks under the
// groove, and that the dialog does not move while the user drags it.
class CProSliderCtrl : public QSlider
{
    Q_OBJECT

public:
    explicit CProSliderCtrl(QWidget *parent = nullptr);

    // Marker positions in milliseconds.
    void SetMarkers(const QList<int> &positions);
    // Sets the length and moves the handle, without signals, unless the user
    // holds the handle.
    void SetPositionQuietly(int position, int length);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<int> m_markers;
};

} // namespace Talmaro
