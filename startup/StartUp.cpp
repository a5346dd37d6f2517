#include "startup/StartUp.h"

#include "core/FileSystem.h"
#include "core/Prompter.h"
#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"

#include <QDir>
#include <QSettings>

#include <algorithm>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shlobj.h>
#endif

namespace StartUp {

void prepareProcess()
{
#ifdef Q_OS_LINUX
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
#endif
}

QString folderPrompt()
{
    return QStringLiteral("Locate Gravix 3190 folder\r\nExample: C:\\Program Files\\Kelvane\\Gravix 3190\\");
}

QString exitQuestion()
{
    return QStringLiteral("Do you want to exit?");
}

QString folderError()
{
    return QStringLiteral("An error has occured!");
}

namespace {

#ifdef Q_OS_WIN
QString KnownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    QString result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)))
        result = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return result;
}
#endif

void AppendFolder(QStringList& folders, const QString& folder)
{
    if (folder.isEmpty())
        return;
    const QString withSlash = FileSystem::withTrailingSlash(folder);
    if (!folders.contains(withSlash, Qt::CaseInsensitive))
        folders.append(withSlash);
}

bool LessIgnoringCase(const QString& a, const QString& b)
{
    const int order = a.compare(b, Qt::CaseInsensitive);
    // Names that differ only in letter case (possible on case-sensitive disks) still get a fixed order.
    return order != 0 ? order < 0 : a < b;
}

} // namespace

QStringList programFilesFolders()
{
    QStringList folders;
#ifdef Q_OS_WIN
    // The game is a 32-bit program, so a 64-bit system puts it in the x86 folder; both are looked at.
    AppendFolder(folders, KnownFolder(FOLDERID_ProgramFiles));
    AppendFolder(folders, KnownFolder(FOLDERID_ProgramFilesX86));
#else
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::homePath() + QStringLiteral("/.wine");
    const QString driveC = FileSystem::resolvePath(prefix, QStringLiteral("drive_c"));
    AppendFolder(folders, FileSystem::resolvePath(driveC, QStringLiteral("Program Files")));
    AppendFolder(folders, FileSystem::resolvePath(driveC, QStringLiteral("Program Files (x86)")));
#endif
    return folders;
}

GameLocation DetectGameFolder(QSettings& store, const QStringList& programFilesFolders)
{
    GameLocation location;
    location.programFilesFolder = programFilesFolders.isEmpty() ? QString() : programFilesFolders.first();
    store.setValue(QLatin1String(ProgramFilesKey), location.programFilesFolder);
    for (const QString& folder : programFilesFolders) {
        // Wine and unpacked installs do not keep the installer's letter case.
        const QString game =
            FileSystem::withTrailingSlash(FileSystem::resolvePath(folder, QLatin1String(DefaultInstallFolder)));
        if (FileSystem::FileExists(FileSystem::resolvePath(game, QLatin1String(GameExecutable)))) {
            location.gameFolder = game;
            store.setValue(QLatin1String(GamePathKey), game);
            location.askUser = false;
            break;
        }
    }
    store.sync();
    return location;
}

GameLocation locateGame(QSettings& store, const QStringList& programFilesFolders)
{
    const QString stored = store.value(QLatin1String(GamePathKey)).toString();
    if (stored.isEmpty())
        return DetectGameFolder(store, programFilesFolders);
    GameLocation location;
    location.gameFolder = stored;
    location.askUser = false;
    return location;
}

QStringList ListMods(const QString& modsPath)
{
    QStringList names = QDir(modsPath).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

Outcome run(ModSettings& mod, QSettings& store, Prompter& prompter, const QStringList& programFilesFolders,
            const std::function<void()>& showSelect)
{
    mod.setSaveFlags(ModFileSet::all());

    bool storedFolderFailed = false;
    QString modsFolder;
    for (;;) {
        store.sync();
        GameLocation location = locateGame(store, programFilesFolders);
        if (storedFolderFailed)
            location.askUser = true;

        QString chosen;
        if (location.askUser) {
            chosen = prompter.chooseFolder(folderPrompt());
            if (!chosen.isEmpty())
                chosen = FileSystem::withTrailingSlash(QDir::fromNativeSeparators(chosen));
        } else {
            chosen = location.gameFolder;
        }

        if (chosen.isEmpty()) {
            if (prompter.question(exitQuestion()))
                return {true, {}, {}};
            continue;
        }

        if (FileSystem::FolderExists(chosen)) {
            if (showSelect)
                showSelect();
            modsFolder = FileSystem::withTrailingSlash(FileSystem::resolvePath(chosen, QStringLiteral("mods")));
            if (FileSystem::FolderExists(modsFolder))
                break;
        }
        prompter.critical(folderError());
        // Without this a stored folder that has gone would bring the same error back for ever.
        if (!location.askUser)
            storedFolderFailed = true;
    }

    return {false, ListMods(modsFolder), modsFolder};
}

void openMod(ModSettings& mod, const QString& modFolder, Prompter& prompter, IntroSwitch* intro,
             const std::function<void()>& opened)
{
    const LoadReport report = ModFiles::LoadMod(mod, modFolder);
    if (intro)
        intro->ReadIntroStatus(modFolder);
    if (opened)
        opened();
    ModFiles::reportLoad(report, prompter);
}

} // namespace StartUp
