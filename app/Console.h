#pragma once

// The command-line mode's link to the console it was started from. The Windows program is built for the
// GUI subsystem, so that a click in Explorer opens no console window; such a program starts with no
// console, and the command-line mode would print nowhere. Elsewhere the streams are always there.
namespace Console {

// Makes standard output, error and input reach the console of the process that started the program, when
// it has one and the parent gave no stream of its own (a pipe or a file is kept as it is).
void attachToParent();

} // namespace Console
