#pragma once

#include <QString>

// Folder and file tests and path lookup. Paths use '/' inside the program, which Qt maps to the
// platform's separator; texts shown to the user go through QDir::toNativeSeparators.
namespace FileSystem {

// True exactly when the path names an existing folder; a trailing separator is allowed.
bool FolderExists(const QString& path);

// True when the path exists and is not a folder; false on any error.
bool FileExists(const QString& path);

// base joined with a '/'-separated relative path, each part matched on disk ignoring letter case where the
// exact spelling does not exist (mods unpacked on case-sensitive disks often use other letter case). Parts
// found keep the disk's spelling, also where the disk itself ignores letter case (Windows); parts that are
// not found keep the given spelling, so a file that does not exist yet gets its usual name.
QString resolvePath(const QString& base, const QString& relative);

// The path with a trailing '/' added when it has none (and is not empty).
QString withTrailingSlash(const QString& path);

} // namespace FileSystem
