#include "VkProjectRecentManager.h"

#include "VkModelLog_p.h"

#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkError.h>
#include <vkcore/VkStoreFile.h>
#include <vkcore/VkStoreLock.h>
#include <vkvblmodel/VkProjectRecentInfo.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>

namespace VkVBLModelInternal {

namespace {
const char kFileName[] = "recent.json";
const char kNameKey[] = "name";
const char kPathKey[] = "path";
const char kCreateTimeKey[] = "createTime";
const char kModifyTimeKey[] = "modifyTime";
// The list is a few dozen short entries; a larger file is not ours and is not read whole.
constexpr qint64 kMaxStoreBytes = qint64{4} * 1024 * 1024;
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
    readStore();
}

QString VkProjectRecentManager::lastError() const
{
    return m_lastError;
}

VkProjectRecentManager::StoreState VkProjectRecentManager::readStore()
{
    m_listed.clear();
    m_unrecognised = QJsonArray();
    const QString path = storePath();
    QByteArray bytes;
    QString readError;
    switch (VkStoreFile::read(path, kMaxStoreBytes, &bytes, &readError)) {
    case VkStoreFile::ReadResult::Read:
        break;
    case VkStoreFile::ReadResult::Missing:
        m_lastError.clear();
        return StoreState::Readable;
    case VkStoreFile::ReadResult::TooLarge:
        m_lastError = readError;
        return StoreState::Damaged;
    case VkStoreFile::ReadResult::NotRegular:
    case VkStoreFile::ReadResult::Failed:
        m_lastError = readError;
        return StoreState::Unreadable;
    }
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        m_lastError = QStringLiteral("%1 is not a list of recent projects: %2 at byte %3")
                          .arg(path, parseError.errorString())
                          .arg(parseError.offset);
        return StoreState::Damaged;
    }
    if (!json.isArray()) {
        m_lastError = QStringLiteral("%1 is not a list of recent projects").arg(path);
        return StoreState::Damaged;
    }

    const QJsonArray entries = json.array();
    for (const QJsonValue& value : entries) {
        if (!value.isObject()) {
            m_unrecognised.append(value);
            continue;
        }
        const QJsonObject entry = value.toObject();
        const QJsonValue pathValue = entry.value(QLatin1String(kPathKey));
        const QJsonValue nameValue = entry.value(QLatin1String(kNameKey));
        quint64 createTime = 0;
        quint64 modifyTime = 0;
        if (!pathValue.isString() || pathValue.toString().isEmpty() ||
            (!nameValue.isUndefined() && !nameValue.isString()) ||
            !timeOf(entry, kCreateTimeKey, &createTime) || !timeOf(entry, kModifyTimeKey, &modifyTime)) {
            // Not listed, but another version of the editor may know what it means: it stays in the file.
            m_unrecognised.append(value);
            continue;
        }

        const QString recordPath = normalized(pathValue.toString());
        VkProjectRecentInfo* record = recordFor(recordPath);
        if (record && m_listed.contains(record))
            continue; // the first entry of a path wins
        const QString name =
            nameValue.isString() ? nameValue.toString() : QFileInfo(recordPath).completeBaseName();
        if (record) {
            record->m_name = name;
            record->m_createTime = createTime;
            record->m_modifyTime = modifyTime;
        } else {
            m_records.push_back(
                std::make_unique<VkProjectRecentInfo>(name, recordPath, createTime, modifyTime));
            record = m_records.back().get();
        }
        QJsonObject extra = entry;
        for (const char* key : {kNameKey, kPathKey, kCreateTimeKey, kModifyTimeKey})
            extra.remove(QLatin1String(key));
        m_extraKeys.insert(record, extra);
        m_listed.append(record);
    }
    m_lastError.clear();
    return StoreState::Readable;
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
    for (const QJsonValue& entry : qAsConst(m_unrecognised))
        entries.append(entry);
    return VkStoreFile::replace(storePath(), QJsonDocument(entries).toJson(QJsonDocument::Indented), error);
}

bool VkProjectRecentManager::update(const std::function<bool(QString*)>& change, QString* error)
{
    const auto failed = [this, error](const QString& message) {
        m_lastError = message;
        return VkError::fail(error, message);
    };
    // Two editors adding projects at once must both end up in the list: the read, the change and the
    // write happen as one step for every process.
    VkStoreLock lock(storePath());
    QString lockError;
    if (!lock.lock(&lockError))
        return failed(lockError);
    QString notice;
    switch (readStore()) {
    case StoreState::Readable:
        break;
    case StoreState::Unreadable:
        return failed(m_lastError + QStringLiteral("; nothing was written"));
    case StoreState::Damaged: {
        // The user's list is kept, under another name, before a new one takes its place.
        QString aside;
        QString asideError;
        if (!VkStoreFile::setAside(storePath(), &aside, &asideError))
            return failed(m_lastError + QStringLiteral("; ") + asideError);
        notice = m_lastError + QStringLiteral("; it was kept as %1").arg(aside);
        qCWarning(lcVkModel, "%s", qUtf8Printable(notice));
        break;
    }
    }
    QString changeError;
    if (!change(&changeError))
        return failed(changeError);
    QString writeError;
    if (!save(&writeError))
        return failed(notice.isEmpty() ? writeError : notice + QStringLiteral("; ") + writeError);
    m_lastError = notice;
    return true;
}

bool VkProjectRecentManager::addProject(const QString& path, const QString& name, QString* error)
{
    if (path.isEmpty())
        return VkError::fail(error, QStringLiteral("No project file given"));
    const QString key = normalized(path);
    return update(
        [this, &key, &name](QString*) {
            const quint64 time = now();
            VkProjectRecentInfo* record = recordFor(key);
            const QString fileName = QFileInfo(key).completeBaseName();
            if (record && m_listed.contains(record)) {
                // A project without a name of its own keeps the one the list gave it.
                if (!name.isEmpty())
                    record->m_name = name;
                record->m_modifyTime = time;
                m_listed.removeOne(record);
            } else if (record) {
                // Listed before, dropped since: it comes back as a new entry.
                record->m_name = name.isEmpty() ? fileName : name;
                record->m_createTime = time;
                record->m_modifyTime = time;
                m_extraKeys.remove(record);
            } else {
                m_records.push_back(
                    std::make_unique<VkProjectRecentInfo>(name.isEmpty() ? fileName : name, key, time, time));
                record = m_records.back().get();
            }
            m_listed.prepend(record);
            while (m_listed.size() > kMaxEntries)
                m_listed.removeLast();
            return true;
        },
        error);
}

bool VkProjectRecentManager::touchProject(const QString& path, QString* error)
{
    const QString key = normalized(path);
    return update(
        [this, &key, &path](QString* changeError) {
            VkProjectRecentInfo* record = recordFor(key);
            if (!record || !m_listed.contains(record)) {
                *changeError = QStringLiteral("%1 is not among the recent projects").arg(path);
                return false;
            }
            record->m_modifyTime = now();
            m_listed.removeOne(record);
            m_listed.prepend(record);
            return true;
        },
        error);
}

} // namespace VkVBLModelInternal

IVkProjectRecentManager* IVkProjectRecentManager::getInstance()
{
    static VkVBLModelInternal::VkProjectRecentManager instance;
    return &instance;
}
