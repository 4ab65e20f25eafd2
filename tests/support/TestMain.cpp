// Shared main of every test program: a real application object on the
// offscreen platform (QApplication for tests of windows, QGuiApplication for
// tests of logic, which must run without the widgets library), a pinned
// locale, and settings and data folders that live in a throw-away place so
// that no test touches the user's files.
#include "support/TestSupport.h"

#include <QtCore/QFile>
#include <QtCore/QStandardPaths>
#ifdef VERDANTA_TEST_WIDGETS
#include <QtWidgets/QApplication>
using TestApplication = QApplication;
#else
#include <QtGui/QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// Sanitizer settings of every test program: Qt keeps some allocations until the
// process ends, so leak reports would only be noise. Exported, because the
// sanitizer runtime looks them up in the program's dynamic symbols, and our
// code is built with hidden visibility.
extern "C" __attribute__((used, visibility("default"))) const char *__asan_default_options()
{
    return "detect_leaks=0";
}
extern "C" __attribute__((used, visibility("default"))) const char *__ubsan_default_options()
{
    return "print_stacktrace=1";
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("VERDANTA_MODULES_DIR"))
        qputenv("VERDANTA_MODULES_DIR", VERDANTA_TEST_MODULES_DIR);
    if (qEnvironmentVariableIsEmpty("VERDANTA_TEST_DATA"))
        qputenv("VERDANTA_TEST_DATA", VERDANTA_SOURCE_DIR "/tests/data");
    qputenv("LC_ALL", "C.UTF-8");
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/verdanta-home-XXXXXX"));
    if (home.isValid()) {
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
        qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toLocal8Bit());
        qputenv("VERDANTA_WINDOWS_DIR", (home.path() + QStringLiteral("/windows")).toLocal8Bit());
        // The program's root folder is its current directory: anything a test
        // writes relative to it lands in the throw-away folder.
        QDir::setCurrent(home.path());
    }
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(TestSupport::PinnedLocale());

    TestApplication app(argc, argv);
    TestApplication::setOrganizationName(QStringLiteral("VerdantaTests"));
    TestApplication::setApplicationName(QStringLiteral("VerdantaTests"));
#ifndef VERDANTA_TEST_WIDGETS
    // A logic test proves that logic runs without the widgets library: it
    // must not even be loaded.
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Widgets")) {
        fprintf(stderr, "This logic test loaded the Qt widgets library.\n");
        return 3;
    }
#endif
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
