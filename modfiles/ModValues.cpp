#include "modfiles/ModValues.h"

#include "modfiles/ScoreKeys.h"

namespace ModFiles {

namespace {

constexpr qsizetype BotSkillIndex = AllFriendlyFire.size();
constexpr qsizetype MaxBotsIndex = BotSkillIndex + 1;
constexpr qsizetype FirstScoreIndex = MaxBotsIndex + 1;

} // namespace

const QList<ValueDescriptor>& modValues()
{
    static const QList<ValueDescriptor> values = [] {
        const char* const names[] = {"soldier-ff", "vehicle-ff", "soldier-splash-ff", "vehicle-splash-ff"};
        const char* const captions[] = {"Soldier Friendly Damage", "Vehicle Friendly Damage", "Soldier Splash Damage",
                                        "Vehicle Splash Damage"};
        QList<ValueDescriptor> list;
        for (FriendlyFire which : AllFriendlyFire) {
            const int i = static_cast<int>(which);
            list.append(
                {QLatin1String(names[i]), QLatin1String(captions[i]), FriendlyFireRange, ModFile::ServerSettings, i});
        }
        list.append(
            {QStringLiteral("bot-skill"), QStringLiteral("Bot Skill"), BotSkillRange, ModFile::AIDefault, BotSkillRow});
        list.append(
            {QStringLiteral("max-bots"), QStringLiteral("Max Bots"), MaxBotsRange, ModFile::AIDefault, MaxBotsRow});
        const QStringList& keys = BuildScoreKeys();
        for (int row = 0; row < keys.size(); ++row)
            list.append({QStringLiteral("score.") + keys.at(row), keys.at(row), ScoreRange, ModFile::Scoring, row});
        return list;
    }();
    return values;
}

const ValueDescriptor& friendlyFireValue(FriendlyFire which)
{
    return modValues().at(static_cast<int>(which));
}

const ValueDescriptor& botSkillValue()
{
    return modValues().at(BotSkillIndex);
}

const ValueDescriptor& maxBotsValue()
{
    return modValues().at(MaxBotsIndex);
}

const ValueDescriptor& scoreValue(int row)
{
    return modValues().at(FirstScoreIndex + row);
}

} // namespace ModFiles
