#include "movies/IntroSwitch.h"

#include "core/DiskSync.h"
#include "core/FileSystem.h"
#include "core/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

const QStringList IntroSwitch::IntroMovies{QStringLiteral("Movies/Tolmar.bik"), QStringLiteral("Movies/KV.bik"),
                                           QStringLiteral("Movies/Intro.bik"), QStringLiteral("Movies/Legal.bik"),
                                           QStringLiteral("Movies/Legal_na.bik")};

namespace {

const QString StateMovie = QStringLiteral("Movies/Intro.bik");
const QString OffSuffix = QStringLiteral(".OFF");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString reasonText(const std::error_code& error)
{
    return QString::fromLocal8Bit(error.message());
}

// Moves source to target within one folder, replacing a file of that name. A rename is one step, so the
// movie is under one of its two names at every moment, and it needs no room on the disk. Returns an empty
// text on success, else the reason.
QString renameOver(const QString& source, const QString& target)
{
    namespace fs = std::filesystem;
    const fs::path from = QFileInfo(source).filesystemFilePath();
    const fs::path to = QFileInfo(target).filesystemFilePath();
    std::error_code error;
    std::error_code ignored;
    // Two names of one file, the target's more than a link to it (hard links, or a movie linked to its other
    // name): a rename would do nothing or put the link in the file's place. The target already holds the
    // movie, so only the source name goes.
    if (fs::equivalent(from, to, ignored) && !fs::is_symlink(fs::symlink_status(to, ignored)))
        fs::remove(from, error);
    else
        fs::rename(from, to, error);
    return error ? reasonText(error) : QString();
}

// The movie under the name it is switched from, or an empty text when it is not there. toOff: the movie is
// found under its own name, else under its ".OFF" name.
QString sourceOf(const QString& modFolder, const QString& movie, bool toOff)
{
    const QString source = FileSystem::resolvePath(modFolder, toOff ? movie : movie + OffSuffix);
    return FileSystem::FileExists(source) ? source : QString();
}

// Moves each present movie to its other name. toOff: the movie to its ".OFF" name, else back. A failure
// leaves that movie under its name and does not stop the other movies. The folders are made durable once,
// after all the renames.
IntroSwitch::Result switchMovies(const QString& modFolder, bool toOff)
{
    IntroSwitch::Result result;
    QStringList changedFolders;
    for (const QString& movie : IntroSwitch::IntroMovies) {
        const QString source = sourceOf(modFolder, movie, toOff);
        if (source.isEmpty()) {
            result.movies.append(IntroSwitch::Outcome::Skipped);
            continue;
        }
        // The other name follows the spelling found on disk, so a round trip gives the file its old name; a
        // file that already has the other name in another letter case is the one that is replaced.
        const QFileInfo sourceInfo(source);
        const QString folder = sourceInfo.absolutePath();
        QString targetName = sourceInfo.fileName();
        if (toOff)
            targetName += OffSuffix;
        else
            targetName.chop(OffSuffix.size());
        const QString reason = renameOver(source, FileSystem::resolvePath(folder, targetName));
        result.movies.append(reason.isEmpty() ? IntroSwitch::Outcome::Moved : IntroSwitch::Outcome::Failed);
        if (!reason.isEmpty())
            result.failures.append(native(source) + QStringLiteral(": ") + reason);
        else if (!changedFolders.contains(folder))
            changedFolders.append(folder);
    }
    for (const QString& folder : changedFolders) {
        // Without this a crash after the switch could bring the old names back.
        if (const std::error_code error = FileSystem::syncFolder(folder))
            result.failures.append(native(folder) + QStringLiteral(": the new names may not survive a crash: ") +
                                   reasonText(error));
    }
    return result;
}

} // namespace

bool IntroSwitch::ReadIntroStatus(const QString& modFolder)
{
    m_introOn = FileSystem::FileExists(FileSystem::resolvePath(modFolder, StateMovie));
    return m_introOn;
}

bool IntroSwitch::wouldSwitch(const QString& modFolder, bool on)
{
    for (const QString& movie : IntroMovies)
        if (!sourceOf(modFolder, movie, !on).isEmpty())
            return true;
    return false;
}

IntroSwitch::Result IntroSwitch::RemoveIntro(const QString& modFolder)
{
    return switchMovies(modFolder, true);
}

IntroSwitch::Result IntroSwitch::RestoreIntro(const QString& modFolder)
{
    return switchMovies(modFolder, false);
}

std::optional<IntroSwitch::Result> IntroSwitch::toggle(const QString& modFolder, Prompter& prompter,
                                                       const std::function<void(bool)>& busy)
{
    return switchTo(!m_introOn, modFolder, prompter, busy);
}

std::optional<IntroSwitch::Result> IntroSwitch::switchTo(bool on, const QString& modFolder, Prompter& prompter,
                                                         const std::function<void(bool)>& busy)
{
    const bool removing = !on;
    if (!prompter.question(removing ? QStringLiteral("Remove Intro?") : QStringLiteral("Restore Intro?")))
        return std::nullopt;
    if (busy)
        busy(true);
    const Result result = removing ? RemoveIntro(modFolder) : RestoreIntro(modFolder);
    const QStringList& failures = result.failures;
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
    return result;
}
