#pragma once

#include <QtCore/QObject>
#include <QtCore/QPoint>
#include <QtCore/QTimer>
#include <QtGui/QColor>

class QLabel;
class QWidget;

namespace TimeGrid {

// A tool tip that follows the cell under the mouse: every move hands it the
// text of the cell (empty outside the cells), and a text is shown only after
// the mouse has rested on it for the delay. Presses hide it.
class DelayedToolTip : public QObject
{
public:
    // 'background' invalid: the platform's tool tip colours.
    DelayedToolTip(QWidget *owner, int delayMs, const QColor &background);
    ~DelayedToolTip() override;

    // The mouse moved to 'globalPosition' over a cell with this text.
    void Track(const QString &text, const QPoint &globalPosition);
    void Hide();

    QString Text() const { return m_text; }
    bool IsShown() const;

private:
    void Show();

    QLabel *m_pLabel; // a tool-tip window, child of the owner
    QTimer m_timer;
    QString m_text;
    QPoint m_position;
};

} // namespace TimeGrid
