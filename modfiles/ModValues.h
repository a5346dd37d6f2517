#pragma once

#include "core/KeyedScript.h"
#include "modfiles/ValueDescriptor.h"

#include <QList>

#include <array>

// The four friendly-fire values of ServerSettings.CON, in the order they are read and written.
enum class FriendlyFire
{
    SoldierFF,
    VehicleFF,
    SoldierSplashFF,
    VehicleSplashFF
};

namespace ModFiles {

inline constexpr std::array AllFriendlyFire{FriendlyFire::SoldierFF, FriendlyFire::VehicleFF,
                                            FriendlyFire::SoldierSplashFF, FriendlyFire::VehicleSplashFF};

// The 1-based character positions from which the keys of each script are looked for.
inline constexpr qsizetype FriendlyFireSearchStart = 450;
inline constexpr qsizetype BotSettingsSearchStart = 20;

// Settings/ServerSettings.CON: the editor changes only the four friendly-fire values, in FriendlyFire's order.
inline constexpr std::array<ScriptKey, 4> ServerSettingsKeys{{
    {"sv.soldierfriendlyfire ", FriendlyFireSearchStart, ValueForm::Digits},
    {"sv.vehiclefriendlyfire ", FriendlyFireSearchStart, ValueForm::Digits},
    {"sv.soldiersplashfriendlyfire ", FriendlyFireSearchStart, ValueForm::Digits},
    {"sv.vehiclesplashfriendlyfire ", FriendlyFireSearchStart, ValueForm::Digits},
}};

// AI/AIDefault.AI: the maximum number of bots, and the bots' skill, which the file holds divided by 100.
inline constexpr qsizetype MaxBotsRow = 0;
inline constexpr qsizetype BotSkillRow = 1;
inline constexpr std::array<ScriptKey, 2> AIDefaultKeys{{
    {"aisettings.setmaxnbots ", BotSettingsSearchStart, ValueForm::Digits},
    {"aisettings.setbotskill ", BotSettingsSearchStart, ValueForm::Fraction},
}};

// The main window's controls: the friendly-fire spin bars, the two sliders between the ends of their travel
// and the score spin bar of the value edit window.
inline constexpr ValueRange FriendlyFireRange{0, 100};
inline constexpr ValueRange BotSkillRange{0, 100};
inline constexpr ValueRange MaxBotsRange{1, 256};
inline constexpr ValueRange ScoreRange{-200, 200};

// The mod's values in the order the main window shows them: friendly fire, bot skill, max bots, the scores.
const QList<ValueDescriptor>& modValues();
const ValueDescriptor& friendlyFireValue(FriendlyFire which);
const ValueDescriptor& botSkillValue();
const ValueDescriptor& maxBotsValue();
const ValueDescriptor& scoreValue(int row);

} // namespace ModFiles
