#pragma once

#include <QStringList>

namespace ModFiles {

// The 68 score constants of the scoring script, in the order the game writes them.
inline constexpr int ScoreKeyCount = 68;

// The 68 names in that order; the table is built once, at its first use.
const QStringList& BuildScoreKeys();

} // namespace ModFiles
