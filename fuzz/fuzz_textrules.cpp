// KeepDigits, the Val rule, number formatting and the bot names' code page on arbitrary bytes.
#include "core/TextRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const QByteArray kept = TextRules::KeepDigits(input);
    if (kept.size() > input.size())
        std::abort();
    // The filter only removes characters: the result is a subsequence of the input.
    qsizetype at = 0;
    for (char c : kept) {
        while (at < input.size() && input[at] != c)
            ++at;
        if (at == input.size())
            std::abort();
        ++at;
    }
    // Applying the filter to a text of digits keeps it whole.
    const QByteArray digitsOnly =
        QByteArray(input.data(), input.size()).removeIf([](char c) { return c < '0' || c > '9'; });
    if (TextRules::KeepDigits(digitsOnly) != digitsOnly)
        std::abort();

    const double value = TextRules::Val(input);
    if (std::isfinite(value)) {
        // Writing a number and reading it back gives the number again (15 significant digits).
        const double back = TextRules::Val(TextRules::formatNumber(value));
        if (std::fabs(back - value) > std::fabs(value) * 1e-14 + 1e-300 && !(std::fabs(value) < 1e-15))
            std::abort();
    }
    // Every byte reads as a character that writes back as that byte, so a name nobody edits keeps its bytes.
    const QString name = TextRules::fromWindows1252(input);
    if (TextRules::toWindows1252(name) != input || !std::all_of(name.cbegin(), name.cend(), TextRules::isWindows1252))
        std::abort();

    const QList<QByteArray> lines = TextRules::splitLines(input);
    if (TextRules::splitLines(TextRules::joinLines(lines)) != lines)
        std::abort();
    return 0;
}
