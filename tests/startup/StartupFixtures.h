#pragma once

#include "VkTestFiles.h"

#include <startup/VkStartupListItem.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>

#include <QDialog>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QStringList>

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

    static QString storePath()
    {
        return QDir(qEnvironmentVariable("VK_HOME")).filePath(QStringLiteral("recent.json"));
    }

    static bool write(const QList<Entry>& entries)
    {
        QJsonArray array;
        for (const Entry& e : entries) {
            array.append(QJsonObject{{QStringLiteral("name"), e.name},
                                     {QStringLiteral("path"), e.path},
                                     {QStringLiteral("createTime"), double(e.createTime)},
                                     {QStringLiteral("modifyTime"), double(e.modifyTime)}});
        }
        return writeBytes(storePath(), QJsonDocument(array).toJson());
    }

    // A minimal project file of `bytes` bytes or more (padded with blanks, which JSON ignores).
    static QString makeProject(const QDir& dir, const QString& baseName, int bytes = 0)
    {
        const QString path =
            dir.filePath(baseName + QLatin1Char('.') + VkProjectSuffixHelper::projectFileSuffix());
        QByteArray json(R"({"format": "vkproject", "version": 1, "config": {"aspectRatio": 1, "frameRate": 2,
                            "width": 1920, "height": 1080, "colorSpace": 0}})");
        json.append(QByteArray(qMax(0, bytes - json.size()), ' '));
        return writeBytes(path, json) ? path : QString();
    }

    // Projects made in dir ("p0", "p1"...) and listed under names, the first the newest and created
    // first; their paths in the order of names, or none if one could not be written.
    static QStringList listProjects(const QDir& dir, const QStringList& names)
    {
        QStringList paths;
        QList<Entry> entries;
        for (int i = 0; i < names.size(); ++i) {
            paths << makeProject(dir, QStringLiteral("p%1").arg(i));
            entries.append({names.at(i), paths.last(), 1700000000 + i, 1700000000 + 1000 - i});
        }
        return write(entries) && !paths.contains(QString()) ? paths : QStringList();
    }
};

// The startup window's project list and the widget of its i-th row.
inline QListWidget* listOf(QDialog* dlg)
{
    return dlg->findChild<QListWidget*>(QStringLiteral("VkStartupDlg_ProjectListWidget"));
}

inline VkStartupListItem* rowAt(QListWidget* list, int i)
{
    return qobject_cast<VkStartupListItem*>(list->itemWidget(list->item(i)));
}
