#pragma once

#include "VkTestStrings.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// Every suite runs against stores of its own: VK_HOME points at a fresh temporary folder before the
// application (and with it any store singleton) exists, and the offscreen platform keeps it headless.
// A suite with a main of its own (one that also runs as a child process, say) calls this one.
template <class TestClass>
int vkTestMain(int argc, char** argv)
{
    QTemporaryDir vkHome;
    if (!vkHome.isValid())
        return 3;
    qputenv("VK_HOME", vkHome.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestClass tc;
    return QTest::qExec(&tc, argc, argv);
}

#define VK_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return vkTestMain<TestClass>(argc, argv);                                                            \
    }
