#pragma once

#include <QString>

class QLineEdit;

// The bot names file holds one 8-bit line per name. A text box for a name keeps only what the file can
// hold (a pasted text keeps its first line; characters beyond Windows-1252 are left out) and says so in a
// tooltip when it left something out, instead of the save turning them into question marks.
namespace BotNameInput {

QString hint();

// Fits the box with a validator that applies ModSettings::storableName as the user types or pastes.
void install(QLineEdit* box);

} // namespace BotNameInput
