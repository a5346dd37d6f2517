#pragma once

#include "core/KeyedScript.h"
#include "modfiles/ValueDescriptor.h"

#include <QList>
#include <QString>

#include <array>

namespace Levels {

// Keys are searched from this 1-based character position on, when reading and when writing; the game's
// init scripts keep their object templates before it.
inline constexpr qsizetype SearchStart = 2300;

// The values of a level's Init.CON: the rows of InitConKeys, in the order they are written.
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
    ELPM,
    ColdBreath
};

inline constexpr std::array<ScriptKey, 12> InitConKeys{{
    {"gamelogic.maximumlevelviewdistance ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.setdefaultnumberofticketsex 16 1 ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.setdefaultnumberofticketsex 16 2 ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.setdefaultnumberofticketsex 32 1 ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.setdefaultnumberofticketsex 32 2 ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.setdefaultnumberofticketsex 64 1 ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.setdefaultnumberofticketsex 64 2 ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.setdefaultnumberofticketsex 128 1 ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.setdefaultnumberofticketsex 128 2 ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.setticketlosspermin 1 ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.setticketlosspermin 2 ", SearchStart, ValueForm::WholeNumber},
    {"gamelogic.usecoldbreath ", SearchStart, ValueForm::Switch},
}};

// The level window's values in its order: the view distance, cold breath, the tickets, the ticket loss.
const QList<ValueDescriptor>& levelValues();

// Reads Init.CON into settings. Returns an empty text on success, else the reason.
QString readLevelFile(const QString& path, KeyedScript& settings);

// Makes Init.CON writable (read-only, hidden and system cleared) and writes the bytes atomically, as they are.
// Returns an empty text on success, else the reason.
QString writeLevelFile(const QString& path, const QByteArray& bytes);

} // namespace Levels
