// The list control as a user meets it: real widgets on the offscreen
// platform, driven with mouse and key events.
#include "Korbel/XListCtrl/XListCtrl.h"

#include "support/TestSupport.h"

#include <QtGui/QContextMenuEvent>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QStyleOptionViewItem>

#include <gtest/gtest.h>

using Korbel::CXListCtrl;
using Korbel::IXListCtrlCallback;

namespace {

// Records the callback calls in order, as a logic object would receive them.
struct RecordingCallback final : IXListCtrlCallback
{
    void BeginEdit(int row, int column) override
    {
        calls << QStringLiteral("BeginEdit %1 %2").arg(row).arg(column);
    }
    void EndEdit(int row, int column, bool accepted) override
    {
        calls << QStringLiteral("EndEdit %1 %2 %3").arg(row).arg(column).arg(accepted);
    }
    bool DeleteRow(int row) override
    {
        calls << QStringLiteral("DeleteRow %1").arg(row);
        return allowDelete;
    }
    void AfterDelete() override { calls << QStringLiteral("AfterDelete"); }

    QStringList calls;
    bool allowDelete = true;
};

class XListCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_list = std::make_unique<CXListCtrl>();
        m_list->resize(480, 300);
        m_list->InsertColumn(0, QStringLiteral("Name"), 150);
        m_list->InsertColumn(1, QStringLiteral("Value"), 150);
        m_list->InsertColumn(2, QStringLiteral("Create Always"), 100);
        m_list->SetCallback(&m_callback);
        m_list->show();
        m_list->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_list.get()));
    }

    // Two custom fields and the trailing placeholder row.
    void fillCustomFields()
    {
        for (const auto &[name, value] :
            { std::pair { "Blood group", "A+" }, std::pair { "Diet", "vegan" } }) {
            const int row = m_list->InsertItem(m_list->GetItemCount(), QString::fromUtf8(name));
            m_list->SetItemText(row, 1, QString::fromUtf8(value));
            m_list->SetEdit(row, 0);
            m_list->SetEdit(row, 1);
            m_list->SetCheckbox(row, 2, 0);
            m_list->SetItemDeletable(row, true);
            m_list->SetItemData(row, quintptr(100 + row));
        }
        const int last = m_list->InsertItem(m_list->GetItemCount(), QStringLiteral("Add New Field"));
        m_list->SetItemText(last, 1, QStringLiteral("Set Field Value"));
        m_list->SetEdit(last, 0);
        m_list->SetItalic(last, -1, true);
        m_list->SetItemPlaceHolder(last, true);
    }

    QPoint center(int row, int column) const { return m_list->GetSubItemRect(row, column).center(); }
    void click(int row, int column)
    {
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, center(row, column));
    }
    void doubleClick(int row, int column)
    {
        QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, center(row, column));
    }
    void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }

    template<class Editor> Editor *openEditor() const
    {
        for (Editor *editor : m_list->findChildren<Editor *>()) {
            if (editor->isVisible())
                return editor;
        }
        return nullptr;
    }

    // Ends the open edit with a key; the editor commits and closes through the event loop.
    bool finishEdit(QLineEdit *editor, Qt::Key k)
    {
        QTest::keyClick(editor, k);
        return TestSupport::WaitFor([this] { return openEditor<QLineEdit>() == nullptr; });
    }

    RecordingCallback m_callback;
    std::unique_ptr<CXListCtrl> m_list;
};

} // namespace

TEST_F(XListCtrlTest, RowsKeepTheirCellsAndDataWhileRowsAndColumnsComeAndGo)
{
    CXListCtrl noColumns;
    EXPECT_EQ(noColumns.InsertItem(0, QStringLiteral("lost")), -1);

    EXPECT_EQ(m_list->InsertItem(0, QStringLiteral("b")), 0);
    EXPECT_EQ(m_list->InsertItem(0, QStringLiteral("a")), 0);
    EXPECT_EQ(m_list->InsertItem(99, QStringLiteral("c")), 2);
    ASSERT_EQ(m_list->GetItemCount(), 3);
    EXPECT_EQ(m_list->GetItemText(0, 0), QStringLiteral("a"));
    EXPECT_EQ(m_list->GetItemText(2, 0), QStringLiteral("c"));

    EXPECT_TRUE(m_list->SetItemText(2, 1, QStringLiteral("c1")));
    EXPECT_FALSE(m_list->SetItemText(3, 0, QStringLiteral("x")));
    EXPECT_FALSE(m_list->SetItemText(0, 3, QStringLiteral("x")));
    EXPECT_EQ(m_list->GetItemText(5, 0), QString());

    const qint64 key = 9223372036854775807LL;
    int marker = 0;
    EXPECT_TRUE(m_list->SetItemData(2, quintptr(key)));
    EXPECT_TRUE(m_list->SetItemData(1, reinterpret_cast<quintptr>(&marker)));
    EXPECT_EQ(m_list->FindItemData(reinterpret_cast<quintptr>(&marker)), 1);
    EXPECT_EQ(m_list->FindItemData(7), -1);

    EXPECT_TRUE(m_list->DeleteItem(1));
    EXPECT_FALSE(m_list->DeleteItem(5));
    ASSERT_EQ(m_list->GetItemCount(), 2);
    EXPECT_EQ(qint64(m_list->GetItemData(1)), key);
    EXPECT_EQ(m_list->GetItemText(1, 1), QStringLiteral("c1"));

    // A column inserted in the middle moves the later cells along.
    EXPECT_EQ(m_list->InsertColumn(1, QStringLiteral("Inserted")), 1);
    EXPECT_EQ(m_list->GetItemText(1, 2), QStringLiteral("c1"));
    EXPECT_EQ(m_list->GetItemText(1, 1), QString());
    EXPECT_TRUE(m_list->DeleteColumn(1));
    EXPECT_EQ(m_list->GetItemText(1, 1), QStringLiteral("c1"));
    EXPECT_TRUE(m_list->SetColumnHeading(1, QStringLiteral("Possible Rubrics")));
    EXPECT_EQ(m_list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Possible Rubrics"));

    EXPECT_TRUE(m_list->DeleteAllItems());
    EXPECT_EQ(m_list->GetItemCount(), 0);
}

TEST_F(XListCtrlTest, LookOfCellsReachesTheView)
{
    fillCustomFields();
    QPixmap red(16, 16);
    red.fill(Qt::red);
    m_list->SetImageList({ QIcon(red) });
    m_list->SetBold(2, -1, true);
    m_list->SetItemColors(0, 1, Qt::black, QColor(230, 230, 255));
    m_list->SetItemImage(0, 0, 0);
    m_list->SetItemImage(1, 0, 5); // not in the image list
    m_list->SetItemToolTipText(0, 1, QStringLiteral("Modify by double-clicking the row."));

    const auto data
        = [this](int row, int column, int role) { return m_list->model()->index(row, column).data(role); };
    for (int column = 0; column < 3; ++column) {
        const QFont font = data(2, column, Qt::FontRole).value<QFont>();
        EXPECT_TRUE(font.bold() && font.italic()) << column;
    }
    EXPECT_FALSE(data(0, 0, Qt::FontRole).isValid());
    EXPECT_EQ(data(0, 1, Qt::BackgroundRole).value<QBrush>().color(), QColor(230, 230, 255));
    EXPECT_FALSE(data(0, 0, Qt::BackgroundRole).isValid());
    EXPECT_FALSE(data(0, 0, Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_FALSE(data(1, 0, Qt::DecorationRole).isValid());
    EXPECT_EQ(data(0, 1, Qt::ToolTipRole).toString(), QStringLiteral("Modify by double-clicking the row."));
    m_list->EnableToolTips(false);
    EXPECT_FALSE(data(0, 1, Qt::ToolTipRole).isValid());

    // The cell's own background is what the view paints behind its text.
    const QRect coloured = m_list->GetSubItemRect(0, 1);
    const QImage unselected = m_list->viewport()->grab().toImage();
    EXPECT_EQ(unselected.pixelColor(coloured.right() - 3, coloured.top() + 3), QColor(230, 230, 255));

    // Painting every kind of cell, selected and not, must not fail.
    m_list->SetComboBox(0, 2, true, { QStringLiteral("paid"), QStringLiteral("unpaid") }, 0);
    m_list->SetCurSel(0);
    EXPECT_FALSE(m_list->grab().isNull());
}

TEST_F(XListCtrlTest, InPlaceEditCommitsOnReturnAndCancelsOnEscape)
{
    fillCustomFields();
    QSignalSpy begins(m_list.get(), &CXListCtrl::beginEdit);
    QSignalSpy ends(m_list.get(), &CXListCtrl::endEdit);
    QSignalSpy doubleClicks(m_list.get(), &CXListCtrl::itemDoubleClicked);

    doubleClick(0, 1);
    QLineEdit *editor = openEditor<QLineEdit>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("A+"));
    EXPECT_EQ(editor->selectedText(), QStringLiteral("A+"));
    QTest::keyClicks(editor, QStringLiteral("0 negative"));
    ASSERT_TRUE(finishEdit(editor, Qt::Key_Return));
    EXPECT_EQ(m_list->GetItemText(0, 1), QStringLiteral("0 negative"));
    ASSERT_EQ(doubleClicks.size(), 1);
    EXPECT_EQ(doubleClicks[0], (QVariantList { 0, 1 }));
    ASSERT_EQ(begins.size(), 1);
    ASSERT_EQ(ends.size(), 1);
    EXPECT_EQ(ends[0], (QVariantList { 0, 1, true }));

    doubleClick(0, 1);
    ASSERT_NE((editor = openEditor<QLineEdit>()), nullptr);
    QTest::keyClicks(editor, QStringLiteral("discarded"));
    ASSERT_TRUE(finishEdit(editor, Qt::Key_Escape));
    EXPECT_EQ(m_list->GetItemText(0, 1), QStringLiteral("0 negative"));
    EXPECT_EQ(ends.constLast(), (QVariantList { 0, 1, false }));
    EXPECT_EQ(m_callback.calls,
        (QStringList { QStringLiteral("BeginEdit 0 1"), QStringLiteral("EndEdit 0 1 1"),
            QStringLiteral("BeginEdit 0 1"), QStringLiteral("EndEdit 0 1 0") }));

    // A cell that is not editable reports the double click and opens nothing.
    doubleClick(1, 2);
    EXPECT_EQ(openEditor<QLineEdit>(), nullptr);
    EXPECT_EQ(doubleClicks.size(), 3);
    EXPECT_EQ(begins.size(), 2);

    // Keyboard: F2 edits the current cell, Return acts as a double click.
    m_list->setCurrentIndex(m_list->model()->index(1, 0));
    key(Qt::Key_F2);
    ASSERT_NE((editor = openEditor<QLineEdit>()), nullptr);
    QTest::keyClicks(editor, QStringLiteral("Food"));
    ASSERT_TRUE(finishEdit(editor, Qt::Key_Enter));
    EXPECT_EQ(m_list->GetItemText(1, 0), QStringLiteral("Food"));
    m_list->setCurrentIndex(m_list->model()->index(1, 2));
    key(Qt::Key_Return);
    EXPECT_EQ(doubleClicks.constLast(), (QVariantList { 1, 2 }));
}

TEST_F(XListCtrlTest, PlaceholderEntryStartsEmptyAndNothingTypedChangesNothing)
{
    fillCustomFields();
    QSignalSpy ends(m_list.get(), &CXListCtrl::endEdit);

    doubleClick(2, 0);
    QLineEdit *editor = openEditor<QLineEdit>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QString());
    ASSERT_TRUE(finishEdit(editor, Qt::Key_Return));
    EXPECT_EQ(m_list->GetItemText(2, 0), QStringLiteral("Add New Field"));
    EXPECT_EQ(ends.constLast(), (QVariantList { 2, 0, false }));

    doubleClick(2, 0);
    ASSERT_NE((editor = openEditor<QLineEdit>()), nullptr);
    QTest::keyClicks(editor, QStringLiteral("Allergies"));
    ASSERT_TRUE(finishEdit(editor, Qt::Key_Return));
    EXPECT_EQ(m_list->GetItemText(2, 0), QStringLiteral("Allergies"));
    EXPECT_EQ(ends.constLast(), (QVariantList { 2, 0, true }));
    EXPECT_TRUE(m_list->IsItemPlaceHolder(2));
}

TEST_F(XListCtrlTest, ComboCellOpensOnOneClickAndReportsANewChoice)
{
    fillCustomFields();
    const QStringList statuses { QStringLiteral("paid"), QStringLiteral("unpaid") };
    ASSERT_TRUE(m_list->SetComboBox(1, 2, true, statuses, 1));
    EXPECT_EQ(m_list->GetComboText(1, 2), QStringLiteral("unpaid"));
    QSignalSpy selections(m_list.get(), &CXListCtrl::comboSelection);

    const auto choose = [this](Qt::Key move) {
        click(1, 2);
        QComboBox *combo = openEditor<QComboBox>();
        if (!combo)
            return false;
        if (!TestSupport::WaitFor([combo] { return combo->view()->isVisible(); }))
            return false;
        QTest::keyClick(combo->view(), move);
        QTest::keyClick(combo->view(), Qt::Key_Return);
        return TestSupport::WaitFor([this] { return openEditor<QComboBox>() == nullptr; });
    };

    ASSERT_TRUE(choose(Qt::Key_Up));
    EXPECT_EQ(m_list->GetComboText(1, 2), QStringLiteral("paid"));
    ASSERT_EQ(selections.size(), 1);
    EXPECT_EQ(selections[0], (QVariantList { 1, 2 }));

    // Picking the entry already shown is no new choice.
    ASSERT_TRUE(choose(Qt::Key_Up));
    EXPECT_EQ(selections.size(), 1);

    // Turned back into a plain cell, a click opens nothing.
    ASSERT_TRUE(m_list->SetComboBox(1, 2, false, {}));
    click(1, 2);
    EXPECT_EQ(openEditor<QComboBox>(), nullptr);
    EXPECT_EQ(m_list->GetComboText(1, 2), QString());
    EXPECT_EQ(m_list->GetItemText(1, 2), QStringLiteral("paid"));
}

TEST_F(XListCtrlTest, CheckBoxTogglesOnItsIndicatorAndOnSpace)
{
    fillCustomFields();
    QSignalSpy toggles(m_list.get(), &CXListCtrl::checkboxClicked);

    QStyleOptionViewItem option;
    option.initFrom(m_list->viewport());
    option.rect = m_list->GetSubItemRect(0, 2);
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect indicator
        = m_list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, m_list.get());
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, indicator.center());
    EXPECT_EQ(m_list->GetCheckbox(0, 2), 1);
    ASSERT_EQ(toggles.size(), 1);
    EXPECT_EQ(toggles[0], (QVariantList { 0, 2 }));

    // A click elsewhere in the row selects it without toggling.
    click(0, 0);
    EXPECT_EQ(m_list->GetCheckbox(0, 2), 1);

    m_list->setCurrentIndex(m_list->model()->index(0, 2));
    key(Qt::Key_Space);
    EXPECT_EQ(m_list->GetCheckbox(0, 2), 0);
    EXPECT_EQ(toggles.size(), 2);

    // Setting the state from code is no click.
    m_list->SetCheckbox(1, 2, 1);
    EXPECT_EQ(m_list->GetCheckbox(1, 2), 1);
    EXPECT_EQ(m_list->GetCheckbox(2, 2), -1);
    EXPECT_EQ(toggles.size(), 2);
}

TEST_F(XListCtrlTest, DelRemovesDeletableRowsOnlyAndNeverThePlaceholder)
{
    fillCustomFields();
    m_list->SetItemDeletable(1, false);
    m_list->SetItemDeletable(2, true); // the placeholder stays anyway
    QSignalSpy pressed(m_list.get(), &CXListCtrl::deleteKeyPressed);
    QSignalSpy deleted(m_list.get(), &CXListCtrl::itemDeleted);

    for (int row : { 1, 2 }) {
        m_list->SetCurSel(row);
        key(Qt::Key_Delete);
        EXPECT_EQ(m_list->GetItemCount(), 3) << row;
    }
    EXPECT_EQ(pressed.size(), 0);

    m_callback.allowDelete = false;
    m_list->SetCurSel(0);
    key(Qt::Key_Delete);
    EXPECT_EQ(m_list->GetItemCount(), 3);
    EXPECT_EQ(pressed.size(), 1);
    EXPECT_EQ(deleted.size(), 0);

    m_callback.allowDelete = true;
    m_callback.calls.clear();
    key(Qt::Key_Delete);
    ASSERT_EQ(m_list->GetItemCount(), 2);
    EXPECT_EQ(m_list->GetItemText(0, 0), QStringLiteral("Diet"));
    EXPECT_EQ(
        m_callback.calls, (QStringList { QStringLiteral("DeleteRow 0"), QStringLiteral("AfterDelete") }));
    ASSERT_EQ(deleted.size(), 1);
    EXPECT_EQ(deleted[0], (QVariantList { 0 }));
    EXPECT_EQ(m_list->GetCurSel(), 0);
}

TEST_F(XListCtrlTest, NotificationsMayChangeTheListUnderneath)
{
    fillCustomFields();
    // A slot that removes the row itself: Del must not remove a second one.
    {
        QObject remover;
        QObject::connect(m_list.get(), &CXListCtrl::deleteKeyPressed, &remover,
            [this](int row) { m_list->DeleteItem(row); });
        m_list->SetCurSel(0);
        key(Qt::Key_Delete);
        EXPECT_EQ(m_list->GetItemCount(), 2);
    }

    // Slots that rebuild the whole list from inside the notifications.
    const auto rebuild = [this] {
        m_list->DeleteAllItems();
        fillCustomFields();
    };
    QObject context;
    QObject::connect(m_list.get(), &CXListCtrl::endEdit, &context, rebuild);
    QObject::connect(m_list.get(), &CXListCtrl::comboSelection, &context, rebuild);
    m_list->SetComboBox(0, 2, true, { QStringLiteral("one"), QStringLiteral("two") }, 0);

    doubleClick(0, 0);
    QLineEdit *editor = openEditor<QLineEdit>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("x"));
    ASSERT_TRUE(finishEdit(editor, Qt::Key_Return));
    EXPECT_EQ(m_list->GetItemCount(), 3);

    m_list->SetComboBox(0, 2, true, { QStringLiteral("one"), QStringLiteral("two") }, 0);
    click(0, 2);
    QComboBox *combo = openEditor<QComboBox>();
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(TestSupport::WaitFor([combo] { return combo->view()->isVisible(); }));
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_TRUE(TestSupport::WaitFor([this] { return openEditor<QComboBox>() == nullptr; }));
    EXPECT_EQ(m_list->GetItemCount(), 3);

    // Removing the row whose editor is open closes the edit as cancelled.
    QObject::disconnect(m_list.get(), nullptr, &context, nullptr);
    QSignalSpy ends(m_list.get(), &CXListCtrl::endEdit);
    doubleClick(1, 1);
    ASSERT_NE(openEditor<QLineEdit>(), nullptr);
    m_list->DeleteItem(1);
    ASSERT_EQ(ends.size(), 1);
    EXPECT_EQ(ends[0], (QVariantList { 1, 1, false }));
    QCoreApplication::processEvents();
    EXPECT_EQ(openEditor<QLineEdit>(), nullptr);
}

TEST_F(XListCtrlTest, ColumnsKeepTheirMinimumWidthAndFillTheView)
{
    fillCustomFields();
    const QString longText = QStringLiteral("A rather long custom field name that needs room");
    m_list->SetItemText(0, 0, longText);
    ASSERT_TRUE(m_list->SetColumnMinWidth(1, 85));
    m_list->horizontalHeader()->resizeSection(1, 10); // as a drag of the divider does
    EXPECT_EQ(m_list->GetColumnWidth(1), 85);

    m_list->AdjustColumns();
    int total = 0;
    for (int column = 0; column < m_list->GetColumnCount(); ++column)
        total += m_list->GetColumnWidth(column);
    EXPECT_GE(total, m_list->viewport()->width());
    EXPECT_GE(m_list->GetColumnWidth(0), m_list->fontMetrics().horizontalAdvance(longText));
    EXPECT_GE(m_list->GetColumnWidth(1), 85);

    // Cell rectangles and hit tests agree.
    m_list->SetColumnWidth(0, 120);
    m_list->SetColumnWidth(1, 120);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRect rect = m_list->GetSubItemRect(row, column);
            ASSERT_FALSE(rect.isEmpty());
            int hitRow = -1;
            int hitColumn = -1;
            EXPECT_TRUE(m_list->SubItemHitTest(rect.center(), &hitRow, &hitColumn));
            EXPECT_EQ(hitRow, row);
            EXPECT_EQ(hitColumn, column);
        }
    }
    EXPECT_TRUE(m_list->GetSubItemRect(3, 0).isEmpty());
    EXPECT_FALSE(m_list->SubItemHitTest(QPoint(5, m_list->viewport()->height() - 2), nullptr, nullptr));
}

TEST_F(XListCtrlTest, ClicksSelectRowsAndContextMenusNameTheCell)
{
    fillCustomFields();
    QSignalSpy clicks(m_list.get(), &CXListCtrl::itemClicked);
    QSignalSpy menus(m_list.get(), &CXListCtrl::itemContextMenu);

    click(1, 1);
    EXPECT_EQ(m_list->GetCurSel(), 1);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0], (QVariantList { 1, 1 }));

    EXPECT_TRUE(m_list->SetCurSel(2));
    EXPECT_EQ(m_list->GetCurSel(), 2);
    EXPECT_FALSE(m_list->SetCurSel(3));
    EXPECT_EQ(m_list->GetCurSel(), 2);
    EXPECT_TRUE(m_list->SetCurSel(-1));
    EXPECT_EQ(m_list->GetCurSel(), -1);

    QContextMenuEvent onRow(
        QContextMenuEvent::Mouse, center(0, 1), m_list->viewport()->mapToGlobal(center(0, 1)));
    QApplication::sendEvent(m_list->viewport(), &onRow);
    const QPoint below(5, m_list->viewport()->height() - 2);
    QContextMenuEvent outside(QContextMenuEvent::Mouse, below, m_list->viewport()->mapToGlobal(below));
    QApplication::sendEvent(m_list->viewport(), &outside);
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0].mid(0, 2), (QVariantList { 0, 1 }));
    EXPECT_EQ(menus[1].mid(0, 2), (QVariantList { -1, -1 }));
}
