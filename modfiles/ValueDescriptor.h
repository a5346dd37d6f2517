#pragma once

#include "core/KeyedScript.h"
#include "modfiles/ModFile.h"

#include <QString>

#include <optional>

// One editable value as every face of the program knows it. The windows bind their controls to it and the
// command line its names, so that a caption, a range or a name is written once.
struct ValueDescriptor
{
    QString name;                // on the command line and in show --json
    QString caption;             // beside its control in the windows, without the colon
    ValueRange range;            // what its control allows; a change must lie within it
    std::optional<ModFile> file; // the mod file that holds it; none for a level's Init.CON
    qsizetype row = 0;           // its row in its script's key table, or its score row
    bool isSwitch = false;       // on or off rather than a number
};
