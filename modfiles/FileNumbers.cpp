#include "modfiles/FileNumbers.h"

#include "core/TextRules.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool allDigits(const QByteArray& text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; });
}

// A digit text without leading zeros, as the controls show numbers.
QString plainDecimal(const QByteArray& digits)
{
    qsizetype first = 0;
    while (first + 1 < digits.size() && digits.at(first) == '0')
        ++first;
    return QString::fromLatin1(digits.mid(first));
}

} // namespace

namespace ModFiles {

QString digitValue(const ScriptText& text, QByteArrayView key, qsizetype start)
{
    const QByteArray digits = TextRules::KeepDigits(TextRules::wholePart(text.valueToken(key, start)));
    return allDigits(digits) ? plainDecimal(digits) : QString();
}

int toInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace ModFiles
