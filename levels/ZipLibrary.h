#pragma once

#include <QString>

#include <zip.h>

#include <memory>

// The part of libzip that extraction and update share. Only the archive's own sources include this: the
// rest of the program reaches archives through ZipArchive.
namespace Levels::Zip {

// libzip's messages, which come in the local 8-bit encoding.
QString libraryText(const char* text);
QString errorText(zip_error_t* error);

// Opens the archive file with libzip's open flags; null, with error set, when it cannot.
zip_t* openArchive(const QString& path, int flags, QString& error);

// An archive is only ever written by an explicit zip_close, so a handle that goes out of scope discards.
struct ArchiveCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveCloser>;

struct MemberCloser
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using MemberHandle = std::unique_ptr<zip_file_t, MemberCloser>;

// The member's stored name; archives without the UTF-8 flag are guessed at, as libzip does.
QString memberName(zip_t* archive, zip_uint64_t index);

// A member that an archive made on Unix stores as a symbolic link.
bool isLink(zip_t* archive, zip_uint64_t index);

} // namespace Levels::Zip
