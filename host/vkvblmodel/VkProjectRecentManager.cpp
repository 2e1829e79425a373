#include "VkProjectRecentManager.h"

#include <vkcore/IVkAppInfo.h>
#include <vkvblmodel/VkProjectRecentInfo.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace VkVBLModelInternal {

namespace {
const char kFileName[] = "recent.json";
const char kNameKey[] = "name";
const char kPathKey[] = "path";
const char kCreateTimeKey[] = "createTime";
const char kModifyTimeKey[] = "modifyTime";
// The list is a few dozen short entries; a larger file is not ours and is not read whole.
constexpr qint64 kMaxStoreBytes = 4 * 1024 * 1024;
// Seconds that still fit a double exactly, so a time read back equals the time written.
constexpr double kMaxExactSeconds = 9007199254740992.0;

QString normalized(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// A time is absent (0), or a whole non-negative number; anything else marks the entry as damaged.
bool timeOf(const QJsonObject& entry, const char* key, quint64* seconds)
{
    const QJsonValue value = entry.value(QLatin1String(key));
    if (value.isUndefined()) {
        *seconds = 0;
        return true;
    }
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    if (number < 0.0 || number > kMaxExactSeconds || number != double(quint64(number)))
        return false;
    *seconds = quint64(number);
    return true;
}

quint64 now()
{
    return quint64(QDateTime::currentSecsSinceEpoch());
}
} // namespace

VkProjectRecentManager::VkProjectRecentManager() = default;
VkProjectRecentManager::~VkProjectRecentManager() = default;

QString VkProjectRecentManager::storePath() const
{
    return QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderHome))
        .filePath(QLatin1String(kFileName));
}

VkProjectRecentInfo* VkProjectRecentManager::recordFor(const QString& path)
{
    for (const auto& record : m_records) {
        if (record->m_path == path)
            return record.get();
    }
    return nullptr;
}

void VkProjectRecentManager::reload()
{
    m_listed.clear();
    QFile file(storePath());
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxStoreBytes)
        return;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll());
    if (!json.isArray())
        return;

    for (const QJsonValue& value : json.array()) {
        if (!value.isObject())
            continue;
        const QJsonObject entry = value.toObject();
        const QJsonValue pathValue = entry.value(QLatin1String(kPathKey));
        const QJsonValue nameValue = entry.value(QLatin1String(kNameKey));
        if (!pathValue.isString() || pathValue.toString().isEmpty())
            continue;
        if (!nameValue.isUndefined() && !nameValue.isString())
            continue;
        quint64 createTime = 0;
        quint64 modifyTime = 0;
        if (!timeOf(entry, kCreateTimeKey, &createTime) || !timeOf(entry, kModifyTimeKey, &modifyTime))
            continue;

        const QString path = normalized(pathValue.toString());
        VkProjectRecentInfo* record = recordFor(path);
        if (record && m_listed.contains(record))
            continue; // the first entry of a path wins
        const QString name = nameValue.isString() ? nameValue.toString() : QFileInfo(path).completeBaseName();
        if (record) {
            record->m_name = name;
            record->m_createTime = createTime;
            record->m_modifyTime = modifyTime;
        } else {
            m_records.push_back(std::make_unique<VkProjectRecentInfo>(name, path, createTime, modifyTime));
            record = m_records.back().get();
        }
        QJsonObject extra = entry;
        for (const char* key : {kNameKey, kPathKey, kCreateTimeKey, kModifyTimeKey})
            extra.remove(QLatin1String(key));
        m_extraKeys.insert(record, extra);
        m_listed.append(record);
    }
}

QList<VkProjectRecentInfo*> VkProjectRecentManager::getRecentProjects(int kind)
{
    if (kind != RecentAll && kind != RecentExisting)
        return {};
    reload();
    if (kind == RecentAll)
        return m_listed;
    QList<VkProjectRecentInfo*> existing;
    for (VkProjectRecentInfo* record : qAsConst(m_listed)) {
        if (QFileInfo(record->getPath()).isFile())
            existing.append(record);
    }
    return existing;
}

bool VkProjectRecentManager::save(QString* error)
{
    QJsonArray entries;
    for (VkProjectRecentInfo* record : qAsConst(m_listed)) {
        QJsonObject entry = m_extraKeys.value(record);
        entry.insert(QLatin1String(kNameKey), record->m_name);
        entry.insert(QLatin1String(kPathKey), record->m_path);
        entry.insert(QLatin1String(kCreateTimeKey), double(record->m_createTime));
        entry.insert(QLatin1String(kModifyTimeKey), double(record->m_modifyTime));
        entries.append(entry);
    }
    QSaveFile file(storePath());
    const QByteArray bytes = QJsonDocument(entries).toJson(QJsonDocument::Indented);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}

bool VkProjectRecentManager::addProject(const QString& path, const QString& name, QString* error)
{
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("No project file given");
        return false;
    }
    // Start from the store as it is, so entries another instance added are kept.
    reload();
    const QString key = normalized(path);
    const quint64 time = now();
    VkProjectRecentInfo* record = recordFor(key);
    const QString shownName = name.isEmpty() ? QFileInfo(key).completeBaseName() : name;
    if (record && m_listed.contains(record)) {
        record->m_name = shownName;
        record->m_modifyTime = time;
        m_listed.removeOne(record);
    } else if (record) {
        // Listed before, dropped since: it comes back as a new entry.
        record->m_name = shownName;
        record->m_createTime = time;
        record->m_modifyTime = time;
        m_extraKeys.remove(record);
    } else {
        m_records.push_back(std::make_unique<VkProjectRecentInfo>(shownName, key, time, time));
        record = m_records.back().get();
    }
    m_listed.prepend(record);
    while (m_listed.size() > kMaxEntries)
        m_listed.removeLast();
    return save(error);
}

bool VkProjectRecentManager::touchProject(const QString& path, QString* error)
{
    reload();
    VkProjectRecentInfo* record = recordFor(normalized(path));
    if (!record || !m_listed.contains(record)) {
        if (error)
            *error = QStringLiteral("%1 is not among the recent projects").arg(path);
        return false;
    }
    record->m_modifyTime = now();
    m_listed.removeOne(record);
    m_listed.prepend(record);
    return save(error);
}

} // namespace VkVBLModelInternal

IVkProjectRecentManager* IVkProjectRecentManager::getInstance()
{
    static VkVBLModelInternal::VkProjectRecentManager instance;
    return &instance;
}
