#include <vkvblmodel/VkProjectRecentInfo.h>

VkProjectRecentInfo::VkProjectRecentInfo(const QString& name, const QString& path, quint64 createTime,
                                         quint64 modifyTime)
    : m_name(name)
    , m_path(path)
    , m_createTime(createTime)
    , m_modifyTime(modifyTime)
{}
