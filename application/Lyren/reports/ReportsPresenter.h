#pragma once

#include "reports/ReportDefinitions.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <vector>

class QObject;
class QWidget;

namespace Reports {

// The reports menu: sub-menus of numbered entries, each entry's command being
// its report ID.
struct Menu
{
    struct Entry
    {
        int id = 0;
        QString text;
    };
    struct Group
    {
        QString title;
        std::vector<Entry> entries;
    };
    std::vector<Group> groups;
};

// An item of a parameter dialog's list (remedies, dilutions).
struct Choice
{
    qint64 id = 0;
    QString name;
};

// What the parameter dialogs offer to choose from.
struct Choices
{
    std::vector<Choice> remedies; // in name order
    std::vector<Choice> dilutions; // in value order
    QStringList customFields;
};

// The windows of the reports as their logic drives them: the menu, the
// parameter dialogs ("Report Parameters") and the preview window. The window
// layer provides it through the context's services; tests provide their own
// or drive the real one.
class IPresenter
{
public:
    virtual ~IPresenter() = default;
    // Shows the menu below the anchor (the control that asked for it, or the
    // window when there is none) and returns the chosen report ID, 0 when none
    // was chosen.
    virtual int ChooseReport(QWidget *window, QObject *anchor, const Menu &menu) = 0;
    // Shows the dialog of the kind, preset from parameters; true on OK, the
    // fields the dialog asks for then holding what was chosen.
    virtual bool AskParameters(QWidget *parent, Ask ask, const Choices &choices, Parameters *parameters) = 0;
    // Opens the preview of a report (not modal): the rows with print, print
    // preview and export to PDF and CSV.
    virtual void ShowPreview(QWidget *parent, std::shared_ptr<const Table> table) = 0;
};

} // namespace Reports
