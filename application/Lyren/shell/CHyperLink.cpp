#include "shell/CHyperLink.h"

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
    QString shown = text;
    setText(shown.replace(QLatin1Char('&'), QLatin1String("&&"))); // no mnemonics in addresses
    setToolTip(active ? text : QString());
    setEnabled(active);
    setCursor(active ? Qt::PointingHandCursor : Qt::ArrowCursor);
}
