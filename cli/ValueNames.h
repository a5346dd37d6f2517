#pragma once

#include "modfiles/ModSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace CommandLine {

enum class ValueKind
{
    FriendlyFire,
    BotSkill,
    MaxBots,
    Score,
    LevelNumber,
    ColdBreath
};

// One value as scripts name it: the same name in set, level, show and show --json.
struct ValueName
{
    QString name;
    ValueKind kind;
    int index = 0; // the FriendlyFire, the score row or the LevelValue
    ValueRange range{0, 0};
    QString caption; // what the windows call it
};

// The mod's values in the order the main window shows them: friendly fire, bot skill, max bots, scores.
const QList<ValueName>& modValueNames();
// A level's values in the order of the level window.
const QList<ValueName>& levelValueNames();

// The two values that have commands of their own rather than name=value.
inline const QString BotNamesName = QStringLiteral("bot-names");
inline const QString IntroName = QStringLiteral("intro");

// One name=value argument, checked for its form only: the file decides whether it is taken.
struct Assignment
{
    ValueName value;
    QString argument;
    qint64 number = 0; // numbers too long for it are kept as the nearest end, outside every range
    bool on = false;
};

// Reads name=value arguments against the names. A malformed argument, an unknown name or a name given twice
// gives nothing, with the reason in error.
std::optional<QList<Assignment>> parseAssignments(const QStringList& arguments, const QList<ValueName>& names,
                                                  QString& error);

// on and true, off and false.
std::optional<bool> parseSwitch(const QString& text);

// The number a value text of a file stands for, when it is a plain number.
std::optional<qint64> fileNumber(const QString& text);

// Takes a number within the range, or the one the file already holds (a value the windows would show and
// keep). Returns the refusal, or an empty text.
QString checkNumber(const Assignment& assignment, const QString& fileValue);

// The names listed for --help, each with what it is.
QStringList describeNames(const QList<ValueName>& names);

} // namespace CommandLine
