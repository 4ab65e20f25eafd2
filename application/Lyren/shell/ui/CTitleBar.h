#pragma once

#include <QtWidgets/QWidget>

class QLabel;

// A caption strip across the frame: one full-width caption in a bold
// 16-pixel Arial font on the button-shadow colour, inset by 2 pixels.
class CTitleBar : public QWidget
{
    Q_OBJECT

public:
    explicit CTitleBar(const QString &caption, QWidget *parent = nullptr);

    void SetCaption(const QString &caption);
    QString Caption() const;

private:
    QLabel *m_pCaption;
};
