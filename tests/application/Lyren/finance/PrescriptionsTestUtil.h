#pragma once

#include "../notes/NotesTestUtil.h"

#include "finance/CLogicPrescriptions.h"
#include "finance/ui/CPrescriptionDlg.h"
#include "finance/ui/CPrescriptionListBox.h"

#include "support/ScriptedDesktop.h"

#include <memory>

namespace PrescriptionsTest {

using NotesTest::Practice;

// Remedy 1 "Arnica" at 10.00 and remedy 2 "Belladonna" at 4.00, dilutions 1
// "30CH" and 2 "200K", office taxes of 5 and 8 percent; written into the
// practice's database before its hub opens.
void AddReferenceData(Practice &practice);

// A practice with the reference data, open, with the prescription list shown
// offscreen and the real prescription dialog answered by a script.
class Workbench
{
public:
    explicit Workbench(const std::function<void(Practice &)> &prepare = {});
    ~Workbench();

    Practice &practice() { return m_practice; }
    CLogicPrescriptions &Logic();
    CPrescriptionListBox &Box() { return *m_pBox; }
    Desktop::ScriptedPrompts &Prompts() { return m_prompts; }

    // What the next prescription dialog is given: remedy name, potency as
    // typed, quantity and "Provided by patient"; OK unless cancel.
    void Answer(const QString &remedy, const QString &potency, int quantity, bool provided = false,
        bool cancel = false);
    // Inserts a new prescription at the end of the notes as the person does:
    // the item, its dialog, then the notes hear of it. Null when cancelled.
    CActiveEditorPrescItem *Prescribe(
        const QString &remedy, const QString &potency, int quantity, bool provided = false);
    // The counts of a remedy's STOCKS row ("" when there is none): "stock/predicted".
    QString Stock(int remedy, int dilution) const;
    void SetStock(int remedy, int dilution, int stock, int threshold, int predicted = 0);

    // The last dialog's window title and what it hid.
    QString m_lastTitle;
    bool m_lastQuantityShown = false;

private:
    Practice m_practice;
    Desktop::ScriptedPrompts m_prompts;
    CPrescriptionDialogsUi m_dialogs;
    std::unique_ptr<CPrescriptionListBox> m_pBox;
    std::function<void(CPrescriptionDlg &)> m_answer;
};

} // namespace PrescriptionsTest
