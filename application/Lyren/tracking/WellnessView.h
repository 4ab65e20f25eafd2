#pragma once

#include <QtCore/QString>

#include <optional>

// The wellness controls of the treatment page as the wellness logic sees
// them: per graph row a visibility check box, a name field drawn in the
// graph's colour and a current-graph radio button, and the "Show All" check
// box. The logic fills and reads their values, never their widgets.
class IWellnessView
{
public:
    static constexpr int RowCount = 5;

    // The identifiers of the controls, which commands carry as their id.
    static constexpr int VisibleBoxId = 1178; // + row
    static constexpr int NameFieldId = 1015; // + row
    static constexpr int CurrentRadioId = 1209; // + row
    static constexpr int ShowAllBoxId = 1193;
    static constexpr int ZoomBarId = 1069;
    static constexpr int ShowToggleId = 1214;
    static constexpr int GraphGridId = 1192;

    struct Row
    {
        bool visible = false;
        QString name;
        bool current = false;
    };

    // Shows a graph in its row: name (drawn in 'color', 0x00BBGGRR), the
    // visibility box and whether its radio button is the checked one. Rows
    // the view does not have are skipped.
    virtual void ShowRow(int row, const QString &name, quint32 color, bool visible, bool current) = 0;
    // What a row's controls hold; none when the view has no such row.
    virtual std::optional<Row> ReadRow(int row) const = 0;
    virtual bool IsShowAllChecked() const = 0;
    // The wellness logic goes away (the hub closes): the view forgets it and
    // sends no more commands.
    virtual void TrackingClosed() = 0;

protected:
    ~IWellnessView() = default;
};
