#include "core/KeyedScript.h"

#include "core/TextRules.h"

#include <algorithm>
#include <limits>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), isDigit);
}

// A run of digits as a number; one too long for it stands at its end, outside every range.
qint64 digitsValue(QByteArrayView digits)
{
    bool ok = false;
    const qint64 value = digits.toByteArray().toLongLong(&ok);
    return ok ? value : std::numeric_limits<qint64>::max();
}

std::optional<qint64> readToken(QByteArrayView token, ValueForm form)
{
    switch (form) {
    case ValueForm::Digits: {
        const QByteArray digits = TextRules::KeepDigits(TextRules::wholePart(token));
        return allDigits(digits) ? std::optional(digitsValue(digits)) : std::nullopt;
    }
    case ValueForm::WholeNumber: {
        const QByteArrayView whole = TextRules::wholePart(token);
        return allDigits(whole) ? std::optional(digitsValue(whole)) : std::nullopt;
    }
    case ValueForm::Fraction:
        if (std::none_of(token.cbegin(), token.cend(), isDigit))
            return std::nullopt;
        return TextRules::toInt(TextRules::roundHalfEven(TextRules::Val(token) * 100.0));
    case ValueForm::Switch:
        if (!allDigits(token))
            return std::nullopt;
        return token.count('0') == token.size() ? 0 : 1;
    }
    return std::nullopt;
}

QByteArray writeToken(qint64 value, ValueForm form)
{
    switch (form) {
    case ValueForm::Fraction:
        return TextRules::formatNumber(static_cast<double>(value) / 100.0);
    case ValueForm::Switch:
        return value != 0 ? QByteArray("1") : QByteArray("0");
    default:
        return QByteArray::number(value);
    }
}

} // namespace

void KeyedScript::load(QByteArrayView fileBytes)
{
    m_text = ScriptText::fromFileBytes(fileBytes);
    for (size_t row = 0; row < m_keys.size(); ++row) {
        const ScriptKey& key = m_keys[row];
        const std::optional<qint64> value = readToken(m_text.valueToken(key.key, key.start), key.form);
        m_values[row] = {value, value};
    }
}

QByteArray KeyedScript::render() const
{
    ScriptText text = m_text;
    for (size_t row = 0; row < m_keys.size(); ++row) {
        const Value& value = m_values[row];
        if (value.current == value.held)
            continue;
        const QByteArrayView key(m_keys[row].key);
        const qsizetype at = text.find(key, m_keys[row].start);
        if (at < 0)
            continue;
        const QByteArray oldToken = text.tokenAfter(at, key.size());
        const QByteArray newToken = writeToken(*value.current, m_keys[row].form);
        if (oldToken != newToken)
            text.replaceToken(key, oldToken, newToken);
    }
    return text.text();
}

void KeyedScript::commit(const QByteArray& written)
{
    m_text = ScriptText(written);
    for (Value& value : m_values)
        value.held = value.current;
}

bool KeyedScript::setValue(qsizetype row, qint64 value)
{
    std::optional<qint64>& current = m_values.at(static_cast<size_t>(row)).current;
    if (!current || *current == value)
        return false;
    current = value;
    return true;
}

bool KeyedScript::isChanged() const
{
    return std::any_of(m_values.cbegin(), m_values.cend(), [](const Value& v) { return v.current != v.held; });
}

qsizetype KeyedScript::keyAt(qsizetype row) const
{
    const ScriptKey& key = m_keys[static_cast<size_t>(row)];
    return m_text.find(key.key, key.start);
}
