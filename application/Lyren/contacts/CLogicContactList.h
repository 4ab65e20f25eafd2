#pragma once

#include "core/LogicCommand.h"
#include "core/PatientSteps.h"

#include "Korbel/DataSource.h"
#include "Korbel/XListCtrl/IXListCtrl.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QList>
#include <QtCore/QPair>
#include <QtCore/QStringList>

class IHeaderBand;
class LogicContext;

// One kind of contact channel of the current patient (e-mail addresses or
// phone numbers): the rows of its table filtered to the patient, the Address
// tab's list that shows and edits them, the current one (its ID kept in a
// field of MAIN) and the header band's link to it.
//
// The list shows one editable row per entry, then the row "Double click here
// to add new...": editing it adds an entry, editing an entry's row changes it,
// Del deletes it (never the trailing row). Whenever the patient has entries
// but none of them is current, the first one becomes current, so that the
// link always shows an entry while there is one.
class CLogicContactList : public ILogicObject, public IPatientParticipant, private Korbel::IXListCtrlCallback
{
    Q_DECLARE_TR_FUNCTIONS(CLogicContactList)

public:
    using Entry = QPair<qint64, QString>; // ID and text

    ~CLogicContactList() override;
    CLogicContactList(const CLogicContactList &) = delete;
    CLogicContactList &operator=(const CLogicContactList &) = delete;

    // The Address tab's list (none lets it go): it gets its column and is
    // filled with the current patient's entries.
    void SetList(Korbel::IXListCtrl *list);
    Korbel::IXListCtrl *List() const { return m_pList; }

    // The current patient's entries: the table filtered again, the list
    // refilled, the current entry fixed and the link shown.
    int Load() override;
    // Every entry of the current patient (the patient is being deleted).
    int DeletePatientRows() override;

    // List editing (the list shows the result). Add returns the new entry's
    // ID (0 on failure); texts are trimmed, and an empty text adds or changes
    // nothing.
    qint64 Add(const QString &text);
    bool Change(qint64 id, const QString &text);
    // Deletes an entry; when it was the current one, the first remaining
    // entry becomes current (none when no entry is left).
    bool Delete(qint64 id);

    // The patient's entries in table order.
    QList<Entry> Entries() const;
    // The ID in MAIN, 0 when it names none of the patient's entries.
    qint64 CurrentId() const;
    // The current entry's text, empty when there is none.
    QString CurrentText() const;
    // Makes an entry of the patient current (its ID into MAIN) and shows it.
    bool MakeCurrent(qint64 id);
    // The link's text as the header band shows it.
    QString LinkText() const { return m_strLinkText; }
    bool IsLinkActive() const { return m_bLinkActive; }

    static QString AddRowText();

protected:
    struct Channel
    {
        QString table; // the patient's rows: ID, PATIENT_ID and the text field
        QString field; // the text of an entry
        QString mainField; // the field of MAIN with the current entry's ID
        QString heading; // the list's column heading
    };

    CLogicContactList(LogicContext &context, Channel channel);

    // The link's text for the current entry (empty: there is none).
    virtual QString LinkTextFor(const QString &current) const = 0;
    // Shows the link in the header band.
    virtual void ShowOnBand(IHeaderBand &band, const QString &text, bool active) const = 0;
    // A warning about a typed text, empty when it looks right; the text is
    // kept either way.
    virtual QString Warning(const QString & /*text*/) const { return QString(); }

    // The choice button's pop-up menu: the entries (or noEntries when there
    // are none), then the extra entries. Choosing an entry makes it current.
    // Returns the index among the extra entries that was chosen, -1 otherwise;
    // madeCurrent tells whether an entry was chosen and made current.
    int ChooseCurrent(const LogicCommand &command, const QString &noEntries, const QStringList &extra,
        bool *madeCurrent = nullptr);
    // Appends a stamp to today's consultation notes; false when the notes are
    // not open or cannot be written.
    bool AppendToNotes(const QString &stamp) const;
    // The window questions belong to.
    QWidget *WindowOf(const LogicCommand &command) const;
    // Shows the current entry in the link.
    void ShowLink();

    LogicContext &m_context;

private:
    // Korbel::IXListCtrlCallback
    void EndEdit(int row, int column, bool accepted) override;
    bool DeleteRow(int row) override;
    void ListDestroyed() override { m_pList = nullptr; }

    Korbel::ITable *Table() const { return m_pTable.get(); }
    // Refills the list and selects a row.
    void FillList(int selected = 0);
    // The list row of an entry.
    int RowOf(qint64 id) const;
    void SetEntryRow(int row, qint64 id, const QString &text);
    void AppendAddRow();
    // When the patient has entries and none is current, the first becomes
    // current; then the link is shown.
    void FixCurrent();
    bool WriteCurrentId(qint64 id);
    void TellWarning(const QString &text) const;
    QString TextOf(qint64 id) const;

    Channel m_channel;
    Korbel::ReleasePtr<Korbel::ITable> m_pTable;
    Korbel::IXListCtrl *m_pList = nullptr;
    QString m_strLinkText;
    bool m_bLinkActive = false;
};
