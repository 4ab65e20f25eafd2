#include "Calendar/Widgets/CaptionBar.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QToolButton>

namespace Calendar {

CaptionBar::CaptionBar(QWidget *parent)
    : QWidget(parent)
    , m_back(new QToolButton(this))
    , m_forward(new QToolButton(this))
    , m_today(new QToolButton(this))
    , m_caption(new QLabel(this))
    , m_kinds(new QButtonGroup(this))
{
    m_back->setArrowType(Qt::LeftArrow);
    m_back->setToolTip(tr("Back"));
    m_forward->setArrowType(Qt::RightArrow);
    m_forward->setToolTip(tr("Forward"));
    m_today->setText(tr("&Today"));
    QFont font = m_caption->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    m_caption->setFont(font);
    m_caption->setTextFormat(Qt::PlainText);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_back);
    layout->addWidget(m_forward);
    layout->addWidget(m_today);
    layout->addSpacing(8);
    layout->addWidget(m_caption, 1);

    const QList<QPair<ViewKind, QString>> kinds { { ViewKind::Day, tr("Day") },
        { ViewKind::WorkWeek, tr("Work Week") }, { ViewKind::Week, tr("Week") },
        { ViewKind::Month, tr("Month") } };
    for (const auto &[kind, text] : kinds) {
        auto *button = new QToolButton(this);
        button->setText(text);
        button->setCheckable(true);
        button->setAutoRaise(true);
        m_kinds->addButton(button, static_cast<int>(kind));
        layout->addWidget(button);
    }
    m_kinds->setExclusive(true);

    setAutoFillBackground(true);
    connect(m_back, &QToolButton::clicked, this, [this] { Q_EMIT stepRequested(-1); });
    connect(m_forward, &QToolButton::clicked, this, [this] { Q_EMIT stepRequested(1); });
    connect(m_today, &QToolButton::clicked, this, &CaptionBar::todayRequested);
    connect(m_kinds, &QButtonGroup::idClicked, this,
        [this](int id) { Q_EMIT viewKindRequested(static_cast<ViewKind>(id)); });
}

void CaptionBar::setCaption(const QString &caption)
{
    m_caption->setText(caption);
}

QString CaptionBar::caption() const
{
    return m_caption->text();
}

void CaptionBar::setViewKind(ViewKind kind)
{
    if (QAbstractButton *button = m_kinds->button(static_cast<int>(kind)))
        button->setChecked(true);
}

QAbstractButton *CaptionBar::viewButton(ViewKind kind) const
{
    return m_kinds->button(static_cast<int>(kind));
}

} // namespace Calendar
