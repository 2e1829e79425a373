#pragma once

#include <vkvblmodel/IVkProjectRecentManager.h>

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>

#include <functional>
#include <memory>
#include <vector>

namespace VkVBLModelInternal {

// recent.json: [{"name", "path", "createTime", "modifyTime", ...}, ...], newest first. Keys of an
// entry this code does not know are written back with it.
class VkProjectRecentManager final : public IVkProjectRecentManager
{
public:
    VkProjectRecentManager();
    ~VkProjectRecentManager() override;

    QList<VkProjectRecentInfo*> getRecentProjects(int kind) override;
    bool addProject(const QString& path, const QString& name, QString* error) override;
    bool touchProject(const QString& path, QString* error) override;
    void reload() override;
    QString lastError() const override;

    static constexpr int kMaxEntries = 50;

private:
    Q_DISABLE_COPY(VkProjectRecentManager)

    enum class StoreState
    {
        Readable,   // read as a list, or there is no file yet
        Damaged,    // a regular file that is not a list of ours: kept aside before the next write
        Unreadable, // not a regular file, or reading failed: never written over
    };

    QString storePath() const;
    VkProjectRecentInfo* recordFor(const QString& path);
    // Reads the file again; the state says whether it may be written over.
    StoreState readStore();
    // The read-modify-write of addProject and touchProject, under the store's lock.
    bool update(const std::function<bool(QString*)>& change, QString* error);
    bool save(QString* error);

    // Every record ever handed out, alive until the process ends.
    std::vector<std::unique_ptr<VkProjectRecentInfo>> m_records;
    QList<VkProjectRecentInfo*> m_listed;
    QHash<VkProjectRecentInfo*, QJsonObject> m_extraKeys;
    // Entries of the file that are not of a known shape; written back after the listed ones.
    QJsonArray m_unrecognised;
    QString m_lastError;
};

} // namespace VkVBLModelInternal
