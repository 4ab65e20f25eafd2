// One seat of a practice for the two-seat tests: a program working on the
// practice's database beside another one, doing one scripted action. It opens
// the database through the program's hub directly (the lock that keeps a
// second program off a practice belongs to the program's start, not to the
// hub), and prints what happened on its standard output.
//
//   verdanta_seat <practice folder> <database> <action> <arguments...> <go file>
//
// The database is "-" for the file in the practice's folder, or a server
// address.
//
// Every action prints "ready" once it is prepared, then waits until the go
// file exists, so that two seats can be let go at the same moment:
//   edit <patient> <field> <value>: loads the patient and types the value
//       into the field before "ready", then saves; prints "saved", or
//       "conflict" and the message the person was shown (exit code 10).
//   fees <patient>: moves to the patient, whose load runs the monthly fee run.
//   stock <remedy> <dilution> <times>: takes one unit out of stock and puts
//       one on order, 'times' times, each in a transaction of its own.
#include "core/CLogicFolders.h"
#include "core/Transaction.h"
#include "finance/LogicStocks.h"
#include "patients/CLogicPatient.h"
#include "shell/CLogicMain.h"

#include "Korbel/DataSource.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QFile>
#include <QtCore/QThread>
#include <QtGui/QGuiApplication>

#include <cstdio>

namespace {

void Say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

bool WaitForGo(const QString &goFile)
{
    Say(QStringLiteral("ready"));
    QDeadlineTimer deadline(60000);
    while (!QFile::exists(goFile)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(2);
    }
    return true;
}

int Edit(CLogicMain &hub, Desktop::ScriptedPrompts &prompts, const QStringList &args)
{
    if (args.size() < 4)
        return 2;
    ICurrentPatient *patient = hub.GetLogicPatient();
    Korbel::ITable *main = hub.GetMainTable();
    Korbel::IField *field = nullptr;
    if (!patient || patient->GoTo(args[0]) != 1 || main->Edit() != 1 || main->GetField(args[1], &field) != 1)
        return 3;
    Korbel::ReleasePtr<Korbel::IField> guard(field);
    if (!field->SetFromString(args[2]))
        return 3;
    if (!WaitForGo(args[3]))
        return 4;
    prompts.Clear();
    if (patient->SaveAll() == 1) {
        Say(QStringLiteral("saved"));
        return 0;
    }
    Say(QStringLiteral("conflict"));
    for (const QString &text : prompts.Texts())
        Say(text);
    return 10;
}

int Fees(CLogicMain &hub, const QStringList &args)
{
    if (args.size() < 2 || !WaitForGo(args[1]))
        return 2;
    if (hub.GetLogicPatient()->GoTo(args[0]) != 1)
        return 3;
    Say(QStringLiteral("done"));
    return 0;
}

int Stock(CLogicMain &hub, const QStringList &args)
{
    if (args.size() < 4)
        return 2;
    auto *stocks = hub.Services().Get<CLogicStocks>();
    const qint64 remedy = args[0].toLongLong();
    const qint64 dilution = args[1].toLongLong();
    const int times = args[2].toInt();
    if (!stocks || !WaitForGo(args[3]))
        return 3;
    for (int i = 0; i < times; ++i) {
        ScopedTransaction transaction(hub.GetDataSource());
        // Half of the movements as prescriptions make them, half as orders do.
        const bool moved = transaction.IsActive() && stocks->Open()
            && (i % 2 == 0 ? stocks->Move(remedy, dilution, -1, 1) : stocks->Adjust(remedy, dilution, -1, 1));
        if (!moved || !transaction.Commit()) {
            Say(QStringLiteral("failed at %1").arg(i));
            return 5;
        }
    }
    Say(QStringLiteral("done"));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments().mid(1);
    if (args.size() < 3)
        return 2;
    Desktop::ScriptedPrompts prompts;
    prompts.SetDefaultAnswer(Desktop::Answer::No);
    QString root = args[0];
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    CLogicMain hub(root, root + QStringLiteral("windows"));
    if (args[1] != QLatin1String("-"))
        hub.GetLogicFolders()->SetDatabaseAddress(args[1]);
    QString error;
    if (!hub.Open(&error)) {
        Say(QStringLiteral("cannot open: ") + error);
        return 3;
    }
    const QString action = args[2];
    const QStringList rest = args.mid(3);
    int result = 2;
    if (action == QLatin1String("edit"))
        result = Edit(hub, prompts, rest);
    else if (action == QLatin1String("fees"))
        result = Fees(hub, rest);
    else if (action == QLatin1String("stock"))
        result = Stock(hub, rest);
    hub.Close();
    return result;
}
