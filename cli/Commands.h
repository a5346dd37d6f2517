#pragma once

#include "cli/ValueNames.h"
#include "levels/LevelSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

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
};

int ShowMod(Context& context, bool json);
int SetValues(Context& context, const QList<Assignment>& assignments);
int EditBotNames(Context& context, const QStringList& additions, const QStringList& removals);
int SwitchIntro(Context& context, bool on);
// levels: indexes into the level table.
int EditLevels(Context& context, const QList<int>& levels, const QList<Assignment>& assignments);

// The file that holds a mod value.
ModFile FileOf(ValueKind kind);
// A mod value as the main window shows it; empty when the file does not hold it.
QString ShownValue(const ModSettings& mod, const ValueName& value);

// Loads the mod's four files, telling what could not be read.
void LoadForCommand(Context& context, ModSettings& mod);

// Reads one level through the workflow (extracting its archive into TEMP). Nothing when the level has no
// archive; failed is set, and the failure told, when it has one that cannot be read.
std::optional<LevelSettings> ReadLevel(Context& context, LevelWorkflow& workflow, int level, bool& failed);

} // namespace CommandLine
