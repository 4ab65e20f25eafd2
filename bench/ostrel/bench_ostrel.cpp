// Notes-item proxy figures, through the component layer as the notes editor
// calls them:
//   create_release_proxy      make a prescription proxy by class id and release it
//   put_property              a text put (stores, resizes, tells the site)
//   get_property              a property get
//   select_timestamp_365      a treatment line given one date a day for a year
//   treatment_line_resize_365 recomputing that line's size (its text of 365 days)
//   draw_prescription         one prescription drawn on a 400 × 20 image
//   draw_icon                 one image icon drawn on screen
//   draw_letter_paper         one boxed letter drawn for paper (a 600 dpi image)
//   proxies_1000_memory       resident memory added by 1,000 live proxies
#include "practice/BenchTimer.h"

#include "Ostrel/OstrelLib.h"

#include "common/OleDate.h"
#include "component/DispatchDriver.h"
#include "component/Registry.h"
#include "component/ViewObject.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>

#include <vector>

using namespace Component;

namespace {

constexpr int kRepeats = 1000;

double PerCallMicroseconds(const std::function<void()> &operation)
{
    return Bench::MedianMs(15,
               [&] {
                   for (int i = 0; i < kRepeats; ++i)
                       operation();
               })
        * 1000.0 / kRepeats;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("VERDANTA_MODULES_DIR"))
        qputenv("VERDANTA_MODULES_DIR", VERDANTA_BENCH_MODULES_DIR);
    QGuiApplication application(argc, argv);

    if (!CreateInstance<IViewObject>(Ostrel::kClsidPrescProxy)) {
        std::fprintf(
            stderr, "the Ostrel server is not in %s\n", qPrintable(Registry::DefaultModulesFolder()));
        return 1;
    }
    Bench::Report("create_release_proxy",
        PerCallMicroseconds([] { CreateInstance<IViewObject>(Ostrel::kClsidPrescProxy); }), "us");

    const auto presc = CreateInstance<IViewObject>(Ostrel::kClsidPrescProxy);
    const DispatchDriver prescription(presc.Get());
    prescription.Put(Ostrel::DispIPrescProxy::strDilution, QStringLiteral("30CH"));
    const QString medicine = QStringLiteral("Arnica montana");
    Bench::Report("put_property",
        PerCallMicroseconds([&] { prescription.Put(Ostrel::DispIPrescProxy::strMedicine, medicine); }), "us");
    Bench::Report("get_property",
        PerCallMicroseconds([&] { prescription.Get(Ostrel::DispIPrescProxy::lQuantity); }), "us");

    const auto inh = CreateInstance<IViewObject>(Ostrel::kClsidInhProxy);
    const DispatchDriver line(inh.Get());
    line.Put(Ostrel::DispIInhProxy::strName, QStringLiteral("Nux vomica"));
    const double first = Verdanta::ToOleDate(QDate(2009, 1, 1));
    Bench::Report("select_timestamp_365", Bench::OnceMs([&] {
        // Backwards, so that every date goes to the front.
        for (int day = 364; day >= 0; --day)
            line.Call(Ostrel::DispIInhProxy::SelectTimestamp, { first + day, true });
    }),
        "ms");
    Bench::Report("treatment_line_resize_365", PerCallMicroseconds([&] {
        line.Call(Ostrel::DispIInhProxy::OnResizeContainer, { 0, 0 });
    }),
        "us");

    QImage screen(400, 40, QImage::Format_ARGB32_Premultiplied);
    QPainter screenPainter(&screen);
    Bench::Report("draw_prescription",
        PerCallMicroseconds([&] { presc->Draw(&screenPainter, QRect(0, 0, 400, 20), DrawTarget::Screen); }),
        "us");
    const auto image = CreateInstance<IViewObject>(Ostrel::kClsidLumiskProxy);
    Bench::Report("draw_icon",
        PerCallMicroseconds([&] { image->Draw(&screenPainter, QRect(0, 0, 32, 32), DrawTarget::Screen); }),
        "us");
    QImage paper(400, 400, QImage::Format_ARGB32_Premultiplied);
    paper.setDotsPerMeterX(23622); // 600 dpi
    paper.setDotsPerMeterY(23622);
    QPainter paperPainter(&paper);
    Bench::Report("draw_letter_paper",
        PerCallMicroseconds([&] { image->Draw(&paperPainter, QRect(0, 0, 400, 400), DrawTarget::Paper); }),
        "us");

    const double before = Bench::ResidentMiB();
    std::vector<ComPtr<IViewObject>> proxies;
    for (int i = 0; i < 1000; ++i) {
        proxies.push_back(CreateInstance<IViewObject>(Ostrel::kClsidPrescProxy));
        DispatchDriver(proxies.back().Get()).Put(Ostrel::DispIPrescProxy::strMedicine, medicine);
    }
    Bench::Report("proxies_1000_memory", Bench::ResidentMiB() - before, "MiB");
    return 0;
}
