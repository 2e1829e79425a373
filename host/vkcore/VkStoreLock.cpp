#include <vkcore/VkStoreLock.h>

#include <QLockFile>

VkStoreLock::VkStoreLock(const QString& storePath)
    : m_path(storePath + QLatin1String(".lock"))
    , m_lock(std::make_unique<QLockFile>(m_path))
{}

VkStoreLock::~VkStoreLock() = default;

bool VkStoreLock::lock(QString* error)
{
    if (m_lock->tryLock(kWaitMs))
        return true;
    if (error) {
        switch (m_lock->error()) {
        case QLockFile::LockFailedError:
            *error = QStringLiteral("Another program keeps %1 locked").arg(m_path);
            break;
        case QLockFile::PermissionError:
            *error = QStringLiteral("Cannot create the lock file %1").arg(m_path);
            break;
        default:
            *error = QStringLiteral("Cannot lock %1").arg(m_path);
            break;
        }
    }
    return false;
}
