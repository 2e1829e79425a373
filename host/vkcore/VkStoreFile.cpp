#include <vkcore/VkStoreFile.h>

#include <vkcore/VkError.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Permissions of a store file that did not exist before (the usual rw-r--r--).
constexpr mode_t kNewFileMode = 0644;
// Bytes asked of the kernel per read call.
constexpr qint64 kReadChunk = qint64{64} * 1024;

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Closes a descriptor on every way out of a function.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closes now and says whether the kernel reported an error doing so.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    Q_DISABLE_COPY(Descriptor)
    int m_fd;
};

bool writeAll(int fd, const char* data, qint64 size, int* errorCode)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A write of 0 bytes can only mean the device is full.
            *errorCode = n < 0 ? errno : ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

QString typeName(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}
} // namespace

VkStoreFile::ReadResult VkStoreFile::read(const QString& path, qint64 maxBytes, QByteArray* bytes,
                                          QString* error)
{
    // Non-blocking, so that opening a pipe with no writer returns at once instead of waiting for one.
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int code = errno;
        if (code == ENOENT || code == ENOTDIR)
            return ReadResult::Missing;
        VkError::set(error, QStringLiteral("Cannot read %1: %2").arg(path, systemError(code)));
        return ReadResult::Failed;
    }
    struct stat info;
    if (::fstat(fd.get(), &info) != 0) {
        VkError::set(error, QStringLiteral("Cannot read %1: %2").arg(path, systemError(errno)));
        return ReadResult::Failed;
    }
    // The size of a pipe or a device says nothing about how much it would deliver.
    if (!S_ISREG(info.st_mode)) {
        VkError::set(
            error,
            QStringLiteral("%1 is %2, not a file this program reads").arg(path, typeName(info.st_mode)));
        return ReadResult::NotRegular;
    }
    const QString tooLarge =
        QStringLiteral("%1 is larger than %2 bytes; it is not read").arg(path).arg(maxBytes);
    if (qint64(info.st_size) > maxBytes) {
        VkError::set(error, tooLarge);
        return ReadResult::TooLarge;
    }
    QByteArray content;
    // The file may grow while it is read: never take more than the cap allows.
    while (true) {
        const qint64 room = qMin(kReadChunk, maxBytes + 1 - content.size());
        if (room <= 0) {
            VkError::set(error, tooLarge);
            return ReadResult::TooLarge;
        }
        const int start = content.size();
        content.resize(start + int(room));
        const ssize_t n = ::read(fd.get(), content.data() + start, size_t(room));
        if (n < 0 && errno == EINTR) {
            content.resize(start);
            continue;
        }
        if (n < 0) {
            VkError::set(error, QStringLiteral("Cannot read %1: %2").arg(path, systemError(errno)));
            return ReadResult::Failed;
        }
        content.resize(start + int(n));
        if (n == 0)
            break;
    }
    *bytes = content;
    return ReadResult::Read;
}

bool VkStoreFile::replace(const QString& path, const QByteArray& bytes, QString* error)
{
    QString target = QFileInfo(path).absoluteFilePath();
    // Writing through a link keeps the link: dot-file managers keep stores as links elsewhere.
    const QFileInfo linkInfo(target);
    if (linkInfo.isSymLink() && !linkInfo.canonicalFilePath().isEmpty())
        target = linkInfo.canonicalFilePath();
    const QByteArray nativeTarget = QFile::encodeName(target);

    mode_t mode = kNewFileMode;
    struct stat existing;
    if (::stat(nativeTarget.constData(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return VkError::fail(
                error, QStringLiteral("Cannot write %1: it is %2").arg(target, typeName(existing.st_mode)));
        mode = existing.st_mode & 07777;
    }

    const QFileInfo targetInfo(target);
    QByteArray temporary =
        QFile::encodeName(targetInfo.absolutePath() + QLatin1String("/.") + targetInfo.fileName()) +
        ".XXXXXX";
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return VkError::fail(error, QStringLiteral("Cannot write %1: %2").arg(target, systemError(errno)));

    int code = 0;
    bool written = writeAll(fd.get(), bytes.constData(), bytes.size(), &code);
    if (written && ::fchmod(fd.get(), mode) != 0) {
        code = errno;
        written = false;
    }
    // The data must be on the disk before the new name points at it, or a crash could leave an
    // empty file under the old name; some file systems only report a full disk here.
    if (written && ::fsync(fd.get()) != 0) {
        code = errno;
        written = false;
    }
    if (written && !fd.close()) {
        code = errno;
        written = false;
    }
    if (written && ::rename(temporary.constData(), nativeTarget.constData()) != 0) {
        code = errno;
        written = false;
    }
    if (!written) {
        ::unlink(temporary.constData());
        return VkError::fail(error, QStringLiteral("Cannot write %1: %2").arg(target, systemError(code)));
    }
    // Make the rename itself durable; a folder that cannot be synced is no reason to fail.
    Descriptor folder(
        ::open(QFile::encodeName(targetInfo.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return true;
}

bool VkStoreFile::appendLine(const QString& path, const QByteArray& line, QString* error)
{
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking, so that a pipe in the file's place fails at once rather than waiting for a reader.
    Descriptor fd(::open(native.constData(),
                         O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, kNewFileMode));
    if (fd.get() < 0)
        return VkError::fail(error, QStringLiteral("Cannot append to %1: %2").arg(path, systemError(errno)));
    struct stat info;
    if (::fstat(fd.get(), &info) != 0)
        return VkError::fail(error, QStringLiteral("Cannot append to %1: %2").arg(path, systemError(errno)));
    if (!S_ISREG(info.st_mode))
        return VkError::fail(
            error, QStringLiteral("Cannot append to %1: it is %2").arg(path, typeName(info.st_mode)));
    // Another process taking back its cut line must not cut ours: the size is only known under the lock.
    while (::flock(fd.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return VkError::fail(error, QStringLiteral("Cannot lock %1: %2").arg(path, systemError(errno)));
    }
    if (::fstat(fd.get(), &info) != 0)
        return VkError::fail(error, QStringLiteral("Cannot append to %1: %2").arg(path, systemError(errno)));
    const off_t before = info.st_size;

    QByteArray bytes = line;
    // A line left unfinished by something else must not swallow ours.
    char last = '\n';
    if (before > 0 && ::pread(fd.get(), &last, 1, before - 1) == 1 && last != '\n')
        bytes.prepend('\n');

    // With O_APPEND and the lock held, a write cut short is continued at the end of our own bytes;
    // the second write names the reason (a full disk, a size limit).
    int code = 0;
    if (writeAll(fd.get(), bytes.constData(), bytes.size(), &code))
        return true;
    if (::ftruncate(fd.get(), before) != 0)
        return VkError::fail(
            error, QStringLiteral("Cannot append to %1: %2; the cut line could not be taken back: %3")
                       .arg(path, systemError(code), systemError(errno)));
    return VkError::fail(error, QStringLiteral("Cannot append to %1: %2").arg(path, systemError(code)));
}

bool VkStoreFile::setAside(const QString& path, QString* asidePath, QString* error)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString aside = QStringLiteral("%1.broken-%2").arg(path, stamp);
    // Two damaged files within one second must not overwrite each other.
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = QStringLiteral("%1.broken-%2-%3").arg(path, stamp).arg(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0)
        return VkError::fail(error, QStringLiteral("Cannot move %1 aside: %2").arg(path, systemError(errno)));
    if (asidePath)
        *asidePath = aside;
    return true;
}
