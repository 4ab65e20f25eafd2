// What the text proxies show and how large they say they are.
#include "OstrelTestSupport.h"

#include "common/OleDate.h"

#include "support/TestSupport.h"

using namespace Component;
using namespace Ostrel;

namespace {

double Day(int year, int month, int day)
{
    return Verdanta::ToOleDate(QDate(year, month, day));
}

void Select(const Proxy &line, double date, const QVariant &select = true)
{
    EXPECT_HR(S_OK, line.dispatch.Call(DispIInhProxy::SelectTimestamp, { date, select }));
}

} // namespace

TEST(Proxies, PrescriptionTextAndWidthFollowEveryPut)
{
    Proxy presc(kClsidPrescProxy);
    EXPECT_HR(S_OK, presc.dispatch.Put(DispIPrescProxy::strMedicine, QStringLiteral("Nuxv")));
    EXPECT_HR(S_OK, presc.dispatch.Put(DispIPrescProxy::strDilution, QStringLiteral("9CH")));
    EXPECT_HR(S_OK, presc.dispatch.Put(DispIPrescProxy::lQuantity, 2));
    EXPECT_EQ(3, presc.site.changes);
    // 4 + 1 + 3 + 12 characters at the default extents 7 × 17.
    EXPECT_EQ(QStringLiteral("Nuxv 9CH - 2 tube(s)"), TextRecorder::TextOf(presc));
    EXPECT_EQ(QSize(20 * 7 + 2, 19), presc.Pixels());

    // Font extents are only stored; the next recomputation uses them.
    EXPECT_HR(S_OK, presc.dispatch.Put(DispIPrescProxy::MaxFontExtentX, 9));
    EXPECT_HR(S_OK, presc.dispatch.Put(DispIPrescProxy::MaxFontExtentY, 20));
    EXPECT_EQ(3, presc.site.changes);
    EXPECT_EQ(QSize(142, 19), presc.Pixels());
    EXPECT_HR(S_OK, presc.dispatch.Call(DispIPrescProxy::OnResizeContainer, { 640, 480 }));
    EXPECT_EQ(QSize(20 * 9 + 2, 22), presc.Pixels());
    EXPECT_EQ(4, presc.site.changes);

    EXPECT_HR(S_OK, presc.dispatch.Put(DispIPrescProxy::clrStatus, Rgb(255, 0, 0)));
    EXPECT_EQ(5, presc.site.changes);
    EXPECT_HR(S_OK, presc.dispatch.Put(DispIPrescProxy::lQuantity, 12));
    EXPECT_EQ(QSize(21 * 9 + 2, 22), presc.Pixels());

    // Wrong values are refused and change nothing.
    EXPECT_HR(DISP_E_OVERFLOW, presc.dispatch.Put(DispIPrescProxy::lQuantity, -1));
    EXPECT_HR(DISP_E_TYPEMISMATCH, presc.dispatch.Put(DispIPrescProxy::strMedicine, 5));
    EXPECT_HR(DISP_E_OVERFLOW, presc.dispatch.Put(DispIPrescProxy::MaxFontExtentX, 40000));
    EXPECT_EQ(12u, presc.dispatch.Get(DispIPrescProxy::lQuantity).toUInt());
    EXPECT_EQ(6, presc.site.changes);

    // A name holding placeholders is shown as typed; an enormous quantity is not negative.
    presc.dispatch.Put(DispIPrescProxy::strMedicine, QStringLiteral("%2%3"));
    presc.dispatch.Put(DispIPrescProxy::lQuantity, 4000000000u);
    EXPECT_EQ(QStringLiteral("%2%3 9CH - 4000000000 tube(s)"), TextRecorder::TextOf(presc));
}

TEST(Proxies, SizesStayWithinBoundsForHostileValues)
{
    Proxy presc(kClsidPrescProxy);
    presc.dispatch.Put(DispIPrescProxy::MaxFontExtentX, -7);
    presc.dispatch.Put(DispIPrescProxy::MaxFontExtentY, -30);
    presc.dispatch.Call(DispIPrescProxy::OnResizeContainer, { 0, 0 });
    EXPECT_EQ(QSize(0, 0), presc.Pixels());

    // The largest extents: 1000 + 13 characters of 32767 pixels, 32767 + 2 high.
    presc.dispatch.Put(DispIPrescProxy::MaxFontExtentX, 32767);
    presc.dispatch.Put(DispIPrescProxy::MaxFontExtentY, 32767);
    presc.dispatch.Put(DispIPrescProxy::strMedicine, QString(1000, QLatin1Char('x')));
    EXPECT_EQ(QSize(1013 * 32767 + 2, 32769), presc.Pixels());

    // 100013 characters would be 3,277,125,973 pixels, more than an int holds
    // (a wrapped width would turn negative and shrink to 0): the width stops
    // at the largest extent an object keeps, 80,000,000 pixels, the most whose
    // HIMETRIC still fits an int.
    presc.dispatch.Put(DispIPrescProxy::strMedicine, QString(100000, QLatin1Char('x')));
    EXPECT_EQ(QSize(80'000'000, 32769), presc.Pixels());
}

TEST(Proxies, TreatmentLineGroupsItsDaysByMonth)
{
    Proxy line(kClsidInhProxy);
    line.dispatch.Put(DispIInhProxy::strName, QStringLiteral("Arnica"));
    line.dispatch.Put(DispIInhProxy::strDilution, QStringLiteral("30CH"));
    EXPECT_EQ(QStringLiteral("Arnica 30CH - "), TextRecorder::TextOf(line));

    // Given out of order, shown in order.
    Select(line, Day(2009, 4, 2));
    Select(line, Day(2009, 3, 5));
    Select(line, Day(2009, 3, 3));
    const QString march = QStringLiteral("Arnica 30CH - 3,5 March; 2 April 2009");
    EXPECT_EQ(march, TextRecorder::TextOf(line));
    EXPECT_EQ(QSize(march.size() * 7 + 2, 19), line.Pixels());

    Proxy turn(kClsidInhProxy);
    turn.dispatch.Put(DispIInhProxy::strName, QStringLiteral("Sulfur"));
    turn.dispatch.Put(DispIInhProxy::strDilution, QStringLiteral("15CH"));
    Select(turn, Day(2008, 12, 30));
    Select(turn, Day(2009, 1, 2));
    EXPECT_EQ(QStringLiteral("Sulfur 15CH - 30 December  2008; 2 January 2009"), TextRecorder::TextOf(turn));

    // The same month of two years is two groups, each with its year.
    Proxy year(kClsidInhProxy);
    Select(year, Day(2008, 3, 5));
    Select(year, Day(2009, 3, 7));
    Select(year, Day(2009, 3, 9));
    EXPECT_EQ(QStringLiteral("  - 5 March  2008; 7,9 March 2009"), TextRecorder::TextOf(year));
}

TEST(Proxies, SelectTimestampKeepsDatesAscendingAndUnique)
{
    Proxy line(kClsidInhProxy);
    line.dispatch.Put(DispIInhProxy::strName, QStringLiteral("Nux"));
    line.dispatch.Put(DispIInhProxy::strDilution, QStringLiteral("5CH"));
    const int before = line.site.changes;
    Select(line, Day(2009, 3, 3));
    Select(line, Day(2009, 3, 3)); // twice: stored once
    EXPECT_EQ(QStringLiteral("Nux 5CH - 3 March 2009"), TextRecorder::TextOf(line));
    EXPECT_EQ(before + 2, line.site.changes); // every call redraws

    Select(line, Day(2009, 3, 4), -1); // VARIANT_TRUE as a number
    Select(line, Day(2009, 3, 3), false);
    EXPECT_EQ(QStringLiteral("Nux 5CH - 4 March 2009"), TextRecorder::TextOf(line));
    Select(line, Day(2009, 3, 3), false); // nothing equal: nothing removed
    Select(line, Day(2009, 3, 4), 1); // only -1 selects; any other value removes
    EXPECT_EQ(QStringLiteral("Nux 5CH - "), TextRecorder::TextOf(line));
    EXPECT_EQ(QSize(10 * 7 + 2, 19), line.Pixels());

    // Times of day are kept apart; dates outside the calendar are refused.
    Select(line, Day(2009, 3, 3) + 0.5);
    Select(line, Day(2009, 3, 3));
    EXPECT_EQ(QStringLiteral("Nux 5CH - 3,3 March 2009"), TextRecorder::TextOf(line));
    EXPECT_HR(E_INVALIDARG, line.dispatch.Call(DispIInhProxy::SelectTimestamp, { 1e12, true }));
    EXPECT_HR(E_INVALIDARG, line.dispatch.Call(DispIInhProxy::SelectTimestamp, { std::nan(""), true }));
    EXPECT_HR(DISP_E_TYPEMISMATCH,
        line.dispatch.Call(DispIInhProxy::SelectTimestamp, { QStringLiteral("3.3.2009"), true }));
    EXPECT_EQ(QStringLiteral("Nux 5CH - 3,3 March 2009"), TextRecorder::TextOf(line));
}

TEST(Proxies, ConsultationShowsItsDateAndTakesTheContainerWidth)
{
    Proxy consult(kClsidConsultProxy);
    EXPECT_HR(S_OK, consult.dispatch.Put(DispIConsultProxy::ConsultationDate, Day(2009, 3, 3) + 0.75));
    EXPECT_EQ(1, consult.site.changes);
    EXPECT_EQ(QStringLiteral("Tuesday, 03 Mar, 2009.   Double click here to set an appointment."),
        TextRecorder::TextOf(consult));
    EXPECT_EQ(QSize(17, 19), consult.Pixels()); // dates do not resize

    consult.dispatch.Put(DispIConsultProxy::MaxFontExtentY, 21);
    EXPECT_HR(S_OK, consult.dispatch.Call(DispIConsultProxy::SetItemSize, { 500, 0 }));
    EXPECT_EQ(QSize(500, 23), consult.Pixels());
    EXPECT_HR(S_OK, consult.dispatch.Call(DispIConsultProxy::SetItemSize, { -8, 300 }));
    EXPECT_EQ(QSize(0, 23), consult.Pixels());

    EXPECT_HR(S_OK, consult.dispatch.Put(DispIConsultProxy::NextConsultationDate, Day(2009, 4, 1)));
    EXPECT_EQ(Day(2009, 4, 1), consult.dispatch.Get(DispIConsultProxy::NextConsultationDate).toDouble());

    // A date outside the calendar shows as invalid; an emptied one as nothing.
    consult.dispatch.Put(DispIConsultProxy::ConsultationDate, 1e9);
    EXPECT_EQ(QStringLiteral("Invalid DateTime.   Double click here to set an appointment."),
        TextRecorder::TextOf(consult));
    consult.dispatch.Put(DispIConsultProxy::ConsultationDate, QVariant());
    EXPECT_FALSE(consult.dispatch.Get(DispIConsultProxy::ConsultationDate).isValid());
    EXPECT_EQ(QStringLiteral(".   Double click here to set an appointment."), TextRecorder::TextOf(consult));
    EXPECT_HR(DISP_E_TYPEMISMATCH,
        consult.dispatch.Put(DispIConsultProxy::ConsultationDate, QStringLiteral("today")));

    // Names follow the user's language.
    const TestSupport::LocaleGuard french(QLocale(QLocale::French, QLocale::France));
    consult.dispatch.Put(DispIConsultProxy::ConsultationDate, Day(2009, 3, 3));
    EXPECT_TRUE(TextRecorder::TextOf(consult).startsWith(QStringLiteral("mardi, 03 mars, 2009.")))
        << TextRecorder::TextOf(consult).toStdString();
}
