#include "levels/ArchiveFileSource.h"

#include "core/AtomicFile.h"
#include "core/DiskSync.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

// The archive file as libzip sees it, the same on every platform. libzip's own file source moves every piece
// of an archive in 8 KB calls, one system call each, so copying the untouched members of a large archive cost
// more in calls than in bytes; this one serves the same calls from 1 MB buffers. It writes a new archive into
// a temporary file beside the old one, named with the mark of the program's saves, flushes it to the disk and
// renames it over the old one only when complete, then syncs the folder; libzip's source can do neither the
// mark nor the flush before its rename.
class BufferedFileSource final
{
public:
    static zip_source_t* create(const QString& path, zip_error_t* error)
    {
        auto* state = new BufferedFileSource(path);
        zip_source_t* source = zip_source_function_create(&BufferedFileSource::callback, state, error);
        if (!source)
            delete state;
        return source;
    }

private:
    static constexpr qsizetype BlockSize = qsizetype(1) << 20;

    explicit BufferedFileSource(QString path) : m_path(std::move(path)) { zip_error_init(&m_error); }
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

    // errno is read at once: it holds the reason of the call that failed, for libzip's message.
    zip_int64_t fail(int zipError, int systemError = errno)
    {
        zip_error_set(&m_error, zipError, systemError);
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
                const QFileInfo info(m_path);
                if (!info.isFile())
                    return fail(ZIP_ER_READ, ENOENT); // how libzip learns that the archive is new
                m_size = static_cast<zip_uint64_t>(info.size());
                m_mtime = static_cast<time_t>(info.lastModified().toSecsSinceEpoch());
                m_statKnown = true;
            }
            auto* st = static_cast<zip_stat_t*>(data);
            zip_stat_init(st);
            st->size = m_size;
            st->mtime = m_mtime;
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_OPEN:
            closeRead();
            m_in.setFileName(m_path);
            if (!m_in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
                return fail(ZIP_ER_OPEN);
            m_inSize = static_cast<zip_uint64_t>(m_in.size());
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
            closeRead();
            if (QFileInfo::exists(m_path) && !QFile::remove(m_path))
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
                const qint64 got = m_in.seek(qint64(m_readAt)) ? m_in.read(m_cached.data(), m_cached.size()) : -1;
                if (got < 0) {
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

    void closeRead() { m_in.close(); }

    zip_int64_t beginWrite()
    {
        rollback();
        // The mark of the program's saves in the name lets the next opening of the level remove it after a kill.
        if (!FileSystem::openSaveTemporary(m_out, m_path))
            return fail(ZIP_ER_TMPOPEN);
        // The new archive keeps the old one's permissions; a new one gets the usual ones.
        const QFileInfo old(m_path);
        if (old.exists() && !m_out.setPermissions(old.permissions()))
            m_out.unsetError(); // as before the save, then: not a reason to refuse it
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
        if (m_pendingSize == 0)
            return true;
        errno = 0;
        const auto size = qint64(m_pendingSize);
        if (!m_out.seek(qint64(m_pendingAt)) || m_out.write(m_pending.get(), size) != size) {
            // A write cut short (a full disk) may leave errno unset.
            fail(ZIP_ER_WRITE, errno ? errno : ENOSPC);
            return false;
        }
        // The block starts on its way to the disk now rather than at the flush before the rename.
        FileSystem::startWriteOut(m_out.handle(), qint64(m_pendingAt), size);
        m_pendingAt += m_pendingSize;
        m_pendingSize = 0;
        return true;
    }

    zip_int64_t commit()
    {
        if (!flush())
            return -1;
        // On the disk before the rename, data and size: a power cut soon after a save must find the old
        // archive or the new one under the name, never an empty or partial one.
        if (const std::error_code error = FileSystem::syncFileHandle(m_out.handle())) {
            zip_error_set(&m_error, ZIP_ER_WRITE, error.value());
            rollback();
            return -1;
        }
        // Both closed first: Windows renames neither an open file nor over one.
        m_out.close();
        if (m_out.error() != QFileDevice::NoError) {
            fail(ZIP_ER_WRITE);
            rollback();
            return -1;
        }
        closeRead();
        std::error_code error;
        std::filesystem::rename(QFileInfo(m_out.fileName()).filesystemFilePath(),
                                QFileInfo(m_path).filesystemFilePath(), error);
        if (error) {
            fail(ZIP_ER_RENAME, error.value());
            rollback();
            return -1;
        }
        m_out.setFileName(QString());
        m_statKnown = false;
        // The archive is whole under its name whatever this says; only the rename's durability could be lost.
        FileSystem::syncFolder(QFileInfo(m_path).absolutePath());
        return 0;
    }

    void rollback()
    {
        m_out.close();
        if (!m_out.fileName().isEmpty())
            QFile::remove(m_out.fileName());
        m_out.setFileName(QString());
        m_pendingSize = 0;
    }

    QString m_path;
    zip_error_t m_error;
    bool m_statKnown = false;
    zip_uint64_t m_size = 0;
    time_t m_mtime = 0;
    QFile m_in;
    zip_uint64_t m_inSize = 0;
    zip_uint64_t m_readAt = 0;
    QByteArray m_cached;
    zip_uint64_t m_cachedAt = 0;
    QFile m_out; // named while a new archive is being written
    zip_uint64_t m_writeAt = 0;
    zip_uint64_t m_writeEnd = 0;
    std::unique_ptr<char[]> m_pending; // made once: a fresh block each time costs a page fault per page
    zip_uint64_t m_pendingSize = 0;
    zip_uint64_t m_pendingAt = 0;
};

} // namespace

zip_source* Levels::createArchiveFileSource(const QString& path, zip_error* error)
{
    return BufferedFileSource::create(path, error);
}
