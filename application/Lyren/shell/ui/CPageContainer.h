#pragma once

#include "core/LogicCommand.h"
#include "core/Views.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtCore/QStringList>

#include <array>

class QWidget;

// The nine patient pages of the workspace, one per tab, created once at
// start-up and shown by whichever workspace pane selects their tab.
class CPageContainer
{
    Q_DECLARE_TR_FUNCTIONS(CPageContainer)

public:
    static constexpr int PageCount = 9;

    CPageContainer();
    ~CPageContainer();
    CPageContainer(const CPageContainer &) = delete;
    CPageContainer &operator=(const CPageContainer &) = delete;

    // The tab labels in tab order.
    static QStringList TabLabels();

    // Creates the pages (parented to 'owner' until a pane shows them),
    // registers each with the hub and attaches and refreshes it.
    void CreatePages(QWidget *owner, CLogicMain *hub);
    // The page window of a tab, none out of range or before CreatePages.
    QWidget *GetPageWindow(int index) const;
    IPage *GetPage(int index) const;
    // Forgets the hub; the pages stay until the frame goes.
    void Close();
    CLogicMain *GetHub() const { return m_pHub; }

private:
    static QWidget *CreatePage(int index, QWidget *owner);

    CLogicMain *m_pHub = nullptr;
    std::array<QPointer<QWidget>, PageCount> m_pages;
};
