#include "core/AtomicFile.h"

#include "core/DiskSync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <filesystem>

namespace {

constexpr qsizetype RandomLength = 6;

QString reasonText(const std::error_code& error)
{
    return QString::fromLocal8Bit(error.message());
}

// The file a save writes: a link is followed to the file it names, even one that does not exist yet, so that
// the link stays a link.
QString finalPath(const QString& path)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 128 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.absoluteFilePath();
}

// The temporary file goes whatever failed; the reason is the one of the failing step.
QString discard(QFile& file, const QString& reason)
{
    file.close();
    QFile::remove(file.fileName());
    return reason;
}

// For a folder that refuses new files, where no temporary file can stand beside the target. The file is
// grown to its new length first, so that a full disk is met while every old byte is in place (and the file
// is cut back); only then are the old bytes overwritten, in room the file already holds.
QString writeInPlace(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return file.errorString();
    const qint64 oldSize = file.size();
    const qint64 newSize = bytes.size();
    if (newSize > oldSize) {
        if (!file.seek(oldSize) || file.write(bytes.constData() + oldSize, newSize - oldSize) != newSize - oldSize) {
            const QString reason = file.errorString();
            file.resize(oldSize);
            return reason;
        }
    }
    const qint64 overwritten = std::min(oldSize, newSize);
    if (!file.seek(0) || file.write(bytes.constData(), overwritten) != overwritten || !file.resize(newSize))
        return file.errorString() + QStringLiteral(" (written in place, so the file may now be incomplete)");
    return {};
}

} // namespace

namespace FileSystem {

QString saveTemporaryTemplate(const QString& path)
{
    return path + SaveTemporaryMark + QString(RandomLength, QLatin1Char('X'));
}

bool openSaveTemporary(QFile& file, const QString& target)
{
    const QString base = saveTemporaryTemplate(target).chopped(RandomLength);
    constexpr auto newFileBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                 QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = base;
        for (qsizetype i = 0; i < RandomLength; ++i) {
            const int letter = QRandomGenerator::global()->bounded(52);
            name += QLatin1Char(static_cast<char>(letter < 26 ? 'A' + letter : 'a' + letter - 26));
        }
        file.setFileName(name);
        // Unbuffered, so that a full disk is met by the write itself and reported with the system's reason.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered, newFileBits))
            return true;
        if (!QFileInfo::exists(name))
            return false;
    }
    return false;
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("not a file");
    // The read-only attribute is honoured even for users the system would let write (root, an admin).
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite)))
        return QStringLiteral("the file is read-only");
    const QString target = finalPath(path);
    QFile file;
    if (!openSaveTemporary(file, target)) {
        // The game's own tools write such a file in place, so the editor does too: atomicity is not possible
        // there, and a refused save would leave the user no way to change the file at all.
        if (info.exists() && !QFileInfo(QFileInfo(target).absolutePath()).isWritable())
            return writeInPlace(path, bytes);
        return file.errorString();
    }
    if (info.exists() && !file.setPermissions(info.permissions()))
        return discard(file, file.errorString());
    if (file.write(bytes) != bytes.size())
        return discard(file, file.errorString());
    // The data must be on the disk before the rename: a power cut after it would otherwise find the new name
    // on an empty or partial file.
    if (const std::error_code error = syncFileHandle(file.handle()))
        return discard(file, reasonText(error));
    // Closed first: Windows cannot rename an open file.
    file.close();
    std::error_code error;
    std::filesystem::rename(QFileInfo(file.fileName()).filesystemFilePath(), QFileInfo(target).filesystemFilePath(),
                            error);
    if (error)
        return discard(file, reasonText(error));
    // The new bytes are whole under the name whatever this says; only the rename's durability could be lost,
    // and a later save writes the file again.
    syncFolder(QFileInfo(target).absolutePath());
    return {};
}

// A save killed between writing its temporary file and renaming it leaves that file behind. Only names with
// the mark and six ASCII letters or digits are taken for ours: the archive's temporary files get digits too.
void removeSaveLeftovers(const QString& path)
{
    const QFileInfo info(path);
    const QString prefix = info.fileName() + SaveTemporaryMark;
    const auto isRandom = [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
               (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    };
    QDir folder = info.dir();
    // Name filters ignore letter case unless told otherwise.
    const QStringList names = folder.entryList({prefix + QString(RandomLength, QLatin1Char('?'))},
                                               QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names) {
        const QStringView random = QStringView(name).mid(prefix.size());
        if (name.startsWith(prefix, Qt::CaseInsensitive) && random.size() == RandomLength &&
            std::all_of(random.begin(), random.end(), isRandom))
            folder.remove(name);
    }
}

} // namespace FileSystem
