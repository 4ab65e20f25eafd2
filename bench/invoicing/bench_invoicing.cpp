// Finance figures for a patient with five years of monthly fees, 500 due
// payments, 2,000 prescription charges and 1,000 payments:
//   finance_tabs_load     the finance share of a patient load (fee run, the
//                         three finance tabs filled) and the three tabs painted
//   patient_move_all_tabs the whole move to the patient, every subsystem's
//                         save and load included (for comparison)
//   finance_rows_read     the rows of the three lists read from the database
//   finance_lists_filled  the three lists filled from rows already read
//   fee_run_nothing_due   the monthly fee run when no period is due
#include "practice/BenchTimer.h"

#include "invoicing/CLogicInvoicing.h"
#include "invoicing/CLogicPayments.h"
#include "invoicing/InvoicingLogic.h"
#include "invoicing/ui/CDuePaymentsDialog.h"
#include "invoicing/ui/CInvoicesDlg.h"
#include "invoicing/ui/CPaymentsDialog.h"
#include "shell/CLogicMain.h"

#include "core/CurrentPatient.h"

#include <QtCore/QTemporaryDir>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlError>
#include <QtSql/QSqlQuery>
#include <QtWidgets/QApplication>

#include <cstdio>

namespace {

bool Fill(const QString &path, qint64 *patient)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
    db.setDatabaseName(path);
    if (!db.open())
        return false;
    QSqlQuery q(db);
    db.transaction();
    q.exec(QStringLiteral("INSERT INTO MAIN (FIRST_NAME, LAST_NAME, MONTHLY_FEE, MONTHLY_FEE_TS) "
                          "VALUES ('Anna', 'Pop', 500000, '2020-01-01T09:00:00')"));
    *patient = q.lastInsertId().toLongLong();
    const QDate today = QDate::currentDate();
    auto charge = [&](int fee, int presc, int active, const QDate &date, qint64 units) {
        q.prepare(
            QStringLiteral("INSERT INTO INVOICING (PATIENT_ID, ACTIVE, FEE, IS_PRESC, DESCRIPTION, DT_STAMP, "
                           "AMOUNT, AMOUNT_TAX1, AMOUNT_TAX2) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const QVariant &v : { QVariant(*patient), QVariant(active), QVariant(fee), QVariant(presc),
                 QVariant(QStringLiteral("Item")),
                 QVariant(QDateTime(date, QTime(0, 0)).toString(Qt::ISODate)), QVariant(units),
                 QVariant(units / 20), QVariant(units * 3 / 40) })
            q.addBindValue(v);
        return q.exec();
    };
    bool ok = true;
    for (int m = 60; m >= 0; --m)
        ok = ok && charge(1, 0, m < 3, today.addMonths(-m), 500000);
    for (int i = 0; i < 500; ++i)
        ok = ok && charge(0, 0, i % 3 == 0, today.addDays(-i * 3), 100000 + i);
    for (int i = 0; i < 2000; ++i)
        ok = ok && charge(0, 1, i % 4 == 0, today.addDays(-i), 20000 + i);
    for (int i = 0; i < 1000; ++i) {
        q.prepare(QStringLiteral("INSERT INTO PAYMENTS (PATIENT_ID, AMOUNT, PAYMENT_DT, TYPE_ID, "
                                 "DESCRIPTION) VALUES (?, ?, ?, 1, 'Paid')"));
        q.addBindValue(*patient);
        q.addBindValue(qint64(300000 + i));
        q.addBindValue(QDateTime(today.addDays(-i * 2), QTime(10, 0)).toString(Qt::ISODate));
        ok = ok && q.exec();
    }
    if (!ok)
        std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
    db.commit();
    db.close();
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir dir;
    qint64 patient = 0;
    {
        // The program creates the database; the rows come in one transaction.
        CLogicMain first(dir.path() + QLatin1Char('/'), dir.filePath(QStringLiteral("windows")));
        QString error;
        if (!first.Open(&error))
            return 1;
    }
    if (!Fill(dir.filePath(QStringLiteral("data.mdb")), &patient))
        return 1;
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));

    CLogicMain hub(dir.path() + QLatin1Char('/'), dir.filePath(QStringLiteral("windows")));
    QString error;
    if (!hub.Open(&error))
        return 1;
    CDuePaymentsDialog due;
    CPaymentsDialog payments;
    CInvoicesDlg invoices;
    for (QWidget *page : { static_cast<QWidget *>(&due), static_cast<QWidget *>(&payments),
             static_cast<QWidget *>(&invoices) }) {
        page->resize(1200, 700);
        dynamic_cast<IPage *>(page)->Attach(&hub);
        page->show();
    }
    const QString id = QString::number(patient);
    hub.GetLogicPatient()->GoTo(id);
    QApplication::processEvents();

    InvoicingLogic *finance = hub.Services().Get<InvoicingLogic>();
    Bench::Report("finance_tabs_load",
        Bench::MedianMs(9,
            [&] {
                finance->Load();
                for (QWidget *page : { static_cast<QWidget *>(&due), static_cast<QWidget *>(&payments),
                         static_cast<QWidget *>(&invoices) })
                    page->repaint();
                QApplication::processEvents();
            }),
        "ms");
    Bench::Report("finance_rows_read",
        Bench::MedianMs(9,
            [&] {
                finance->DuePayments().Open(patient);
                finance->MonthlyFees().Open(patient);
                finance->Payments().Open(patient);
            }),
        "ms");
    Bench::Report("finance_lists_filled",
        Bench::MedianMs(9,
            [&] {
                finance->DuePayments().Fill();
                finance->MonthlyFees().Fill();
                finance->Payments().Fill();
            }),
        "ms");
    Bench::Report("patient_move_all_tabs",
        Bench::MedianMs(5,
            [&] {
                hub.GetLogicPatient()->GoTo(id);
                QApplication::processEvents();
            }),
        "ms");
    CLogicInvoicing &fees = finance->MonthlyFees();
    const QDateTime now = QDateTime::currentDateTime();
    Bench::Report(
        "fee_run_nothing_due", Bench::MedianMs(51, [&] { fees.RunMonthlyFee(patient, now); }), "ms");
    return 0;
}
