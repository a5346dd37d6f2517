#include "levels/PosixArchiveSource.h"

#include "core/AtomicFile.h"
#include "core/DiskSync.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The archive file as libzip sees it. libzip's own file source moves every piece of an archive in 8 KB
// calls, one system call each, so copying the untouched members of a large archive cost more in calls
// than in bytes; this one serves the same calls from 1 MB buffers. It writes a new archive into a temporary
// file beside the old one, named with the mark of the program's saves, flushes it to the disk and renames it
// over the old one only when complete, then syncs the folder; libzip's source can do neither the mark nor the
// flush before its rename.
class BufferedFileSource final
{
public:
    static zip_source_t* create(const QString& path, zip_error_t* error)
    {
        auto* state =
            new BufferedFileSource(QFile::encodeName(path), QFile::encodeName(FileSystem::saveTemporaryTemplate(path)));
        zip_source_t* source = zip_source_function_create(&BufferedFileSource::callback, state, error);
        if (!source)
            delete state;
        return source;
    }

private:
    static constexpr qsizetype BlockSize = qsizetype(1) << 20;

    BufferedFileSource(QByteArray path, QByteArray tempTemplate)
        : m_path(std::move(path)), m_tempTemplate(std::move(tempTemplate))
    {
        zip_error_init(&m_error);
    }
    ~BufferedFileSource()
    {
        closeRead();
        rollback();
        zip_error_fini(&m_error);
    }

    static zip_int64_t callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        return static_cast<BufferedFileSource*>(state)->handle(data, length, command);
    }

    zip_int64_t fail(int zipError)
    {
        zip_error_set(&m_error, zipError, errno);
        return -1;
    }

    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_WRITABLE;
        case ZIP_SOURCE_STAT: {
            // libzip asks once per member while it writes; the answer cannot change before the commit.
            if (!m_statKnown) {
                if (::stat(m_path.constData(), &m_stat) != 0)
                    return fail(ZIP_ER_READ); // ENOENT here is how libzip learns that the archive is new
                m_statKnown = true;
            }
            auto* st = static_cast<zip_stat_t*>(data);
            zip_stat_init(st);
            st->size = static_cast<zip_uint64_t>(m_stat.st_size);
            st->mtime = m_stat.st_mtime;
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_OPEN:
            closeRead();
            m_in = ::open(m_path.constData(), O_RDONLY | O_CLOEXEC);
            if (m_in < 0)
                return fail(ZIP_ER_OPEN);
            {
                struct stat info;
                if (::fstat(m_in, &info) != 0)
                    return fail(ZIP_ER_READ);
                m_inSize = static_cast<zip_uint64_t>(info.st_size);
            }
            m_readAt = 0;
            m_cached.clear();
            return 0;
        case ZIP_SOURCE_READ:
            return read(static_cast<char*>(data), length);
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t to = zip_source_seek_compute_offset(m_readAt, m_inSize, data, length, &m_error);
            if (to < 0)
                return -1;
            m_readAt = static_cast<zip_uint64_t>(to);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return static_cast<zip_int64_t>(m_readAt);
        case ZIP_SOURCE_CLOSE:
            closeRead();
            return 0;
        case ZIP_SOURCE_BEGIN_WRITE:
            return beginWrite();
        case ZIP_SOURCE_WRITE:
            return write(static_cast<const char*>(data), length);
        case ZIP_SOURCE_SEEK_WRITE: {
            if (!flush())
                return -1;
            const zip_int64_t to = zip_source_seek_compute_offset(m_writeAt, m_writeEnd, data, length, &m_error);
            if (to < 0)
                return -1;
            m_writeAt = static_cast<zip_uint64_t>(to);
            return 0;
        }
        case ZIP_SOURCE_TELL_WRITE:
            return static_cast<zip_int64_t>(m_writeAt);
        case ZIP_SOURCE_COMMIT_WRITE:
            return commit();
        case ZIP_SOURCE_ROLLBACK_WRITE:
            rollback();
            return 0;
        case ZIP_SOURCE_REMOVE:
            if (::unlink(m_path.constData()) != 0 && errno != ENOENT)
                return fail(ZIP_ER_REMOVE);
            m_statKnown = false;
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&m_error, data, length);
        case ZIP_SOURCE_FREE:
            delete this;
            return 0;
        default:
            zip_error_set(&m_error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    zip_int64_t read(char* data, zip_uint64_t length)
    {
        zip_uint64_t done = 0;
        while (done < length && m_readAt < m_inSize) {
            const bool cached = m_readAt >= m_cachedAt && m_readAt < m_cachedAt + zip_uint64_t(m_cached.size());
            if (!cached) {
                // A small archive gets a small block: most levels are far below the block size.
                m_cached.resize(qsizetype(std::min<zip_uint64_t>(BlockSize, m_inSize - m_readAt)));
                const ssize_t got = ::pread(m_in, m_cached.data(), size_t(m_cached.size()), off_t(m_readAt));
                if (got < 0) {
                    if (errno == EINTR)
                        continue;
                    m_cached.clear();
                    return fail(ZIP_ER_READ);
                }
                m_cached.resize(got);
                m_cachedAt = m_readAt;
                if (got == 0)
                    break;
            }
            const zip_uint64_t offset = m_readAt - m_cachedAt;
            const zip_uint64_t take = std::min<zip_uint64_t>(length - done, zip_uint64_t(m_cached.size()) - offset);
            std::memcpy(data + done, m_cached.constData() + offset, take);
            done += take;
            m_readAt += take;
        }
        return static_cast<zip_int64_t>(done);
    }

    void closeRead()
    {
        if (m_in >= 0)
            ::close(m_in);
        m_in = -1;
    }

    zip_int64_t beginWrite()
    {
        rollback();
        // The mark of the program's saves in the name lets the next opening of the level remove it after a kill.
        m_temp = m_tempTemplate;
        m_out = ::mkstemp(m_temp.data());
        if (m_out < 0) {
            m_temp.clear();
            return fail(ZIP_ER_TMPOPEN);
        }
        // The new archive keeps the old one's permissions; a new one gets the usual ones.
        struct stat info;
        if (::stat(m_path.constData(), &info) == 0) {
            ::fchmod(m_out, info.st_mode & 07777);
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(m_out, 0666 & ~mask);
        }
        m_writeAt = 0;
        m_writeEnd = 0;
        if (!m_pending)
            m_pending = std::make_unique<char[]>(BlockSize);
        m_pendingSize = 0;
        m_pendingAt = 0;
        return 0;
    }

    zip_int64_t write(const char* data, zip_uint64_t length)
    {
        if (m_writeAt != m_pendingAt + m_pendingSize) {
            if (!flush())
                return -1;
            m_pendingAt = m_writeAt;
        }
        zip_uint64_t done = 0;
        while (done < length) {
            const zip_uint64_t take = std::min<zip_uint64_t>(length - done, zip_uint64_t(BlockSize) - m_pendingSize);
            std::memcpy(m_pending.get() + m_pendingSize, data + done, take);
            m_pendingSize += take;
            done += take;
            if (m_pendingSize == zip_uint64_t(BlockSize) && !flush())
                return -1;
        }
        m_writeAt += length;
        m_writeEnd = std::max(m_writeEnd, m_writeAt);
        return static_cast<zip_int64_t>(length);
    }

    bool flush()
    {
        zip_uint64_t done = 0;
        while (done < m_pendingSize) {
            const ssize_t put =
                ::pwrite(m_out, m_pending.get() + done, size_t(m_pendingSize - done), off_t(m_pendingAt + done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                if (put == 0)
                    errno = ENOSPC;
                fail(ZIP_ER_WRITE);
                return false;
            }
            done += zip_uint64_t(put);
        }
#ifdef Q_OS_LINUX
        // The block starts on its way to the disk now rather than at the rename. ext4 writes out a file that is
        // renamed over another before the rename returns, and the old archive's freed blocks are then
        // discarded behind all of it; started block by block, most of it is on the disk by then. No guarantee
        // changes: the data only reaches the disk sooner. A file system that cannot do this just says so.
        ::sync_file_range(m_out, off_t(m_pendingAt), off_t(done), SYNC_FILE_RANGE_WRITE);
#endif
        m_pendingAt += done;
        m_pendingSize = 0;
        return true;
    }

    zip_int64_t commit()
    {
        if (!flush())
            return -1;
        // On the disk before the rename, data and size: a power cut soon after a save must find the old
        // archive or the new one under the name, never an empty or partial one.
        if (const std::error_code error = FileSystem::syncFileHandle(m_out)) {
            zip_error_set(&m_error, ZIP_ER_WRITE, error.value());
            rollback();
            return -1;
        }
        const int out = m_out;
        m_out = -1;
        if (::close(out) != 0) {
            fail(ZIP_ER_WRITE);
            rollback();
            return -1;
        }
        if (::rename(m_temp.constData(), m_path.constData()) != 0) {
            fail(ZIP_ER_RENAME);
            rollback();
            return -1;
        }
        m_temp.clear();
        m_statKnown = false;
        // The archive is whole under its name whatever this says; only the rename's durability could be lost.
        FileSystem::syncFolder(QFileInfo(QFile::decodeName(m_path)).absolutePath());
        return 0;
    }

    void rollback()
    {
        if (m_out >= 0)
            ::close(m_out);
        m_out = -1;
        if (!m_temp.isEmpty())
            ::unlink(m_temp.constData());
        m_temp.clear();
        m_pendingSize = 0;
    }

    QByteArray m_path;
    QByteArray m_tempTemplate;
    zip_error_t m_error;
    struct stat m_stat
    {
    };
    bool m_statKnown = false;
    int m_in = -1;
    zip_uint64_t m_inSize = 0;
    zip_uint64_t m_readAt = 0;
    QByteArray m_cached;
    zip_uint64_t m_cachedAt = 0;
    int m_out = -1;
    QByteArray m_temp;
    zip_uint64_t m_writeAt = 0;
    zip_uint64_t m_writeEnd = 0;
    std::unique_ptr<char[]> m_pending; // made once: a fresh block each time costs a page fault per page
    zip_uint64_t m_pendingSize = 0;
    zip_uint64_t m_pendingAt = 0;
};
} // namespace

zip_source* Levels::createPosixArchiveSource(const QString& path, zip_error* error)
{
    return BufferedFileSource::create(path, error);
}
