#pragma once

#include "core/ScriptText.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <span>
#include <vector>

// The range a control allows for a value. A value the file holds outside it is kept as it is; only a change
// must lie within it.
struct ValueRange
{
    int minimum;
    int maximum;
    constexpr bool contains(qint64 value) const { return value >= minimum && value <= maximum; }
};

// How a value stands in its script, read and written.
enum class ValueForm
{
    // The digits of the token's whole part, whatever else stands among them; written as a whole number.
    Digits,
    // A plain whole number, or the whole part of one written with a fraction; any other token ("-1", "$x") is
    // not read, because writing a number over it would lose what the author meant.
    WholeNumber,
    // A fraction of one, shown as a percentage: 0.5 reads as 50 and 50 is written as 0.5. Read when the
    // token holds any digit.
    Fraction,
    // A switch: a plain number, off when every digit is 0; read as 1 or 0 and written as 1 or 0.
    Switch,
};

// One value of a script: its key, lower case and ending in one blank, found ignoring letter case from the
// 1-based position start on.
struct ScriptKey
{
    const char* key;
    qsizetype start;
    ValueForm form;
};

// A settings script read as a whole text, of which the editor changes the values of a table of keys. A value
// is the token after its key's first occurrence from the key's start; a save replaces only the tokens of the
// values that changed, at every place where the key stands with the token read, so every other byte stays.
class KeyedScript final
{
public:
    KeyedScript() = default;
    // keys must outlive the script: the tables are constants.
    explicit KeyedScript(std::span<const ScriptKey> keys) : m_keys(keys), m_values(keys.size()) {}

    // Holds the file as lines each followed by CR LF and reads every value from it.
    void load(QByteArrayView fileBytes);
    // The held text with each changed value in place of the token the file holds for it.
    QByteArray render() const;
    // Takes the bytes just written as the held text, and the values as the ones the file holds.
    void commit(const QByteArray& written);

    const QByteArray& text() const { return m_text.text(); }
    std::span<const ScriptKey> keys() const { return m_keys; }

    // A row's value; nothing when its key is not found from its start or its token is not read.
    std::optional<qint64> value(qsizetype row) const { return m_values.at(static_cast<size_t>(row)).current; }
    // Answers whether the value changed. A value the file does not hold cannot be set.
    bool setValue(qsizetype row, qint64 value);
    // Whether any value differs from the one the file holds.
    bool isChanged() const;
    // Where a row's key stands in the held text, counted from 0, or -1 when it is not found from its start.
    qsizetype keyAt(qsizetype row) const;

private:
    struct Value
    {
        std::optional<qint64> current;
        std::optional<qint64> held; // as the file holds it, so that a save replaces only what was changed
    };

    std::span<const ScriptKey> m_keys;
    ScriptText m_text;
    std::vector<Value> m_values;
};
