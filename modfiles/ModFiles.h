#pragma once

#include "modfiles/ModFile.h"

#include <QStringList>

class ModSettings;
class Prompter;

struct LoadReport
{
    // Files that exist but could not be read; their sections are disabled like missing ones.
    QStringList unreadableFiles;
};

struct SaveReport
{
    QStringList savedFiles;
    QStringList failedFiles; // each with the reason after a colon
};

namespace ModFiles {

// Opens modFolder (without a trailing '/') as the model's mod: reads its four files into the model; a missing
// or unreadable file disables its section. Temporary files that a killed save left beside them are removed
// first.
LoadReport LoadMod(ModSettings& mod, const QString& modFolder);

// Writes the selected sections, each file through FileSystem::writeFileAtomically (a failed write leaves the old file
// whole) and goes on with the others. Remembered values change only for files that were written.
SaveReport SaveMod(ModSettings& mod, ModFileSet files);

// Tells the user what the load could not read (once, naming the files).
void reportLoad(const LoadReport& report, Prompter& prompter);
// "Data saved." when every selected file was written; otherwise the files that were not, as an error.
void reportSave(const SaveReport& report, Prompter& prompter);

} // namespace ModFiles
