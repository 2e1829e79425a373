#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>

// Where the generated test media lives; makes it when a test runs without the CTest fixture.
namespace VkMediaTestFiles {

inline QString dir()
{
    return QStringLiteral(VK_TEST_MEDIA_DIR);
}

// Runs `script` into `folder` unless an earlier run finished there (it writes .stamp last).
inline bool make(const QString& script, const QString& folder, QString* message)
{
    if (QFile::exists(folder + QStringLiteral("/.stamp")))
        return true;
    QProcess run;
    run.start(QStringLiteral("bash"), {script, folder});
    const bool ok =
        run.waitForFinished(-1) && run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
    if (!ok && message)
        *message = QString::fromLocal8Bit(run.readAllStandardError());
    return ok;
}

inline bool ensure(QString* message)
{
    return make(QStringLiteral(VK_TEST_MEDIA_SCRIPT), dir(), message);
}

inline std::string path(const QString& name)
{
    return (dir() + QLatin1Char('/') + name).toStdString();
}

inline std::string path(const char* name)
{
    return path(QString::fromUtf8(name));
}

// A command line written as one string of blank-separated words.
inline QStringList words(const char* line)
{
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The frame number a "numbered" clip draws into its ARGB32 pixels (B, G, R, A in memory): bit k is the
// brightness at the middle of column k, each an eighth of the width.
inline int numberIn(const uint8_t* argb, int width, int height)
{
    int number = 0;
    for (int k = 0; k < 8; ++k) {
        const size_t at = (size_t(height / 2) * size_t(width) + size_t((2 * k + 1) * width / 16)) * 4;
        if (argb[at + 1] > 128)
            number |= 1 << k;
    }
    return number;
}

} // namespace VkMediaTestFiles

// The body of every suite's initTestCase.
#define VK_ENSURE_TEST_MEDIA()                                                                               \
    do {                                                                                                     \
        QString message_;                                                                                    \
        QVERIFY2(VkMediaTestFiles::ensure(&message_), qPrintable(message_));                                 \
    } while (false)
