// Writes a synthetic practice: make_practice <path> [patients] [--no-children]
#include "practice/SyntheticPractice.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: make_practice <path> [patients] [--no-children]\n");
        return 2;
    }
    Bench::PracticeOptions options;
    if (args.size() > 2)
        options.patients = args.at(2).toInt();
    options.childRows = !args.contains(QStringLiteral("--no-children"));
    QString error;
    if (!Bench::CreateSyntheticPractice(args.at(1), options, &error)) {
        std::fprintf(stderr, "make_practice: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
