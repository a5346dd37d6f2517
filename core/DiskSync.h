#pragma once

#include <QString>

#include <system_error>

// Bringing what a save wrote to the disk itself, so that a power cut soon after the rename that replaces a
// file finds the new bytes under its name rather than an empty or partial file. One file per platform.
namespace FileSystem {

// Writes the data of the open file, and its size, to the disk. handle is a C runtime file handle (open(2),
// QFile::handle()). Returns no error on success.
std::error_code syncFileHandle(int handle);

// Starts writing that part of the open file to the disk without waiting for it, where the system can (Linux);
// nothing elsewhere. No guarantee changes: the data only reaches the disk sooner, so that the flush before a
// rename has less left to wait for.
void startWriteOut(int handle, qint64 offset, qint64 length);

// Writes the folder's entries, the rename of a save among them, to the disk. Nothing on Windows, whose file
// system journals a rename itself. Returns no error on success.
std::error_code syncFolder(const QString& folder);

} // namespace FileSystem
