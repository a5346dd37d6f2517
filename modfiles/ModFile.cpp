#include "modfiles/ModFile.h"

namespace ModFiles {

QString modFileRelativePath(ModFile file)
{
    switch (file) {
    case ModFile::BotNames:
        return QStringLiteral("AI/BotNames.AI");
    case ModFile::AIDefault:
        return QStringLiteral("AI/AIDefault.AI");
    case ModFile::ServerSettings:
        return QStringLiteral("Settings/ServerSettings.CON");
    case ModFile::Scoring:
        return QStringLiteral("python/game/scoringCommon.py");
    }
    return {};
}

} // namespace ModFiles
