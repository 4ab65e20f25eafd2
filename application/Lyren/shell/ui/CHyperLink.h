#pragma once

#include <QtWidgets/QPushButton>

// A text shown as a link: a flat button, underlined in the link colour with a
// hand cursor while active; an inactive link shows its text greyed and cannot
// be clicked. The phone link is checkable: it stays pressed after a click
// until clicked again.
class CHyperLink : public QPushButton
{
    Q_OBJECT

public:
    explicit CHyperLink(QWidget *parent = nullptr);

    // The shown text (also the tool tip while active) and whether it can be
    // clicked.
    void SetLink(const QString &text, bool active);
    bool IsActive() const { return m_active; }
    QString LinkText() const { return m_text; }
    // Whether the link's command reaches a logic object; an unreachable link
    // cannot be clicked whatever it shows.
    void SetReachable(bool reachable);

private:
    void UpdateEnabled();

    QString m_text;
    bool m_active = false;
    bool m_reachable = true;
};
