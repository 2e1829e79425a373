#pragma once

#include <vkvblmodel/IVkProjectRecentManager.h>

#include <QHash>
#include <QJsonObject>

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

    static constexpr int kMaxEntries = 50;

private:
    Q_DISABLE_COPY(VkProjectRecentManager)

    QString storePath() const;
    VkProjectRecentInfo* recordFor(const QString& path);
    bool save(QString* error);

    // Every record ever handed out, alive until the process ends.
    std::vector<std::unique_ptr<VkProjectRecentInfo>> m_records;
    QList<VkProjectRecentInfo*> m_listed;
    QHash<VkProjectRecentInfo*, QJsonObject> m_extraKeys;
};

} // namespace VkVBLModelInternal
