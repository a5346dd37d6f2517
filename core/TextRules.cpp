#include "core/TextRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

void removeAll(QByteArray& text, char c)
{
    text.removeIf([c](char x) { return x == c; });
}

bool isDigitByte(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), isDigitByte);
}

// The characters of bytes 0x80 to 0x9F; the unassigned ones keep their own number.
constexpr char16_t Windows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                          0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte that holds c, or -1.
int windows1252Byte(QChar c)
{
    const char16_t code = c.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return code;
    const auto* found = std::find(std::begin(Windows1252High), std::end(Windows1252High), code);
    return found == std::end(Windows1252High) ? -1 : 0x80 + static_cast<int>(found - std::begin(Windows1252High));
}

} // namespace

namespace TextRules {

QByteArrayView wholePart(QByteArrayView token)
{
    const qsizetype point = token.indexOf('.');
    if (point <= 0 || !allDigits(token.first(point)) || !allDigits(token.sliced(point + 1)))
        return token;
    return token.first(point);
}

QByteArray KeepDigits(QByteArrayView input)
{
    QByteArray text = input.toByteArray();
    const qsizetype n = text.size();
    for (qsizetype p = 0; p < n; ++p) {
        if (p < text.size()) {
            const auto code = static_cast<unsigned char>(text.at(p));
            if (code >= 58 || code < 48)
                removeAll(text, text.at(p));
        }
        if (p < text.size() && static_cast<unsigned char>(text.at(p)) < 48)
            removeAll(text, text.at(p));
    }
    return text;
}

double Val(QByteArrayView text)
{
    // Blanks, tabs and line feeds are ignored anywhere inside the number, so drop them first.
    QByteArray s;
    s.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            s.append(c);
    }
    if (s.size() >= 2 && s.at(0) == '&') {
        const char radixChar = static_cast<char>(s.at(1) | 0x20);
        const int radix = radixChar == 'h' ? 16 : radixChar == 'o' ? 8 : 0;
        if (radix != 0) {
            quint64 value = 0;
            qsizetype i = 2;
            for (; i < s.size() && i < 2 + 16; ++i) {
                const char c = static_cast<char>(s.at(i) | 0x20);
                int digit = -1;
                if (c >= '0' && c <= '9')
                    digit = c - '0';
                else if (radix == 16 && c >= 'a' && c <= 'f')
                    digit = c - 'a' + 10;
                if (digit < 0 || digit >= radix)
                    break;
                value = value * static_cast<quint64>(radix) + static_cast<quint64>(digit);
            }
            // Hexadecimal and octal literals are two's complement in 16 or 32 bits.
            if (value <= 0xFFFF)
                return value >= 0x8000 ? static_cast<double>(value) - 65536.0 : static_cast<double>(value);
            if (value <= 0xFFFFFFFFu)
                return value >= 0x80000000u ? static_cast<double>(value) - 4294967296.0 : static_cast<double>(value);
            return static_cast<double>(value);
        }
    }
    QByteArray number;
    qsizetype i = 0;
    if (i < s.size() && (s.at(i) == '+' || s.at(i) == '-'))
        number.append(s.at(i++));
    bool digits = false;
    while (i < s.size() && isDigitByte(s.at(i))) {
        number.append(s.at(i++));
        digits = true;
    }
    if (i < s.size() && s.at(i) == '.') {
        number.append(s.at(i++));
        while (i < s.size() && isDigitByte(s.at(i))) {
            number.append(s.at(i++));
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < s.size() && (s.at(i) == 'e' || s.at(i) == 'E' || s.at(i) == 'd' || s.at(i) == 'D')) {
        qsizetype j = i + 1;
        QByteArray exponent = "e";
        if (j < s.size() && (s.at(j) == '+' || s.at(j) == '-'))
            exponent.append(s.at(j++));
        bool expDigits = false;
        while (j < s.size() && isDigitByte(s.at(j)) && exponent.size() < 8) {
            exponent.append(s.at(j++));
            expDigits = true;
        }
        if (expDigits)
            number.append(exponent);
    }
    return std::strtod(number.constData(), nullptr);
}

double roundHalfEven(double value)
{
    const double down = std::floor(value);
    const double diff = value - down;
    if (diff < 0.5)
        return down;
    if (diff > 0.5)
        return down + 1.0;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
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

QByteArray formatNumber(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return value == 0.0 ? QByteArray("0") : QByteArray::number(value);
    // QByteArray::number ignores the user's locale, so the separator is always a point.
    QByteArray text = QByteArray::number(value, 'g', 15);
    const qsizetype e = text.indexOf('e');
    if (e >= 0) {
        // Very small or large values: written out in full, still with 15 significant digits at most.
        const int exponent = text.mid(e + 1).toInt();
        text = QByteArray::number(value, 'f', std::max(0, 14 - exponent));
        if (text.contains('.')) {
            while (text.endsWith('0'))
                text.chop(1);
            if (text.endsWith('.'))
                text.chop(1);
        }
    }
    return text;
}

QList<QByteArray> splitLines(QByteArrayView bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.append(bytes.sliced(start, i - start).toByteArray());
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(bytes.sliced(start).toByteArray());
    return lines;
}

QByteArray joinLines(const QList<QByteArray>& lines)
{
    qsizetype size = 0;
    for (const QByteArray& line : lines)
        size += line.size() + 2;
    QByteArray text;
    text.reserve(size);
    for (const QByteArray& line : lines) {
        text.append(line);
        text.append("\r\n", 2);
    }
    return text;
}

QByteArray asciiLower(QByteArrayView text)
{
    QByteArray lowered = text.toByteArray();
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    }
    return lowered;
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : char16_t{byte});
    }
    return text;
}

QByteArray toWindows1252(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = windows1252Byte(text[i]);
        bytes[i] = static_cast<char>(byte < 0 ? '?' : byte);
    }
    return bytes;
}

bool isWindows1252(QChar c)
{
    return windows1252Byte(c) >= 0;
}

} // namespace TextRules
