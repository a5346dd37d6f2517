#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class IntroSwitch;
class ModSettings;
class Prompter;
class QSettings;

// Finding the game folder at the start of a run and listing its mods. The store is the per-user settings
// of application "GX3190_SP"; the program passes the real one, tests a file of their own.
namespace StartUp {

// Process settings the program starts with, before anything else runs. On Linux: the time zone named once
// (libzip converts every archive member's time with mktime, and with TZ unset glibc looks at
// /etc/localtime again each time: thousands of times for a large level archive).
void prepareProcess();

// The store's keys (section "Paths").
inline constexpr const char* GamePathKey = "Paths/GXPath";
inline constexpr const char* ProgramFilesKey = "Paths/PrPath";

// The game's default place under a program-files folder, and the file that shows the game is there.
inline constexpr const char* DefaultInstallFolder = "Kelvane/Gravix 3190/";
inline constexpr const char* GameExecutable = "gx3190.exe";

// The prompt of the folder dialog and the two boxes of the loop.
QString folderPrompt();
QString exitQuestion();
QString folderError();

// The program-files folders where the game may be installed, each ending with '/', the platform's own
// first: on Windows the system's folders, elsewhere those of the Wine prefix ($WINEPREFIX, else ~/.wine).
QStringList programFilesFolders();

// A place the game may be installed in: a Wine prefix (on Windows, the system itself) with its program-files
// folders, each ending with '/', and the prefix manager or launcher that keeps it.
struct GamePlace
{
    QString manager; // "Wine", "Lutris", "Bottles", "PlayOnLinux", "Steam", "CrossOver", "Heroic"; "Windows"
    QStringList programFilesFolders;
};

// The places to look in, in order. On Windows the system's program-files folders; elsewhere $WINEPREFIX and
// ~/.wine, then the prefixes of Lutris (its game configurations, then ~/Games), Bottles, PlayOnLinux, Steam's
// compatibility prefixes, CrossOver and Heroic. The first place is always there, as programFilesFolders()
// gives it; the others are folders that may be prefixes (the search passes over those that are not).
// Unreadable folders and configuration files that make no sense are skipped.
QList<GamePlace> gamePlaces();
// Where the places come from, asked only when the search runs (a start with a stored folder looks at none).
using GamePlaces = std::function<QList<GamePlace>()>;

// One folder that holds the game, ending with '/', and the place's manager.
struct GameInstall
{
    QString gameFolder;
    QString manager;
};

// The game's installs in places, in their order: in each place the default place under each program-files
// folder, then any folder at most two levels under them that holds the game's executable (letter case
// ignored). With firstOnly the search ends at the first. Reads folder listings only.
QList<GameInstall> findInstalls(const QList<GamePlace>& places, bool firstOnly = false);

// Where the game is, as start-up finds it.
struct GameLocation
{
    QString gameFolder;         // ends with '/'; empty when the game was not found
    QString programFilesFolder; // the first program-files folder, which detection stores as "PrPath"
    bool askUser = true;        // the folder dialog is to be shown
};

// Looks for the game in places, up to its first install. Always stores the first place's first program-files
// folder as "PrPath"; stores "GXPath" only when the game is found, and then no dialog is asked for.
GameLocation DetectGameFolder(QSettings& store, const GamePlaces& places);

// The stored "GXPath", else detection (which stores what it finds): the search of the windows and the
// command line alike.
GameLocation locateGame(QSettings& store, const GamePlaces& places);

// The names of the sub-folders of the mods folder, without paths, sorted by name ignoring letter case.
QStringList ListMods(const QString& modsPath);

struct Outcome
{
    bool exit = false;  // the user chose to end the program
    QStringList mods;   // the mod folder names, when not exiting
    QString modsFolder; // ending with '/', when not exiting
};

// The game-folder loop: the stored folder, else detection, else the folder dialog (which offers every install
// found in places), until a folder with a mods folder is found or the user chooses to exit. showSelect runs as soon as
// the chosen game folder exists (the mod selection window appears before its mods folder is checked). On success the
// four save flags are true. A stored folder that fails the tests is not used again in this run: after the error the
// folder dialog is offered, and the store keeps its value.
Outcome run(ModSettings& mod, QSettings& store, Prompter& prompter, const GamePlaces& places,
            const std::function<void()>& showSelect);

// Opens a mod for editing, for the mod selection and the command line alike: modFolder (no trailing '/')
// becomes the model's folder, the score key table is filled, the four files are loaded and, given an intro
// switch, the movie state is read. Then opened runs (the windows show the main window there), and only after it
// are the files that could not be read told, so that the box has the window it concerns beneath it.
void openMod(ModSettings& mod, const QString& modFolder, Prompter& prompter, IntroSwitch* intro = nullptr,
             const std::function<void()>& opened = {});

} // namespace StartUp
