#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>

class QFile;

// Saving a file of the game so that a failed or interrupted save leaves the old file whole: the mod files,
// a level's Init.CON and everything else the editor writes goes through here.
namespace FileSystem {

// The mark in the name of every temporary file that a save writes beside its target: the target's name, the
// mark and six random letters or digits ("BotNames.AI.gx3190-save-cLeM4k"). No user names a file so, which
// is what lets a load remove such files without a question.
inline constexpr QLatin1String SaveTemporaryMark(".gx3190-save-");

// The name pattern of a save's temporary file for path: the path, the mark and "XXXXXX" for the random part.
QString saveTemporaryTemplate(const QString& path);

// Opens a new file of that shape beside target for writing, unbuffered, so that a full disk is met by the write
// itself. It gets the bits the system gives new files (umask); the caller sets an existing target's bits on it.
bool openSaveTemporary(QFile& file, const QString& target);

// Writes bytes to a file atomically: a temporary file in the same folder, flushed to the disk and renamed over
// the target, the folder synced after. A link stays a link and the file it leads to gets the bytes; the file
// keeps its permission bits. A read-only target is refused. In a folder that refuses new files, an existing
// writable file is written in place instead (a full disk still leaves it whole). Returns an empty text on success, else
// the reason.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

// Removes the temporary files that a save killed before its rename left beside the file at path: only names
// with the mark of this program's saves, the file's name spelt in any letter case.
void removeSaveLeftovers(const QString& path);

} // namespace FileSystem
