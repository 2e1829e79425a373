#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// Every suite runs against stores of its own: VK_HOME points at a fresh temporary folder before the
// application (and with it any store singleton) exists, and the offscreen platform keeps it headless.
#define VK_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        QTemporaryDir vkHome;                                                                                \
        if (!vkHome.isValid())                                                                               \
            return 3;                                                                                        \
        qputenv("VK_HOME", vkHome.path().toLocal8Bit());                                                     \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                         \
        QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);                                             \
        QApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        TestClass tc;                                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
