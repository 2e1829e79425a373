#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

#include <string>

// Where the generated test media lives; makes it when a test runs without the CTest fixture.
namespace VkMediaTestFiles {

inline QString dir()
{
    return QStringLiteral(VK_TEST_MEDIA_DIR);
}

inline bool ensure(QString* message)
{
    if (QFile::exists(dir() + QStringLiteral("/.stamp")))
        return true;
    QProcess script;
    script.start(QStringLiteral("bash"), {QStringLiteral(VK_TEST_MEDIA_SCRIPT), dir()});
    const bool ok =
        script.waitForFinished(-1) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
    if (!ok && message)
        *message = QString::fromLocal8Bit(script.readAllStandardError());
    return ok;
}

inline std::string path(const QString& name)
{
    return (dir() + QLatin1Char('/') + name).toStdString();
}

} // namespace VkMediaTestFiles

// The body of every suite's initTestCase.
#define VK_ENSURE_TEST_MEDIA()                                                                               \
    do {                                                                                                     \
        QString message_;                                                                                    \
        QVERIFY2(VkMediaTestFiles::ensure(&message_), qPrintable(message_));                                 \
    } while (false)
