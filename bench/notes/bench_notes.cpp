// The consultation notes on a synthetic practice of 10,000 patients in which
// one patient has five years of notes (about 2 MB of rich text, 400
// consultations, 2,000 items of every kind) and two have typical notes
// (about 50 KB, 20 items):
//   big_notes_rtf_kib          the big notes as stored
//   move_to_big_ms             from a typical patient to the big one: the
//                              save of everything the record keeps, the move
//                              and the load with the notes (items made by
//                              their proxies), in the main window with the
//                              Notes tab shown
//   move_from_big_ms           and back
//   move_typical_ms            between the two typical patients
//   commit_big_typed_end_ms    the big notes' save (text and every row) after
//                              one character typed at the end
//   commit_big_typed_start_ms  the same, typed at the start (every item moves)
//   resident_big_open_mib      resident memory with the big notes open
//   logic_move_*               the moves without windows (the logic alone)
//   view_type_end_paint_ms     the big notes shown: one character typed at
//                              the end through the view's key handling, and
//                              the view painted
//   view_scroll_page_ms        one page scrolled down, and painted
//   key_protection_walk_ms     the walk of Delete's protection over every item
//   print_big_pdf_ms           the whole big notes printed into a PDF file
//                              (print_big_pdf_pages: their number of pages)
// Figures are medians over the runs; each time has a *_cpu_ms twin, the CPU
// time of the process, which other programs busy on the machine do not
// inflate (figures up to the wall time can be lost to waiting for the disk).
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "notes/CLogicNotes.h"
#include "notes/ui/CActiveEditorView.h"
#include "notes/ui/CNotesPage.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPageContainer.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"

#include "core/CommandCodes.h"
#include "core/CurrentPatient.h"
#include "core/LogicContext.h"

#include "Korbel/DataSource.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtGui/QKeyEvent>
#include <QtGui/QTextCursor>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

const char *const Words[] = { "pain", "better", "worse", "evening", "morning", "thirst", "chilly", "restless",
    "anxious", "sleep", "dreams", "appetite", "craving", "salt", "sweets", "headache", "left", "right",
    "side", "pressure", "burning", "stitching", "after", "eating", "walking", "open", "air", "warmth", "cold",
    "wet", "weather", "since", "childhood", "grief", "remedy", "dose", "repeat", "follow", "weeks" };

// Writes notes into the editor of the current patient: consultations of
// paragraphs of words, some bold, with items of every kind between them.
void WriteNotes(CActiveEditor &editor, int consultations, int textPerConsultation, int itemsPerConsultation,
    QRandomGenerator &random)
{
    editor.DeleteRange(0, -1);
    const ItemKind kinds[]
        = { ItemKind::Image, ItemKind::Audio, ItemKind::Video, ItemKind::Sequence, ItemKind::Prescription };
    int item = 0;
    for (int c = 0; c < consultations; ++c) {
        editor.SetCaret(-1);
        if (c > 0)
            editor.InsertText(QStringLiteral("\n"));
        auto separator = editor.CreateTemplate(ItemProxy::ConsultProxy);
        static_cast<CActiveEditorSeparatorItem &>(*separator).m_consultationDate
            = QDateTime::currentDateTime().addDays(-4 * (consultations - 1 - c));
        editor.InsertFromTemplate(*separator);
        editor.InsertText(QStringLiteral("\n"));
        int written = 0;
        int placed = 0;
        while (written < textPerConsultation) {
            QTextCursor cursor = editor.Caret();
            QTextCharFormat format;
            format.setFontWeight(random.bounded(15) == 0 ? QFont::Bold : QFont::Normal);
            QString words;
            for (int w = 0; w < 12; ++w)
                words += QLatin1String(Words[random.bounded(int(std::size(Words)))]) + QLatin1Char(' ');
            if (random.bounded(6) == 0)
                words += QLatin1Char('\n');
            cursor.insertText(words, format);
            editor.SetCaretCursor(cursor);
            written += int(words.size());
            if (placed < itemsPerConsultation
                && written * itemsPerConsultation > placed * textPerConsultation) {
                const ItemKind kind = kinds[item++ % 5];
                auto templ = editor.CreateTemplate(ItemProxy::ClassIdOf(kind));
                if (kind == ItemKind::Image)
                    static_cast<CActiveEditorImageItem &>(*templ).m_strFilePath
                        = QStringLiteral("/images/%1.jpg").arg(item);
                if (kind == ItemKind::Audio || kind == ItemKind::Video)
                    static_cast<CActiveEditorMediaItem &>(*templ).m_strFilePath
                        = QStringLiteral("/media/%1.wma").arg(item);
                if (kind == ItemKind::Sequence) {
                    auto &line = static_cast<CActiveEditorSequenceItem &>(*templ);
                    line.m_remedy = { QStringLiteral("%1").arg(1 + item % 50), QStringLiteral("Nux vomica"),
                        QStringLiteral("3"), QStringLiteral("30CH") };
                    line.m_dates
                        = { QDate::currentDate().addDays(-item), QDate::currentDate().addDays(2 - item) };
                }
                if (kind == ItemKind::Prescription) {
                    auto &prescription = static_cast<CActiveEditorPrescItem &>(*templ);
                    prescription.m_remedy = { QStringLiteral("%1").arg(1 + item % 50),
                        QStringLiteral("Arnica"), QStringLiteral("2"), QStringLiteral("200CH") };
                    prescription.m_nStatusId = 1 + item % 7;
                    prescription.m_amount = Verdanta::Money::FromUnits(150000);
                }
                editor.InsertFromTemplate(*templ);
                ++placed;
            }
        }
    }
}

// The synthetic rows of a patient's notes items go: the notes written here
// put their own in their place.
void DropItemRows(const QString &databasePath, const QStringList &patients)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-notes"));
        db.setDatabaseName(databasePath);
        if (db.open()) {
            QSqlQuery query(db);
            for (const char *table :
                { "CONSULTATIONS", "IMAGES", "MEDIA", "INHALATIONS", "PRESCRIPTIONS", "INVOICING" })
                query.exec(QStringLiteral("DELETE FROM %1 WHERE PATIENT_ID IN (%2)")
                               .arg(QLatin1String(table), patients.join(u',')));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-notes"));
}

// Runs operations in turn, 'runs' times, and reports the median of each in
// wall-clock time and in the CPU time of the process (the figure that other
// programs busy on the machine do not inflate). What an operation is given to
// prepare runs before it, untimed.
class Timing
{
public:
    void Add(
        const char *name, const std::function<void()> &operation, const std::function<void()> &prepare = {})
    {
        m_operations.push_back({ name, prepare, operation });
    }

    void Run(int runs)
    {
        std::vector<std::vector<double>> wall(m_operations.size());
        std::vector<std::vector<double>> cpu(m_operations.size());
        for (int run = 0; run < runs; ++run) {
            for (size_t i = 0; i < m_operations.size(); ++i) {
                const Operation &operation = m_operations[i];
                if (operation.prepare)
                    operation.prepare();
                const double before = CpuMs();
                wall[i].push_back(Bench::OnceMs(operation.run));
                cpu[i].push_back(CpuMs() - before);
            }
        }
        for (size_t i = 0; i < m_operations.size(); ++i) {
            const std::string name = m_operations[i].name;
            Bench::Report((name + "_ms").c_str(), Median(wall[i]), "ms");
            Bench::Report((name + "_cpu_ms").c_str(), Median(cpu[i]), "ms");
        }
        m_operations.clear();
    }

private:
    static double CpuMs()
    {
        timespec now {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }

    static double Median(std::vector<double> &values)
    {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }

    struct Operation
    {
        const char *name;
        std::function<void()> prepare;
        std::function<void()> run;
    };
    std::vector<Operation> m_operations;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    // A folder given as the argument keeps the practice for the next run.
    QTemporaryDir dir;
    const QString root = (argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path()) + QLatin1Char('/');
    const bool made = QFileInfo::exists(root + QStringLiteral("data.mdb"));
    QDir().mkpath(root);
    // Patients 1 and 2 have typical notes, patient 3 the big ones.
    const QString typical = QStringLiteral("1");
    const QString other = QStringLiteral("2");
    const QString big = QStringLiteral("3");
    QString error;
    if (!made) {
        Bench::PracticeOptions options;
        options.patients = 10000;
        if (!Bench::CreateSyntheticPractice(root + QStringLiteral("data.mdb"), options, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        DropItemRows(root + QStringLiteral("data.mdb"), { typical, other, big });
    }

    Desktop::ScriptedPrompts prompts;
    auto frame = std::make_unique<CMainFrame>(root, root + QStringLiteral("windows"));
    if (!frame->Initialize(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    CLogicMain *hub = frame->GetHub();
    ICurrentPatient *patient = hub->GetLogicPatient();
    CLogicNotes *notes = hub->Services().Get<CLogicNotes>();
    QRandomGenerator random(2026);
    if (!made) {
        for (const QString &id : { typical, other }) {
            patient->GoTo(id);
            WriteNotes(notes->ActiveEditor(), 20, 2400, 1, random);
            hub->Context().Patient()->SaveAll();
        }
        patient->GoTo(big);
        WriteNotes(notes->ActiveEditor(), 400, 5000, 4, random);
        if (!hub->Context().Patient()->SaveAll())
            return 1;
    }
    patient->GoTo(big);
    {
        Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
        source->Open(root + QStringLiteral("data.mdb"));
        Korbel::ReleasePtr<Korbel::ITable> main(source->OpenTable(QStringLiteral("MAIN")));
        QByteArray bytes;
        for (const QString &id : { typical, big }) {
            main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, id);
            main->GetBinary(QStringLiteral("NOTES"), &bytes);
            Bench::Report(id == big ? "big_notes_rtf_kib" : "typical_notes_rtf_kib",
                double(bytes.size()) / 1024.0, "KiB");
        }
    }
    ItemList items;
    notes->ActiveEditor().CollectItems(items);
    Bench::Report("big_notes_items", double(items.size()), "items");

    // The logic alone: the save, the move and the load, no window showing the notes.
    {
        CLogicMain logic(root, root + QStringLiteral("windows"));
        frame->close();
        frame.reset();
        if (!logic.Open(&error))
            return 1;
        ICurrentPatient *current = logic.GetLogicPatient();
        current->GoTo(typical);
        Timing timing;
        timing.Add("logic_move_to_big", [&] { current->GoTo(big); });
        timing.Add("logic_move_from_big", [&] { current->GoTo(typical); });
        timing.Run(7);
        bool next = true;
        timing.Add("logic_move_typical", [&] {
            current->GoTo(next ? other : typical);
            next = !next;
        });
        timing.Run(21);
        logic.Close();
    }
    frame = std::make_unique<CMainFrame>(root, root + QStringLiteral("windows"));
    if (!frame->Initialize(&error))
        return 1;
    hub = frame->GetHub();
    patient = hub->GetLogicPatient();
    notes = hub->Services().Get<CLogicNotes>();

    // The Notes tab is shown while the patients change.
    frame->resize(1280, 900);
    frame->show();
    frame->GetWorkspace()->Pane(CWorkspace::Line::Row, 0)->SetCurrentTab(CNotesPage::PageIndex);
    QApplication::processEvents();
    const auto moveTo = [&](const QString &id) {
        patient->GoTo(id);
        QApplication::processEvents();
    };
    moveTo(typical);
    Timing timing;
    timing.Add("move_to_big", [&] { moveTo(big); });
    timing.Add("move_from_big", [&] { moveTo(typical); });
    timing.Run(7);
    bool toOther = true;
    timing.Add("move_typical", [&] {
        moveTo(toOther ? other : typical);
        toOther = !toOther;
    });
    timing.Run(21);

    moveTo(big);
    Bench::Report("resident_big_open_mib", Bench::ResidentMiB(), "MiB");
    CActiveEditor &editor = notes->ActiveEditor();
    const auto commit = [&] {
        LogicCommand save;
        save.code = CommandCode::SavePatient;
        hub->OnCommand(save);
    };
    // One character is typed, untimed, before each save.
    const auto typeAt = [&](int position) {
        return [&editor, position] {
            editor.SetCaret(position);
            editor.InsertText(QStringLiteral("x"));
        };
    };
    timing.Add("commit_big_typed_end", commit, typeAt(-1));
    timing.Add("commit_big_typed_start", commit, typeAt(0));
    timing.Run(7);

    // The view over the big notes.
    auto *page = dynamic_cast<CNotesPage *>(frame->GetPageContainer()->GetPage(CNotesPage::PageIndex));
    CActiveEditorView *view = page ? page->View() : nullptr;
    if (!view)
        return 1;
    // The tab is chosen again: the pane shows the page it names.
    CWorkspaceView *pane = frame->GetWorkspace()->Pane(CWorkspace::Line::Row, 0);
    pane->SetCurrentTab(0);
    pane->SetCurrentTab(CNotesPage::PageIndex);
    QApplication::processEvents();
    if (!view->isVisible())
        return 1;
    timing.Add(
        "view_type_end_paint",
        [&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            QApplication::sendEvent(view, &press);
            view->viewport()->repaint();
        },
        [&] {
            view->moveCursor(QTextCursor::End);
            view->ensureCursorVisible();
            view->viewport()->repaint();
        });
    QScrollBar *scroll = view->verticalScrollBar();
    timing.Add(
        "view_scroll_page",
        [&] {
            scroll->triggerAction(QAbstractSlider::SliderPageStepAdd);
            view->viewport()->repaint();
        },
        [&] {
            scroll->setValue(scroll->maximum() / 2);
            view->viewport()->repaint();
        });
    timing.Add(
        "key_protection_walk", [&] { editor.ProtectKey(Qt::Key_Delete); },
        [&] { view->moveCursor(QTextCursor::End); });
    timing.Run(21);
    const QString pdf = QDir(dir.path()).filePath(QStringLiteral("notes.pdf"));
    int pages = 0;
    timing.Add("print_big_pdf", [&] { view->PrintToPdf(pdf, &pages); });
    timing.Run(1);
    Bench::Report("print_big_pdf_pages", double(pages), "pages");
    frame->close();
    return 0;
}
