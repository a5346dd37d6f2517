#pragma once

#include "cli/ValueNames.h"
#include "levels/LevelSettings.h"
#include "levels/ZipArchive.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class LevelWorkflow;
class ModSettings;

namespace CommandLine {

class TerminalPrompter;

// The mod a command works on.
struct Context
{
    TerminalPrompter& prompter;
    QString modName;
    QString modFolder; // without a trailing '/'
    // Every level workflow of the command shares it, so that a password typed for one archive is tried on the next.
    std::shared_ptr<Levels::PasswordMemory> passwords = std::make_shared<Levels::PasswordMemory>();
};

int showMod(Context& context, bool json);
int setValues(Context& context, const QList<Assignment>& assignments);
int editBotNames(Context& context, const QStringList& additions, const QStringList& removals);
int switchIntro(Context& context, bool on);
// levels: indexes into the level table.
int editLevels(Context& context, const QList<int>& levels, const QList<Assignment>& assignments);

// Loads the mod's four files, telling what could not be read.
void loadForCommand(Context& context, ModSettings& mod);

// Reads one level through the workflow (extracting its archive into TEMP). Nothing when the level has no
// archive; failed is set, and the failure told, when it has one that cannot be read.
std::optional<KeyedScript> readLevel(Context& context, LevelWorkflow& workflow, int level, bool& failed);

} // namespace CommandLine
