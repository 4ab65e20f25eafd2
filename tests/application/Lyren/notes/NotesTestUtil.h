#pragma once

#include "notes/CActiveEditor.h"
#include "notes/CLogicMedia.h"
#include "notes/CLogicNotes.h"
#include "shell/CLogicMain.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/CurrentPatient.h"
#include "core/LogicCommand.h"

#include "libraries/Korbel/KorbelTestUtil.h"
#include "support/TestDatabases.h"

#include <QtCore/QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace NotesTest {

using namespace KorbelTest;

// What an item of the notes holds, as a comparable line: its kind, position
// and data.
QString Describe(const CActiveEditorClientItem &item);
// Every item of the notes' text, described, in text order.
QStringList DescribeItems(CActiveEditor &editor);
// The notes' text with U+FFFC where items stand.
QString TextOf(CActiveEditor &editor);
// The table that holds the rows of a kind of item.
QString TableOf(ItemKind kind);
// The tables of the items, in the order the notes load them.
const QStringList &ItemTables();

// A practice in a throw-away folder: its database (with patients added before
// the hub opens) and the hub with every subsystem, without windows. On a
// server the database is a scratch database the hub is pointed at.
class Practice
{
public:
    explicit Practice(const QStringList &patients = { QStringLiteral("Anna") },
        Korbel::Engine engine = Korbel::Engine::SQLite);
    ~Practice();

    QString Root() const { return m_dir.rootWithSeparator(); }
    QString DatabasePath() const { return m_location; }
    const QStringList &PatientIds() const { return m_ids; }

    bool Open();
    void Close();
    // Closes the hub and opens the practice again, as a restart does.
    bool Reopen();

    CLogicMain &Hub() { return *m_pHub; }
    CLogicNotes &Notes();
    CLogicMedia &Media();
    CActiveEditor &Editor() { return Notes().ActiveEditor(); }
    int Send(int code, int subCommand = 0, const QString &text = QString());
    int Save() { return Send(CommandCode::SavePatient); }
    int GoTo(const QString &id);

    // A template of a kind, for InsertFromTemplate and InsertAt.
    std::unique_ptr<CActiveEditorClientItem> Template(ItemKind kind);
    // Inserts an item of a kind with some data at the caret; the real item.
    CActiveEditorClientItem *Insert(ItemKind kind, int seed = 0);
    // Empties the notes (items leave the text, as when the person deletes them all).
    void Clear();

    // A connection of its own to the database file, as another program sees it.
    ReleasePtr<Korbel::IDataSource> Outside() const;
    // The rows of a table whose PATIENT_ID is the patient's: "ID:CHAR_POS" each.
    QStringList Rows(const QString &table, const QString &patientId) const;
    int RowCount(const QString &table, const QString &where = QString()) const;
    QByteArray StoredNotes(const QString &patientId) const;
    // Runs one statement on the database through a connection of its own.
    bool Exec(const QString &statement) const;

private:
    TestSupport::TemporaryFolder m_dir;
    TestSupport::EngineDatabases m_databases;
    QString m_location;
    QStringList m_ids;
    std::unique_ptr<CLogicMain> m_pHub;
};

} // namespace NotesTest
