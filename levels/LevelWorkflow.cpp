#include "levels/LevelWorkflow.h"

#include "core/AtomicFile.h"
#include "core/FileSystem.h"
#include "core/Prompter.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString ReadFailure = QStringLiteral("Unable to read level data.");
const QString SaveFailure = QStringLiteral("Unable to save level data.");

// The member the level is read from, and the one entry of that name that a save leaves in the archive.
bool isInitCon(const QString& memberName)
{
    return memberName.compare(QLatin1String("Init.CON"), Qt::CaseInsensitive) == 0;
}

// The same question for every protected member: the user knows the level, not its members.
ZipArchive::PasswordSource passwordSource(Prompter& prompter)
{
    return [&prompter](const QString&) { return prompter.askPassword(QStringLiteral("Please Enter The Password!")); };
}

QString withReason(const QString& message, const QString& reason)
{
    return reason.isEmpty() ? message : message + QStringLiteral("\r\n\r\n") + reason;
}

} // namespace

namespace Levels {

QStringList LevelFolderNames()
{
    QStringList names;
    for (const LevelEntry& level : LevelTable)
        names.append(QString::fromLatin1(level.folderName));
    return names;
}

QStringList levelDisplayNames()
{
    QStringList names;
    for (const LevelEntry& level : LevelTable)
        names.append(QString::fromLatin1(level.displayName));
    return names;
}

LevelPaths levelPathsFor(const QString& modFolder, int levelIndex)
{
    const QString level = FileSystem::resolvePath(
        modFolder, QStringLiteral("Levels/") + QString::fromLatin1(LevelTable.at(levelIndex).folderName));
    return {FileSystem::resolvePath(level, QStringLiteral("server.ZIP")),
            FileSystem::resolvePath(level, QStringLiteral("TEMP"))};
}

QString levelEditWarning()
{
    return QStringLiteral("Opening & changing ANY files will prevent online play with this mod.\r\n"
                          "Do you still want to edit this level?");
}

} // namespace Levels

LevelWorkflow::LevelWorkflow(Prompter& prompter, std::shared_ptr<Levels::PasswordMemory> passwords)
    : m_prompter(prompter), m_archive(passwordSource(prompter), std::move(passwords))
{
}

void LevelWorkflow::cannotRead(const QString& reason)
{
    m_prompter.critical(withReason(ReadFailure, reason));
}

bool LevelWorkflow::OpenLevel(const QString& modFolder, int levelIndex, const BusyPanel& busyPanel)
{
    if (levelIndex < 0 || levelIndex >= Levels::LevelCount)
        return false;
    const Levels::LevelPaths paths = Levels::levelPathsFor(modFolder, levelIndex);
    if (busyPanel)
        busyPanel(true);
    // What a save killed before its rename left: a new archive beside the old one, an Init.CON in TEMP. A TEMP
    // that is a link is refused by the extraction, and nothing is removed through it.
    FileSystem::removeSaveLeftovers(paths.archive);
    if (!QFileInfo(paths.tempFolder).isSymLink())
        FileSystem::removeSaveLeftovers(QDir(paths.tempFolder).filePath(QStringLiteral("Init.CON")));
    const ExtractResult extracted = m_archive.ExtractArchive(paths.archive, paths.tempFolder);

    // Only the Init.CON of this extraction counts: one left in TEMP by an earlier opening may hold values
    // the archive no longer has.
    QString initCon;
    for (const auto& [name, path] : extracted.files) {
        if (isInitCon(name)) {
            initCon = path;
            break;
        }
    }
    KeyedScript settings(Levels::InitConKeys);
    QString reason;
    if (!extracted.ok()) {
        // A missing archive is the plain "cannot read" case: the message needs no reason.
        reason = extracted.failure == ExtractResult::Failure::ArchiveMissing ? QString() : extracted.error;
    } else if (!initCon.isEmpty()) {
        reason = Levels::readLevelFile(initCon, settings);
    } else {
        for (const auto& [name, why] : extracted.skipped) {
            if (isInitCon(name)) {
                reason = name + QStringLiteral(": ") + why;
                break;
            }
        }
    }
    if (busyPanel)
        busyPanel(false);
    if (!extracted.ok() || initCon.isEmpty() || !reason.isEmpty()) {
        cannotRead(reason);
        return false;
    }

    m_paths = paths;
    m_initConPath = initCon;
    m_settings = settings;
    // Every member left out, in one box: the save copies them as they are, except the other copies of
    // Init.CON, which it removes.
    QStringList kept;
    QStringList removed;
    for (const auto& [name, why] : extracted.skipped)
        (isInitCon(name) ? removed : kept).append(name + QStringLiteral(": ") + why);
    QStringList paragraphs;
    if (!kept.isEmpty())
        paragraphs.append(QStringLiteral("These files of the level archive were not unpacked; the archive keeps "
                                         "them unchanged:\r\n") +
                          kept.join(QStringLiteral("\r\n")));
    if (!removed.isEmpty())
        paragraphs.append(QStringLiteral("The archive holds more than one Init.CON. The one unpacked is edited, "
                                         "and saving removes these other copies, so that exactly one Init.CON holds "
                                         "the edit and the game cannot read a stale copy:\r\n") +
                          removed.join(QStringLiteral("\r\n")));
    if (!paragraphs.isEmpty())
        m_prompter.warning(paragraphs.join(QStringLiteral("\r\n\r\n")));
    return true;
}

bool LevelWorkflow::SaveLevel()
{
    if (m_initConPath.isEmpty())
        return false;
    // The held text changes only when the whole save has worked, so that a retry starts from the same place.
    const QByteArray text = m_settings.render();
    QString reason = Levels::writeLevelFile(m_initConPath, text);
    if (!reason.isEmpty()) {
        m_prompter.critical(
            withReason(SaveFailure, QDir::toNativeSeparators(m_initConPath) + QStringLiteral(": ") + reason));
        return false;
    }
    const UpdateResult updated = m_archive.UpdateArchive(m_paths.archive, m_paths.tempFolder, m_initConPath);
    if (!updated.ok()) {
        m_prompter.critical(
            withReason(SaveFailure, QDir::toNativeSeparators(m_paths.archive) + QStringLiteral(": ") + updated.error));
        return false;
    }
    m_settings.commit(text);
    m_prompter.information(QStringLiteral("Level data saved."));
    return true;
}
