// A patient with 2,000 prescriptions (and 200 treatment lines) in the notes,
// on a practice of its own:
//   list_fill_paint_ms       the prescription list filled with the 2,000
//                            rows and painted
//   notes_load_with_list_ms  the patient's notes loaded again with the list
//                            shown (every item made, every row filled)
//   totals_ms                the paid, unpaid and total sums recomputed
//   click_selects_line_ms    a click in the notes on a treatment line that
//                            makes it the treatment grid's current sequence
// Figures are medians.

#include "practice/BenchTimer.h"

#include "finance/CLogicPrescriptions.h"
#include "finance/ui/CPrescriptionListBox.h"
#include "notes/ActiveEditorItems.h"
#include "notes/CLogicNotes.h"
#include "shell/CLogicMain.h"
#include "treatment/ui/CTreatmentPage.h"

#include "core/CommandCodes.h"
#include "core/LogicCommand.h"

#include "common/LocaleDates.h"
#include "component/ControlHost.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QTemporaryDir>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>
#include <QtWidgets/QApplication>

#include <cstdio>

namespace {

bool Prepare(const QString &database)
{
    bool done = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(database);
        done = db.open();
        QSqlQuery query(db);
        for (int i = 1; done && i <= 50; ++i) {
            query.prepare(QStringLiteral("INSERT INTO MEDICINES (ID, NAME, PRICE) VALUES (?, ?, ?)"));
            query.addBindValue(i);
            query.addBindValue(QStringLiteral("Remedy %1").arg(i));
            query.addBindValue(10000 * i + 3);
            done = query.exec();
        }
        for (int i = 1; done && i <= 5; ++i) {
            query.prepare(QStringLiteral("INSERT INTO DILUTION (ID, VALUE) VALUES (?, ?)"));
            query.addBindValue(i);
            query.addBindValue(QStringLiteral("%1CH").arg(i * 6));
            done = query.exec();
        }
        done = done
            && query.exec(QStringLiteral(
                "INSERT OR REPLACE INTO OFFICE_DATA (ID, NAME, TAX1, TAX2) VALUES (1, 'Office', 5, 8)"))
            && query.exec(QStringLiteral(
                "INSERT OR IGNORE INTO MAIN (ID, FIRST_NAME, LAST_NAME) VALUES (1, 'Anna', 'Big')"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return done;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    Desktop::ScriptedPrompts prompts;
    {
        // The schema is made by the first open.
        CLogicMain hub(root, root + QStringLiteral("windows"));
        QString error;
        if (!hub.Open(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        hub.Close();
    }
    if (!Prepare(root + QStringLiteral("data.mdb"))) {
        std::fprintf(stderr, "cannot prepare the practice\n");
        return 1;
    }
    CLogicMain hub(root, root + QStringLiteral("windows"));
    if (!hub.Open()) {
        std::fprintf(stderr, "cannot open the practice\n");
        return 1;
    }
    auto *notes = hub.Services().Get<CLogicNotes>();
    auto *logic = hub.Services().Get<CLogicPrescriptions>();
    CActiveEditor &editor = notes->ActiveEditor();

    // The notes: 2,000 prescriptions over five years, every tenth followed by
    // a treatment line.
    const QDate first = QDate::currentDate().addYears(-5);
    for (int i = 0; i < 2000; ++i) {
        editor.SetCaret(-1);
        editor.InsertText(QStringLiteral("Prescribed: "));
        auto made = editor.CreateTemplate(ItemProxy::PrescProxy);
        auto &prescription = static_cast<CActiveEditorPrescItem &>(*made);
        prescription.m_remedy = { QString::number(1 + i % 50), QStringLiteral("Remedy %1").arg(1 + i % 50),
            QString::number(1 + i % 5), QStringLiteral("%1CH").arg((1 + i % 5) * 6) };
        prescription.m_nQuantity = 1 + i % 3;
        prescription.m_strCreationDate = Verdanta::FormatLocaleDate(first.addDays(i));
        editor.InsertFromTemplate(prescription);
        if (i % 10 == 0) {
            auto line = editor.CreateTemplate(ItemProxy::InhProxy);
            auto &sequence = static_cast<CActiveEditorSequenceItem &>(*line);
            sequence.m_remedy = prescription.m_remedy;
            sequence.m_dates = { first.addDays(i), first.addDays(i + 2) };
            editor.InsertFromTemplate(sequence);
        }
    }
    LogicCommand save;
    save.code = CommandCode::SavePatient;
    if (hub.OnCommand(save) != 1) {
        std::fprintf(stderr, "cannot save the notes\n");
        return 1;
    }
    notes->Load();

    CPrescriptionListBox box;
    box.resize(900, 600);
    box.show();
    CTreatmentPage page;
    page.resize(900, 500);
    page.show();
    page.Attach(&hub);
    QCoreApplication::processEvents();

    Bench::Report("prescriptions", logic->RowCount(), "rows");
    Bench::Report("list_fill_paint_ms",
        Bench::MedianMs(9,
            [&] {
                box.Attach(&hub);
                box.repaint();
                box.Attach(nullptr);
            }),
        "ms");
    box.Attach(&hub);
    Bench::Report("notes_load_with_list_ms",
        Bench::MedianMs(5,
            [&] {
                notes->Load();
                box.repaint();
            }),
        "ms");
    Bench::Report("totals_ms", Bench::MedianMs(51, [&] { logic->Totals(); }), "ms");

    // The treatment line in the middle of the notes, selected as a click does.
    ItemList items;
    editor.CollectItems(items);
    const CActiveEditorClientItem *line = nullptr;
    int seen = 0;
    for (const CActiveEditorClientItem *item : items) {
        if (item->Kind() == ItemKind::Sequence && ++seen == 100)
            line = item;
    }
    if (!line)
        return 1;
    const int position = editor.Document().Rich().positionOf(line->m_nHandle);
    Bench::Report("click_selects_line_ms",
        Bench::MedianMs(51,
            [&] {
                QTextCursor cursor = editor.Caret();
                cursor.setPosition(position);
                cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
                editor.SetCaretCursor(cursor);
                notes->OnClick();
                page.GridHost()->repaint();
            }),
        "ms");
    hub.Close();
    return 0;
}
