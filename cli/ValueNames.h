#pragma once

#include "modfiles/ValueDescriptor.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace CommandLine {

// The two values that have commands of their own rather than name=value.
inline const QString BotNamesName = QStringLiteral("bot-names");
inline const QString IntroName = QStringLiteral("intro");

// One name=value argument, checked for its form only: the file decides whether it is taken.
struct Assignment
{
    ValueDescriptor value;
    QString argument;
    // Numbers too long for it are kept as the nearest end, outside every range; a switch is 1 or 0.
    qint64 number = 0;
};

// Reads name=value arguments against the values' names. A malformed argument, an unknown name or a name given
// twice gives nothing, with the reason in error.
std::optional<QList<Assignment>> parseAssignments(const QStringList& arguments, const QList<ValueDescriptor>& values,
                                                  QString& error);

// on and true, off and false.
std::optional<bool> parseSwitch(const QString& text);

// Takes a number within the range, or the one the file already holds (a value the windows would show and
// keep). Returns the refusal, or an empty text.
QString checkNumber(const Assignment& assignment, qint64 fileValue);

// The names listed for --help, each with what it is.
QStringList describeNames(const QList<ValueDescriptor>& values);

} // namespace CommandLine
