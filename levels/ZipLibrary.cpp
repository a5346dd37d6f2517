#include "levels/ZipLibrary.h"

#include "levels/ArchiveFileSource.h"

namespace {

// Unix file types in the upper half of the external attributes of archives made on Unix.
constexpr zip_uint32_t UnixTypeMask = 0170000;
constexpr zip_uint32_t UnixSymbolicLink = 0120000;

} // namespace

QString Levels::Zip::libraryText(const char* text)
{
    return QString::fromLocal8Bit(text);
}

QString Levels::Zip::errorText(zip_error_t* error)
{
    return libraryText(zip_error_strerror(error));
}

zip_t* Levels::Zip::openArchive(const QString& path, int flags, QString& error)
{
    zip_error_t failure;
    zip_error_init(&failure);
    zip_source_t* source = Levels::createArchiveFileSource(path, &failure);
    zip_t* archive = source ? zip_open_from_source(source, flags, &failure) : nullptr;
    if (!archive) {
        error = errorText(&failure);
        zip_source_free(source);
    }
    zip_error_fini(&failure);
    return archive;
}

QString Levels::Zip::memberName(zip_t* archive, zip_uint64_t index)
{
    const char* name = zip_get_name(archive, index, ZIP_FL_ENC_GUESS);
    return name ? QString::fromUtf8(name) : QString();
}

bool Levels::Zip::isLink(zip_t* archive, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) < 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & UnixTypeMask) == UnixSymbolicLink;
}
