#include "core/DiskSync.h"

#include <io.h>
#include <windows.h>

namespace FileSystem {

std::error_code syncFileHandle(int handle)
{
    const auto native = reinterpret_cast<HANDLE>(::_get_osfhandle(handle));
    if (native == INVALID_HANDLE_VALUE)
        return std::make_error_code(std::errc::bad_file_descriptor);
    if (!::FlushFileBuffers(native))
        return std::error_code(static_cast<int>(::GetLastError()), std::system_category());
    return {};
}

void startWriteOut(int handle, qint64 offset, qint64 length)
{
    Q_UNUSED(handle);
    Q_UNUSED(offset);
    Q_UNUSED(length);
}

std::error_code syncFolder(const QString& folder)
{
    Q_UNUSED(folder);
    return {};
}

} // namespace FileSystem
