#include "levels/LevelWorkflow.h"

#include "shell/FileSystem.h"
#include "shell/Prompter.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString ReadFailure = QStringLiteral("Unable to read level data.");
const QString SaveFailure = QStringLiteral("Unable to save level data.");

QString withReason(const QString& message, const QString& reason)
{
    return reason.isEmpty() ? message : message + QStringLiteral("\r\n\r\n") + reason;
}

} // namespace

QStringList LevelFolderNames()
{
    QStringList names;
    for (const LevelEntry& level : LevelTable)
        names.append(QString::fromLatin1(level.folderName));
    return names;
}

QStringList LevelDisplayNames()
{
    QStringList names;
    for (const LevelEntry& level : LevelTable)
        names.append(QString::fromLatin1(level.displayName));
    return names;
}

LevelPaths LevelPathsFor(const QString& modFolder, int levelIndex)
{
    const QString level =
        ResolvePath(modFolder, QStringLiteral("Levels/") + QString::fromLatin1(LevelTable.at(levelIndex).folderName));
    return {ResolvePath(level, QStringLiteral("server.ZIP")), ResolvePath(level, QStringLiteral("TEMP"))};
}

QString LevelEditWarning()
{
    return QStringLiteral("Opening & changing ANY files will prevent online play with this mod.\r\n"
                          "Do you still want to edit this level?");
}

void LevelWorkflow::cannotRead(const QString& reason)
{
    m_prompter.critical(withReason(ReadFailure, reason));
}

bool LevelWorkflow::OpenLevel(const QString& modFolder, int levelIndex, const BusyPanel& busyPanel)
{
    if (levelIndex < 0 || levelIndex >= LevelCount)
        return false;
    const LevelPaths paths = LevelPathsFor(modFolder, levelIndex);
    if (busyPanel)
        busyPanel(true);
    const ExtractResult extracted = m_archive.ExtractArchive(paths.archive, paths.tempFolder);

    // Only the Init.CON of this extraction counts: one left in TEMP by an earlier opening may hold values
    // the archive no longer has.
    QString initCon;
    for (const auto& [name, path] : extracted.files) {
        if (name.compare(QLatin1String("Init.CON"), Qt::CaseInsensitive) == 0) {
            initCon = path;
            break;
        }
    }
    ScriptText text;
    QString reason;
    if (!extracted.ok())
        reason = extracted.missing ? QString() : extracted.error;
    else if (!initCon.isEmpty())
        reason = ReadLevelFile(initCon, text);
    if (busyPanel)
        busyPanel(false);
    if (!extracted.ok() || initCon.isEmpty() || !reason.isEmpty()) {
        cannotRead(reason);
        return false;
    }

    m_paths = paths;
    m_initConPath = initCon;
    m_levelText = text;
    m_settings = ReadLevelSettings(text);
    m_settings.LevelIndex = levelIndex;
    if (!extracted.skipped.isEmpty())
        m_prompter.warning(QStringLiteral("These files of the level archive were not unpacked, because they could "
                                          "reach outside the level's TEMP folder or repeat a name; the archive "
                                          "keeps them unchanged:\r\n") +
                           extracted.skipped.join(QStringLiteral("\r\n")));
    return true;
}

bool LevelWorkflow::SaveLevel()
{
    if (m_initConPath.isEmpty())
        return false;
    // The held text changes only when the whole save has worked, so that a retry starts from the same place.
    const ScriptText text = WriteLevelSettings(m_levelText, m_settings);
    QString reason = WriteLevelFile(m_initConPath, text);
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
    m_levelText = text;
    for (const LevelValueInfo& info : LevelValues)
        m_settings.oldValue(info.which) = m_settings.value(info.which);
    m_prompter.information(QStringLiteral("Level data saved."));
    return true;
}
