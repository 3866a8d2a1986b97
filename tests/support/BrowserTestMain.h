#pragma once
// main() of a test that opens the embedded browser: readied before the application object, and
// the windows closed by the test deleted before the browser profile goes.

#include "windows/SignInWindow.h"

#include <QApplication>
#include <QtTest>

#define TORVANE_BROWSER_TEST_MAIN(TestClass)                                        \
    int main(int argc, char **argv)                                                \
    {                                                                              \
        /* No session bus under Xvfb: once the browser engine runs, Qt's        \
           accessibility looking for one could block the first label's setText   \
           for good (seen about once in five runs). */                            \
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))              \
            qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");                      \
        torvane::prepareEmbeddedBrowser();                                         \
        QApplication app(argc, argv);                                              \
        TestClass test;                                                            \
        const int status = QTest::qExec(&test, argc, argv);                        \
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);       \
        return status;                                                             \
    }
