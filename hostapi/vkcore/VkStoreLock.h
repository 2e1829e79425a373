#pragma once

#include <vkcore/VkCoreExport.h>

#include <QString>
#include <QtGlobal>

#include <memory>

class QLockFile;

// Serialises the read-modify-write of one store between processes: "<store>.lock" beside it, held
// while the object lives. A lock left by a process that died is taken over.
class VKCORE_EXPORT VkStoreLock
{
public:
    explicit VkStoreLock(const QString& storePath);
    ~VkStoreLock();

    // Waits up to kWaitMs for the lock; false with a message when it cannot be had.
    bool lock(QString* error);

    // Long enough for any other editor to finish one store write, short enough not to look hung.
    static constexpr int kWaitMs = 10000;

private:
    Q_DISABLE_COPY(VkStoreLock)

    const QString m_path;
    const std::unique_ptr<QLockFile> m_lock;
};
