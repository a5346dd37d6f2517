#pragma once

#include "core/ScriptText.h"

#include <QString>

#include <array>

namespace Levels {

// Keys are searched from this 1-based character position on, when reading and when writing; the game's
// init scripts keep their object templates before it.
inline constexpr qsizetype SearchStart = 2300;

// The eleven numeric values of a level's Init.CON, in the order they are read and written.
enum class LevelValue
{
    MaxViewDistance,
    PT16,
    ET16,
    PT32,
    ET32,
    PT64,
    ET64,
    PT128,
    ET128,
    PLPM,
    ELPM
};

// One numeric value: its key in Init.CON, its controls and the range its scroll bar allows.
struct LevelValueInfo
{
    LevelValue which;
    const char* key;  // lower case, ending in one blank
    const char* name; // the controls are "Label" + name and "VScroll" + name
    int minimum;
    int maximum;
    int designValue;
};

inline constexpr std::array<LevelValueInfo, 11> LevelValues{{
    {LevelValue::MaxViewDistance, "gamelogic.maximumlevelviewdistance ", "MaxView", 1, 999, 1},
    {LevelValue::PT16, "gamelogic.setdefaultnumberofticketsex 16 1 ", "PT16", 1, 999, 110},
    {LevelValue::ET16, "gamelogic.setdefaultnumberofticketsex 16 2 ", "ET16", 1, 999, 100},
    {LevelValue::PT32, "gamelogic.setdefaultnumberofticketsex 32 1 ", "PT32", 1, 999, 220},
    {LevelValue::ET32, "gamelogic.setdefaultnumberofticketsex 32 2 ", "ET32", 1, 999, 200},
    {LevelValue::PT64, "gamelogic.setdefaultnumberofticketsex 64 1 ", "PT64", 1, 999, 330},
    {LevelValue::ET64, "gamelogic.setdefaultnumberofticketsex 64 2 ", "ET64", 1, 999, 300},
    {LevelValue::PT128, "gamelogic.setdefaultnumberofticketsex 128 1 ", "PT128", 1, 999, 440},
    {LevelValue::ET128, "gamelogic.setdefaultnumberofticketsex 128 2 ", "ET128", 1, 999, 400},
    {LevelValue::PLPM, "gamelogic.setticketlosspermin 1 ", "PLPM", 0, 999, 6},
    {LevelValue::ELPM, "gamelogic.setticketlosspermin 2 ", "ELPM", 0, 999, 12},
}};

// Cold breath is a switch, not a number, so it has no row among LevelValues.
inline constexpr char ColdBreathKey[] = "gamelogic.usecoldbreath ";

} // namespace Levels

// One level's settings. Values are the decimal texts the file holds; an empty text means the key was not
// found at or after SearchStart, or its value is not a plain number: its control is disabled and the
// save leaves that part of the text alone.
struct LevelSettings
{
    int LevelIndex = -1;
    QString MaxViewDistance;
    bool ColdBreathPresent = false;
    bool ColdBreathOn = false;
    std::array<QString, 8> Tickets; // 16, 32, 64, 128 players; team 1 then team 2 for each
    std::array<QString, 2> TicketLoss;
    // The values as read; a value equal to its old one is not written, so the file keeps its own spelling.
    QString OldMaxViewDistance;
    std::array<QString, 8> OldTickets;
    std::array<QString, 2> OldTicketLoss;

    // The field that holds one of LevelValues, as read or as changed, and as it stands in the text.
    QString& value(Levels::LevelValue which);
    const QString& value(Levels::LevelValue which) const;
    QString& oldValue(Levels::LevelValue which);
    const QString& oldValue(Levels::LevelValue which) const;
};

namespace Levels {

// The value a scroll bar can hold for a value text: the number, or the nearest end of the range.
int spinPosition(const QString& value, const LevelValueInfo& info);

// The settings found in the held text, each old value equal to its value.
LevelSettings readLevelSettings(const ScriptText& text);

// The text with every changed value written in: each whole value token after its key is replaced, at
// every place where the key stands with the old value. Cold breath, when present, is written as 1 or 0.
ScriptText writeLevelSettings(const ScriptText& text, const LevelSettings& settings);

// Reads Init.CON into its held form. Returns an empty text on success, else the reason.
QString readLevelFile(const QString& path, ScriptText& text);

// Makes Init.CON writable (read-only, hidden and system cleared) and writes the held text atomically, as
// it is. Returns an empty text on success, else the reason.
QString writeLevelFile(const QString& path, const ScriptText& text);

} // namespace Levels
