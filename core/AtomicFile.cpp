#include "core/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

namespace {

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

QString writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("not a file");
    // The read-only attribute is honoured even for users the system would let write (root, an admin).
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite)))
        return QStringLiteral("the file is read-only");
    // Unbuffered: with a buffer, a full disk surfaces only in the flush inside commit(), and Qt 6.4's
    // QSaveFile then reports success and leaves an empty file in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // The game's own tools write such a file in place, so the editor does too: atomicity is not possible
        // there, and a refused save would leave the user no way to change the file at all.
        if (info.exists() && !QFileInfo(info.absolutePath()).isWritable())
            return writeInPlace(path, bytes);
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = qt_error_string(errno);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

// A save killed between writing its temporary file and renaming it leaves that file behind. QSaveFile names
// it after the target: the file's name, a dot and six random ASCII letters ("BotNames.AI.cLeMQk"). Only
// names of exactly that shape are taken for ours.
void removeSaveLeftovers(const QString& path)
{
    const QFileInfo info(path);
    const QString prefix = info.fileName() + QLatin1Char('.');
    constexpr qsizetype randomLength = 6;
    const auto isAsciiLetter = [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    };
    QDir folder = info.dir();
    const QStringList names = folder.entryList({prefix + QString(randomLength, QLatin1Char('?'))},
                                               QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names) {
        const QStringView random = QStringView(name).mid(prefix.size());
        if (name.startsWith(prefix) && random.size() == randomLength &&
            std::all_of(random.begin(), random.end(), isAsciiLetter))
            folder.remove(name);
    }
}

} // namespace FileSystem
