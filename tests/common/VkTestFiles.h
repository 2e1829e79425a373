#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Whole-file reads and writes for the tests that look at the bytes a store leaves behind.
inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}

// A file of the suite's own VK_HOME (VK_TEST_MAIN points it at a fresh folder): where the stores
// keep config.ini, settings.ini, recent.json and the rest.
inline QString vkHomeFile(const QString& name)
{
    return QDir(qEnvironmentVariable("VK_HOME")).filePath(name);
}
