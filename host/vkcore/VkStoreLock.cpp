#include <vkcore/VkStoreLock.h>

#include <vkcore/VkError.h>

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
    QString message;
    switch (m_lock->error()) {
    case QLockFile::LockFailedError:
        message = QStringLiteral("Another program keeps %1 locked").arg(m_path);
        break;
    case QLockFile::PermissionError:
        message = QStringLiteral("Cannot create the lock file %1").arg(m_path);
        break;
    default:
        message = QStringLiteral("Cannot lock %1").arg(m_path);
        break;
    }
    return VkError::fail(error, message);
}
