#include "PrescriptionsTestUtil.h"

#include "notes/ActiveEditorItems.h"

#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace PrescriptionsTest {

void AddReferenceData(Practice &practice)
{
    for (const char *statement : {
             "INSERT INTO MEDICINES (ID, NAME, PRICE) VALUES (1, 'Arnica', 100000)",
             "INSERT INTO MEDICINES (ID, NAME, PRICE) VALUES (2, 'Belladonna', 40000)",
             "INSERT INTO DILUTION (ID, VALUE) VALUES (1, '30CH')",
             "INSERT INTO DILUTION (ID, VALUE) VALUES (2, '200K')",
             "INSERT INTO OFFICE_DATA (ID, NAME, TAX1, TAX2) VALUES (1, 'Office', 5, 8)",
         })
        EXPECT_TRUE(practice.Exec(QString::fromLatin1(statement))) << statement;
}

Workbench::Workbench(const std::function<void(Practice &)> &prepare)
{
    AddReferenceData(m_practice);
    if (prepare)
        prepare(m_practice);
    m_dialogs.m_onShown = [this](CPrescriptionDlg &dialog) {
        m_lastTitle = dialog.windowTitle();
        m_lastQuantityShown = !dialog.Quantity()->isHidden();
        if (m_answer)
            m_answer(dialog);
        else
            dialog.reject();
    };
    EXPECT_TRUE(m_practice.Open());
    m_practice.Hub().Services().Provide<IPrescriptionDialogs>(&m_dialogs);
    m_pBox = std::make_unique<CPrescriptionListBox>();
    m_pBox->resize(800, 400);
    m_pBox->show();
    m_pBox->Attach(&m_practice.Hub());
}

Workbench::~Workbench()
{
    m_practice.Close();
    m_pBox.reset();
}

CLogicPrescriptions &Workbench::Logic()
{
    return *m_practice.Hub().Services().Get<CLogicPrescriptions>();
}

void Workbench::Answer(
    const QString &remedy, const QString &potency, int quantity, bool provided, bool cancel)
{
    m_answer = [=](CPrescriptionDlg &dialog) {
        dialog.Remedy()->setCurrentIndex(dialog.Remedy()->findText(remedy));
        dialog.Potency()->setEditText(potency);
        dialog.Quantity()->setText(QString::number(quantity));
        dialog.ProvidedByPatient()->setChecked(provided);
        QPushButton *button
            = dialog.Buttons()->button(cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok);
        ASSERT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    };
}

CActiveEditorPrescItem *Workbench::Prescribe(
    const QString &remedy, const QString &potency, int quantity, bool provided)
{
    Answer(remedy, potency, quantity, provided);
    CActiveEditor &editor = m_practice.Editor();
    editor.SetCaret(-1);
    CActiveEditorClientItem *item = editor.Document().CreateItem(ItemProxy::PrescProxy);
    if (!item)
        return nullptr;
    if (!editor.Document().InsertItem(*item, true) || !editor.PlaceAtCaret(*item)) {
        editor.Document().RemoveItem(*item);
        return nullptr;
    }
    editor.Events()->OnItemInserted(*item);
    return static_cast<CActiveEditorPrescItem *>(item);
}

QString Workbench::Stock(int remedy, int dilution) const
{
    auto source = m_practice.Outside();
    auto rows = NotesTest::Query(source.get(), QStringLiteral("STOCKS"), [&](Korbel::IQuery *query) {
        query->Where(QStringLiteral("MEDICINE_ID"), Korbel::Compare::Equal, QString::number(remedy));
        query->Where(QStringLiteral("DILUTION_ID"), Korbel::Compare::Equal, QString::number(dilution));
    });
    if (!rows || rows->Move(Korbel::MoveFirst) != 1)
        return QString();
    return NotesTest::Get(rows.get(), QStringLiteral("STOCK")) + QLatin1Char('/')
        + NotesTest::Get(rows.get(), QStringLiteral("PREDICTED"));
}

void Workbench::SetStock(int remedy, int dilution, int stock, int threshold, int predicted)
{
    EXPECT_TRUE(m_practice.Exec(QStringLiteral("INSERT INTO STOCKS (MEDICINE_ID, DILUTION_ID, STOCK, "
                                               "STOCK_THRESHOLD, REPLENISH_QUANTITY, PREDICTED) VALUES "
                                               "(%1, %2, %3, %4, 0, %5)")
                                    .arg(remedy)
                                    .arg(dilution)
                                    .arg(stock)
                                    .arg(threshold)
                                    .arg(predicted)));
}

} // namespace PrescriptionsTest
