#include "modfiles/ModFile.h"

QString ModFileRelativePath(ModFile file)
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
