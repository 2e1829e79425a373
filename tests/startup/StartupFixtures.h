#pragma once

#include <vkvblmodel/VkProjectSuffixHelper.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

// Recent projects written straight into the store the startup window reads (VK_HOME/recent.json),
// with real project files beside them where a test wants them to exist.
struct RecentFixture
{
    struct Entry
    {
        QString name;
        QString path;
        qint64 createTime;
        qint64 modifyTime;
    };

    static QString storePath() { return QDir(qEnvironmentVariable("VK_HOME")).filePath("recent.json"); }

    static bool write(const QList<Entry>& entries)
    {
        QJsonArray array;
        for (const Entry& e : entries) {
            array.append(QJsonObject{{"name", e.name},
                                     {"path", e.path},
                                     {"createTime", double(e.createTime)},
                                     {"modifyTime", double(e.modifyTime)}});
        }
        QFile f(storePath());
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               f.write(QJsonDocument(array).toJson()) > 0;
    }

    // A minimal project file of `bytes` bytes or more (padded with blanks, which JSON ignores).
    static QString makeProject(const QDir& dir, const QString& baseName, int bytes = 0)
    {
        const QString path = dir.filePath(baseName + "." + VkProjectSuffixHelper::projectFileSuffix());
        QByteArray json = QJsonDocument(QJsonObject{{"format", "vkproject"},
                                                    {"version", 1},
                                                    {"config", QJsonObject{{"aspectRatio", 1},
                                                                           {"frameRate", 2},
                                                                           {"width", 1920},
                                                                           {"height", 1080},
                                                                           {"colorSpace", 0}}}})
                              .toJson();
        if (json.size() < bytes)
            json.append(QByteArray(bytes - json.size(), ' '));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(json) != json.size())
            return QString();
        return path;
    }
};
