// Shows the orders of a throw-away practice as a user sees them and saves
// pictures of the screen (run it under Xvfb): "details.png" with the details
// tree of a generated set, then "orders.png" with the orders list after the
// set was stored. Usage: orders_demo <folder for the pictures>. Not installed.
#include "../OrdersTestUtil.h"

#include "orders/ui/COrderDetailsDialog.h"
#include "orders/ui/COrdersDialog.h"
#include "orders/ui/OrderDialogsUi.h"

#include "core/CommandCodes.h"

#include "support/ScriptedDesktop.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTreeWidget>

#include <cstdio>
#include <functional>

namespace {

// Runs action once a visible modal window of type T is active.
template<class T> void WhenShown(std::function<void(T *)> action)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        auto *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        // Let it paint before the picture is taken.
        QTimer::singleShot(400, window, [window, action] { action(window); });
    });
    timer->start();
}

bool SaveScreen(const QString &path)
{
    QApplication::processEvents();
    return QGuiApplication::primaryScreen()->grabWindow(0).save(path);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    QTemporaryDir dir;
    Desktop::ScriptedPrompts prompts;
    OrdersTest::Practice practice(dir.path() + QLatin1Char('/'));
    if (!practice.Open())
        return 3;
    OrdersTest::SeedBusyPractice(practice);
    COrderDialogsUi windows;
    practice.Hub().Services().Provide<IOrderDialogs>(&windows);

    bool saved = true;
    WhenShown<COrdersDialog>([&](COrdersDialog *orders) {
        orders->resize(900, 420);
        WhenShown<COrderDetailsDialog>([&](COrderDetailsDialog *details) {
            details->Tree()->scrollToTop();
            saved = SaveScreen(out + QStringLiteral("details.png")) && saved;
            details->accept();
        });
        orders->findChild<QPushButton *>(QStringLiteral("generate"))->click();
        QTimer::singleShot(400, orders, [&saved, orders, out] {
            saved = SaveScreen(out + QStringLiteral("orders.png")) && saved;
            orders->accept();
        });
    });
    LogicCommand command;
    command.code = CommandCode::Orders;
    practice.Hub().OnCommand(command);
    practice.Hub().Services().Provide<IOrderDialogs>(&practice.dialogs);
    std::printf("%s\n", saved ? "saved" : "not saved");
    return saved ? 0 : 1;
}
