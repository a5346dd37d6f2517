#pragma once

#include <QString>

struct zip_error;
struct zip_source;

namespace Levels {

// The archive file at path as a libzip source that reads and writes through large buffers and replaces
// the file only when a new archive is complete and on the disk. Null, with error set, when it cannot be made.
zip_source* createArchiveFileSource(const QString& path, zip_error* error);

} // namespace Levels
