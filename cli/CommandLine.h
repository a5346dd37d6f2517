#pragma once

#include <QStringList>

// The command-line mode of the program: the edits of the windows, made by scripts through the same core.
namespace CommandLine {

inline constexpr int Success = 0;
inline constexpr int Failed = 1;
inline constexpr int UsageError = 2;

// Runs the program's command line (the first argument is the program) under a QCoreApplication and
// returns the exit status: Success, Failed (an operation failed or was refused) or UsageError.
int run(const QStringList& arguments);

} // namespace CommandLine
