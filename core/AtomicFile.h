#pragma once

#include <QByteArray>
#include <QString>

// Saving a file of the game so that a failed or interrupted save leaves the old file whole: the mod files,
// a level's Init.CON and everything else the editor writes goes through here.
namespace FileSystem {

// Writes bytes to a file atomically: a temporary file in the same folder renamed over the target. A
// read-only target is refused. In a folder that refuses new files, an existing writable file is written in
// place instead (a full disk still leaves it whole). Returns an empty text on success, else the reason.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

// Removes the temporary files that a save killed before its rename left beside the file at path, and only
// names of the shape such a save gives them.
void removeSaveLeftovers(const QString& path);

} // namespace FileSystem
