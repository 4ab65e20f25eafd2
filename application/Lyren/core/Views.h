#pragma once

#include <QtCore/QString>

class CLogicMain;
class QWidget;

namespace Korbel {
class IXListCtrl;
}

// The header band above the workspace as logic objects see it: they fill its
// values, never its widgets.
class IHeaderBand
{
public:
    // The patient picture; an empty path shows the "no photo" picture.
    virtual void SetPicture(const QString &path) = 0;
    virtual QString GetPicture() const = 0;
    virtual void SetNameLine(const QString &text) = 0;
    virtual void SetAgeLine(const QString &text) = 0;
    // The chief complaints list, which the chief complaints logic fills.
    virtual Korbel::IXListCtrl *ChiefComplaintsList() = 0;
    // The links to the current phone and e-mail address: the text shown (also
    // the tool tip while active) and whether a click sends the link's command.
    virtual void SetPhoneLink(const QString &text, bool active) = 0;
    virtual void SetEmailLink(const QString &text, bool active) = 0;
    // The window dialogs opened from the band belong to (opaque to logic).
    virtual QWidget *DialogParent() const = 0;

protected:
    ~IHeaderBand() = default;
};

// Each workspace page: attached to the hub once, refreshed after every load.
class IPage
{
public:
    virtual ~IPage() = default;
    virtual void Attach(CLogicMain *hub) = 0;
    virtual void Refresh() = 0;
};
