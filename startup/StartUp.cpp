#include "startup/StartUp.h"

#include "core/FileSystem.h"
#include "core/Prompter.h"
#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"

#include <QDir>
#include <QDirIterator>
#include <QSettings>

#include <algorithm>

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

bool LessIgnoringCase(const QString& a, const QString& b)
{
    const int order = a.compare(b, Qt::CaseInsensitive);
    // Names that differ only in letter case (possible on case-sensitive disks) still get a fixed order.
    return order != 0 ? order < 0 : a < b;
}

// What the search needs of a folder: its sub-folders in name order, and whether it holds the game's executable
// (in any letter case). Empty when the folder cannot be read.
struct Listing
{
    QStringList folders;
    bool holdsGame = false;
};

Listing List(const QString& folder)
{
    Listing listing;
    QDirIterator it(folder, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().isDir())
            listing.folders.append(it.fileName());
        else if (it.fileName().compare(QLatin1String(GameExecutable), Qt::CaseInsensitive) == 0)
            listing.holdsGame = true;
    }
    std::sort(listing.folders.begin(), listing.folders.end(), LessIgnoringCase);
    return listing;
}

// The game's default place under a program-files folder, as the disk spells it, when the game is there.
QString DefaultInstall(const QString& programFiles, const Listing& listing)
{
    const QString maker = QString::fromLatin1(DefaultInstallFolder).section(QLatin1Char('/'), 0, 0);
    if (!listing.folders.contains(maker, Qt::CaseInsensitive))
        return {};
    // Wine and unpacked installs do not keep the installer's letter case.
    const QString game =
        FileSystem::withTrailingSlash(FileSystem::resolvePath(programFiles, QLatin1String(DefaultInstallFolder)));
    return FileSystem::FileExists(FileSystem::resolvePath(game, QLatin1String(GameExecutable))) ? game : QString();
}

// The folders one and two levels under a program-files folder that hold the game, in name order, each folder
// before those under it; found gets each one until it returns false.
bool FindBelow(const QString& programFiles, const Listing& listing, const std::function<bool(const QString&)>& found)
{
    for (const QString& first : listing.folders) {
        const QString firstPath = programFiles + first + QLatin1Char('/');
        const Listing firstListing = List(firstPath);
        if (firstListing.holdsGame && !found(firstPath))
            return false;
        for (const QString& second : firstListing.folders) {
            const QString secondPath = firstPath + second + QLatin1Char('/');
            if (List(secondPath).holdsGame && !found(secondPath))
                return false;
        }
    }
    return true;
}

} // namespace

QList<GameInstall> findInstalls(const QList<GamePlace>& places, bool firstOnly)
{
    QList<GameInstall> installs;
    // False once the search is to end.
    const auto add = [&](const QString& folder, const QString& manager) {
        if (folder.isEmpty())
            return true;
        if (std::none_of(installs.cbegin(), installs.cend(),
                         [&folder](const GameInstall& install) { return install.gameFolder == folder; }))
            installs.append({folder, manager});
        return !firstOnly;
    };
    for (const GamePlace& place : places) {
        QList<Listing> listings;
        for (const QString& programFiles : place.programFilesFolders) {
            listings.append(List(programFiles));
            if (!add(DefaultInstall(programFiles, listings.last()), place.manager))
                return installs;
        }
        for (qsizetype i = 0; i < listings.size(); ++i) {
            if (!FindBelow(place.programFilesFolders.at(i), listings.at(i),
                           [&](const QString& folder) { return add(folder, place.manager); }))
                return installs;
        }
    }
    return installs;
}

GameLocation DetectGameFolder(QSettings& store, const GamePlaces& places)
{
    GameLocation location;
    const QList<GamePlace> where = places();
    location.programFilesFolder = where.value(0).programFilesFolders.value(0);
    store.setValue(QLatin1String(ProgramFilesKey), location.programFilesFolder);
    const QList<GameInstall> found = findInstalls(where, true);
    if (!found.isEmpty()) {
        location.gameFolder = found.first().gameFolder;
        store.setValue(QLatin1String(GamePathKey), location.gameFolder);
        location.askUser = false;
    }
    store.sync();
    return location;
}

GameLocation locateGame(QSettings& store, const GamePlaces& places)
{
    const QString stored = store.value(QLatin1String(GamePathKey)).toString();
    if (stored.isEmpty())
        return DetectGameFolder(store, places);
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

Outcome run(ModSettings& mod, QSettings& store, Prompter& prompter, const GamePlaces& places,
            const std::function<void()>& showSelect)
{
    mod.setSaveFlags(ModFileSet::all());

    bool storedFolderFailed = false;
    QString modsFolder;
    for (;;) {
        store.sync();
        GameLocation location = locateGame(store, places);
        if (storedFolderFailed)
            location.askUser = true;

        QString chosen;
        if (location.askUser) {
            QStringList shortcuts;
            for (const GameInstall& install : findInstalls(places()))
                shortcuts.append(install.gameFolder);
            chosen = prompter.chooseFolder(folderPrompt(), shortcuts);
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
