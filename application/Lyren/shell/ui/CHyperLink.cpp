#include "shell/ui/CHyperLink.h"

CHyperLink::CHyperLink(QWidget *parent)
    : QPushButton(parent)
{
    setFlat(true);
    setStyleSheet(QStringLiteral("CHyperLink { border: none; padding: 1px 2px; text-align: left; }"
                                 "CHyperLink:enabled { color: palette(link); text-decoration: underline; }"
                                 "CHyperLink:disabled { text-decoration: none; }"
                                 "CHyperLink:checked { font-weight: bold; }"));
    SetLink(QString(), false);
}

void CHyperLink::SetLink(const QString &text, bool active)
{
    m_text = text;
    QString shown = text;
    setText(shown.replace(QLatin1Char('&'), QLatin1String("&&"))); // no mnemonics in addresses
    setToolTip(active ? text : QString());
    m_active = active;
    UpdateEnabled();
}

void CHyperLink::SetReachable(bool reachable)
{
    m_reachable = reachable;
    UpdateEnabled();
}

void CHyperLink::UpdateEnabled()
{
    const bool clickable = m_active && m_reachable;
    setEnabled(clickable);
    setCursor(clickable ? Qt::PointingHandCursor : Qt::ArrowCursor);
}
