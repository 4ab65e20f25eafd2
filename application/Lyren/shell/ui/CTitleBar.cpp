#include "shell/ui/CTitleBar.h"

#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>

CTitleBar::CTitleBar(const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_pCaption(new QLabel(caption, this))
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Dark));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::BrightText));
    setPalette(colours);

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    m_pCaption->setFont(font);
    m_pCaption->setTextFormat(Qt::PlainText);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_pCaption, 1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CTitleBar::SetCaption(const QString &caption)
{
    m_pCaption->setText(caption);
}

QString CTitleBar::Caption() const
{
    return m_pCaption->text();
}
