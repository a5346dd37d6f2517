#include "movies/IntroSwitch.h"

#include "core/FileSystem.h"
#include "core/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

const QStringList IntroSwitch::IntroMovies{QStringLiteral("Movies/Tolmar.bik"), QStringLiteral("Movies/KV.bik"),
                                           QStringLiteral("Movies/Intro.bik"), QStringLiteral("Movies/Legal.bik"),
                                           QStringLiteral("Movies/Legal_na.bik")};

namespace {

const QString StateMovie = QStringLiteral("Movies/Intro.bik");
const QString OffSuffix = QStringLiteral(".OFF");

// Movies run to hundreds of megabytes; large blocks keep the copy close to the disk's speed.
constexpr qint64 CopyBlockSize = qint64(4) * 1024 * 1024;

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

#ifdef Q_OS_LINUX
// Lets the kernel copy (or share the blocks, where the file system can) without passing the bytes through
// this process. Returns the bytes copied, or -1 with errno set; on a file system or kernel without it,
// nothing has been copied and the caller falls back to reading and writing.
qint64 kernelCopy(int from, int to, bool& unsupported)
{
    qint64 copied = 0;
    for (;;) {
        const ssize_t got = copy_file_range(from, nullptr, to, nullptr, std::size_t(1) << 30, 0);
        if (got > 0) {
            copied += got;
            continue;
        }
        if (got == 0)
            return copied;
        if (errno == EINTR)
            continue;
        unsupported = copied == 0 &&
                      (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF);
        return -1;
    }
}
#endif

// Copies source over target through a temporary file beside the target, so that the target is either the
// old file or the whole copy, never a part. Returns an empty text on success, else the reason.
QString copyOver(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read it: ") + in.errorString();
    // Unbuffered, so that a full disk fails the write itself: Qt 6.4's QSaveFile reports success when only
    // its final flush fails, and the source would then be deleted.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("cannot write %1: %2").arg(native(target), out.errorString());
    qint64 copied = 0;
#ifdef Q_OS_LINUX
    bool unsupported = false;
    const qint64 kernelCopied = kernelCopy(in.handle(), out.handle(), unsupported);
    if (kernelCopied < 0 && !unsupported) {
        const QString reason = qt_error_string(errno);
        out.cancelWriting();
        return QStringLiteral("cannot write %1: %2").arg(native(target), reason);
    }
    copied = kernelCopied < 0 ? 0 : kernelCopied;
    const bool readAndWrite = kernelCopied < 0;
#else
    const bool readAndWrite = true;
#endif
    QByteArray block(readAndWrite ? CopyBlockSize : 0, Qt::Uninitialized);
    while (readAndWrite) {
        const qint64 got = in.read(block.data(), block.size());
        if (got < 0) {
            out.cancelWriting();
            return QStringLiteral("cannot read it: ") + in.errorString();
        }
        if (got == 0)
            break;
        if (out.write(block.constData(), got) != got) {
            const QString reason = qt_error_string(errno);
            out.cancelWriting();
            return QStringLiteral("cannot write %1: %2").arg(native(target), reason);
        }
        copied += got;
    }
    // A rename would have kept the movie's time; the copy keeps it too.
    const QDateTime modified = QFileInfo(source).lastModified();
    if (modified.isValid())
        out.setFileTime(modified, QFileDevice::FileModificationTime);
    if (!out.commit())
        return QStringLiteral("cannot write %1: %2").arg(native(target), out.errorString());
    // The source is deleted next, so the copy is trusted only when all of it is there.
    if (QFileInfo(target).size() != copied)
        return QStringLiteral("the copy %1 came out short").arg(native(target));
    QFile::setPermissions(target, in.permissions());
    return {};
}

QString removeFile(const QString& path)
{
    QFile file(path);
    if (file.remove())
        return {};
    // A read-only movie (unpacked from a CD image) is still the user's to switch.
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    if (file.remove())
        return {};
    return QStringLiteral("copied, but the original cannot be deleted: ") + file.errorString();
}

// Moves each present movie between its two names by copying and then deleting. toOff: the movie to its
// ".OFF" name, else back. A failure keeps the source whole and does not stop the other movies.
QStringList switchMovies(const QString& modFolder, bool toOff)
{
    QStringList failures;
    for (const QString& movie : IntroSwitch::IntroMovies) {
        const QString source = FileSystem::resolvePath(modFolder, toOff ? movie : movie + OffSuffix);
        if (!FileSystem::FileExists(source))
            continue;
        // The other name follows the spelling found on disk, so a round trip gives the file its old name; a
        // file that already has the other name in another letter case is the one that is replaced.
        const QFileInfo sourceInfo(source);
        const QString folder = sourceInfo.absolutePath();
        QString targetName = sourceInfo.fileName();
        if (toOff)
            targetName += OffSuffix;
        else
            targetName.chop(OffSuffix.size());
        const QString target = FileSystem::resolvePath(folder, targetName);

        QString reason = copyOver(source, target);
        if (reason.isEmpty())
            reason = removeFile(source);
        if (!reason.isEmpty())
            failures.append(native(source) + QStringLiteral(": ") + reason);
    }
    return failures;
}

} // namespace

bool IntroSwitch::ReadIntroStatus(const QString& modFolder)
{
    m_introOn = FileSystem::FileExists(FileSystem::resolvePath(modFolder, StateMovie));
    return m_introOn;
}

QStringList IntroSwitch::RemoveIntro(const QString& modFolder)
{
    return switchMovies(modFolder, true);
}

QStringList IntroSwitch::RestoreIntro(const QString& modFolder)
{
    return switchMovies(modFolder, false);
}

bool IntroSwitch::Toggle(const QString& modFolder, Prompter& prompter, const std::function<void(bool)>& busy)
{
    const bool removing = m_introOn;
    if (!prompter.question(removing ? QStringLiteral("Remove Intro?") : QStringLiteral("Restore Intro?")))
        return false;
    if (busy)
        busy(true);
    const QStringList failures = removing ? RemoveIntro(modFolder) : RestoreIntro(modFolder);
    // When every movie moved (or was not there), the answer is the state: read back from Intro.bik, a mod
    // without that movie would stay off for ever. After a failure the files decide, since a movie that could
    // not be moved keeps its state.
    if (failures.isEmpty())
        m_introOn = !removing;
    else
        ReadIntroStatus(modFolder);
    if (busy)
        busy(false);
    if (failures.isEmpty()) {
        prompter.information(removing ? QStringLiteral("Intro removed.") : QStringLiteral("Intro restored."));
    } else {
        prompter.critical((removing ? QStringLiteral("These movies could not be switched off; they are left as "
                                                     "they were:\r\n")
                                    : QStringLiteral("These movies could not be switched on; they are left as "
                                                     "they were:\r\n")) +
                          failures.join(QStringLiteral("\r\n")));
    }
    return true;
}
