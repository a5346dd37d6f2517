#pragma once

#include "core/KeyedScript.h"
#include "levels/LevelSettings.h"
#include "levels/ZipArchive.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Prompter;

namespace Levels {

// How many stock levels there are: the only levels the editor opens.
inline constexpr int LevelCount = 13;

// The stock levels in the order of the main window's level list: the name shown and the folder name.
struct LevelEntry
{
    const char* displayName;
    const char* folderName;
};
inline constexpr std::array<LevelEntry, LevelCount> LevelTable{{
    {"Varnholm", "Varnholm"},
    {"Camp Ostrel", "Camp_Ostrel"},
    {"Quarrin Landing", "Quarrin_Landing"},
    {"Fall of Dremsk", "Fall_of_Dremsk"},
    {"Tovary", "Tovary"},
    {"Sarun Keth", "Sarun_Keth"},
    {"Ulvo Power Plant", "Ulvo_Power_Plant"},
    {"Pellam Canal", "Pellam_Canal"},
    {"Merrow Harbour", "Merrow_Harbor"},
    {"Castrelle", "Castrelle"},
    {"Highway Brennic", "Highway_Brennic"},
    {"Operation Tessik", "Operation_Tessik"},
    {"Orvane Island 3190", "Orvane_Island_3190"},
}};

// The two columns of LevelTable, in its order.
QStringList LevelFolderNames();
QStringList levelDisplayNames();

// Where one level's files are, each part found on disk whatever its letter case.
struct LevelPaths
{
    QString archive;    // .../Levels/<folder>/server.ZIP
    QString tempFolder; // .../Levels/<folder>/TEMP, without a trailing separator
};
LevelPaths levelPathsFor(const QString& modFolder, int levelIndex);

// The question asked before a level is opened; only Yes goes on.
QString levelEditWarning();

} // namespace Levels

// Opening and saving one level: the archive, its Init.CON and the messages. The window shows the settings
// and changes them through settings(); it lives for the whole run and so does this.
class LevelWorkflow final
{
public:
    // Shows (true) or hides (false) the busy panel.
    using BusyPanel = std::function<void(bool shown)>;

    // Asks through prompter for everything the user decides, archive passwords included. The password memory
    // is shared with the run's other workflows (the command line has one per level); without one, the workflow
    // has its own.
    explicit LevelWorkflow(Prompter& prompter, std::shared_ptr<Levels::PasswordMemory> passwords =
                                                   std::make_shared<Levels::PasswordMemory>());

    // Extracts the level's archive into its TEMP folder and reads Init.CON from what was extracted. On
    // failure tells the user ("Unable to read level data.") and returns false; the busy panel is hidden
    // again in every case.
    bool OpenLevel(const QString& modFolder, int levelIndex, const BusyPanel& busyPanel);

    // Writes the settings into Init.CON and puts it into the archive. "Level data saved." on success;
    // "Unable to save level data." with the reason when either step fails.
    bool SaveLevel();

    // The opened level's values; the window and the command line change them through its setters.
    KeyedScript& settings() { return m_settings; }
    const Levels::LevelPaths& paths() const { return m_paths; }
    QString initConPath() const { return m_initConPath; }
    ZipArchive& archive() { return m_archive; }

private:
    void cannotRead(const QString& reason);

    Prompter& m_prompter;
    ZipArchive m_archive;
    Levels::LevelPaths m_paths;
    QString m_initConPath;
    KeyedScript m_settings{Levels::InitConKeys};
};
