#pragma once

#include "core/ScriptText.h"

#include <QByteArrayView>
#include <QString>

// How the numbers of the mod files become the texts and integers the controls show.
namespace ModFiles {

// The value of a key that the load can show: the digits of the whole token after the key's first
// occurrence from the 1-based position start (of its whole part when it has a fraction), without leading
// zeros; empty when the key is missing or its token is not a plain number.
QString digitValue(const ScriptText& text, QByteArrayView key, qsizetype start);

// A number read from a file as a control's integer: NaN gives 0, a number beyond int its nearest end.
int toInt(double value);

} // namespace ModFiles
