#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// The small text rules shared by every settings file the editor reads: the digit filter, the numeric
// reading, number formatting, line splitting and the bot names' code page. All of them work on the files'
// 8-bit text.
namespace TextRules {

// The digit filter the game's tools have always used. It is not a plain "keep the digits": a character
// that moves into a position already visited is not looked at again, so "a.b" gives "b".
QByteArray KeepDigits(QByteArrayView text);

// A value token written with a fraction ("50.0", "50.", "7.5") stands for its whole part, the number the
// controls can show; any other token is returned as it is. The file keeps such a token until its value
// is changed, when the whole token gives way to the new number.
QByteArrayView wholePart(QByteArrayView token);

// The numeric prefix of a text: leading blanks, tabs and line feeds skipped, an optional sign, digits, an
// optional fraction and exponent, blanks inside ignored, &H and &O for hexadecimal and octal; 0 when no
// digits stand at the start.
double Val(QByteArrayView text);

// Nearest integer, halves to the even neighbour.
double roundHalfEven(double value);

// A number read from a file as a control's integer: NaN gives 0, a number beyond int its nearest end.
int toInt(double value);

// The shortest decimal text of a value, at most 15 significant digits, always with a point as the
// separator, a leading zero before it and no trailing zeros (0.5, 1, 0.05).
QByteArray formatNumber(double value);

// Splits file bytes into lines. A line ends at CR LF, a lone CR or a lone LF; a last line without an end
// is a line too, and an empty input has no lines.
QList<QByteArray> splitLines(QByteArrayView bytes);

// Every line followed by CR LF.
QByteArray joinLines(const QList<QByteArray>& lines);

// Copy with the ASCII letters A to Z lowered; other bytes keep their value, so positions stay the same.
QByteArray asciiLower(QByteArrayView text);

// Bot names are the files' one free text, and the game writes them in the Windows-1252 code page. The five
// bytes that code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) read as the control characters of
// the same number and write back as those bytes, so that a name nobody edits keeps every byte.
QString fromWindows1252(QByteArrayView bytes);
// A character the code page cannot hold is written as '?'; isWindows1252 keeps such characters out.
QByteArray toWindows1252(QStringView text);
bool isWindows1252(QChar c);

} // namespace TextRules
