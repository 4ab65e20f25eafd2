#include "KorbelTestUtil.h"

#include "Korbel/Binding/WidgetBinder.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QSlider>

using namespace KorbelTest;

namespace {

// A data source whose fields bind the common widgets.
ReleasePtr<Korbel::IDataSource> OpenBound(const QString &path)
{
    ReleasePtr<Korbel::IDataSource> source = OpenSource(path);
    Korbel::SetControlBinder(source.get(), &Korbel::WidgetBinder::Instance());
    return source;
}

void bind(Korbel::ITable *table, const QString &field, QWidget *control, int writable = 1)
{
    Korbel::IField *f = nullptr;
    ASSERT_EQ(table->GetField(field, &f), 1);
    Korbel::ReleasePtr<Korbel::IField> guard(f);
    ASSERT_TRUE(f->BindControl(control, writable));
}

} // namespace

TEST(Binding, ControlsShowTheCurrentRowAndUpdateTakesThemBack)
{
    TestSupport::TemporaryFolder dir;
    auto source = OpenBound(dir.filePath(QStringLiteral("data.mdb")));
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    AddRow(main.get(),
        { { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") },
            { QStringLiteral("SEX"), QStringLiteral("0") },
            { QStringLiteral("DATE_OF_BIRTH"), QStringLiteral("3/7/1969") },
            { QStringLiteral("VIP"), QStringLiteral("1") } });
    AddRow(main.get(),
        { { QStringLiteral("FIRST_NAME"), QStringLiteral("Bert") },
            { QStringLiteral("SEX"), QStringLiteral("1") } });
    main->Move(Korbel::MoveFirst);

    QWidget page;
    auto *id = new QLineEdit(&page);
    auto *first = new QLineEdit(&page);
    auto *info = new QPlainTextEdit(&page);
    auto *sex = new QComboBox(&page);
    sex->addItem(QStringLiteral("MALE"), 1);
    sex->addItem(QStringLiteral("FEMALE"), 0);
    auto *vip = new QCheckBox(&page);
    auto *birth = new QDateEdit(&page);
    birth->setMinimumDate(QDate(1752, 9, 14));
    birth->setSpecialValueText(QStringLiteral(" "));
    bind(main.get(), QStringLiteral("ID"), id, 0);
    bind(main.get(), QStringLiteral("FIRST_NAME"), first);
    bind(main.get(), QStringLiteral("INSURANCE_INFO"), info);
    bind(main.get(), QStringLiteral("SEX"), sex);
    bind(main.get(), QStringLiteral("VIP"), vip);
    bind(main.get(), QStringLiteral("DATE_OF_BIRTH"), birth);

    EXPECT_EQ(id->text(), QStringLiteral("1"));
    EXPECT_EQ(first->text(), QStringLiteral("Anna"));
    EXPECT_EQ(sex->currentText(), QStringLiteral("FEMALE"));
    EXPECT_TRUE(vip->isChecked());
    EXPECT_EQ(birth->date(), QDate(1969, 3, 7));

    main->Move(Korbel::MoveNext);
    EXPECT_EQ(id->text(), QStringLiteral("2"));
    EXPECT_EQ(first->text(), QStringLiteral("Bert"));
    EXPECT_EQ(sex->currentText(), QStringLiteral("MALE"));
    EXPECT_FALSE(vip->isChecked());
    EXPECT_EQ(birth->date(), birth->minimumDate()); // no date shows blank

    // What the user typed is written by the save, the read-only ID is not.
    first->setText(QString::fromUtf8("Bertrand \u00e9\u4e2d\U0001F600"));
    info->setPlainText(QStringLiteral("line one\nline two"));
    vip->setChecked(true);
    sex->setCurrentIndex(1);
    id->setText(QStringLiteral("77"));
    ASSERT_EQ(main->Edit(), 1);
    ASSERT_NE(main->Update(), 0);
    auto check = OpenTable(source.get(), QStringLiteral("MAIN"));
    check->Move(Korbel::MoveLast);
    EXPECT_EQ(Get(check.get(), QStringLiteral("ID")), QStringLiteral("2"));
    EXPECT_EQ(
        Get(check.get(), QStringLiteral("FIRST_NAME")), QString::fromUtf8("Bertrand \u00e9\u4e2d\U0001F600"));
    EXPECT_EQ(Get(check.get(), QStringLiteral("INSURANCE_INFO")), QStringLiteral("line one\nline two"));
    EXPECT_EQ(Get(check.get(), QStringLiteral("VIP")), QStringLiteral("1"));
    EXPECT_EQ(Get(check.get(), QStringLiteral("SEX")), QStringLiteral("0"));
    EXPECT_EQ(Get(check.get(), QStringLiteral("DATE_OF_BIRTH")), QString());

    // A new row clears the controls; a cancel shows the row again.
    ASSERT_EQ(main->AddNew(), 1);
    EXPECT_EQ(first->text(), QString());
    EXPECT_EQ(sex->currentIndex(), -1);
    main->CancelUpdate();
    EXPECT_EQ(first->text(), QString::fromUtf8("Bertrand \u00e9\u4e2d\U0001F600"));

    // A control that was destroyed is forgotten.
    delete first;
    main->Move(Korbel::MoveFirst);
    EXPECT_EQ(id->text(), QStringLiteral("1"));

    QSlider slider;
    Korbel::IField *f = nullptr;
    ASSERT_EQ(main->GetField(QStringLiteral("SEX"), &f), 1);
    EXPECT_FALSE(f->BindControl(&slider, 1));
    f->Release();
}

TEST(Binding, MoneyInAnEditBoxShowsCentsAndKeepsFinerAmountsExactly)
{
    TestSupport::TemporaryFolder dir;
    auto source = OpenBound(dir.filePath(QStringLiteral("data.mdb")));
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    AddRow(main.get(),
        { { QStringLiteral("HOM_INS_AMNT"), QStringLiteral("80") },
            { QStringLiteral("NAT_INS_AMNT"), QStringLiteral("12.3456") } });
    main->Move(Korbel::MoveFirst);

    QWidget page;
    auto *homeopathy = new QLineEdit(&page);
    auto *naturopathy = new QLineEdit(&page);
    auto *fee = new QLineEdit(&page);
    bind(main.get(), QStringLiteral("HOM_INS_AMNT"), homeopathy);
    bind(main.get(), QStringLiteral("NAT_INS_AMNT"), naturopathy);
    bind(main.get(), QStringLiteral("MONTHLY_FEE"), fee);
    EXPECT_EQ(homeopathy->text(), QStringLiteral("80.00"));
    EXPECT_EQ(naturopathy->text(), QStringLiteral("12.3456"));
    EXPECT_EQ(fee->text(), QString()); // no amount stays blank

    // Saving without touching the boxes writes back the same amounts.
    ASSERT_EQ(main->Edit(), 1);
    ASSERT_NE(main->Update(), 0);
    auto check = OpenTable(source.get(), QStringLiteral("MAIN"));
    check->Move(Korbel::MoveFirst);
    EXPECT_EQ(Get(check.get(), QStringLiteral("HOM_INS_AMNT")), QStringLiteral("80.0000"));
    EXPECT_EQ(Get(check.get(), QStringLiteral("NAT_INS_AMNT")), QStringLiteral("12.3456"));
}
