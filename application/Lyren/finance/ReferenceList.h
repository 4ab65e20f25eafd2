#pragma once

// Conventions of the reference lists (remedies, providers, stocks): cells
// start with a blank, each record row carries its record's ID as item data
// and can be deleted with Del, and the list ends with the row that invites
// the user to add a new record.

#include "Korbel/DataSource.h"
#include "Korbel/XListCtrl/IXListCtrl.h"

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QStringView>

class QWidget;

namespace Finance {

// The text of a cell: a blank, then the value.
QString Cell(const QString &value);
// The value of a cell, without its leading blank.
QStringView CellValue(const QString &cell);

// The first characters of a text, never splitting a character that takes two
// UTF-16 units.
QString LeftCharacters(const QString &text, int count);

void InsertColumns(Korbel::IXListCtrl *list, const QStringList &headings);

// Adds a record row with its first cell before the trailing row (at the end
// when there is none); returns the row.
int InsertRecordRow(Korbel::IXListCtrl *list, const QString &firstCell, qint64 id);
// Appends "Double click here to add new..." and makes the end of the list visible.
int AppendAddNewRow(Korbel::IXListCtrl *list);
// The trailing row became a stored record: it takes the record's ID and a new
// trailing row follows it.
void AdoptAddNewRow(Korbel::IXListCtrl *list, int row, qint64 id);
// The record ID of a row; 0 for the trailing row or a row out of range.
qint64 RecordIdOfRow(const Korbel::IXListCtrl *list, int row);

// Deletes the record of a list row from the table; false for the trailing
// row, a list holding nothing else, or a record that cannot be deleted.
bool DeleteRecordOfRow(Korbel::ITable *table, const Korbel::IXListCtrl *list, int row);

// Del on a row asks before the record goes.
bool ConfirmDelete(QWidget *parent, const QString &question);

} // namespace Finance

// The list side of a logic object that keeps a reference list: it is given
// the list by its dialog, adds or modifies on a double click (or Return) and
// deletes on Del after asking.
class CReferenceListLogic : public Korbel::IXListCtrlCallback
{
public:
    // Takes the list (nullptr lets it go): gives it its columns when it has
    // none and takes its notifications.
    void SetList(Korbel::IXListCtrl *list);
    // Adds (on the trailing row) or modifies the record of the last selected
    // row through the details dialog.
    virtual bool AddOrModify() = 0;
    // Deletes the record of a row (not the trailing row).
    bool Delete(int row);

    // Korbel::IXListCtrlCallback: Del asks before the record goes; a double
    // click adds or modifies.
    bool DeleteRow(int row) override;
    void ItemDoubleClicked(int row, int column) override;
    void ListDestroyed() override { m_pList = nullptr; }

protected:
    CReferenceListLogic() = default;
    ~CReferenceListLogic() override;

    virtual QStringList ListHeadings() const = 0;
    virtual QString DeleteQuestion() const = 0;
    // The record set whose rows the list shows.
    virtual Korbel::ITable *ListTable() const = 0;

    Korbel::IXListCtrl *List() const { return m_pList; }

    // The row AddOrModify works on: the last selected row, whether it is the
    // trailing row, and its record's ID.
    struct Selection
    {
        int row = -1;
        bool isNew = false;
        qint64 id = 0;
    };
    bool SelectedRow(Selection *selection) const;
    // After a record was written: a new record takes over the trailing row,
    // and a new trailing row follows.
    void RecordStored(const Selection &selection);

private:
    Korbel::IXListCtrl *m_pList = nullptr; // the dialog owns it and lets it go through SetList(nullptr)
};
