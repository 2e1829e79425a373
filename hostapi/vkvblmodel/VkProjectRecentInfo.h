#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QString>

namespace VkVBLModelInternal {
class VkProjectRecentManager;
}

// One entry of the recent-project list. Entries are owned by the recent-project manager.
class VKVBLMODEL_EXPORT VkProjectRecentInfo
{
public:
    VkProjectRecentInfo(const QString& name, const QString& path, quint64 createTime, quint64 modifyTime);

    QString getName() const { return m_name; }
    QString getPath() const { return m_path; }
    // Seconds since 1970-01-01 UTC.
    quint64 getCreateTime() const { return m_createTime; }
    quint64 getModifyTime() const { return m_modifyTime; }

private:
    // The manager updates records in place so that pointers handed out earlier stay current.
    friend class VkVBLModelInternal::VkProjectRecentManager;
    Q_DISABLE_COPY(VkProjectRecentInfo)

    QString m_name;
    QString m_path;
    quint64 m_createTime;
    quint64 m_modifyTime;
};
