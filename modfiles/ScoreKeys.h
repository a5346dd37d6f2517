#pragma once

#include <QStringList>

// The 68 score constants of the scoring script, in the order the game writes them.
inline constexpr int ScoreKeyCount = 68;

QStringList BuildScoreKeys();
