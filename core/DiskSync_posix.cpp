#include "core/DiskSync.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace FileSystem {

std::error_code syncFileHandle(int handle)
{
    int result = 0;
    do {
        // fdatasync writes the size with the data, which is all a new file needs before its rename.
#if defined(_POSIX_SYNCHRONIZED_IO) && _POSIX_SYNCHRONIZED_IO > 0
        result = ::fdatasync(handle);
#else
        result = ::fsync(handle);
#endif
    } while (result != 0 && errno == EINTR);
    return result == 0 ? std::error_code() : std::error_code(errno, std::generic_category());
}

void startWriteOut(int handle, qint64 offset, qint64 length)
{
#ifdef Q_OS_LINUX
    // ext4 writes out a file that is renamed over another before the rename returns, and the old file's freed
    // blocks are then discarded behind all of it; started piece by piece, most of it is on the disk by then. A
    // file system that cannot do this just says so.
    ::sync_file_range(handle, off_t(offset), off_t(length), SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(handle);
    Q_UNUSED(offset);
    Q_UNUSED(length);
#endif
}

std::error_code syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::error_code(errno, std::generic_category());
    int failure = 0;
    // A file system that cannot sync a folder says so with EINVAL; it has nothing to write out.
    if (::fsync(fd) != 0 && errno != EINVAL)
        failure = errno;
    ::close(fd);
    return failure ? std::error_code(failure, std::generic_category()) : std::error_code();
}

} // namespace FileSystem
