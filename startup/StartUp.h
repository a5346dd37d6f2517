#pragma once

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

// Where the game is, as start-up finds it.
struct GameLocation
{
    QString gameFolder;         // ends with '/'; empty when the game was not found
    QString programFilesFolder; // the first program-files folder, which detection stores as "PrPath"
    bool askUser = true;        // the folder dialog is to be shown
};

// Looks for the game in its default place under each program-files folder. Always stores the first folder
// as "PrPath"; stores "GXPath" only when the game is found, and then no dialog is asked for.
GameLocation DetectGameFolder(QSettings& store, const QStringList& programFilesFolders);

// The stored "GXPath", else detection (which stores what it finds): the search of the windows and the
// command line alike.
GameLocation locateGame(QSettings& store, const QStringList& programFilesFolders);

// The names of the sub-folders of the mods folder, without paths, sorted by name ignoring letter case.
QStringList ListMods(const QString& modsPath);

struct Outcome
{
    bool exit = false;  // the user chose to end the program
    QStringList mods;   // the mod folder names, when not exiting
    QString modsFolder; // ending with '/', when not exiting
};

// The game-folder loop: the stored folder, else detection, else the folder dialog, until a folder with a
// mods folder is found or the user chooses to exit. showSelect runs as soon as the chosen game folder
// exists (the mod selection window appears before its mods folder is checked). On success the four save
// flags are true. A stored folder that fails the tests is not used again in this run: after the error the
// folder dialog is offered, and the store keeps its value.
Outcome run(ModSettings& mod, QSettings& store, Prompter& prompter, const QStringList& programFilesFolders,
            const std::function<void()>& showSelect);

// Opens a mod for editing, for the mod selection and the command line alike: modFolder (no trailing '/')
// becomes the model's folder, the score key table is filled, the four files are loaded and, given an intro
// switch, the movie state is read. Then opened runs (the windows show the main window there), and only after it
// are the files that could not be read told, so that the box has the window it concerns beneath it.
void openMod(ModSettings& mod, const QString& modFolder, Prompter& prompter, IntroSwitch* intro = nullptr,
             const std::function<void()>& opened = {});

} // namespace StartUp
